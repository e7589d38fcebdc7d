#pragma once
// Text tokenizers: the TXT_ operations of xmap_class (declared in
// core/xmap.h) that read words, lines, comma fields and numbers at the
// reader's cursor. They move forwards only, never past `end`, and report
// nothing: a malformed token gives a value and the caller decides.
//
//   blank       TAB, space
//   line end    NUL, CR, LF
//   terminator  blank or line end
//
// Numbers are not checked for digits: each byte adds (byte - '0'), so "12a"
// reads as 169, as the data files have always been read.

#include "core/xmap.h"
