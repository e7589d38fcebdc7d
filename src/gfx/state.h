// state: the one gate through which drawing code switches fog, texture units, lighting, blending,
// alpha test, depth test and depth writes. Callers name all six states before every primitive;
// OGL_setstate touches OpenGL only where a request differs from its cached copy.
// Invariant: nothing else may switch these states, or the cache goes stale (it never reads back).
#pragma once

#include <cstdint>

#include "core/globals.h"  // fog_true/fog_fals, lit_true/lit_fals, deR_true/deR_fals

// Blending and alpha-test codes (argument 4).
constexpr int al_none = 4;   // blending off, alpha test off
constexpr int al_blend = 5;  // blending on, alpha test off
constexpr int al_test = 6;   // blending off, alpha test on
constexpr int al_both = 7;   // blending on, alpha test on
// Depth-write codes (argument 6).
constexpr int deW_true = 10;
constexpr int deW_fals = 11;

// Texture units at most switched one by one (GL_TEXTURE0 .. GL_TEXTURE5).
constexpr int OGL_STATE_UNIT_LIMIT = 6;

// Number of texture units enabled right now (1 until the first request says otherwise).
extern int num_units;

void OGL_setstate(int fog, int units, int lighting, int blending, int depth_test, int depth_write);

// OpenGL calls OGL_setstate has made since start (enable/disable, depth mask, active unit), and
// the number of requests it has had. Tests and the frame benchmark read them to see what the
// cache saves: without it every request would cost OGL_STATE_UNCACHED_CALLS calls or more.
uint64_t OGL_state_calls();
uint64_t OGL_state_requests();
constexpr int OGL_STATE_UNCACHED_CALLS = 8;
