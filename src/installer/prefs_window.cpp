// The preferences box: download platform, five switches, the stream count and the proxy.

#include "installer/prefs_window.h"

#include "core/convert.h"
#include "core/mnw.h"
#include "core/stg.h"
#include "gfx/draw2d.h"
#include "net/http.h"
#include "shell/event_proc.h"
#include "shell/windows.h"
#include "widgets/bool.h"
#include "widgets/enterstring.h"
#include "widgets/numbers.h"
#include "widgets/panels.h"
#include "widgets/textlist.h"

namespace {

constexpr int PROXY_TEXT_LIMIT = 65;
constexpr int FIELD_PROXY_HOST = 0, FIELD_PROXY_PORT = 1;
constexpr float SWITCH_X = 30;

}  // namespace

void handle_prefs()
{
    MACIBM_startwind(WIN_PREFS);
    while (mnw.cur_win == WIN_PREFS) {
        OGL_plot_back_col();
        BTN_fillwin(1, 21);
        float next_x = 0, next_y = 0;
        BTN_subwin(0, 13, -1, -1, -1, 70, "Proxy (if you are behind a firewall with a Proxy)", &next_x, &next_y);
        BTN_subwin(0, 13, -1, next_y, -1, -1, "General Preferences", nullptr, nullptr);
        int manual = stg._stream_count != 0;

        --stg._download_os;
        BTN_textlist(200, 310, &stg._download_os, "Macintosh-Windows-Linux Generic x86-Linux Pentium 3-Linux Athlon XP",
                     "Operating System to download Veltrix for:|(Install and copy the entire Veltrix folder to another "
                     "computer if you like)");
        ++stg._download_os;

        BTN_bool(
            SWITCH_X, 265, &stg._use_max_cpu,
            "|run at full speed all the time, always totally saturating the CPU... typically leave this OFF, since the "
            "installer does not need that much CPU to download stuff!",
            BOOL_CHECK_BOX);
        BTN_bool(
            SWITCH_X, 230, &stg._rename_folder,
            "|re-name the Veltrix Suite folder to the latest version number when done with the update... typically "
            "leave this ON, so the installer can indicate the proper version number!",
            BOOL_CHECK_BOX);
        BTN_bool(SWITCH_X, 190, &stg._always_ask_dir,
                 "|always ask you to pick your Veltrix Suite folder on startup... typically leave this OFF, since the "
                 "installer will remember your current Veltrix folder after the first use.",
                 BOOL_CHECK_BOX);
        BTN_bool(
            SWITCH_X, 150, &manual,
            "|manually set the number of download streams... typically leave this OFF, and the installer will find "
            "the best number of streams for you.",
            BOOL_CHECK_BOX);
        BTN_bool(SWITCH_X, 110, &stg._log_actions,
                 "|log installer actions... turn this on to output the installer file downloads and stuff to the file "
                 "log.txt.",
                 BOOL_CHECK_BOX);

        if (!manual)
            stg._stream_count = 0;
        else
            BTN_int_range(400, 150, &stg._stream_count, 1, 1, 4, "");

        BTN_enterstring(85, 40, &http.proxy_host, PROXY_TEXT_LIMIT, FIELD_PROXY_HOST, "-proxy host");
        BTN_enterstring(85, 20, &http.proxy_port, PROXY_TEXT_LIMIT, FIELD_PROXY_PORT, "-proxy port");
        if (!http.proxy_port.empty())
            http.proxy_port_int = str_to_int(http.proxy_port);

        MACIBM_event_proc();
    }
}
