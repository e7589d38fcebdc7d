#pragma once
// Shared set-up of the file-service tests: a private folder that becomes the
// current folder and the home of the test (HOME, XDG_*, TMPDIR inside it),
// and an alert handler that records alerts; a fatal one throws, since a
// fatal alert never returns.

#include "core/alert.h"
#include "core/globals.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct raised_alert {
    std::string l1, l2, l3, l4;
    int type = 0;
    std::string file;
    int line = 0;
};

struct fatal_alert_raised {
    raised_alert alert;
};

inline std::vector<raised_alert>& raised_alerts()
{
    static std::vector<raised_alert> alerts;
    return alerts;
}

inline void record_alert(int, const std::string& l1, const std::string& l2, const std::string& l3,
                         const std::string& l4, int type, const char* file, int line)
{
    raised_alert alert{l1, l2, l3, l4, type, file ? file : "", line};
    raised_alerts().push_back(alert);
    if (type == ALERT_FATAL)
        throw fatal_alert_raised{alert};
}

inline void write_file(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline bool path_exists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

// Each test runs inside its own folder with its own home.
class FileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char name[] = "/tmp/veltrix-files-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        root = name;
        char* cwd = getcwd(nullptr, 0);
        previous_folder = cwd ? cwd : "/";
        free(cwd);
        ASSERT_EQ(chdir(root.c_str()), 0);
        std::filesystem::create_directories(root + "/home");
        std::filesystem::create_directories(root + "/tmp");
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "TMPDIR"}) {
            const char* value = getenv(name);
            saved_env.push_back({name, value ? value : "", value != nullptr});
        }
        setenv("HOME", (root + "/home").c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_CACHE_HOME");
        setenv("TMPDIR", (root + "/tmp").c_str(), 1);
        raised_alerts().clear();
        alert_set_handler(record_alert);
        app_path.clear();
        g_case_sensitive = 0;
    }

    void TearDown() override
    {
        alert_set_handler(nullptr);
        g_case_sensitive = 0;
        app_path.clear();
        for (const auto& saved : saved_env) {
            if (saved.present)
                setenv(saved.name.c_str(), saved.value.c_str(), 1);
            else
                unsetenv(saved.name.c_str());
        }
        EXPECT_EQ(chdir(previous_folder.c_str()), 0);
        std::error_code ignored;
        std::filesystem::permissions(root, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(root, ignored);
    }

    std::string at(const std::string& name) const { return root + "/" + name; }

    struct saved_variable {
        std::string name;
        std::string value;
        bool present;
    };
    std::string root;
    std::string previous_folder;
    std::vector<saved_variable> saved_env;
};
