// The HTTP client against a scripted loopback server that misbehaves on demand: exact request
// bytes, malformed, split, interim and endless heads, bodies longer or shorter than announced,
// resets, stalls (on a hand-stepped clock) and failing destinations.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/clock.h"
#include "net/http.h"
#include "net_support.h"
#include "platform/netcfg.h"
#include "platform/socket.h"
#include "support/alert_recorder.h"
#include "support/fake_clock.h"
#include "support/file_bytes.h"
#include "support/log_capture.h"
#include "support/temp_folder.h"

using namespace nettest;
using namespace test;

namespace {

constexpr const char* SERVER = "127.0.0.10";
constexpr int SLOT = 2;
const std::string AGENT = "User-agent: Installer-APL/ta 8\r\n\r\n";

// "host" or "host:port", as the Host field names the build's port.
std::string host_field(const std::string& host)
{
    return kHttpPort == 80 ? host : host + ":" + std::to_string(kHttpPort);
}

// Every name the resolver was asked; it knows only the scripted server's address.
std::vector<std::string> names_asked;
uint32_t resolve_only_server(const char* name)
{
    names_asked.push_back(name);
    return std::string(name) == SERVER ? 0x7F00000A : 0;
}

class HttpScripted : public testing::Test {
protected:
    void SetUp() override
    {
        names_asked.clear();
        plat::set_resolver(&resolve_only_server);
    }
    void TearDown() override
    {
        for (int slot = 0; slot < HTTP_SLOT_COUNT; ++slot)
            http.drop_slot(slot);
        http.proxy_host.clear();
        http.proxy_port_int = 0;
        gProxyExclude.clear();
        plat::set_resolver(nullptr);
    }

    int step() { return last = http.net_check(SLOT, server_name, path, dest); }

    // Starts a transfer of `p` and returns the request the server received.
    std::string start(const std::string& p, const std::string& name = SERVER)
    {
        path = p;
        server_name = name;
        last = NET_RUNNING;
        auto pump = [&] { return step() == NET_RUNNING; };
        std::string request = server.take_request(pump);
        EXPECT_EQ(last, NET_RUNNING);
        return request;
    }

    int finish()
    {
        wait_until([&] { return step() != NET_RUNNING; });
        return last;
    }

    temp_folder folder;
    log_capture log;
    ScriptedServer server{SERVER};
    std::string dest = folder / "got.bin";
    std::string server_name = SERVER;
    std::string path;
    int last = NET_RUNNING;
};

}

TEST_F(HttpScripted, RequestBytesDirectAndThroughAProxy)
{
    struct Case {
        int proxy_port;
        std::vector<std::string> excluded;
        std::string asked, name, line;
    };
    const std::string absolute = "GET http://" + host_field("mirror.test");
    const Case cases[] = {
        // Blanks, control bytes, DEL, '%', '#' and '?' are escaped; nothing else is. Colons and
        // backslashes are separators and go out as slashes. A proxy without a port is not used.
        {0, {}, "/pub/My File#2?v=100%\x01\x7f~.zip", SERVER, "GET /pub/My%20File%232%3Fv=100%25%01%7F~.zip HTTP/1.1"},
        {0, {}, ":Aircraft:General Aviation\\plane.acf", SERVER, "GET /Aircraft/General%20Aviation/plane.acf HTTP/1.1"},
        // Through the proxy, on the low 16 bits of its port, the request names the server in
        // absolute form, and the server's name is never looked up.
        {kHttpPort + 0x10000, {}, "/pub/file.zip", "mirror.test", absolute + "/pub/file.zip HTTP/1.1"},
        // A host the proxy excludes is reached directly.
        {kHttpPort, {"x", ".10"}, "/b", SERVER, "GET /b HTTP/1.1"},
    };
    for (const Case& c : cases) {
        names_asked.clear();
        http.proxy_host = SERVER;
        http.proxy_port_int = c.proxy_port;
        gProxyExclude = c.excluded;
        EXPECT_EQ(start(c.asked, c.name),
                  c.line + "\r\nConnection: close\r\nHost: " + host_field(c.name) + "\r\n" + AGENT);
        server.send_text("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
        EXPECT_EQ(finish(), NET_DONE) << c.asked;
        EXPECT_EQ(names_asked, std::vector<std::string>{SERVER}) << c.asked;
    }
    gProxyExclude.assign({"a-much-longer-suffix-than-the-host.mirror.test"});
    EXPECT_EQ(http.UseProxy("mirror.test", 80), 1);
}

TEST_F(HttpScripted, ResponsesEndAsTheirHeadBodyAndDestinationSay)
{
    const std::string ok = "HTTP/1.1 200 OK\r\n", head5 = ok + "Content-Length: 5\r\n\r\n";
    const std::string abc3 = ok + "Content-Length: 3\r\n\r\nabc";
    const char* surplus = "HTTP body longer than its Content-Length of 5 bytes";
    // The end of the failure block of a transfer that saw no head, and of one cut short.
    const char* no_head = "   IsDone     =1\n   IsComplete =0\n   IsErr      =0\n   GetStat    =3\n"
                          "   GetOSErr   =0\n   response   = (#-1)\n\n";
    const char* cut = "   IsComplete =0\n";
    enum End { KEEP, CLOSE, RESET };
    struct Case {
        std::string response;
        size_t piece;  // bytes the client gets per read, the last read excepted; 0: all in one
        End end;       // what the server does once the response is out
        int result;
        const char* file;  // nullptr: no file
        const char* log;   // a text the log holds; nullptr: nothing is logged
        int dest_errno = 0;
        std::string dest = "";  // "": a file in the test's folder named after the case
    };
    const Case cases[] = {
        // A status line without a reason, with or without its blank, and a length field in any case.
        {"HTTP/1.1 200 \r\nContent-Length: 3\r\n\r\nabc", 0, KEEP, NET_DONE, "abc", nullptr},
        {"HTTP/1.1 200\r\ncontent-length: 3\r\n\r\nabc", 0, KEEP, NET_DONE, "abc", nullptr},
        {"HTTP/1.0 204 No Content\r\nCONTENT-LENGTH:  3 \r\n\r\nabc", 0, KEEP, NET_DONE, "abc", nullptr},
        {ok + "Server: scripted\r\nContent-Length: 11\r\n\r\nhello world", 1, KEEP, NET_DONE, "hello world", nullptr},
        // An interim head and the final one in one read: the final status counts.
        {"HTTP/1.1 100 Continue\r\nX-Stage: interim\r\n\r\n" + head5 + "hello", 0, KEEP, NET_DONE, "hello", nullptr},
        // Lines ended by a lone LF are no lines; a status code with a letter is no status line.
        {"HTTP/1.1 200 OK\nContent-Length: 3\n\nabc", 0, RESET, NET_FAILED, nullptr, no_head},
        {"HTTP/1.1 2x0 OK\r\nContent-Length: 3\r\n\r\nabc", 0, RESET, NET_FAILED, nullptr, no_head},
        {"Content-Length: 3\r\n\r\nabc", 0, RESET, NET_FAILED, nullptr, no_head},
        // A body is exactly its length, however the reads fall (the second read takes "loEXTRA");
        // short or unannounced, it fails at the server's close.
        {head5 + "helloEXTRA", 0, KEEP, NET_DONE, "hello", surplus},
        {head5 + "helloEXTRA", head5.size() + 3, KEEP, NET_DONE, "hello", surplus},
        {head5 + "hel", 0, CLOSE, NET_FAILED, "hel", cut},
        {ok + "Content-Le", 0, CLOSE, NET_FAILED, nullptr, cut},
        {ok + "\r\nabc", 0, CLOSE, NET_FAILED, "abc", cut},
        // A length that is no 31-bit number, or has more than digits, counts as absent.
        {ok + "Content-Length: 2147483648\r\n\r\n123456", 0, CLOSE, NET_FAILED, "123456", cut},
        {ok + "Content-Length: 4294967301\r\n\r\n123456", 0, CLOSE, NET_FAILED, "123456", cut},
        {ok + "Content-Length: 5abc\r\n\r\n123456", 0, CLOSE, NET_FAILED, "123456", cut},
        // A head may take 64 KB, no more: the read that passes that ends the transfer.
        {std::string(9 * 8192, 'x'), 8192, KEEP, NET_FAILED, nullptr, "HTTP head longer than 65536 bytes"},
        // A complete body with an error status fails, with its body on disk.
        {"HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot here\n", 0, KEEP, NET_FAILED, "not here\n",
         "   IsComplete =1\n   IsErr      =0\n   GetStat    =3\n   GetOSErr   =0\n   response   =Not Found (#404)\n\n"},
        // A destination that cannot be written: a missing folder fails at the open, a full disk
        // at the flush for a small body and while writing a large one.
        {abc3, 0, KEEP, NET_FAILED, nullptr, "   IsComplete =0\n   IsErr      =1\n   GetStat    =3\n   GetOSErr   =2\n",
         ENOENT, "no-such-folder/file.bin"},
        {abc3, 0, KEEP, NET_FAILED, nullptr,
         "   IsComplete =1\n   IsErr      =1\n   GetStat    =3\n   GetOSErr   =28\n", ENOSPC, "/dev/full"},
        {ok + "Content-Length: 100000\r\n\r\n" + std::string(100000, 'z'), 0, KEEP, NET_FAILED, nullptr,
         "   GetOSErr   =28\n", ENOSPC, "/dev/full"},
    };
    for (const Case& c : cases) {
        const std::string name = "/case" + std::to_string(&c - cases);
        dest = c.dest.empty() ? folder.root + name : c.dest[0] == '/' ? c.dest : folder / c.dest;
        const size_t logged_before = log.text().size();
        start(name);
        const size_t piece = c.piece ? c.piece : c.response.size();
        for (size_t at = 0; at < c.response.size(); at += piece) {
            if (at > 0) {
                ASSERT_EQ(step(), NET_RUNNING) << name << " at byte " << at;
            }
            server.send_text(c.response.substr(at, piece));
        }
        for (int i = 0; c.end != KEEP && i < 20; ++i)
            ASSERT_EQ(step(), NET_RUNNING) << name;
        if (c.end != KEEP)
            c.end == CLOSE ? server.close_orderly() : server.reset();
        // A whole response ends in the read that takes it. No clock moves here: no end comes from a stall.
        EXPECT_EQ(c.end == KEEP && c.result == NET_DONE ? step() : finish(), c.result) << name;
        if (c.dest != "/dev/full") {
            EXPECT_EQ(path_exists(dest) ? read_file(dest) : "none", c.file ? c.file : "none") << name;
        }
        EXPECT_EQ(http.destination_error(SLOT), c.dest_errno) << name;
        const std::string text = log.text().substr(logged_before);
        EXPECT_TRUE(c.log ? text.find(c.log) != std::string::npos : text.empty()) << name << text;
    }
}

TEST_F(HttpScripted, StallsEndAfterThirtySecondsWithoutProgress)
{
    FakeClock clock;
    auto advance = [&](double seconds) {
        clock.advance_seconds(seconds);
        xtim.advance_frame(0, 0);
    };
    // A fresh record: its first frame reads exactly 0, so 30 s later it reads exactly 30.
    xtim = xtim_class();
    advance(0);

    // Nothing after the request: 30.0 seconds is still waiting, 30.01 is a failure.
    start("/silent");
    advance(30.0);
    EXPECT_EQ(step(), NET_RUNNING);
    advance(0.01);
    EXPECT_EQ(step(), NET_FAILED);

    // Bytes of the body restart the wait.
    start("/half");
    advance(20.0);
    server.send_text("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhalf");
    EXPECT_EQ(step(), NET_RUNNING);
    advance(29.9);
    EXPECT_EQ(step(), NET_RUNNING);
    advance(0.2);
    EXPECT_EQ(step(), NET_FAILED);
    EXPECT_EQ(read_file(dest), "half");

    // Stalls are not logged.
    EXPECT_EQ(log.text(), "");
}

TEST_F(HttpScripted, ServerNamesThatCannotGoOnTheWireAreRefused)
{
    // Through a proxy the server's name goes into the request line and the Host field; a line
    // break there would let a server list add requests or fields of its own. An empty name is
    // no name either, and is not read before its start.
    http.proxy_host = SERVER;
    http.proxy_port_int = kHttpPort;
    // clang-format off
    const std::string names[] = {"mirror.test\r\nX-Injected: 1", "two words.test", "tab\t.test", "del\x7f.test",
                                 std::string("nul\0.test", 9), ""};
    // clang-format on
    for (const std::string& name : names) {
        const size_t logged_before = log.text().size();
        EXPECT_EQ(http.net_check(SLOT, name, "/file.zip", dest), NET_FAILED) << name;
        EXPECT_NE(log.text().find("   GetOSErr   =20011\n", logged_before), std::string::npos) << name;
    }
    // Neither the proxy nor the name was looked up, so nothing was sent anywhere.
    EXPECT_TRUE(names_asked.empty());
}

TEST_F(HttpScripted, ANameTheResolverDoesNotKnowIsALoggedFailure)
{
    // The failure block names the transfer whole; a refusal or a reset before any head ends the
    // same way with the block the response table checks.
    EXPECT_EQ(http.net_check(3, "nowhere.test", "/x.bin", dest), NET_FAILED);
    EXPECT_EQ(http.slots[3], nullptr);
    EXPECT_EQ(log.text(),
              "Translated server nowhere.test to IP addy: 0.0.0.0 and port = " + std::to_string(kHttpPort) +
                  "\nHTTP Error for " + dest +
                  "\n   server     =nowhere.test\n   file       =/x.bin\n   IsDone     =0\n   IsComplete =0\n"
                  "   IsErr      =1\n   GetStat    =0\n   GetOSErr   =20011\n   response   = (#0)\n\n");
}

TEST(HttpFailures, MisuseIsAFatalAlert)
{
    alert_recorder alerts;
    const std::string slots = "Too many download objects requested!||||2|DEzovuv/OOPS_cpp/http:272";
    const std::string server = "net_check error! You have a dirchar at the end of the server name!|You should not!|"
                               "Our convention is that a server name is simply a server name... with no slash!|";
    const std::string path = "net_check error! You do not have a dirchar at the beginning of the directory name!|"
                             "You should!|Our convention is that a directory name does start with a slash because it "
                             "must include the hard drive,which is a dir char on unix!|";
    const std::tuple<int, const char*, const char*, std::string> cases[] = {
        // clang-format off
        {6, "127.0.0.1", "/x", slots}, {-1, "127.0.0.1", "/x", slots},
        // clang-format on
        {0, "127.0.0.1/", "/x", server + "127.0.0.1/|2|DEzovuv/OOPS_cpp/http:287"},
        {0, "host:", "/x", server + "host:|2|DEzovuv/OOPS_cpp/http:287"},
        {0, "127.0.0.1", "x/y", path + "x/y|2|DEzovuv/OOPS_cpp/http:288"},
        {0, "127.0.0.1", "", path + "|2|DEzovuv/OOPS_cpp/http:288"},
    };
    for (const auto& [slot, server_name, file, alert] : cases) {
        EXPECT_EQ(summary(expect_fatal([&] { (void)http.net_check(slot, server_name, file, "x"); })), alert);
        EXPECT_EQ(http.slots[0], nullptr);
    }
}
