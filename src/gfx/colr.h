// colr: the palette. Every drawing call names its colour by index; `colr` holds the 101 entries
// (entry 100 is the light factor for indices below 45), a gamma table and a 1000-step spectrum.
// The shell rewrites entries 33-46 at start-up and 75-79 every frame; the installer sets 98.
// Invariant: indices passed to assign and OGL_setcolor lie in 0..100 (callers' duty, unchecked).
#pragma once

#include <cstdint>

constexpr int COLR_ENTRIES = 101;
constexpr int COLR_LIGHT_FACTOR = 100;  // the entry that scales indices below COLR_LIT_LIMIT
constexpr int COLR_LIT_LIMIT = 45;
constexpr int COLR_SPECTRUM_STEPS = 1000;

class colr_class {
public:
    colr_class();

    void assign(int index, float r, float g, float b);
    // 0 rainbow, 1 red ramp, 2 green ramp, 3 blue ramp; any other mode leaves the table.
    void spectrum_init(int mode);
    void set_lites_for_interface();
    // 0: entry 47 from the light factor and light level 1; 1: light level 1; 2: light level 2.
    void set_lit_col(int col_type);
    // Stores the scale and draws it as a labelled vertical bar of 250 spectrum points.
    void spectrum_plotscale(float x, float y, float low, float high);

    uint8_t gamma[256];
    float col[COLR_ENTRIES][3];
    float spec_lo, spec_hi, spec_range;
    float spectrum[COLR_SPECTRUM_STEPS][3];
};

extern colr_class colr;

// The green-only mode's fold: all of the colour onto green (r + g + b within 0.01 .. 1), red and blue 0.
void fold_to_green(float rgb[3]);

// The palette colour rule: light factor below index 45, the green-only fold, then a
// three-component colour when alpha x global alpha exceeds 0.99, else four components.
void OGL_setcolor(int index, float alpha);
