// Update decisions: the platform filter, the choices that need no prompt, and the prompt for a file
// the user changed. Records of both install kinds are decided by their own kind.

#include <gtest/gtest.h>

#include "core/stg.h"
#include "installer/decisions.h"
#include "listing_fixture.h"
#include "support/box_guard.h"

namespace {

const std::string OLD = "11111111111111111111111111111111";
const std::string NEW = "22222222222222222222222222222222";
const std::string GONE = SIG_GONE;

class Decisions : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim_info.clear();
        stg._download_os = OS_MACINTOSH;
        dest_dir_path = "/tmp/dest/";
    }
    void TearDown() override { sim_info.clear(); }
    test::box_guard no_prompt;
};

TEST_F(Decisions, PlatformFilterFollowsTheChosenSystemAndTheRecordsKind)
{
    for (int kind : {0, 1})
        for (int platform : {0, 1, 2, 6})
            add_history("All/x", platform, {NEW}, SIG_NONE, kind);
    // Whether each system wants platforms 0, 1, 2 and 6, the same for records of either kind.
    const struct {
        int os;
        int want[4];
    } cases[] = {
        {OS_MACINTOSH, {1, 1, 0, 0}}, {OS_WINDOWS, {1, 0, 1, 0}},      {OS_LINUX_GENERIC, {1, 0, 0, 1}},
        {OS_LINUX_P3, {1, 0, 0, 1}},  {OS_LINUX_ATHLON, {1, 0, 0, 1}},
    };
    for (const auto& c : cases) {
        stg._download_os = c.os;
        for (int kind : {0, 1})
            for (int p = 0; p < 4; ++p) {
                EXPECT_EQ(want_this_f(kind * 4 + p, 0, kind), c.want[p]) << "os " << c.os << " kind " << kind;
                EXPECT_EQ(want_this_f(kind * 4 + p, 0, 1 - kind), 0) << "another install kind is not wanted";
            }
    }
    EXPECT_EQ(want_this_f(8, 0, 0), 0) << "an index past the listing is not wanted";
    EXPECT_EQ(want_this_f(0, 1, 0), 0) << "a version past the history is not wanted";
}

TEST_F(Decisions, FetchesMissingAndKnownOldFilesAndDeletesKnownGoneOnesWithoutAsking)
{
    const struct {
        int kind, platform;
        std::vector<std::string> versions;
        std::string have;
        int download, remove;
    } cases[] = {
        {0, 0, {NEW}, SIG_NONE, 1, 0},   // absent: fetched
        {0, 0, {GONE}, SIG_NONE, 0, 0},  // absent and gone: nothing
        {0, 0, {NEW}, NEW, 0, 0},        // already current: nothing
        {0, 0, {OLD, NEW}, OLD, 1, 0},   // a known older version: replaced
        {0, 0, {OLD, GONE}, OLD, 0, 1},  // a known version, now gone: deleted
        {0, 2, {OLD, GONE}, OLD, 0, 0},  // another platform: untouched
        {1, 0, {NEW}, SIG_NONE, 1, 0},   // the other install kind, each rule the same
        {1, 1, {OLD, NEW}, OLD, 1, 0},  {1, 0, {OLD, GONE}, OLD, 0, 1}, {1, 2, {NEW}, SIG_NONE, 0, 0},
    };
    for (const auto& c : cases)
        add_history("All/file", c.platform, c.versions, c.have, c.kind);
    ASSERT_EQ(choose_files(), 1);
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(sim_info[i].back().download, cases[i].download) << "case " << i;
        EXPECT_EQ(sim_info[i].back().remove, cases[i].remove) << "case " << i;
        if (sim_info[i].size() > 1) {
            EXPECT_EQ(sim_info[i].front().download + sim_info[i].front().remove, 0) << "only the current is chosen";
        }
    }
}

TEST_F(Decisions, AFileTheUserChangedBringsUpThePrompt)
{
    for (int kind : {0, 1}) {
        sim_info.clear();
        add_history("All/notes.txt", 0, {OLD, NEW}, "33333333333333333333333333333333", kind);
        EXPECT_THROW((void)choose_files(), test::unexpected_box) << "kind " << kind;
    }
}

}  // namespace
