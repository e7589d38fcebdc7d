// The agreement box: four lines of terms and the decline and agree controls.

#include "installer/agreement.h"

#include "core/mnw.h"
#include "gfx/draw2d.h"
#include "gfx/text.h"
#include "installer/art.h"
#include "installer/status.h"
#include "shell/event_proc.h"
#include "shell/windows.h"
#include "widgets/panels.h"

namespace {

constexpr float TERMS_X = 20, TERMS_WRAP = 400;

struct term_line {
    float y;
    const char* text;
};
constexpr term_line TERMS[] = {
    {250, "Use Veltrix for whatever you like."},
    {230, "You agree to not make copies of Veltrix."},
    {210,
     "You agree to not use the artwork from Veltrix, OR ANY DERIVATIVE OF THAT ARTWORK, OUTSIDE OF VELTRIX for "
     "any commercial venture."},
    {180,
     "You agree to not use the artwork from Veltrix, OR ANY DERIVATIVE OF THAT ARTWORK, OUTSIDE OF VELTRIX in "
     "association with any enterprise other than Veltrix."},
};

}  // namespace

int handle_EULA()
{
    static int agreed = 0;  // 1 once the user agreed in this run; never cleared
    if (agreed == 1)
        return 1;
    MACIBM_startwind(WIN_EULA);
    while (mnw.cur_win == WIN_EULA) {
        OGL_plot_back_col();
        BTN_fillwin(1, 21);
        BTN_subwin(0, 16, -1, 50, -1, -1, "", nullptr, nullptr);
        for (const term_line& term : TERMS)
            OGL_string(COLOUR_NORMAL, TERMS_X, term.y, term.text, TERMS_WRAP, 100);
        if (interface_rect(300, 10, 832, 166, 85, 22, 1, 1)) {
            agreed = 0;
            MACIBM_startwind(WIN_MAIN);
            break;
        }
        if (interface_rect(400, 10, 918, 166, 59, 22, 1, 1)) {
            agreed = 1;
            MACIBM_startwind(WIN_MAIN);
            break;
        }
        MACIBM_event_proc();
    }
    return agreed;
}
