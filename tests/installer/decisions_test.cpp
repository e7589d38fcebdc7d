// Update decisions that need no prompt, and the platform filter.

#include <gtest/gtest.h>

#include "core/stg.h"
#include "installer/decisions.h"
#include "listing_fixture.h"

namespace {

const std::string SIG_OLD = "11111111111111111111111111111111";
const std::string SIG_NEW = "22222222222222222222222222222222";

class Decisions : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim_info.clear();
        stg._download_os = OS_MACINTOSH;
        dest_dir_path = "/tmp/dest/";
    }
    void TearDown() override { sim_info.clear(); }
    static const file_version_struct& current(size_t i) { return sim_info[i].back(); }
};

TEST_F(Decisions, PlatformFilterFollowsTheChosenSystem)
{
    add_history("All/a", 0, SIG_NEW);
    add_history("Macintosh/b", 1, SIG_NEW);
    add_history("Windows/c", 2, SIG_NEW);
    add_history("Linux Generic x86/d", 6, SIG_NEW);
    struct expectation {
        int os;
        int all, mac, win, linux_any;
    };
    for (expectation e :
         {expectation{1, 1, 1, 0, 0}, {2, 1, 0, 1, 0}, {3, 1, 0, 0, 1}, {4, 1, 0, 0, 1}, {5, 1, 0, 0, 1}}) {
        stg._download_os = e.os;
        EXPECT_EQ(want_this_f(0, 0, 0), e.all) << "os " << e.os;
        EXPECT_EQ(want_this_f(1, 0, 0), e.mac) << "os " << e.os;
        EXPECT_EQ(want_this_f(2, 0, 0), e.win) << "os " << e.os;
        EXPECT_EQ(want_this_f(3, 0, 0), e.linux_any) << "os " << e.os;
    }
    EXPECT_EQ(want_this_f(0, 0, 1), 0) << "another install kind is not wanted";
    EXPECT_EQ(want_this_f(9, 0, 0), 0) << "an index past the listing is not wanted";
}

TEST_F(Decisions, FetchesMissingAndKnownOldFilesWithoutAsking)
{
    add_history("All/missing.txt", 0, SIG_NEW);                 // absent: fetched
    add_history("All/removed-absent.txt", 0, "GONE");           // absent and gone: nothing
    add_history("All/current.txt", 0, SIG_NEW, SIG_NEW);        // already current: nothing
    add_history("All/older.txt", 0, SIG_OLD, "NONE");           // older version known...
    add_history("All/older.txt", 0, SIG_NEW, SIG_OLD, true);    // ...and on disk: replaced
    add_history("All/old-gone.txt", 0, SIG_OLD);                // known old version on disk,
    add_history("All/old-gone.txt", 0, "GONE", SIG_OLD, true);  // now gone: deleted
    add_history("Windows/elsewhere.txt", 2, "GONE", SIG_OLD);   // another platform: untouched
    ASSERT_EQ(choose_files(), 1);

    EXPECT_EQ(current(0).download, 1);
    EXPECT_EQ(current(0).remove, 0);
    EXPECT_EQ(current(1).download + current(1).remove, 0);
    EXPECT_EQ(current(2).download + current(2).remove, 0);
    EXPECT_EQ(current(3).download, 1);
    EXPECT_EQ(current(3).remove, 0);
    EXPECT_EQ(sim_info[3][0].download, 0) << "only the current version is ever chosen";
    EXPECT_EQ(current(4).download, 0);
    EXPECT_EQ(current(4).remove, 1);
    EXPECT_EQ(current(5).download + current(5).remove, 0);
}

}  // namespace
