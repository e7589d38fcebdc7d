// The system boxes, the chooser, the browser and detached programs, with stand-in tools first on
// PATH that record their arguments and answer as told.
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "platform/dialogs.h"
#include "platform/spawn.h"
#include "shell/native_dialogs.h"
#include "shell/web.h"
#include "support/alert_recorder.h"
#include "support/log_capture.h"
#include "support/tool_stubs.h"
#include "support/wait_until.h"

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
        // A cancel is no failure: nothing is logged.
        EXPECT_TRUE(*r.logged ? log.text().find(r.logged) != std::string::npos : log.text().empty()) << log.text();
        // Without any chooser the user is told, in the program's own alert, which package to install
        // and of -path.
        ASSERT_EQ(alerts.alerts().size(), *r.tool ? 0u : 1u) << r.tool;
        for (const test::recorded_alert& a : alerts.alerts())
            EXPECT_EQ(std::tuple(a.type, a.l2.find("zenity") != a.l2.npos, a.l3.find("-path") != a.l3.npos),
                      std::tuple(ALERT_MESSAGE, true, true))
                << a.l2 << "|" << a.l3;
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
    for (auto [pressed, confirmed] :
         {std::pair{plat::MESSAGE_BOX_DEFAULT, 1}, {plat::MESSAGE_BOX_CANCEL, 0}, {plat::MESSAGE_BOX_NONE, 0}}) {
        answer = pressed;
        EXPECT_EQ(ConfirmMessage(long_text.c_str(), "Install", "Quit"), confirmed) << pressed;
    }
    DoUserAlert(long_text.c_str());
    plat::set_message_box(nullptr);
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(std::tuple(shown[0].kind, shown[0].message, shown[0].ok_label, shown[0].cancel_label),
              std::tuple(plat::MESSAGE_BOX_CAUTION, long_text, "Install", "Quit"));
    EXPECT_EQ(std::tuple(shown[3].kind, shown[3].message), std::tuple(plat::MESSAGE_BOX_STOP, long_text));

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
    // Every byte differs and the top bits are set, so a lost byte, a swapped pair or a sign
    // extension shows.
    int32_t long_value = static_cast<int32_t>(0xFF203001u);
    int16_t short_value = static_cast<int16_t>(0xFF01);
    EndianFlipLong(&long_value);
    EndianFlipShort(&short_value);
    EXPECT_EQ(std::pair(static_cast<uint32_t>(long_value), static_cast<uint16_t>(short_value)),
              std::pair(0x013020FFu, uint16_t{0x01FF}));
}

// Waits, bounded, until the file holds a full line.
std::string wait_for_line(const std::string& path)
{
    std::string text;
    (void)test::wait_until([&] { return (text = test::read_file(path)).ends_with('\n'); });
    return text;
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
