// The installer's settings record: its defaults, and the stream count that a
// preference file can carry out of range.

#include "core/stg.h"

#include <gtest/gtest.h>

#include <vector>

TEST(Stg, DefaultsLeaveTheZeroStartWhereTheTableSaysSoAndStreamCountsAreBroughtIntoRange)
{
    stg = stg_class{};
    stg.dest_is_install = 1;
    stg._log_actions = 1;
    stg.file_action = 0;
    stg.server_count = 5;
    set_stg_defaults();
    // The last two are not written by the defaults: they keep what they held.
    EXPECT_EQ(std::vector<int>({stg.dir_state, stg.install_phase, stg.server_count, stg.file_action, stg._download_os,
                                stg._rename_folder, stg._stream_count, stg.dest_is_install, stg._log_actions}),
              std::vector<int>({DIR_STATE_NONE, INSTALL_IDLE, -1, ACTION_NOT_WANTED, OS_MACINTOSH, 1, 0, 1, 1}));

    for (const auto& [written, used] :
         {std::pair{-3, 0}, std::pair{9, 4}, std::pair{5, 4}, std::pair{4, 4}, std::pair{3, 3}}) {
        stg._stream_count = written;
        clamp_stg_preferences();
        EXPECT_EQ(stg._stream_count, used) << written;
    }
}
