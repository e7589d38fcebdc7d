#pragma once
// Shared set-up of the file-service tests: a private folder that becomes the current folder and the home
// of the test (HOME, XDG_*, TMPDIR inside it), with alerts recorded while the test runs.

#include "core/globals.h"
#include "support/alert_recorder.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

using test::alert_recorder;
using test::fatal_alert;
using test::path_exists;
using test::read_file;
using test::recorded_alert;
using test::write_file;

// The permission bits of what is at the path (the link itself for a link); 0 when nothing is there.
inline mode_t mode_of(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Each test runs inside its own folder, the current folder while it runs, with its own home.
class FileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        make({"home/", "tmp/"});
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "TMPDIR"}) {
            const char* value = getenv(name);
            saved_env.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        setenv("HOME", (root + "/home").c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_CACHE_HOME");
        setenv("TMPDIR", (root + "/tmp").c_str(), 1);
        alert_recorder::clear();
        test::set_core_hook(&core_hooks::alert, &alert_recorder::record);
        app_path.clear();
        g_case_sensitive = 0;
    }

    void TearDown() override
    {
        test::set_core_hook(&core_hooks::alert, nullptr);
        g_case_sensitive = 0;
        app_path.clear();
        for (const auto& [name, value] : saved_env)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }

    std::string at(const std::string& name) const { return root + "/" + name; }

    // Creates each name in the folder, its parents as needed: a folder where it ends in '/', else an empty file.
    void make(std::initializer_list<std::string> names) const
    {
        for (const std::string& name : names) {
            std::filesystem::create_directories(std::filesystem::path(at(name)).parent_path());
            if (name.back() != '/')
                write_file(at(name), "");
        }
    }

    test::working_folder folder;
    std::string root = folder.root;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_env;
};
