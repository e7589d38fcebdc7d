// The system boxes, the chooser, the browser and detached programs, with stand-in tools first on
// PATH that record their arguments and answer as told.
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
#include "support/alert_recorder.h"
#include "support/log_capture.h"
#include "support/tool_stubs.h"

namespace {

TEST(Chooser, ArgumentsAnswersAndRefusals)
{
    const std::string fits = "/" + std::string(CHOOSER_PATH_CAPACITY - 1, 'f'), too_long = "/" + std::string(1999, 'x');
    struct row {
        const char* tool;
        int mode;
        const char* start;  // a folder made under the stand-ins' folder, or "" for none given
        std::string answer;
        int status, result;
        std::string path;  // before ("name.txt" is a save box's default name) and after the call
        const char* args;  // '@' stands for the start folder; null: not checked
        const char* logged;
    };
    const row rows[] = {
        {"zenity", 2, "start here", "", 0, 0, "kept", "--file-selection\n--directory\n--title=Pick\n--filename=@/\n",
         ""},
        {"zenity", 2, "not there", "", 0, 0, "kept", "--file-selection\n--directory\n--title=Pick\n", ""},
        {"zenity", 1, "start here", "", 0, 0, "name.txt",
         "--file-selection\n--save\n--confirm-overwrite\n--title=Pick\n--filename=@/name.txt\n", ""},
        {"zenity", 2, "", "/home/pilot/Veltrix Suite", 0, 1, "/home/pilot/Veltrix Suite", nullptr, ""},
        {"zenity", 2, "", "/somewhere", 3, 0, "kept", nullptr, "status 3"},
        {"zenity", 7, "", "/somewhere", 0, 0, "kept", "", ""},  // no such mode
        {"zenity", 2, "", fits, 0, 1, fits, nullptr, ""},
        {"zenity", 2, "", too_long, 0, 0, "kept", nullptr, "2000 bytes"},  // a cut path would name another folder
        {"", 2, "start here", "/x", 0, 0, "kept", nullptr, "No folder chooser found (zenity, kdialog).\n"},
        {"kdialog", 2, "start here", "/from/kdialog", 0, 1, "/from/kdialog",
         "--getexistingdirectory\n@/\n--title\nPick\n", ""},
    };
    for (const row& r : rows) {
        test::tool_stubs tools;
        tools.hide_system_tools();
        if (*r.tool)
            tools.add(r.tool);
        const std::string start = *r.start ? tools.folder / r.start : "";
        if (std::string(r.start) == "start here")
            std::filesystem::create_directory(start);
        tools.answer(r.answer, r.status);
        test::log_capture log;
        test::alert_recorder alerts;
        char path[CHOOSER_PATH_CAPACITY + 1];
        std::strcpy(path, r.result ? "kept" : r.path.c_str());
        EXPECT_EQ(GetFilePathFromUser(r.mode, "Pick", "Choose", 0, *r.start ? start.c_str() : nullptr, path), r.result)
            << r.tool << " " << r.answer.substr(0, 40);
        EXPECT_EQ(path, r.path) << r.answer.substr(0, 40);
        if (r.args) {
            std::string args = r.args;
            if (size_t at = args.find('@'); at != std::string::npos)
                args.replace(at, 1, start);
            EXPECT_EQ(tools.args(*r.tool ? r.tool : "zenity"), args);
        }
        if (*r.logged)
            EXPECT_NE(log.text().find(r.logged), std::string::npos) << log.text();
        else
            EXPECT_EQ(log.text(), "") << "a cancel is no failure";
        // Without any chooser the user is told, in the program's own alert, which package to install
        // and of -path.
        ASSERT_EQ(alerts.alerts().size(), *r.tool ? 0u : 1u) << r.tool;
        if (!*r.tool) {
            const test::recorded_alert& a = alerts.alerts()[0];
            EXPECT_EQ(a.type, ALERT_MESSAGE);
            EXPECT_NE(a.l2.find("zenity"), std::string::npos) << a.l2;
            EXPECT_NE(a.l3.find("-path"), std::string::npos) << a.l3;
        }
    }
}

TEST(MessageBoxes, ButtonsMapToAnswersTextsArriveWholeAndHeadlessBoxesWriteOneLine)
{
    std::vector<plat::message_box_request> shown;
    int answer = plat::MESSAGE_BOX_DEFAULT;
    plat::set_message_box([&](const plat::message_box_request& r) {
        shown.push_back(r);
        return answer;
    });
    const std::string long_text(300, 'w');
    EXPECT_EQ(ConfirmMessage(long_text.c_str(), "Install", "Quit"), 1);
    answer = plat::MESSAGE_BOX_CANCEL;
    EXPECT_EQ(ConfirmMessage("Sure?", "Yes", "No"), 0);
    answer = plat::MESSAGE_BOX_NONE;
    EXPECT_EQ(ConfirmMessage("Sure?", "Yes", "No"), 0);
    DoUserAlert(long_text.c_str());
    plat::set_message_box(nullptr);
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].kind, plat::MESSAGE_BOX_CAUTION);
    EXPECT_EQ(shown[0].message, long_text);
    EXPECT_EQ(shown[0].ok_label + "|" + shown[0].cancel_label, "Install|Quit");
    EXPECT_EQ(shown[3].kind, plat::MESSAGE_BOX_STOP);
    EXPECT_EQ(shown[3].message, long_text);

    setenv("VELTRIX_HEADLESS", "1", 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(ConfirmMessage("Replace it?", "Yes", "No"), 0);
    plat::message_box_request r;
    r.message = "first second";
    r.explanation = "third fourth";
    EXPECT_EQ(plat::show_message_box(r), plat::MESSAGE_BOX_NONE);
    float half = 0.5f;
    ShowProgressMessage("Working", &half);
    const std::string err = testing::internal::GetCapturedStderr();
    unsetenv("VELTRIX_HEADLESS");
    EXPECT_EQ(err, "ALERT: Replace it? | \nALERT: first second | third fourth\n");
}

TEST(ByteOrder, FlipsInPlace)
{
    for (auto [in, out] : {std::pair{0x11223344u, 0x44332211u}, {0xFF000001u, 0x010000FFu}}) {
        int32_t value = static_cast<int32_t>(in);
        EndianFlipLong(&value);
        EXPECT_EQ(static_cast<uint32_t>(value), out);
    }
    for (auto [in, out] : {std::pair<uint16_t, uint16_t>{0x1234, 0x3412}, {0xFF01, 0x01FF}}) {
        int16_t value = static_cast<int16_t>(in);
        EndianFlipShort(&value);
        EXPECT_EQ(static_cast<uint16_t>(value), out);
    }
}

// Waits, bounded, until the file holds a full line.
std::string wait_for_line(const std::string& path)
{
    for (int i = 0; i < 500; i++) {
        std::string text = test::read_file(path);
        if (!text.empty() && text.back() == '\n')
            return text;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return test::read_file(path);
}

TEST(DetachedPrograms, TheUrlIsOneArgumentNoChildIsLeftAndAFailedStartIsHeardOf)
{
    test::tool_stubs tools;
    // Both stand-ins keep running well after they recorded what they were given: no call may wait for them.
    tools.add_script("xdg-open", "#!/bin/sh\nprintf '%s|%s\\n' \"$#\" \"$1\" >> \"$T/xdg-open.args\"\nsleep 5\n");
    tools.add_script("lonely",
                     "#!/bin/sh\nsid=$(cut -d' ' -f6 /proc/$$/stat)\n"
                     "printf '%s %s %s\\n' \"$sid\" \"$(readlink /proc/$$/fd/1)\" \"$1\" >> \"$T/lonely.out\"\n"
                     "sleep 5\n");
    const std::string url = "http://example.test/a b;c&d=$(touch $T/pwned)'q'";
    go_to_URL(url);
    EXPECT_EQ(wait_for_line(tools.folder / "xdg-open.args"), "1|" + url + "\n");
    EXPECT_FALSE(std::filesystem::exists(tools.folder / "pwned"));

    EXPECT_EQ(plat::spawn_detached("lonely", {"lonely", "one arg"}), 0);
    const std::string line = wait_for_line(tools.folder / "lonely.out");
    EXPECT_NE(line.substr(0, line.find(' ')), std::to_string(getsid(0))) << "runs in a session of its own: " << line;
    EXPECT_NE(line.find(" /dev/null one arg\n"), std::string::npos) << line;
    // An interpreter that does not exist: exec fails in the program's process and the caller hears of it.
    tools.add_script("broken", "#!/nonexistent/interpreter\n");
    EXPECT_EQ(plat::spawn_detached("broken", {"broken"}), ENOENT);
    EXPECT_EQ(plat::spawn_detached("not-on-path-at-all", {"x"}), ENOENT);

    tools.hide_system_tools();
    std::filesystem::remove(tools.folder / "xdg-open");
    testing::internal::CaptureStderr();
    go_to_URL("http://example.test/");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "a missing browser is silent";
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "the programs are nobody's children here";
    EXPECT_EQ(errno, ECHILD);
}

TEST(WebLinksDeathTest, AnOverlongUrlIsFatal)
{
    std::string url = "http://example.test/" + std::string(480, 'p');
    ASSERT_EQ(url.size(), URL_LIMIT + 1);
    EXPECT_EXIT(go_to_URL(url), testing::ExitedWithCode(1), "String too long!");
}

}
