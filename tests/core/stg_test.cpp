// The installer's settings record: its defaults, and the stream count that a
// real preference file can carry out of range.

#include "core/prefs.h"
#include "core/stg.h"

#include "file_test_support.h"

using Stg = FileTest;

TEST_F(Stg, DefaultsLeaveTheZeroStartWhereTheTableSaysSo)
{
    stg = stg_class{};
    stg.dest_is_install = 1;
    stg._log_actions = 1;
    stg.file_action = 0;
    stg.server_count = 5;
    set_stg_defaults();
    EXPECT_EQ(stg.dir_state, DIR_STATE_NONE);
    EXPECT_EQ(stg.install_phase, INSTALL_IDLE);
    EXPECT_EQ(stg.server_count, -1);
    EXPECT_EQ(stg.file_action, ACTION_NOT_WANTED);
    EXPECT_EQ(stg._download_os, OS_MACINTOSH);
    EXPECT_EQ(stg._rename_folder, 1);
    EXPECT_EQ(stg._stream_count, 0);
    // Not written by the defaults: they keep what they held.
    EXPECT_EQ(stg.dest_is_install, 1);
    EXPECT_EQ(stg._log_actions, 1);
    EXPECT_EQ(next.next_file, 0);
    EXPECT_EQ(next.all_done, 0);
}

TEST_F(Stg, StreamCountsFromThePreferenceFileAreBroughtIntoRange)
{
    for (const auto& [written, used] : {std::pair{-3, 0}, std::pair{9, 4}, std::pair{3, 3}}) {
        set_stg_defaults();
        stg._stream_count = written;
        stg._download_os = OS_LINUX_ATHLON;
        pref.IO_set(PREF_SET_INSTALLER, PREF_WRITE);

        set_stg_defaults();
        pref.IO_set(PREF_SET_INSTALLER, PREF_READ);
        EXPECT_EQ(stg._stream_count, written);  // the file holds what was written
        EXPECT_EQ(stg._download_os, OS_LINUX_ATHLON);
        clamp_stg_preferences();
        EXPECT_EQ(stg._stream_count, used) << written;
    }
}
