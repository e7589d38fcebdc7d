// The server list reader and the server choice, on real files.

#include <gtest/gtest.h>

#include <map>

#include "core/stg.h"
#include "installer/servers.h"
#include "support/file_bytes.h"
#include "support/log_capture.h"
#include "support/temp_folder.h"

using test::log_capture;
using test::temp_folder;
using test::write_file;

namespace {

const std::string HEADER = "A\n820 version\nSERVERS\n";

class ServerList : public ::testing::Test {
protected:
    void SetUp() override
    {
        install_name = "Not Yet Scanned";
        stg.server_count = -1;
        for (int i = 0; i < max_servers; ++i)
            server_name[i] = server_path[i] = server_desc[i] = "";
    }
    int read(const std::string& text)
    {
        write_file(dir / "serverlist.txt", text);
        return read_server_list(dir / "serverlist.txt");
    }
    void expect_server(int i, const std::string& name, const std::string& path, const std::string& desc)
    {
        EXPECT_EQ(server_name[i], name) << i;
        EXPECT_EQ(server_path[i], path) << i;
        EXPECT_EQ(server_desc[i], desc) << i;
    }
    temp_folder dir;
};

TEST_F(ServerList, ReadsReleaseNameAndServersWithBlankLinesAnywhere)
{
    ASSERT_EQ(read(HEADER +
                   "\nBETA 8.50b9\nFINAL Veltrix 851\n\nSERVER mirror-a.example\n\n/pub/\n\n"
                   "Mirror A (fast)\nSERVER\tmirror-b.example  \n/files/v/\nMirror B\nENDOFLIST\n"
                   "SERVER late.example\n/late/\nNever read\n"),
              1);
    EXPECT_EQ(install_name, "Veltrix 851");
    ASSERT_EQ(stg.server_count, 2);
    expect_server(0, "mirror-a.example", "/pub/Veltrix 851/", "Mirror A (fast)");
    expect_server(1, "mirror-b.example", "/files/v/Veltrix 851/", "Mirror B");  // trailing blanks removed
    EXPECT_EQ(server_name[2], "") << "records after ENDOFLIST are not read";
}

TEST_F(ServerList, KeepsTenServersAndReadsOverTheRest)
{
    std::string body = "FINAL R\n";
    for (int i = 0; i < 12; ++i)
        body += "SERVER host" + std::to_string(i) + "\n/p/\nd" + std::to_string(i) + "\n";
    ASSERT_EQ(read(HEADER + body + "FINAL Later\n"), 1);
    EXPECT_EQ(stg.server_count, 10);
    expect_server(9, "host9", "/p/R/", "d9");  // a FINAL after the records leaves the paths built
    EXPECT_EQ(install_name, "Later") << "a FINAL after the records still renames the release";
}

TEST_F(ServerList, SkipsRecordsThatWouldEndTheProgramAndLogsEach)
{
    log_capture log;
    ASSERT_EQ(read(HEADER +
                   "FINAL R\nSERVER   \n/p/\nempty host\nSERVER bad.example/\n/p/\nhost ends in slash\n"
                   "SERVER colon.example:\n/p/\nhost ends in colon\nSERVER back.example\\\n/p/\nbackslash\n"
                   "SERVER good.example\nrelative/\npath without separator\nSERVER ok.example\n/ok/\nkept\n"),
              1);
    ASSERT_EQ(stg.server_count, 1);
    expect_server(0, "ok.example", "/ok/R/", "kept");
    for (const char* skipped : {"bad.example/", "colon.example:", "back.example\\", "relative/"})
        EXPECT_NE(log.text().find(skipped), std::string::npos) << skipped;
}

TEST_F(ServerList, RejectsOtherVersionsKeywordsAndMissingFiles)
{
    for (const std::string& text : {std::string("A\n840 version\nSERVERS\nSERVER h\n/p/\nd\n"),
                                    std::string("A\n820 version\nSERVERX\nSERVER h\n/p/\nd\n"),
                                    std::string("<html>not found</html>"), std::string()})
        EXPECT_EQ(read(text), 0) << text;
    EXPECT_EQ(read_server_list(dir / "absent.txt"), 0);
    EXPECT_EQ(stg.server_count, -1) << "a rejected list leaves the count unread";
    ASSERT_EQ(read(HEADER + "FINAL R1\n"), 1) << "the header's keyword is no record";
    EXPECT_EQ(stg.server_count, 0);
    EXPECT_EQ(install_name, "R1");
}

TEST(ServerChoice, FavoursTheFrontOfTheListAndStaysInRange)
{
    std::srand(12345);
    std::map<int, int> drawn;
    for (int i = 0; i < 6000; ++i)
        ++drawn[pick_server_skewed(3)];
    EXPECT_EQ(drawn.size(), 3u);
    EXPECT_GE(drawn.begin()->first, 0);
    EXPECT_LE(drawn.rbegin()->first, 2);
    // x^1.3 of a uniform x: P(0) = (1/3)^(1/1.3) ~ 0.43, P(2) = 1 - (2/3)^(1/1.3) ~ 0.27.
    EXPECT_GT(drawn[0], drawn[2] + 600);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(pick_server_skewed(1), 0);
    EXPECT_EQ(pick_server_skewed(0), -1);
}

}  // namespace
