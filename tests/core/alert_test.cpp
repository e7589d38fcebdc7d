// The alert, application-path, finish-up and start-up-progress seams.

#include "core/alert.h"

#include "file_test_support.h"

namespace {

std::string finishup_marker;

// Leaves a trace a death test's parent can read: the argument it got.
void marking_finishup(int write_prefs)
{
    write_file(finishup_marker, std::to_string(write_prefs));
    finishup_default(write_prefs);
}

void returning_handler(int, const std::string&, const std::string&, const std::string&, const std::string&, int,
                       const char*, int)
{
}

std::string shown_message;
float shown_fraction = -1;
void recording_show_init(const std::string& message, float* fraction)
{
    shown_message = message;
    shown_fraction = fraction ? *fraction : -1;
}

}  // namespace

using Alert = FileTest;

TEST_F(Alert, AReplacementHandlerSeesEveryArgumentAndAFatalAlertNeverReturns)
{
    __MACIBM_alert(3, "one", "two", "three", "four", ALERT_MESSAGE, "DEzovuv/Test/unit", 12);
    EXPECT_THROW(__MACIBM_alert(0, "fatal", "", "", "", ALERT_FATAL, "f", 1), fatal_alert);
    ASSERT_EQ(alert_recorder::alerts().size(), 2u);
    EXPECT_EQ(summary(alert_recorder::alerts()[0]), "one|two|three|four|1|DEzovuv/Test/unit:12");

    // A handler that returns ends the program after a fatal alert; a message returns through it.
    core_set_hooks({.alert = returning_handler});
    __MACIBM_alert(0, "x", "", "", "", ALERT_MESSAGE, "f", 1);
    EXPECT_EXIT(__MACIBM_alert(0, "x", "", "", "", ALERT_FATAL, "f", 1), ::testing::ExitedWithCode(1), "");
}

TEST_F(Alert, TheDefaultHandlerPrintsAndLogsAndAFatalAlertExitsWithStatusOne)
{
    core_set_hooks({});
    xer.open(at("Log.txt"));
    ::testing::internal::CaptureStderr();
    __MACIBM_alert(0, "Could not", "read it", "Try", "again", ALERT_MESSAGE, "DEzovuv/Test/unit", 40);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "ALERT: Could not read it | Try again\n");
    // Flushed at once: the file holds the lines while the log is still open.
    EXPECT_EQ(read_file(at("Log.txt")), "Could not\nread it\nTry\nagain\n");
    EXPECT_EQ(app_done, 0);
    xer.close();

    finishup_marker = at("finishup.txt");
    core_set_hooks({.finishup = marking_finishup});
    xer.open(at("Log.txt"));
    EXPECT_EXIT(__MACIBM_alert(0, "Broken", "", "badly", "", ALERT_FATAL, "DEzovuv/Test/unit", 77),
                ::testing::ExitedWithCode(1), "ALERT: Broken  \\| badly ");
    xer.close();
    core_set_hooks({});
    EXPECT_EQ(read_file(at("Log.txt")), "Broken\n\nbadly\n\n(DEzovuv/Test/unit line 77)\n");
    EXPECT_EQ(read_file(at("finishup.txt")), "0");
}

TEST_F(Alert, ApplicationPathFinishUpAndProgressDispatch)
{
    std::string out;
    test::set_core_hook(&core_hooks::app_path, [](std::string* folder, int*) { *folder = "/opt/veltrix/"; });
    MACIBM_app_path(&out, nullptr);
    EXPECT_EQ(out, "/opt/veltrix/");
    test::set_core_hook(&core_hooks::app_path, nullptr);

    // The default finish-up closes the log.
    xer.open(at("Log.txt"));
    MACIBM_finishup(0);
    EXPECT_FALSE(xer.is_open());

    // Progress does nothing until a handler draws it.
    float half = 0.5f;
    MACIBM_show_init("Loading bitmap a.png", &half);
    EXPECT_EQ(shown_message, "");
    test::set_core_hook(&core_hooks::show_init, recording_show_init);
    MACIBM_show_init("Loading bitmap a.png", &half);
    EXPECT_EQ(shown_message + " " + std::to_string(shown_fraction), "Loading bitmap a.png 0.500000");
    MACIBM_show_init("Loading bitmap b.png", nullptr);
    EXPECT_EQ(shown_fraction, -1);
    test::set_core_hook(&core_hooks::show_init, nullptr);
}
