// Download speed of the polled HTTP client against curl, both fetching from nginx on loopback
// in the same run, whole process against whole process: one slot, then four slots side by side.
// Prints throughput with its ratio to curl, the body bytes each net_check call moved, and
// net_check calls per second.
//
//   http_bench --port                         prints the HTTP port this build connects to
//   http_bench OUT_DIR PATH                   fetches PATH (e.g. /big.bin) from 127.0.0.1 into OUT_DIR
//   http_bench --client OUT_DIR PATH STREAMS  our side: the fetch alone, printing its calls and bytes
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "net/http.h"
#include "platform/netcfg.h"

namespace {

constexpr double MEGABYTE = 1024.0 * 1024.0;
constexpr const char* SERVER = "127.0.0.1";

double seconds_since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long long file_size(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

struct Run {
    double seconds = 0;
    long long calls = 0;
    long long bytes = 0;
    bool ok = true;
};

// Polls `streams` slots, each fetching `path`, until every one has ended.
Run client_side(const std::string& out_dir, const std::string& path, int streams)
{
    Run run;
    std::vector<int> result(streams, NET_RUNNING);
    auto start = std::chrono::steady_clock::now();
    for (int running = streams; running > 0;) {
        running = 0;
        for (int s = 0; s < streams; ++s) {
            if (result[s] != NET_RUNNING)
                continue;
            result[s] = http.net_check(s, SERVER, path, out_dir + "/client" + std::to_string(s) + ".bin");
            ++run.calls;
            running += result[s] == NET_RUNNING;
        }
    }
    run.seconds = seconds_since(start);
    for (int s = 0; s < streams; ++s) {
        run.ok = run.ok && result[s] == NET_DONE;
        run.bytes += file_size(out_dir + "/client" + std::to_string(s) + ".bin");
    }
    return run;
}

// The client's fetch in a process of its own, timed from its start to its end as curl's are.
Run fetch_with_client(const std::string& out_dir, const std::string& path, int streams)
{
    Run run;
    char self[4096] = {};
    const ssize_t got = readlink("/proc/self/exe", self, sizeof self - 1);
    run.ok = got > 0;
    const std::string command =
        std::string(self) + " --client '" + out_dir + "' '" + path + "' " + std::to_string(streams);
    auto start = std::chrono::steady_clock::now();
    FILE* pipe = run.ok ? popen(command.c_str(), "r") : nullptr;
    run.ok = pipe != nullptr && std::fscanf(pipe, "%lld %lld", &run.calls, &run.bytes) == 2;
    if (pipe != nullptr)
        run.ok = pclose(pipe) == 0 && run.ok;
    run.seconds = seconds_since(start);
    return run;
}

// The same downloads with curl processes started side by side.
Run fetch_with_curl(const std::string& out_dir, const std::string& path, int streams)
{
    Run run;
    std::string url = std::string("http://") + SERVER + ":" + std::to_string(kHttpPort) + path;
    std::vector<pid_t> children;
    auto start = std::chrono::steady_clock::now();
    for (int s = 0; s < streams; ++s) {
        std::string out = out_dir + "/curl" + std::to_string(s) + ".bin";
        pid_t pid = fork();
        if (pid == 0) {
            execlp("curl", "curl", "-s", "-f", "--noproxy", "*", "-o", out.c_str(), url.c_str(), (char*)nullptr);
            _exit(127);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.ok = run.ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    run.seconds = seconds_since(start);
    for (int s = 0; s < streams; ++s)
        run.bytes += file_size(out_dir + "/curl" + std::to_string(s) + ".bin");
    return run;
}

void report(const char* label, const Run& client, const Run& curl)
{
    double client_rate = client.bytes / MEGABYTE / client.seconds;
    double curl_rate = curl.bytes / MEGABYTE / curl.seconds;
    std::printf("http_%s_throughput: %.1f MB/s (%.2f x curl at %.1f MB/s)\n", label, client_rate,
                client_rate / curl_rate, curl_rate);
    std::printf("http_%s_bytes_per_call: %.0f B\n", label, static_cast<double>(client.bytes) / client.calls);
    std::printf("http_%s_calls_per_second: %.0f calls/s\n", label, client.calls / client.seconds);
}

}

int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) == "--port") {
        std::printf("%d\n", kHttpPort);
        return 0;
    }
    if (argc == 5 && std::string(argv[1]) == "--client") {
        Run run = client_side(argv[2], argv[3], std::atoi(argv[4]));
        std::printf("%lld %lld\n", run.calls, run.bytes);
        return run.ok ? 0 : 1;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: http_bench --port | http_bench OUT_DIR PATH\n");
        return 2;
    }
    std::string out_dir = argv[1];
    std::string path = argv[2];
    for (int streams : {1, 4}) {
        Run client = fetch_with_client(out_dir, path, streams);
        Run curl = fetch_with_curl(out_dir, path, streams);
        if (!client.ok || !curl.ok || client.bytes != curl.bytes) {
            std::fprintf(stderr, "http_bench: downloads failed or differ (%lld vs %lld bytes)\n", client.bytes,
                         curl.bytes);
            return 1;
        }
        report(streams == 1 ? "1slot" : "4slots", client, curl);
    }
    return 0;
}
