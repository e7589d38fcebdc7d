// The system boxes, the chooser and the browser layers, with stub zenity, kdialog and xdg-open
// first on PATH that record their arguments and answer as told.
#include <cerrno>
#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>

#include "platform/dialogs.h"
#include "platform/spawn.h"
#include "shell/native_dialogs.h"
#include "shell/web.h"
#include "shell_test_support.h"
#include "support/alert_recorder.h"

using shell_test::read_file;
using shell_test::scratch_folder;

namespace {

const char* const ZENITY_STUB = "#!/bin/sh\n"
                                "printf '%s\\n' \"$@\" >> \"$T/zenity.args\"\n"
                                "[ -n \"$ZENITY_ANSWER\" ] || exit 1\n"
                                "[ -z \"$ZENITY_STATUS\" ] || exit \"$ZENITY_STATUS\"\n"
                                "printf '%s\\n' \"$ZENITY_ANSWER\"\n";

const char* const KDIALOG_STUB = "#!/bin/sh\n"
                                 "printf '%s\\n' \"$@\" >> \"$T/kdialog.args\"\n"
                                 "[ -n \"$ZENITY_ANSWER\" ] || exit 1\n"
                                 "printf '%s\\n' \"$ZENITY_ANSWER\"\n";

class Chooser : public ::testing::Test {
protected:
    void SetUp() override
    {
        unsetenv("ZENITY_ANSWER");
        unsetenv("ZENITY_STATUS");
        std::strcpy(path, "unchanged");
    }
    void TearDown() override
    {
        unsetenv("ZENITY_ANSWER");
        unsetenv("ZENITY_STATUS");
    }
    scratch_folder t;
    shell_test::log_on_file log{t.file("Log.txt")};
    char path[CHOOSER_PATH_CAPACITY + 1];
};

TEST_F(Chooser, FolderModeArgumentsWithAndWithoutAnExistingStartFolder)
{
    t.add_tool("zenity", ZENITY_STUB);
    std::string start = t.path() + "/start here";
    std::filesystem::create_directory(start);

    EXPECT_EQ(GetFilePathFromUser(2, "Pick the folder", "Choose", 0, start.c_str(), path), 0);
    EXPECT_EQ(read_file(t.file("zenity.args")),
              "--file-selection\n--directory\n--title=Pick the folder\n--filename=" + start + "/\n");

    std::filesystem::remove(t.file("zenity.args"));
    std::string missing = t.path() + "/not there";
    EXPECT_EQ(GetFilePathFromUser(2, "Pick", "Choose", 0, missing.c_str(), path), 0);
    EXPECT_EQ(read_file(t.file("zenity.args")), "--file-selection\n--directory\n--title=Pick\n");

    std::filesystem::remove(t.file("zenity.args"));
    std::strcpy(path, "name.txt");
    EXPECT_EQ(GetFilePathFromUser(1, "Save", "Save", 0, start.c_str(), path), 0);
    EXPECT_EQ(read_file(t.file("zenity.args")),
              "--file-selection\n--save\n--confirm-overwrite\n--title=Save\n--filename=" + start + "/name.txt\n");
}

TEST_F(Chooser, AnswerCancelAndFailure)
{
    t.add_tool("zenity", ZENITY_STUB);
    setenv("ZENITY_ANSWER", "/home/pilot/Veltrix Suite", 1);
    EXPECT_EQ(GetFilePathFromUser(2, "Pick", "", 0, nullptr, path), 1);
    EXPECT_STREQ(path, "/home/pilot/Veltrix Suite");

    unsetenv("ZENITY_ANSWER");
    std::strcpy(path, "unchanged");
    EXPECT_EQ(GetFilePathFromUser(2, "Pick", "", 0, nullptr, path), 0);
    EXPECT_STREQ(path, "unchanged");
    EXPECT_EQ(log.text(), "") << "a cancel is no failure";

    setenv("ZENITY_ANSWER", "/somewhere", 1);
    setenv("ZENITY_STATUS", "3", 1);
    EXPECT_EQ(GetFilePathFromUser(2, "Pick", "", 0, nullptr, path), 0);
    EXPECT_STREQ(path, "unchanged");
    EXPECT_NE(log.text().find("status 3"), std::string::npos) << log.text();

    EXPECT_EQ(GetFilePathFromUser(7, "Pick", "", 0, nullptr, path), 0) << "no such mode";
}

TEST_F(Chooser, AnAnswerThatDoesNotFitLeavesTheBufferAlone)
{
    t.add_tool("zenity", ZENITY_STUB);
    std::string fits = "/" + std::string(CHOOSER_PATH_CAPACITY - 1, 'f');
    setenv("ZENITY_ANSWER", fits.c_str(), 1);
    EXPECT_EQ(GetFilePathFromUser(2, "Pick", "", 0, nullptr, path), 1);
    EXPECT_EQ(std::string(path), fits);

    std::strcpy(path, "unchanged");
    std::string too_long = "/" + std::string(1999, 'x');
    setenv("ZENITY_ANSWER", too_long.c_str(), 1);
    EXPECT_EQ(GetFilePathFromUser(2, "Pick", "", 0, nullptr, path), 0);
    EXPECT_STREQ(path, "unchanged");
    EXPECT_NE(log.text().find("2000 bytes"), std::string::npos) << log.text();
}

TEST_F(Chooser, KdialogStandsInAndNoToolIsLogged)
{
    t.hide_system_tools();
    test::alert_recorder alerts;
    EXPECT_EQ(GetFilePathFromUser(2, "Pick", "", 0, t.path().c_str(), path), 0);
    EXPECT_STREQ(path, "unchanged");
    EXPECT_EQ(log.text(), "No folder chooser found (zenity, kdialog).\n");
    // The user is told, in the program's own alert, which package to install and of -path.
    ASSERT_EQ(alerts.alerts().size(), 1u);
    EXPECT_EQ(alerts.alerts()[0].type, ALERT_MESSAGE);
    EXPECT_NE(alerts.alerts()[0].l2.find("zenity"), std::string::npos);
    EXPECT_NE(alerts.alerts()[0].l3.find("-path"), std::string::npos);

    t.add_tool("kdialog", KDIALOG_STUB);
    setenv("ZENITY_ANSWER", "/from/kdialog", 1);
    EXPECT_EQ(GetFilePathFromUser(2, "Pick", "", 0, t.path().c_str(), path), 1);
    EXPECT_STREQ(path, "/from/kdialog");
    EXPECT_EQ(read_file(t.file("kdialog.args")), "--getexistingdirectory\n" + t.path() + "/\n--title\nPick\n");
}

class MessageBoxes : public ::testing::Test {
protected:
    void TearDown() override { plat::set_message_box(nullptr); }
    std::vector<plat::message_box_request> shown;
    int answer = plat::MESSAGE_BOX_DEFAULT;
    void record()
    {
        plat::set_message_box([this](const plat::message_box_request& r) {
            shown.push_back(r);
            return answer;
        });
    }
};

TEST_F(MessageBoxes, ConfirmMapsButtonsAndTextsArriveWhole)
{
    record();
    std::string long_text(300, 'w');
    EXPECT_EQ(ConfirmMessage(long_text.c_str(), "Install", "Quit"), 1);
    answer = plat::MESSAGE_BOX_CANCEL;
    EXPECT_EQ(ConfirmMessage("Sure?", "Yes", "No"), 0);
    answer = plat::MESSAGE_BOX_NONE;
    EXPECT_EQ(ConfirmMessage("Sure?", "Yes", "No"), 0);

    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].kind, plat::MESSAGE_BOX_CAUTION);
    EXPECT_EQ(shown[0].message, long_text);
    EXPECT_EQ(shown[0].ok_label, "Install");
    EXPECT_EQ(shown[0].cancel_label, "Quit");

    DoUserAlert(long_text.c_str());
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[3].kind, plat::MESSAGE_BOX_STOP);
    EXPECT_EQ(shown[3].message, long_text);
}

TEST_F(MessageBoxes, HeadlessBoxesWriteOneLineAndReturn)
{
    setenv("VELTRIX_HEADLESS", "1", 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(ConfirmMessage("Replace it?", "Yes", "No"), 0);
    plat::message_box_request r;
    r.message = "first second";
    r.explanation = "third fourth";
    EXPECT_EQ(plat::show_message_box(r), plat::MESSAGE_BOX_NONE);
    float half = 0.5f;
    ShowProgressMessage("Working", &half);
    std::string err = testing::internal::GetCapturedStderr();
    unsetenv("VELTRIX_HEADLESS");
    EXPECT_EQ(err, "ALERT: Replace it? | \nALERT: first second | third fourth\n");
}

TEST(ByteOrder, FlipsInPlace)
{
    unsigned char bytes[4] = {0x11, 0x22, 0x33, 0x44};
    int32_t value;
    std::memcpy(&value, bytes, 4);
    EndianFlipLong(&value);
    std::memcpy(bytes, &value, 4);
    EXPECT_EQ(bytes[0], 0x44);
    EXPECT_EQ(bytes[1], 0x33);
    EXPECT_EQ(bytes[2], 0x22);
    EXPECT_EQ(bytes[3], 0x11);

    int16_t s = 0x1234;
    EndianFlipShort(&s);
    EXPECT_EQ(s, 0x3412);
    int16_t negative = static_cast<int16_t>(0xFF01);
    EndianFlipShort(&negative);
    EXPECT_EQ(static_cast<uint16_t>(negative), 0x01FF);
}

// Waits, bounded, until the file holds a full line.
std::string wait_for_line(const std::string& path)
{
    for (int i = 0; i < 500; i++) {
        std::string text = read_file(path);
        if (!text.empty() && text.back() == '\n')
            return text;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return read_file(path);
}

TEST(WebLinks, TheUrlArrivesAsOneArgumentAndNoChildIsLeft)
{
    scratch_folder t;
    // The stub keeps running well after it recorded its argument: the call must not wait for it.
    t.add_tool("xdg-open", "#!/bin/sh\nprintf '%s|%s\\n' \"$#\" \"$1\" >> \"$T/xdg-open.args\"\nsleep 5\n");
    std::string url = "http://example.test/a b;c&d=$(touch $T/pwned)'q'";
    go_to_URL(url);
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    EXPECT_EQ(wait_for_line(t.file("xdg-open.args")), "1|" + url + "\n");
    EXPECT_FALSE(std::filesystem::exists(t.file("pwned")));
}

TEST(WebLinks, AMissingBrowserIsSilent)
{
    scratch_folder t;
    t.hide_system_tools();
    testing::internal::CaptureStderr();
    go_to_URL("http://example.test/");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
}

TEST(DetachedPrograms, RunAloneOnNullStdioAndReportAFailedStart)
{
    scratch_folder t;
    // The stub reports its session and where its output goes, then outlives the call.
    t.add_tool("lonely",
               "#!/bin/sh\n"
               "sid=$(cut -d' ' -f6 /proc/$$/stat)\n"
               "printf '%s %s %s\\n' \"$sid\" \"$(readlink /proc/$$/fd/1)\" \"$1\" >> \"$T/lonely.out\"\n"
               "sleep 5\n");
    EXPECT_EQ(plat::spawn_detached("lonely", {"lonely", "one arg"}), 0);
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "the program is nobody's child here";
    EXPECT_EQ(errno, ECHILD);
    std::string line = wait_for_line(t.file("lonely.out"));
    ASSERT_FALSE(line.empty());
    EXPECT_NE(line.substr(0, line.find(' ')), std::to_string(getsid(0))) << line;
    EXPECT_NE(line.find(" /dev/null one arg\n"), std::string::npos) << line;

    // An interpreter that does not exist: exec fails in the program's process and the caller
    // hears of it.
    t.add_tool("broken", "#!/nonexistent/interpreter\n");
    EXPECT_EQ(plat::spawn_detached("broken", {"broken"}), ENOENT);
    EXPECT_EQ(plat::spawn_detached("not-on-path-at-all", {"x"}), ENOENT);
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
}

TEST(WebLinksDeathTest, AnOverlongUrlIsFatal)
{
    std::string url = "http://example.test/" + std::string(480, 'p');
    ASSERT_EQ(url.size(), URL_LIMIT + 1);
    EXPECT_EXIT(go_to_URL(url), testing::ExitedWithCode(1), "String too long!");
}

}
