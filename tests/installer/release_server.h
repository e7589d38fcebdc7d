#pragma once
// A real nginx on 127.0.0.1 (the build's HTTP port) serving a release folder, and the helpers that
// lay out a release as the installer expects it: serverlist.txt at the top, and under each mirror
// path the release's "directory.txt.zip" and one zip per listed file, packed with Debian's zip.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/netcfg.h"
#include "support/access_log.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

// Whether something accepts connections on addr:port now.
inline bool port_accepts(const char* addr, uint16_t port)
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    inet_pton(AF_INET, addr, &sa.sin_addr);
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
    close(fd);
    return ok;
}

class release_server {
public:
    explicit release_server(const std::string& root) : root_(root)
    {
        std::filesystem::create_directories(root_ + "/www");
        std::ofstream conf(root_ + "/nginx.conf");
        conf << "user root; worker_processes 1; pid " << root_ << "/nginx.pid;\n"
             << "error_log " << root_ << "/nginx.err;\n"
             << "events {}\n"
             << "http { access_log " << root_ << "/access.log; gzip off;\n"
             << "  client_body_temp_path " << root_ << "/tmp; proxy_temp_path " << root_ << "/tmp;\n"
             << "  fastcgi_temp_path " << root_ << "/tmp; uwsgi_temp_path " << root_ << "/tmp;\n"
             << "  scgi_temp_path " << root_ << "/tmp;\n"
             << "  server { listen 127.0.0.1:" << kHttpPort << "; root " << root_ << "/www; } }\n";
        conf.close();
        std::filesystem::create_directories(root_ + "/tmp");
        pid_ = fork();
        if (pid_ == 0) {
            // A test that dies must not leave its server holding the port.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            std::string conf_path = root_ + "/nginx.conf";
            execlp("nginx", "nginx", "-p", root_.c_str(), "-c", conf_path.c_str(), "-e", (root_ + "/nginx.err").c_str(),
                   "-g", "daemon off;", static_cast<char*>(nullptr));
            _exit(127);
        }
        // Ready once it accepts; give up after about five seconds of attempts.
        for (int attempt = 0; attempt < 500 && !port_accepts("127.0.0.1", kHttpPort); ++attempt)
            usleep(10000);
    }
    ~release_server()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    release_server(const release_server&) = delete;
    release_server& operator=(const release_server&) = delete;

    bool running() const { return pid_ > 0 && port_accepts("127.0.0.1", kHttpPort); }
    std::string www() const { return root_ + "/www"; }

    // Requests in the access log whose line contains the text.
    int requests_containing(const std::string& text) const
    {
        std::istringstream log(test::settled_access_log(root_ + "/access.log", kHttpPort));
        std::string line;
        int count = 0;
        while (std::getline(log, line))
            count += line.find(text) != std::string::npos ? 1 : 0;
        return count;
    }

private:
    std::string root_;
    pid_t pid_ = -1;
};

// One file of a test release: its listed path (platform folder first), content, and whether it is
// a symbolic link whose target is the content.
struct release_file {
    std::string listed_path;
    std::string content;
    int platform = 0;
    bool link = false;
};

inline std::string md5_hex_of(const std::string& bytes)
{
    test::temp_folder dir;
    test::write_file(dir / "x", bytes);
    std::string out = test::command_output("md5sum '" + (dir / "x") + "'");
    return out.substr(0, 32);
}

// Writes the release tree under www/<mirror_path>/<release>/: one zip per file (packed with
// Debian's zip, links stored as links) and directory.txt.zip holding the listing, whose records
// are the given extra history lines followed by one current record per file.
inline void publish_release(const std::string& www, const std::string& mirror_path, const std::string& release,
                            const std::vector<release_file>& files, const std::vector<std::string>& removed = {},
                            const std::map<std::string, std::vector<std::string>>& older_signatures = {})
{
    std::string base = www + mirror_path + release + "/";
    std::filesystem::create_directories(base);
    test::temp_folder work;
    std::ostringstream listing;
    listing << "A\n840 version\nINSTALLER\n\n";
    for (const release_file& file : files) {
        std::string leaf = file.listed_path.substr(file.listed_path.rfind('/') + 1);
        std::string folder = file.listed_path.substr(0, file.listed_path.rfind('/') + 1);
        std::filesystem::create_directories(base + folder);
        std::string staged = work / leaf;
        std::filesystem::remove(staged);
        if (file.link)
            symlink(file.content.c_str(), staged.c_str());
        else
            test::write_file(staged, file.content);
        std::string archive = base + file.listed_path + ".zip";
        std::filesystem::remove(archive);
        (void)test::command_output("cd '" + work.root + "' && zip -q -X -y '" + archive + "' '" + leaf + "'");
        std::filesystem::remove(staged);
        listing << "\nDIR " << folder << "\n";
        auto older = older_signatures.find(file.listed_path);
        if (older != older_signatures.end()) {
            for (const std::string& sig : older->second)
                listing << "FILE 0 " << file.platform << " 85007 1 1 " << sig << " " << leaf << "\n";
        }
        size_t zipped = std::filesystem::file_size(archive);
        listing << "FILE 0 " << file.platform << " 85008 " << zipped / 1000 << " " << file.content.size() / 1000 << " "
                << md5_hex_of(file.content) << " " << leaf << "\n";
    }
    for (const std::string& gone : removed) {
        std::string leaf = gone.substr(gone.rfind('/') + 1);
        std::string folder = gone.substr(0, gone.rfind('/') + 1);
        listing << "\nDIR " << folder << "\n";
        listing << "FILE 0 0 85007 1 1 0123456789abcdef0123456789abcdef " << leaf << "\n";
        listing << "FILE 0 0 85008 0 0 GONE " << leaf << "\n";
    }
    test::write_file(work / "directory.txt", listing.str());
    std::filesystem::remove(base + "directory.txt.zip");
    (void)test::command_output("cd '" + work.root + "' && zip -q -X '" + base + "directory.txt.zip' directory.txt");
}

inline void publish_server_list(const std::string& www, const std::string& body)
{
    test::write_file(www + "/serverlist.txt", "A\n820 version\nSERVERS\n\n" + body);
}
