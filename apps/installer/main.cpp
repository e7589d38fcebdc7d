// The installer's entry: start the shell, settle the destination folder, run frames until quit.

#include <cerrno>
#include <string>

#include "core/alert.h"
#include "core/clock.h"
#include "core/errors.h"
#include "core/globals.h"
#include "core/paths.h"
#include "core/prefs.h"
#include "core/stg.h"
#include "installer/destination.h"
#include "installer/hooks.h"
#include "platform/single_run.h"
#include "shell/event_proc.h"
#include "shell/startup.h"

namespace {

constexpr int ALERT_BUTTON_TEXT = 603;

// Values from a preference file are data: a platform outside the table would index past the
// preferences window's list, so it falls back to the default.
void clamp_download_platform()
{
    if (stg._download_os < OS_MACINTOSH || stg._download_os > OS_LINUX_ATHLON)
        stg._download_os = OS_MACINTOSH;
}

}  // namespace

int main(int argc, char** argv)
{
    installer_set_all_hooks();
    // One installer per user: a second one would overwrite the running one's archives in the
    // private folder. The lock comes before the start-up rewrites the log, so that a second start
    // leaves the running one's log, preferences and folder as they are; its alert shows in the
    // system box, since no window is up yet.
    get_OS_abs_path(OS_FOLDER_TEMPORARY, temp_path);
    const int lock_error = temp_path.empty() ? 0 : plat::take_single_run_lock(temp_path);
    if (lock_error == EWOULDBLOCK) {
        __MACIBM_alert(0, "The installer is already running.", "",
                       "Only one copy can run at a time, so I am quitting and leaving everything as it is.", "",
                       ALERT_MESSAGE, __FILE__, __LINE__);
        return 0;
    }
    MACIBM_init(argc, argv);
    get_OS_abs_path(OS_FOLDER_APPLICATIONS, dest_dir_path);
    xer << "os_dir_apps:" << dest_dir_path << "\n";
    xer << "os_dir_temp:" << temp_path << "\n";
    // A folder where no lock can be taken keeps nobody out; the run goes on as before.
    if (lock_error != 0)
        xer << "No single-run lock in " << temp_path << ": " << error_str(lock_error) << "\n";
    xer.flush();
    stls[ALERT_BUTTON_TEXT] = "OK";
    install_name = no_install_name;
    set_stg_defaults();

    pref.IO_set(PREF_SET_INSTALLER, PREF_READ);
    clamp_stg_preferences();
    clamp_download_platform();

    if (argc > 2 && std::string(argv[1]) == "-path") {
        dest_dir_path = argv[2];
        check_dest_path();
    } else if (stg._always_ask_dir) {
        (void)pick_dest_path();  // a cancel keeps the remembered folder
    } else {
        check_dest_path();
    }
    if (!stg.dest_is_install)
        (void)pick_dest_path();  // offered once; a cancel keeps the product sub-folder

    // The frame rate over the whole run goes to the log, so a slow screen shows in a user's log.
    const uint64_t first_frame = xtim_class::microsecs();
    long frames = 0;
    for (; !app_done; ++frames)
        MACIBM_event_proc();
    const double ran = static_cast<double>(xtim_class::microsecs() - first_frame) * 1e-6;
    xer << "Ran " << frames << " frames in " << ran << " s (" << (ran > 0 ? frames / ran : 0)
        << " frames per second).\n";
    xer.flush();
    MACIBM_finishup(1);
    return 0;
}
