// Preference files on real files in a private folder: the exact bytes of sets 10 and 11, the
// reading rules (later tag wins, foreign versions ignored, blanks), the range corrections,
// locale independence, and the mends (unknown sets touch nothing, line breaks cannot inject).
#include "core/prefs.h"

#include <clocale>
#include <memory>
#include <sstream>

#include "core/clock.h"
#include "core/mnw.h"
#include "core/stg.h"

#include "file_test_support.h"
#include "support/log_capture.h"

namespace {

const std::string HEADER = "A\n8500 version\n";

// Proxy fields of the test's own, handed to the core as the HTTP client hands its own.
std::string proxy_host, proxy_port_text;
int proxy_port = 0;
pref_proxy_fields test_proxy_fields()
{
    return {&proxy_host, &proxy_port_text, &proxy_port};
}

// The fields of sets 11 and 10 in one line, in file order.
std::string installer_fields()
{
    return std::to_string(stg._download_os) + " " + std::to_string(stg._use_max_cpu) + " " +
        std::to_string(stg._rename_folder) + " " + std::to_string(stg._stream_count) + " " +
        std::to_string(stg._log_actions) + " " + std::to_string(stg._always_ask_dir) + "|" + dest_dir_path + "|" +
        proxy_host + "|" + proxy_port_text + "|" + std::to_string(proxy_port);
}
std::string screen_fields()
{
    std::ostringstream out;
    out << mnw._x_res_req << " " << mnw._y_res_req << " " << mnw._col_res_req << " " << mnw._set_res << " " << mnw._lang
        << " " << mnw._alias_req << " " << mnw._keylist_up << " " << mnw._sec_mon_inuse << " " << mnw._prefs_found
        << "|" << xtim._prd_FM << "|" << xtim._prd_UI;
    return out.str();
}

// The application folder is the current folder at run time (app_path is empty then), and the
// Preferences folder lies in the test's home; the records sets 10 and 11 touch are restored afterwards.
class Prefs : public FileTest {
protected:
    void SetUp() override
    {
        FileTest::SetUp();
        std::filesystem::create_directories(at("Resources/preferences"));
        clear_installer_fields();
        test::set_core_hook(&core_hooks::proxy_fields, test_proxy_fields);
    }
    static void clear_installer_fields()
    {
        stg = stg_class{};
        dest_dir_path.clear();
        proxy_host.clear();
        proxy_port_text.clear();
        proxy_port = 0;
    }
    void TearDown() override
    {
        stg = saved_stg;
        mnw = saved_mnw;
        dest_dir_path = saved_dest;
        xtim._prd_FM = saved_fm;
        xtim._prd_UI = saved_ui;
        test::set_core_hook(&core_hooks::proxy_fields, nullptr);
        FileTest::TearDown();
    }

    std::string installer_file() const { return at("home/.config/Veltrix Installer.prf"); }
    std::string screen_file() const { return at("Resources/preferences/Res Veltrix Suite.prf"); }
    test::log_capture log;
    stg_class saved_stg = stg;
    mnw_class saved_mnw = mnw;
    std::string saved_dest = dest_dir_path;
    float saved_fm = xtim._prd_FM, saved_ui = xtim._prd_UI;
};

}

TEST_F(Prefs, InstallerSetIsWrittenByteForByteAndReadBack)
{
    stg._download_os = 3;
    stg._use_max_cpu = 1;
    stg._stream_count = 4;
    pref.IO_set(PREF_SET_INSTALLER, PREF_WRITE);
    // No folder and no proxy: the six ints and the proxy port number, nothing else.
    EXPECT_EQ(read_file(installer_file()),
              HEADER +
                  "_download_os 3\n_use_max_cpu 1\n_rename_folder 0\n_stream_count 4\n"
                  "_log_actions 0\n_always_ask_dir 0\n_proxy_port_int 0\n");

    proxy_host = "proxy.example";
    proxy_port_text = "3128";
    proxy_port = 3128;
    dest_dir_path = "/home/pilot/My Sims/Veltrix Suite/";
    stg._log_actions = -1;
    pref.IO_set(PREF_SET_INSTALLER, PREF_WRITE);
    EXPECT_EQ(read_file(installer_file()),
              HEADER +
                  "_download_os 3\n_use_max_cpu 1\n_rename_folder 0\n_stream_count 4\n_log_actions -1\n"
                  "_always_ask_dir 0\n_dest_dir_path /home/pilot/My Sims/Veltrix Suite/\n"
                  "_proxy_host proxy.example\n_proxy_port 3128\n_proxy_port_int 3128\n");

    // And it reads back into fields that were cleared.
    clear_installer_fields();
    pref.IO_set(PREF_SET_INSTALLER, PREF_READ);
    EXPECT_EQ(installer_fields(), "3 1 0 4 -1 0|/home/pilot/My Sims/Veltrix Suite/|proxy.example|3128|3128");
}

TEST_F(Prefs, ReadingFollowsTheLineRules)
{
    std::filesystem::create_directories(at("home/.config"));
    // A tag seen twice keeps its later value; a tag alone on its line has the empty value; leading
    // blanks of a value go, trailing ones stay; the last line needs no line end.
    write_file(installer_file(),
               HEADER +
                   "\n\n_stream_count 2\n   _use_max_cpu\t1\n_stream_count 3\n"
                   "_dest_dir_path    /Volumes/Big Disk/Veltrix Suite/  \n"
                   "_rename_folder\n_log_actions abc\n_always_ask_dir 99999999999\n"
                   "_unknown_tag 5\n_download_os -7");
    stg._rename_folder = 1;
    pref.IO_set(PREF_SET_INSTALLER, PREF_READ);
    EXPECT_EQ(installer_fields(), "-7 1 0 3 0 2147483647|/Volumes/Big Disk/Veltrix Suite/  |||0");

    // Another version, another header form, an empty file or none: nothing changes.
    const std::string foreign[] = {"A\n8400 version\n_stream_count 1\n", "I\n8500 version\n_stream_count 1\n",
                                   "a\x00\x00\x21\x34_stream_count 1\n", ""};
    for (const std::string& text : foreign) {
        write_file(installer_file(), text);
        pref.IO_set(PREF_SET_INSTALLER, PREF_READ);
        EXPECT_EQ(stg._stream_count, text[0] == 'I' ? 1 : 3) << text;
        stg._stream_count = 3;
    }
    unlink(installer_file().c_str());
    pref.IO_set(PREF_SET_INSTALLER, PREF_READ);
    EXPECT_EQ(stg._stream_count, 3);
    EXPECT_FALSE(path_exists(installer_file())) << "reading never creates the file";
}

TEST_F(Prefs, ScreenSetIsReadAndWrittenWithItsRangesCorrectedWhateverTheLocale)
{
    // Under a locale with a decimal comma, built privately for this test and left at the end.
    const std::string locales = root + "/locales";
    ASSERT_EQ(system(("mkdir -p '" + locales + "' && localedef -i de_DE -f UTF-8 '" + locales +
                      "/de_DE.UTF-8' >/dev/null 2>&1")
                         .c_str()),
              0)
        << "localedef could not build de_DE.UTF-8 (package locales)";
    setenv("LOCPATH", locales.c_str(), 1);
    std::unique_ptr<const char, void (*)(const char*)> back_to_c(setlocale(LC_ALL, "de_DE.UTF-8"), [](const char*) {
        setlocale(LC_ALL, "C");
        unsetenv("LOCPATH");
    });
    ASSERT_NE(back_to_c.get(), nullptr);

    const std::string every_field = HEADER +
        "_x_res_req 1600\n_y_res_req 1200\n_col_res_req 32\n_set_res 1\n_lang 2\n_alias_req 4\n"
        "_keylist_up 0\n_sec_mon_inuse 0\n_prefs_found 1\n_prd_FM 0.050000\n_prd_UI 0.012500\n";
    write_file(screen_file(), every_field);
    pref.IO_set(PREF_SET_SCREEN, PREF_READ);
    unlink(screen_file().c_str());
    pref.IO_set(PREF_SET_SCREEN, PREF_WRITE);
    EXPECT_EQ(read_file(screen_file()), every_field);

    // Sizes outside 1024x768 .. 9999 and the Korean language fall back; absent tags keep their fields.
    for (const char* sizes : {"_x_res_req 800\n_y_res_req 10000\n", "_x_res_req 10000\n_y_res_req 767\n"}) {
        write_file(screen_file(), HEADER + sizes + "_lang 6\n_prd_UI 1e-3\n");
        pref.IO_set(PREF_SET_SCREEN, PREF_READ);
        EXPECT_EQ(screen_fields(), "1024 768 32 1 0 4 0 0 1|0.05|0.001") << sizes;
    }
}

TEST_F(Prefs, UnknownSetsAndLineBreaksCannotDamageTheFile)
{
    stg._stream_count = 2;
    pref.IO_set(PREF_SET_INSTALLER, PREF_WRITE);
    const std::string before = read_file(installer_file());
    ASSERT_FALSE(before.empty());

    // No file of its own: neither writing nor reading set 12 or 3 touches any file.
    for (int which : {3, 9, 12}) {
        stg._stream_count = 4;
        pref.IO_set(which, PREF_WRITE);
        pref.IO_set(which, PREF_READ);
        EXPECT_EQ(read_file(installer_file()), before) << "set " << which;
        EXPECT_EQ(stg._stream_count, 4) << "set " << which;
    }
    EXPECT_TRUE(std::filesystem::is_empty(at("Resources/preferences")));

    // A folder name holding a line break would inject a setting of its own: it is not saved, so
    // the file is the one written without a folder.
    stg._stream_count = 2;
    dest_dir_path = "/tmp/evil\n_stream_count 99\n";
    pref.IO_set(PREF_SET_INSTALLER, PREF_WRITE);
    EXPECT_EQ(read_file(installer_file()), before);
    EXPECT_NE(log.text().find("Preference _dest_dir_path not saved"), std::string::npos);
    dest_dir_path = "/kept/";
    pref.IO_set(PREF_SET_INSTALLER, PREF_READ);
    EXPECT_EQ(stg._stream_count, 2);
    EXPECT_EQ(dest_dir_path, "/kept/");
}

TEST_F(Prefs, StateFileCarriesOnlyABinaryHeader)
{
    EXPECT_TRUE(pref.IO_sta(PREF_SET_STATE, PREF_WRITE, "ignored"));
    const std::string state = at("Resources/preferences/Veltrix.prf");
    EXPECT_EQ(read_file(state), std::string("a\x00\x00\x21\x34", 5));
    EXPECT_TRUE(pref.IO_sta(PREF_SET_STATE, PREF_READ, ""));

    write_file(state, HEADER);
    EXPECT_FALSE(pref.IO_sta(PREF_SET_STATE, PREF_READ, ""));
    unlink(state.c_str());
    EXPECT_FALSE(pref.IO_sta(PREF_SET_STATE, PREF_READ, ""));
    EXPECT_FALSE(path_exists(state));

    // Another set names its own file.
    EXPECT_TRUE(pref.IO_sta(5, PREF_WRITE, "Resources:preferences:Other.prf"));
    EXPECT_EQ(read_file(at("Resources/preferences/Other.prf")), std::string("a\x00\x00\x21\x34", 5));
}
