#pragma once
// A release served on loopback: nginx (with tinyproxy beside it) on the loopback build's ports,
// started and stopped by tests/support/services, and the helpers that lay out a release as the
// installer expects it: serverlist.txt at the top, and under each mirror path the release's
// "directory.txt.zip" and one zip per listed file, packed with Debian's zip.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/netcfg.h"
#include "support/access_log.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

class release_server {
public:
    explicit release_server(const std::string& root) : root_(root)
    {
        // "HTTP_PORT PROXY_PORT" of this build's loopback configuration.
        std::string ports = test::command_output(services() + " ports '" + setting("VELTRIX_BINARY_DIR") + "'");
        ports.erase(ports.find_last_not_of('\n') + 1);
        // The shell execs the script, so that this program owns the servers: they go when it goes.
        started_ =
            !ports.empty() && std::system(("exec " + services() + " start '" + root_ + "' " + ports).c_str()) == 0;
    }
    ~release_server()
    {
        if (started_)
            (void)std::system((services() + " stop '" + root_ + "'").c_str());
    }
    release_server(const release_server&) = delete;
    release_server& operator=(const release_server&) = delete;

    bool running() const { return started_; }
    std::string www() const { return root_ + "/www"; }

    // Requests in the access log whose line contains the text.
    int requests_containing(const std::string& text) const
    {
        std::istringstream log(test::settled_access_log(root_ + "/access.log", kHttpPort));
        int count = 0;
        for (std::string line; std::getline(log, line);)
            count += line.find(text) != std::string::npos ? 1 : 0;
        return count;
    }

private:
    static std::string setting(const char* variable)
    {
        const char* value = std::getenv(variable);
        return value ? value : ".";
    }
    static std::string services() { return "'" + setting("VELTRIX_SOURCE_DIR") + "/tests/support/services'"; }

    std::string root_;
    bool started_ = false;
};

// One file of a test release: its listed path (platform folder first), content (a link's target
// when it is a link), and the contents of its earlier versions, listed before it. A file gone from
// the release lists its earlier versions, then "GONE", and has no archive.
struct release_file {
    std::string listed_path;
    std::string content;
    int platform = 0;
    bool link = false;
    std::vector<std::string> older = {};
    bool gone = false;
};

inline std::string md5_hex_of(const std::string& bytes)
{
    test::temp_folder dir;
    test::write_file(dir / "x", bytes);
    return test::command_output("md5sum '" + (dir / "x") + "'").substr(0, 32);
}

// Writes the release under www/<mirror_path>/<release>/: one zip per file (packed with Debian's
// zip, links stored as links) and directory.txt.zip holding the listing.
inline void publish_release(const std::string& www, const std::string& mirror_path, const std::string& release,
                            const std::vector<release_file>& files)
{
    namespace fs = std::filesystem;
    const std::string base = www + mirror_path + release + "/";
    test::temp_folder work;
    std::ostringstream listing;
    listing << "A\n840 version\nINSTALLER\n\n";
    for (const release_file& file : files) {
        const size_t cut = file.listed_path.rfind('/') + 1;
        const std::string folder = file.listed_path.substr(0, cut), leaf = file.listed_path.substr(cut);
        listing << "\nDIR " << folder << "\n";
        for (const std::string& old : file.older)
            listing << "FILE 0 " << file.platform << " 85007 1 1 " << md5_hex_of(old) << " " << leaf << "\n";
        if (file.gone) {
            listing << "FILE 0 " << file.platform << " 85008 0 0 GONE " << leaf << "\n";
            continue;
        }
        fs::create_directories(base + folder);
        const std::string staged = work / leaf, archive = base + file.listed_path + ".zip";
        if (file.link)
            (void)symlink(file.content.c_str(), staged.c_str());
        else
            test::write_file(staged, file.content);
        fs::remove(archive);
        (void)test::command_output("cd '" + work.root + "' && zip -q -X -y '" + archive + "' '" + leaf + "'");
        fs::remove(staged);
        listing << "FILE 0 " << file.platform << " 85008 " << fs::file_size(archive) / 1000 << " "
                << file.content.size() / 1000 << " " << md5_hex_of(file.content) << " " << leaf << "\n";
    }
    fs::create_directories(base);
    test::write_file(work / "directory.txt", listing.str());
    fs::remove(base + "directory.txt.zip");
    (void)test::command_output("cd '" + work.root + "' && zip -q -X '" + base + "directory.txt.zip' directory.txt");
}

// Flips a byte of an archive's first entry's data, past its 30-byte local header, name and extra
// field (their lengths at offsets 26 and 28): the archive still opens, and only the entry's CRC
// tells.
inline void damage_archive(const std::string& path)
{
    std::string bytes = test::read_file(path);
    const auto u16 = [&](size_t at) { return size_t(uint8_t(bytes[at])) | size_t(uint8_t(bytes[at + 1])) << 8; };
    bytes[30 + u16(26) + u16(28) + 2] ^= 0x55;
    test::write_file(path, bytes);
}

inline void publish_server_list(const std::string& www, const std::string& body)
{
    test::write_file(www + "/serverlist.txt", "A\n820 version\nSERVERS\n\n" + body);
}
