#include "core/stg.h"

#include <cstring>

stg_class stg{};
std::string dest_dir_path;

next_class next;

std::string temp_path;
std::string install_name = "Not Yet Scanned";
std::string server_name[max_servers];
std::string server_path[max_servers];
std::string server_desc[max_servers];
std::string crnt_file_name;
std::string crnt_file_path;

void set_stg_defaults()
{
    stg.dir_state = DIR_STATE_NONE;
    stg.install_phase = INSTALL_IDLE;
    stg.download_failed = 0;
    stg.install_error = 0;
    stg.server_count = -1;
    stg.server_index = 0;
    stg.file_action = ACTION_NOT_WANTED;
    stg.file_fraction = 0.0f;
    stg.down_kb = 0.0f;
    stg.disk_kb = 0.0f;
    stg._download_os = OS_MACINTOSH;
    stg._use_max_cpu = 0;
    stg._rename_folder = 1;
    stg._stream_count = 0;
    stg._always_ask_dir = 0;
}

void clamp_stg_preferences()
{
    if (stg._stream_count < 0)
        stg._stream_count = 0;
    if (stg._stream_count > max_streams)
        stg._stream_count = max_streams;
}

next_class::next_class()
{
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
}

next_class::~next_class()
{
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
}
