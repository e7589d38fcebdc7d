#include "installer/fetch.h"

#include <algorithm>

#include "core/alert.h"
#include "core/clock.h"
#include "core/errors.h"
#include "core/globals.h"
#include "core/paths.h"
#include "core/stg.h"
#include "installer/status.h"
#include "net/http.h"
#include "platform/files.h"

namespace {

// The errno of the last download the temporary folder could not take; 0 once one succeeded.
int temp_error = 0;

// Once a folder stands where a download lands (left by a broken archive of an earlier run), the
// file can never be opened there, and every later run would fail the same way.
void clear_download_name(const std::string& dest)
{
    std::string path = app_path + dest;
    set_dir_chars(path);
    const int error = plat::remove_tree(path);
    if (error != 0) {
        xer << "Could not clear " << path << " for a download: " << error_str(error) << "\n";
        xer.flush();
    }
}

void note_temp_folder_failure(int error)
{
    const bool news = error != temp_error;
    temp_error = error;
    if (!news)
        return;
    const status_block block = temp_folder_status(temp_path, error);
    __MACIBM_alert(0, block.line[0], block.line[1], block.line[2], "", ALERT_MESSAGE, __FILE__, __LINE__);
}

}  // namespace

bool fetch_pacing::ready() const
{
    return pause == 0 || xtim.elapsed >= next_try;
}

void fetch_pacing::failed()
{
    pause = pause == 0 ? FETCH_FIRST_PAUSE : std::min(pause * 2, FETCH_LONGEST_PAUSE);
    next_try = xtim.elapsed + pause;
}

int fetch_step(int slot, fetch_pacing& pacing, const std::string& server, const std::string& path,
               const std::string& dest)
{
    if (!pacing.ready())
        return FETCH_PAUSED;
    if (http.slots[slot] == nullptr)
        clear_download_name(dest);
    const int result = http.net_check(slot, server, path, dest);
    if (result == NET_DONE) {
        pacing.succeeded();
        temp_error = 0;
    } else if (result == NET_FAILED) {
        pacing.failed();
        if (const int error = http.destination_error(slot); error != 0)
            note_temp_folder_failure(error);
    }
    return result;
}

int temp_folder_error()
{
    return temp_error;
}
