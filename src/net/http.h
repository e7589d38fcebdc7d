// http: the polled HTTP/1.1 GET client. The global `http` owns six numbered slots; the caller
// asks net_check about a slot once per frame until it answers done (1) or failed (2), and each
// call does at most one send, one read of up to 64 KB and the parsing of what arrived.
// Callers: the installer (slots 0-1 lists, 2-5 archives), the about box. Main thread only.
// Invariant: 1 means every announced body byte is in the closed destination file.
#pragma once

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/owners.h"
#include "platform/socket.h"

// Number of transfer slots of `http`.
constexpr int HTTP_SLOT_COUNT = 6;
// Bytes read from one transfer's socket per step.
constexpr int HTTP_READ_CHUNK = 65536;
// A head that never ends must not grow without bound; no real server sends one this long.
constexpr size_t HTTP_HEAD_LIMIT = 64 * 1024;
// Seconds without progress after which net_check gives a transfer up.
constexpr float HTTP_STALL_SECONDS = 30.0f;
// A failure that repeats unchanged is logged once; how many more times it came is logged when
// it changes, or after this many seconds.
constexpr float HTTP_REPEAT_LOG_SECONDS = 60.0f;

// net_check results.
enum : int { NET_RUNNING = 0, NET_DONE = 1, NET_FAILED = 2 };

// Host-name suffixes that bypass the proxy. Starts empty; nothing here adds to it.
extern std::vector<std::string> gProxyExclude;

// One transfer: looks the server up, connects, sends one request, parses the response head
// and writes the body straight into the destination file.
class down_class {
public:
    down_class(const char* server, unsigned short port, const char* path, bool post,
               const std::map<std::string, std::string>& headers, const char* body, int body_len, const char* dest);
    ~down_class();
    down_class(const down_class&) = delete;
    down_class& operator=(const down_class&) = delete;

    // One send/receive/parse step; never waits.
    void DoProcessing();

    // 0 no socket, 1 connecting, 2 socket error, 3 closed, 4 sending, 5 receiving the body,
    // 6 awaiting the head.
    int GetStat();
    bool IsDone() { return GetStat() == 3; }
    bool IsComplete() const { return content_length == received; }
    bool IsErr() { return error != 0 || GetStat() == 0 || GetStat() == 2; }
    int GetOSErr() const;

    // Flushes and closes the destination file; a failure lands in `error`. Returns `error`.
    [[nodiscard]] int close_file();

    std::unique_ptr<PCSBSocket> sock;
    std::vector<char> out_bytes;
    std::vector<char> in_bytes;
    int head_done = 0;
    int status = 0;
    std::string reason;
    std::map<std::string, std::string> headers;
    std::string path;
    int error = 0;
    // The errno with which the destination file failed (open, write, flush or close), else 0.
    int file_error = 0;
    int content_length = -1;
    int received = 0;
    float last_activity = 0.0f;
    // Log lines of what went wrong before the end (a failed lookup, an endless head), written
    // with the transfer's failure block so that a repeated failure is one repeated text.
    std::string failure_note;

private:
    // Parses complete head lines from the front of in_bytes; returns with the head done or
    // when no complete line is left.
    void parse_head();
    void take_head_line(const char* line, size_t length);
    void finish_head();

    // Takes the body bytes now in in_bytes, never more than Content-Length announced.
    void take_body();
    void fail_file(int file_errno);

    plat::stream_handle file;         // the destination, open from the end of the head to close_file
    size_t head_bytes = 0;            // bytes of head lines consumed so far
    std::string content_length_text;  // first "Content-Length" value, any case
    bool content_length_seen = false;
    bool surplus_logged = false;  // the bytes past Content-Length were logged once
};

class http_class {
public:
    std::string proxy_host;
    std::string proxy_port;
    int proxy_port_int = 0;
    std::unique_ptr<down_class> slots[HTTP_SLOT_COUNT];

    http_class() = default;
    http_class(const http_class&) = delete;
    http_class& operator=(const http_class&) = delete;

    int UseProxy(const char* host, unsigned short port) const;
    std::string ProxyHost(const char* host, unsigned short port) const;
    unsigned short ProxyPort(const char* host, unsigned short port) const;

    // One step of the GET of server + path into dest (relative to the application folder) in
    // `slot`: NET_RUNNING, NET_DONE or NET_FAILED; after DONE or FAILED the slot is free.
    // A failure is logged unless it is the slot's last one again: that is only counted, and
    // the count logged when the failure changes or a minute after the last line about it.
    // A slot outside 0..5 or a malformed server or path is a fatal alert.
    [[nodiscard]] int net_check(int slot, std::string server, std::string path, const std::string& dest);

    // Ends the slot's transfer at once (socket and file closed); the next net_check on the
    // slot starts the transfer it names rather than continuing this one. A slot outside
    // 0..5 or already free is left alone.
    void drop_slot(int slot);

    // The errno with which the destination file of the slot's last ended transfer failed: a
    // full or unwritable folder rather than the network. 0 when it did not, or for a bad slot.
    [[nodiscard]] int destination_error(int slot) const;

private:
    // The failures of one slot as the log has seen them.
    struct failure_run {
        std::string text;   // the last failure logged, whole
        std::string dest;   // its destination, for the count line
        int repeats = 0;    // identical failures since, not yet counted in the log
        float counted = 0;  // clock of the last line written about this run
    };

    void log_failure(int slot, const std::string& dest, const std::string& text);
    void end_failure_run(int slot);

    failure_run failures[HTTP_SLOT_COUNT];
    int file_errors[HTTP_SLOT_COUNT] = {};
};

extern http_class http;

// The request path as it goes on the wire: blanks, control bytes, DEL, '%', '#' and '?'
// percent-encoded, every other byte as it is.
std::string http_escape_path(const std::string& path);
