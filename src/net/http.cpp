// The polled HTTP/1.1 client. The response head it reads:
//
//   head        = *( status-line | header-line | other-line ) CRLF
//   status-line = "HTTP/" 3CHAR SP 3DIGIT [ SP reason ]       (12 characters or more)
//   header-line = name ": " value
//
// Lines end at CR LF only (a lone LF does not end a line). A blank line ends a head; after an
// interim (1xx) head, or with no status line at all, the next line starts a new head. The
// body is exactly "Content-Length" (any case) raw bytes: any that follow are dropped, and the
// connection's end never ends a body. One without a usable length, or cut short, never
// completes: the transfer fails as soon as the server closes or resets, or once it stalls. No
// chunked coding, no redirects, no connection reuse.
//
// Index:
//   [Request]     escaping, the request text, the transfer's construction
//   [Step]        DoProcessing: send, read, head, body
//   [Head]        head lines, the end of a head, the length field
//   [Polling]     http_class: proxy choice and net_check
#include "net/http.h"

#include <errno.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstring>
#include <sstream>

#include "core/alert.h"
#include "core/clock.h"
#include "core/errors.h"
#include "core/globals.h"
#include "core/paths.h"
#include "platform/netcfg.h"

http_class http;
std::vector<std::string> gProxyExclude;

namespace {

// Source path that the fatal alerts of this module name.
constexpr const char* HTTP_SOURCE = "DEzovuv/OOPS_cpp/http";
constexpr int LINE_TOO_MANY_SLOTS = 272;
constexpr int LINE_SERVER_DIRCHAR = 287;
constexpr int LINE_PATH_DIRCHAR = 288;

// The status code sits at characters 9-11 of "HTTP/1.1 200 OK"; the reason from 13 on.
constexpr size_t STATUS_LINE_MIN = 12;
constexpr size_t STATUS_CODE_AT = 9;
constexpr size_t REASON_AT = 13;
// Statuses up to this one announce an interim head; another head follows.
constexpr int LAST_INTERIM_STATUS = 199;
constexpr unsigned short DEFAULT_HTTP_PORT = 80;

// The user agent: "Installer-" + "APL/" + the last four characters of the product version.
constexpr const char* PRODUCT_VERSION = "Veltrix 8.50 Beta 8";

bool equals_ignoring_case(const std::string& a, const char* b)
{
    size_t n = std::strlen(b);
    if (a.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

bool is_blank(char c)
{
    return c == ' ' || c == '\t';
}

// A decimal length with optional blanks around it, 0 .. 2^31-1; anything else is -1.
int parse_content_length(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && is_blank(text[i]))
        ++i;
    size_t first_digit = i;
    int64_t value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        value = value * 10 + (text[i] - '0');
        if (value > INT32_MAX)
            return -1;
        ++i;
    }
    if (i == first_digit)
        return -1;
    while (i < text.size() && is_blank(text[i]))
        ++i;
    return i == text.size() ? static_cast<int>(value) : -1;
}

// A byte that would end or split the request line or the Host field.
bool unsafe_on_the_wire(unsigned char c)
{
    return c < 0x21 || c == 0x7F;
}

std::string dotted(uint32_t host)
{
    return std::to_string(host >> 24) + "." + std::to_string((host >> 16) & 0xFF) + "." +
        std::to_string((host >> 8) & 0xFF) + "." + std::to_string(host & 0xFF);
}

}

// [Request] ------------------------------------------------------------------------------

std::string http_escape_path(const std::string& path)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (unsigned char c : path) {
        bool escape = unsafe_on_the_wire(c) || c == '%' || c == '#' || c == '?';
        if (!escape) {
            out += static_cast<char>(c);
            continue;
        }
        out += '%';
        out += hex[c >> 4];
        out += hex[c & 0x0F];
    }
    return out;
}

down_class::down_class(const char* server, unsigned short port, const char* request_path, bool post,
                       const std::map<std::string, std::string>& request_headers, const char* body, int body_len,
                       const char* dest)
{
    if (dest) {
        path = app_path + dest;
        set_dir_chars(path);
    }
    last_activity = xtim.elapsed;

    std::string server_name = server ? server : "";
    // An empty name has no address, whatever the proxy; nor has one with blanks or control
    // bytes (a NUL included, which only the Host field still shows), as they would reach the
    // wire raw inside the request line and the Host field.
    auto wire_safe = [](const std::string& text) {
        return std::none_of(text.begin(), text.end(),
                            [](char c) { return unsafe_on_the_wire(static_cast<unsigned char>(c)); });
    };
    auto host_entry = request_headers.find("Host");
    bool usable_name = !server_name.empty() && wire_safe(server_name) &&
        (host_entry == request_headers.end() || wire_safe(host_entry->second));
    bool proxied = usable_name && http.UseProxy(server_name.c_str(), port);
    uint32_t address = 0;
    if (usable_name)
        address = PCSBSocket::LookupAddress(proxied ? http.proxy_host.c_str() : server_name.c_str());
    if (address == 0) {
        failure_note += "Translated server " + server_name + " to IP addy: " + dotted(address) +
            " and port = " + std::to_string(port) + "\n";
        error = kErrNetNoServer;
        return;
    }

    status = -1;
    sock = std::make_unique<PCSBSocket>(0, false);
    sock->Connect(address, proxied ? http.ProxyPort(server_name.c_str(), port) : port);

    std::string request = post ? "POST " : "GET ";
    if (proxied) {
        request += "http://";
        if (host_entry != request_headers.end())
            request += host_entry->second;
    }
    request += http_escape_path(request_path ? request_path : "");
    request += " HTTP/1.1\r\n";
    for (const auto& [key, value] : request_headers)
        request += key + ": " + value + "\r\n";
    if (body)
        request += "Content-Length: " + std::to_string(body_len) + "\r\n";
    request += "\r\n";
    out_bytes.assign(request.begin(), request.end());
    if (body && body_len > 0)
        out_bytes.insert(out_bytes.end(), body, body + body_len);
}

down_class::~down_class()
{
    // The outcome is already decided when a transfer is destroyed.
    (void)close_file();
}

int down_class::close_file()
{
    if (!file)
        return error;
    // Taken from its owner: the answers of the flush and the close are the transfer's outcome.
    FILE* stream = file.release();
    errno = 0;
    bool stream_failed = std::ferror(stream) != 0;
    int flushed = std::fflush(stream);
    int flush_errno = errno;
    errno = 0;
    int closed = std::fclose(stream);
    int close_errno = errno;
    if (flushed != 0)
        fail_file(flush_errno ? flush_errno : EIO);
    else if (closed != 0)
        fail_file(close_errno ? close_errno : EIO);
    else if (stream_failed)
        fail_file(EIO);
    return error;
}

// The first error of a transfer is the one it reports.
void down_class::fail_file(int file_errno)
{
    if (error)
        return;
    error = file_errno;
    file_error = file_errno;
}

int down_class::GetStat()
{
    if (!sock)
        return 0;
    switch (sock->GetStatus()) {
        case PCSBSocket::STATUS_CONNECTING:
            return 1;
        case PCSBSocket::STATUS_ERROR:
            return 2;
        case PCSBSocket::STATUS_CLOSED:
            return 3;
        default:
            break;
    }
    if (!out_bytes.empty())
        return 4;
    return head_done ? 5 : 6;
}

int down_class::GetOSErr() const
{
    if (error)
        return error;
    if (sock)
        return sock->GetOSError();
    return kErrNetNoConnection;
}

// [Step] ---------------------------------------------------------------------------------

void down_class::DoProcessing()
{
    // One buffer serves every transfer: steps never overlap.
    static char receive_buffer[HTTP_READ_CHUNK];

    if (!sock)
        return;
    int socket_status = sock->GetStatus();
    if (socket_status == PCSBSocket::STATUS_CLOSED || socket_status == PCSBSocket::STATUS_ERROR) {
        (void)close_file();  // a failed flush is kept in `error` for net_check
        return;
    }
    if (socket_status != PCSBSocket::STATUS_CONNECTED)
        return;

    if (!out_bytes.empty()) {
        int32_t sent = sock->WriteData(out_bytes.data(), static_cast<int32_t>(out_bytes.size()));
        if (sent > 0)
            out_bytes.erase(out_bytes.begin(), out_bytes.begin() + sent);
    }

    int32_t got = sock->ReadData(receive_buffer, HTTP_READ_CHUNK);
    if (got == PCSBSocket::READ_RELEASED) {
        // The server has closed its side and every byte it sent has been read: a body short
        // of its length, or a head that never ended, will not grow any more.
        if (!IsComplete())
            sock->Disconnect();
        return;
    }
    if (got < 1)
        return;
    in_bytes.insert(in_bytes.end(), receive_buffer, receive_buffer + got);

    if (!head_done) {
        parse_head();
        if (!head_done) {
            if (head_bytes + in_bytes.size() > HTTP_HEAD_LIMIT) {
                failure_note += "HTTP head longer than " + std::to_string(HTTP_HEAD_LIMIT) +
                    " bytes from the server for " + path + "\n";
                sock->Disconnect();
            }
            return;
        }
    }

    last_activity = xtim.elapsed;
    take_body();
}

void down_class::take_body()
{
    if (content_length != -1) {
        // The body is exactly the announced bytes; whatever follows them in the same read is
        // not the file's, and once they are all here the connection is dropped.
        const size_t missing = static_cast<size_t>(content_length - received);
        if (in_bytes.size() >= missing) {
            if (in_bytes.size() > missing && !surplus_logged) {
                xer << "HTTP body longer than its Content-Length of " << content_length << " bytes from the server for "
                    << path << "; the extra bytes are ignored.\n";
                surplus_logged = true;
            }
            in_bytes.resize(missing);
            sock->Disconnect();
        }
    }

    if (!file || in_bytes.empty())
        return;
    int64_t total = static_cast<int64_t>(received) + static_cast<int64_t>(in_bytes.size());
    if (total > INT32_MAX) {
        // The byte count is 32 bits wide; a body past it cannot be counted, so it fails.
        error = EFBIG;
        sock->Disconnect();
        in_bytes.clear();
        return;
    }
    received = static_cast<int>(total);
    errno = 0;
    size_t written = std::fwrite(in_bytes.data(), 1, in_bytes.size(), file.get());
    if (written != in_bytes.size())
        fail_file(errno ? errno : EIO);
    in_bytes.clear();
}

// [Head] ---------------------------------------------------------------------------------

void down_class::parse_head()
{
    static const char crlf[] = "\r\n";
    size_t consumed = 0;
    while (!head_done) {
        const char* begin = in_bytes.data() + consumed;
        const char* limit = in_bytes.data() + in_bytes.size();
        const char* line_end = std::search(begin, limit, crlf, crlf + 2);
        if (line_end == limit)
            break;
        size_t length = static_cast<size_t>(line_end - begin);
        consumed += length + 2;
        head_bytes += length + 2;
        if (length == 0) {
            if (status > LAST_INTERIM_STATUS)
                finish_head();
            continue;
        }
        take_head_line(begin, length);
    }
    in_bytes.erase(in_bytes.begin(), in_bytes.begin() + static_cast<std::ptrdiff_t>(consumed));
}

void down_class::take_head_line(const char* line, size_t length)
{
    std::string text(line, length);
    bool status_line = length >= STATUS_LINE_MIN && text.compare(0, 5, "HTTP/") == 0 &&
        std::isdigit(static_cast<unsigned char>(text[STATUS_CODE_AT])) &&
        std::isdigit(static_cast<unsigned char>(text[STATUS_CODE_AT + 1])) &&
        std::isdigit(static_cast<unsigned char>(text[STATUS_CODE_AT + 2]));
    if (status_line) {
        status = std::stoi(text.substr(STATUS_CODE_AT, 3));
        reason = length > REASON_AT ? text.substr(REASON_AT) : std::string();
        return;
    }
    size_t separator = text.find(": ");
    if (separator == std::string::npos)
        return;
    std::string key = text.substr(0, separator);
    std::string value = text.substr(separator + 2);
    if (!content_length_seen && equals_ignoring_case(key, "Content-Length")) {
        content_length_seen = true;
        content_length_text = value;
    }
    headers.emplace(std::move(key), std::move(value));
}

void down_class::finish_head()
{
    head_done = 1;
    if (!path.empty()) {
        errno = 0;
        file.reset(std::fopen(path.c_str(), "wbe"));
        if (!file)
            fail_file(errno ? errno : EIO);
    }
    if (content_length_seen)
        content_length = parse_content_length(content_length_text);
}

// [Polling] ------------------------------------------------------------------------------

void http_class::drop_slot(int slot)
{
    if (slot < 0 || slot >= HTTP_SLOT_COUNT)
        return;
    slots[slot].reset();
    file_errors[slot] = 0;
}

int http_class::UseProxy(const char* host, unsigned short port) const
{
    if (proxy_port_int == 0 || proxy_host.empty())
        return 0;
    size_t host_length = std::strlen(host);
    for (const std::string& suffix : gProxyExclude) {
        if (suffix.size() <= host_length &&
            std::memcmp(host + host_length - suffix.size(), suffix.data(), suffix.size()) == 0)
            return 0;
    }
    return 1;
}

std::string http_class::ProxyHost(const char* host, unsigned short port) const
{
    return UseProxy(host, port) ? proxy_host : std::string(host);
}

unsigned short http_class::ProxyPort(const char* host, unsigned short port) const
{
    return UseProxy(host, port) ? static_cast<unsigned short>(proxy_port_int & 0xFFFF) : port;
}

int http_class::net_check(int slot, std::string server, std::string path, const std::string& dest)
{
    if (slot < 0 || slot >= HTTP_SLOT_COUNT) {
        __MACIBM_alert(0, "Too many download objects requested!", "", "", "", ALERT_FATAL, HTTP_SOURCE,
                       LINE_TOO_MANY_SLOTS);
        return NET_FAILED;
    }
    static bool networking_started = false;
    if (!networking_started) {
        networking_started = true;
        (void)PCSBSocket::StartupNetworking(true);  // nothing to start on this system
    }

    if (!slots[slot]) {
        // An empty server name goes on to fail its lookup.
        if (!server.empty() && is_folder_separator(server.back())) {
            __MACIBM_alert(0, "net_check error! You have a dirchar at the end of the server name!", "You should not!",
                           "Our convention is that a server name is simply a server name... with no slash!", server,
                           ALERT_FATAL, HTTP_SOURCE, LINE_SERVER_DIRCHAR);
            return NET_FAILED;
        }
        if (path.empty() || !is_folder_separator(path[0])) {
            __MACIBM_alert(0, "net_check error! You do not have a dirchar at the beginning of the directory name!",
                           "You should!",
                           "Our convention is that a directory name does start with a slash because it must include "
                           "the hard drive,which is a dir char on unix!",
                           path, ALERT_FATAL, HTTP_SOURCE, LINE_PATH_DIRCHAR);
            return NET_FAILED;
        }
    }
    // Every call converts, so that the failure log shows the names as they went on the wire.
    std::replace_if(server.begin(), server.end(), is_folder_separator, '/');
    std::replace_if(path.begin(), path.end(), is_folder_separator, '/');

    if (!slots[slot]) {
        std::string version = PRODUCT_VERSION;
        std::map<std::string, std::string> request_headers;
        request_headers["Connection"] = "close";
        // Off port 80 the Host field names the port too, as does the absolute form for a proxy.
        request_headers["Host"] = kHttpPort == DEFAULT_HTTP_PORT ? server : server + ":" + std::to_string(kHttpPort);
        request_headers["User-agent"] = "Installer-APL/" + version.substr(version.size() - 4);
        slots[slot] = std::make_unique<down_class>(server.c_str(), kHttpPort, path.c_str(), false, request_headers,
                                                   nullptr, 0, dest.c_str());
    }

    down_class* transfer = slots[slot].get();
    transfer->DoProcessing();
    if (!transfer->IsDone() && !transfer->IsComplete() && !transfer->IsErr()) {
        if (xtim.elapsed > transfer->last_activity + HTTP_STALL_SECONDS) {
            slots[slot].reset();
            file_errors[slot] = 0;
            return NET_FAILED;
        }
        return NET_RUNNING;
    }

    file_errors[slot] = 0;
    bool succeeded = transfer->status >= 200 && transfer->status <= 299 && transfer->IsComplete() && !transfer->IsErr();
    // Done only once the file is flushed and closed: a full disk shows up here at the latest.
    if (succeeded && transfer->close_file() == 0) {
        end_failure_run(slot);
        slots[slot].reset();
        return NET_DONE;
    }

    std::ostringstream block;
    block << transfer->failure_note << "HTTP Error for " << dest << "\n"
          << "   server     =" << server << "\n"
          << "   file       =" << path << "\n"
          << "   IsDone     =" << (transfer->IsDone() ? 1 : 0) << "\n"
          << "   IsComplete =" << (transfer->IsComplete() ? 1 : 0) << "\n"
          << "   IsErr      =" << (transfer->IsErr() ? 1 : 0) << "\n"
          << "   GetStat    =" << transfer->GetStat() << "\n"
          << "   GetOSErr   =" << transfer->GetOSErr() << "\n"
          << "   response   =" << transfer->reason << " (#" << transfer->status << ")\n\n";
    log_failure(slot, dest, block.str());
    file_errors[slot] = transfer->file_error;
    slots[slot].reset();
    return NET_FAILED;
}

int http_class::destination_error(int slot) const
{
    return (slot < 0 || slot >= HTTP_SLOT_COUNT) ? 0 : file_errors[slot];
}

// While a server stays down the same failure comes back every few seconds for hours: it is
// logged once, and after that only how many more times it came.
void http_class::log_failure(int slot, const std::string& dest, const std::string& text)
{
    failure_run& run = failures[slot];
    if (text == run.text) {
        ++run.repeats;
        if (xtim.elapsed - run.counted >= HTTP_REPEAT_LOG_SECONDS) {
            xer << "HTTP Error for " << run.dest << ": the same again " << run.repeats << " more times.\n";
            xer.flush();
            run.repeats = 0;
            run.counted = xtim.elapsed;
        }
        return;
    }
    end_failure_run(slot);
    xer << text;
    xer.flush();
    run.text = text;
    run.dest = dest;
    run.counted = xtim.elapsed;
}

void http_class::end_failure_run(int slot)
{
    failure_run& run = failures[slot];
    if (run.repeats > 0)
        xer << "HTTP Error for " << run.dest << ": the same again " << run.repeats << " more times.\n";
    run = failure_run{};
}
