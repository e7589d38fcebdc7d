// The spectrum scale: a labelled vertical bar of spectrum colours for value-to-colour plots.
#include <GL/gl.h>

#include "core/globals.h"
#include "gfx/colr.h"
#include "gfx/numbers.h"
#include "gfx/state.h"
#include "gfx/text.h"

namespace {

constexpr float BAR_HEIGHT = 1000;
constexpr int POINT_SPACING = 4;
constexpr float POINT_SIZE = 4;
constexpr float LABEL_INSET = 4;
constexpr int LABEL_DIGITS = 6, LABEL_DECIMALS = 2;
// The bar's rows 0..999 map onto low..high in this many steps.
constexpr float VALUE_STEPS = 999;

}  // namespace

void colr_class::spectrum_plotscale(float x, float y, float low, float high)
{
    spec_hi = high;
    OGL_number(0, x + LABEL_INSET, y + BAR_HEIGHT - LABEL_INSET, high, LABEL_DIGITS, LABEL_DECIMALS,
               charset_UI_fixed_6);
    spec_lo = low;
    OGL_number(0, x + LABEL_INSET, y - LABEL_INSET, low, LABEL_DIGITS, LABEL_DECIMALS, charset_UI_fixed_6);
    spec_range = high - low;

    OGL_setstate(fog_fals, 0, lit_fals, al_blend, deR_fals, deW_fals);
    glPointSize(POINT_SIZE);
    const float smaller = low < high ? low : high;
    const float larger = low < high ? high : low;
    glBegin(GL_POINTS);
    for (int i = 0; i < BAR_HEIGHT; i += POINT_SPACING) {
        float v = low + i * (high - low) / VALUE_STEPS;
        v = v < smaller ? smaller : (v > larger ? larger : v);
        // An empty range would divide by zero: the whole bar then shows the first colour.
        int index = 0;
        if (spec_range != 0) {
            const float scaled = (v - low) / spec_range * COLR_SPECTRUM_STEPS;
            if (scaled >= COLR_SPECTRUM_STEPS - 1)
                index = COLR_SPECTRUM_STEPS - 1;
            else if (scaled >= 0)
                index = static_cast<int>(scaled);
        }
        glColor3fv(spectrum[index]);
        glVertex2f(x, y + i);
    }
    glEnd();
    glPointSize(1);
}
