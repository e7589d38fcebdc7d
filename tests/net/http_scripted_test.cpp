// The HTTP client against a scripted loopback server that misbehaves on demand: exact request
// bytes, malformed and split heads, interim heads, bodies longer or shorter than announced,
// resets, stalls (on a hand-stepped clock), endless heads and failing destinations.
#include <gtest/gtest.h>

#include <iterator>
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

// Resolves only the scripted server's address, and remembers every name it was asked.
std::vector<std::string>& names_asked()
{
    static std::vector<std::string> names;
    return names;
}
uint32_t resolve_only_server(const char* name)
{
    names_asked().push_back(name);
    return std::string(name) == SERVER ? 0x7F00000A : 0;
}

class HttpScripted : public testing::Test {
protected:
    void SetUp() override
    {
        names_asked().clear();
        plat::set_resolver(&resolve_only_server);
    }
    void TearDown() override
    {
        for (int slot = 0; slot < HTTP_SLOT_COUNT; ++slot)
            http.drop_slot(slot);
        use_proxy(0);
        gProxyExclude.clear();
        plat::set_resolver(nullptr);
    }

    // The scripted server as the proxy on `port` (0: no proxy).
    void use_proxy(int port)
    {
        http.proxy_host = port ? SERVER : "";
        http.proxy_port_int = port;
    }

    int step() { return last = http.net_check(SLOT, server_name, path, dest); }

    // Starts a transfer of `p` and returns the request the server received.
    std::string start(const std::string& p, const std::string& name = SERVER)
    {
        path = p;
        server_name = name;
        last = NET_RUNNING;
        auto pump = [&] { return step() == NET_RUNNING; };
        EXPECT_TRUE(server.accept_client(pump)) << "the client never connected";
        std::string request = server.read_request(pump);
        EXPECT_EQ(last, NET_RUNNING);
        return request;
    }

    int finish()
    {
        wait_until([&] { return step() != NET_RUNNING; });
        return last;
    }

    // Sends a whole response in one go and polls the transfer to its end.
    int respond(const std::string& bytes)
    {
        server.send_text(bytes);
        return finish();
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
    // Blanks, control bytes, DEL, '%', '#' and '?' are escaped; nothing else is. Colons and
    // backslashes are separators and go out as slashes.
    const std::pair<std::string, std::string> paths[] = {
        {"/pub/My File#2?v=100%\x01\x7f~.zip", "/pub/My%20File%232%3Fv=100%25%01%7F~.zip"},
        {":Aircraft:General Aviation\\plane.acf", "/Aircraft/General%20Aviation/plane.acf"},
    };
    for (const auto& [asked, sent] : paths) {
        EXPECT_EQ(start(asked),
                  "GET " + sent + " HTTP/1.1\r\nConnection: close\r\nHost: " + host_field(SERVER) + "\r\n" + AGENT);
        EXPECT_EQ(respond("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"), NET_DONE);
        EXPECT_EQ(test::read_file(dest), "ok");
    }

    // Through the proxy the request names the server in absolute form, the connection goes to
    // the proxy's host and the low 16 bits of its port, and the server's name is never looked up.
    names_asked().clear();
    use_proxy(kHttpPort + 0x10000);
    EXPECT_EQ(start("/pub/file.zip", "mirror.test"),
              "GET http://" + host_field("mirror.test") +
                  "/pub/file.zip HTTP/1.1\r\nConnection: close\r\nHost: " + host_field("mirror.test") + "\r\n" + AGENT);
    EXPECT_EQ(respond("HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nx"), NET_DONE);
    EXPECT_EQ(names_asked(), std::vector<std::string>{SERVER});

    // A proxy without a port, or a host the proxy excludes, is reached directly.
    http.proxy_port_int = 0;
    EXPECT_EQ(start("/a").substr(0, 18), "GET /a HTTP/1.1\r\nC");
    EXPECT_EQ(respond("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"), NET_DONE);
    http.proxy_port_int = kHttpPort;
    gProxyExclude.push_back(".10");
    EXPECT_EQ(start("/b").substr(0, 18), "GET /b HTTP/1.1\r\nC");
    EXPECT_EQ(respond("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"), NET_DONE);
    gProxyExclude.assign({"a-much-longer-suffix-than-the-host.mirror.test"});
    EXPECT_EQ(http.UseProxy("mirror.test", 80), 1);
    EXPECT_EQ(http.ProxyHost("mirror.test", 80), SERVER);
    EXPECT_EQ(http.ProxyPort("mirror.test", 81), kHttpPort);
}

TEST_F(HttpScripted, ResponsesEndAsTheirHeadBodyAndDestinationSay)
{
    const std::string head5 = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n";
    const std::string head3 = "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n";
    const std::string surplus = "HTTP body longer than its Content-Length of 5 bytes";
    // The end of the failure block of a transfer that saw no head.
    const std::string no_head = "   IsDone     =1\n   IsComplete =0\n   IsErr      =0\n   GetStat    =3\n"
                                "   GetOSErr   =0\n   response   = (#-1)\n\n";
    const std::string full_disk = "   IsComplete =1\n   IsErr      =1\n   GetStat    =3\n   GetOSErr   =28\n";
    enum End { KEEP, CLOSE, RESET };
    struct Case {
        std::string response;
        int body_first;  // body bytes sent with the head, the rest once the client has taken them; -1 one byte a read
        End end;         // what the server does once the response is out
        std::string dest;
        int result;
        const char* file;  // nullptr: no file
        int dest_errno;
        const char* log;  // a text the log holds; nullptr: nothing is logged
    };
    const Case cases[] = {
        // A status line without a reason, with or without its blank, and a length field in any case.
        {"HTTP/1.1 200 \r\nContent-Length: 3\r\n\r\nabc", 0, KEEP, "", NET_DONE, "abc", 0, nullptr},
        {"HTTP/1.1 200\r\ncontent-length: 3\r\n\r\nabc", 0, KEEP, "", NET_DONE, "abc", 0, nullptr},
        {"HTTP/1.0 204 No Content\r\nCONTENT-LENGTH:  3 \r\n\r\nabc", 0, KEEP, "", NET_DONE, "abc", 0, nullptr},
        {"HTTP/1.1 200 OK\r\nServer: scripted\r\nContent-Length: 11\r\n\r\nhello world", -1, KEEP, "", NET_DONE,
         "hello world", 0, nullptr},
        // An interim head and the final one in one read: the final status counts.
        {"HTTP/1.1 100 Continue\r\nX-Stage: interim\r\n\r\nHTTP/1.1 200 Fine\r\nContent-Length: 5\r\n\r\nhello", 0,
         KEEP, "", NET_DONE, "hello", 0, nullptr},
        // Lines ended by a lone LF are no lines; a status code with a letter is no status line.
        {"HTTP/1.1 200 OK\nContent-Length: 3\n\nabc", 0, RESET, "", NET_FAILED, nullptr, 0, no_head.c_str()},
        {"HTTP/1.1 2x0 OK\r\nContent-Length: 3\r\n\r\nabc", 0, RESET, "", NET_FAILED, nullptr, 0, no_head.c_str()},
        {"Content-Length: 3\r\n\r\nabc", 0, RESET, "", NET_FAILED, nullptr, 0, no_head.c_str()},
        // A body is exactly its length, however the reads fall; short or unannounced, it fails
        // at the server's close.
        {head5 + "helloEXTRA", 0, KEEP, "", NET_DONE, "hello", 0, surplus.c_str()},
        {head5 + "helloEXTRA", 3, KEEP, "", NET_DONE, "hello", 0, surplus.c_str()},
        {head5 + "hel", 0, CLOSE, "", NET_FAILED, "hel", 0, "   IsComplete =0\n"},
        {"HTTP/1.1 200 OK\r\nContent-Le", 0, CLOSE, "", NET_FAILED, nullptr, 0, "   IsComplete =0\n"},
        {"HTTP/1.1 200 OK\r\n\r\nabc", 0, CLOSE, "", NET_FAILED, "abc", 0, "   IsComplete =0\n"},
        // A complete body with an error status fails, with its body on disk.
        {"HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot here\n", 0, KEEP, "", NET_FAILED, "not here\n", 0,
         "   IsComplete =1\n   IsErr      =0\n   GetStat    =3\n   GetOSErr   =0\n   response   =Not Found (#404)\n\n"},
        // A destination that cannot be written: a missing folder fails at the open, a full disk
        // at the flush for a small body and while writing a large one.
        {head3 + "abc", 0, KEEP, "no-such-folder/file.bin", NET_FAILED, nullptr, ENOENT,
         "   IsComplete =0\n   IsErr      =1\n   GetStat    =3\n   GetOSErr   =2\n"},
        {head3 + "abc", 0, KEEP, "/dev/full", NET_FAILED, nullptr, ENOSPC, full_disk.c_str()},
        {"HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(100000, 'z'), 0, KEEP, "/dev/full",
         NET_FAILED, nullptr, ENOSPC, "   GetOSErr   =28\n"},
    };
    for (const Case& c : cases) {
        const std::string name = "/case" + std::to_string(&c - cases);
        dest = c.dest.empty() ? folder / "got.bin" : c.dest[0] == '/' ? c.dest : folder / c.dest;
        unlink((folder / "got.bin").c_str());
        const size_t logged_before = log.text().size();
        start(name);
        if (c.body_first < 0) {
            for (size_t i = 0; i + 1 < c.response.size(); ++i) {
                server.send_text(c.response.substr(i, 1));
                ASSERT_EQ(step(), NET_RUNNING) << name << " after byte " << i;
            }
            server.send_text(c.response.substr(c.response.size() - 1));
        } else if (c.body_first > 0) {
            const size_t first = c.response.find("\r\n\r\n") + 4 + c.body_first;
            server.send_text(c.response.substr(0, first));
            ASSERT_TRUE(wait_until([&] { return step() == NET_RUNNING && http.slots[SLOT]->received == c.body_first; }))
                << name;
            server.send_text(c.response.substr(first));
        } else {
            server.send_text(c.response);
        }
        int result = NET_RUNNING;
        if (c.end == KEEP && c.result == NET_DONE) {
            result = step();  // the whole response arrived in one read
        } else {
            for (int i = 0; c.end != KEEP && i < 20; ++i)
                ASSERT_EQ(step(), NET_RUNNING) << name;
            if (c.end != KEEP)
                c.end == CLOSE ? server.close_orderly() : server.reset();
            // No clock moves here: the end must come from the bytes and the server, not a stall.
            result = finish();
        }
        EXPECT_EQ(result, c.result) << name;
        if (c.dest != "/dev/full") {
            EXPECT_EQ(c.file                  ? read_file(dest)
                          : path_exists(dest) ? "a file"
                                              : "none",
                      c.file ? c.file : "none")
                << name;
        }
        EXPECT_EQ(http.destination_error(SLOT), c.dest_errno) << name;
        const std::string text = log.text().substr(logged_before);
        EXPECT_EQ(text.find("HTTP Error for " + dest + "\n   server     =" + SERVER + "\n   file       =" + name) !=
                      std::string::npos,
                  c.result == NET_FAILED)
            << name << text;
        if (c.log)
            EXPECT_NE(text.find(c.log), std::string::npos) << name << text;
        else
            EXPECT_EQ(text, "") << name;
    }

    // The transfer itself after an interim head: the final status counts, the interim fields stay and win.
    std::map<std::string, std::string> headers{{"Host", SERVER}};
    down_class transfer(SERVER, kHttpPort, "/f", false, headers, nullptr, 0, (folder / "direct.bin").c_str());
    auto pump = [&] { return transfer.DoProcessing(), true; };
    ASSERT_TRUE(server.accept_client(pump));
    EXPECT_EQ(server.read_request(pump), "GET /f HTTP/1.1\r\nHost: 127.0.0.10\r\n\r\n");
    server.send_text("HTTP/1.1 100 Continue\r\nX-Stage: interim\r\n\r\n"
                     "HTTP/1.1 200 Fine\r\nX-Stage: final\r\nX-Final: yes\r\nContent-Length: 5\r\n\r\nhello");
    transfer.DoProcessing();
    EXPECT_EQ(std::to_string(transfer.status) + " " + transfer.reason + " " + transfer.headers["X-Stage"] + " " +
                  transfer.headers["X-Final"] + " " + std::to_string(transfer.received) + "/" +
                  std::to_string(transfer.content_length),
              "200 Fine interim yes 5/5");
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
    ASSERT_EQ(xtim.elapsed, 0.0f);

    // Nothing after the request: 30.0 seconds is still waiting, 30.01 is a failure.
    start("/silent");
    advance(30.0);
    ASSERT_EQ(xtim.elapsed, 30.0f);
    EXPECT_EQ(step(), NET_RUNNING);
    advance(0.01);
    EXPECT_EQ(step(), NET_FAILED);

    // Bytes of the body restart the wait.
    start("/half");
    advance(20.0);
    server.send_text("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhalf");
    EXPECT_EQ(step(), NET_RUNNING);
    advance(29.9);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(step(), NET_RUNNING);
    advance(0.2);
    EXPECT_EQ(step(), NET_FAILED);
    EXPECT_EQ(read_file(dest), "half");

    // A length that is no 31-bit number counts as absent, so the body never completes.
    for (const char* length : {"99999999999", "2147483648", "4294967301", "-5", "12abc"}) {
        start("/odd-length");
        server.send_text(std::string("HTTP/1.1 200 OK\r\nContent-Length: ") + length + "\r\n\r\n12345678901");
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(step(), NET_RUNNING) << length;
        advance(30.1);
        EXPECT_EQ(step(), NET_FAILED) << length;
        EXPECT_EQ(read_file(dest), "12345678901") << length;
    }
    // Stalls are not logged.
    EXPECT_EQ(log.text(), "");
}

TEST_F(HttpScripted, EndlessHeadIsCutOff)
{
    // Eight chunks of 8 KB make exactly 64 KB of head, which is still allowed; one more is not.
    start("/endless");
    std::string chunk(8192, 'x');
    for (int i = 0; i < 8; ++i) {
        server.send_text(chunk);
        ASSERT_EQ(step(), NET_RUNNING) << "chunk " << i;
    }
    server.send_text(chunk);
    EXPECT_EQ(step(), NET_FAILED);
    EXPECT_TRUE(wait_until([&] { return server.client_has_gone(); }));
    std::string text = log.text();
    EXPECT_NE(text.find("HTTP head longer than 65536 bytes"), std::string::npos) << text;
    EXPECT_NE(text.find("HTTP Error for " + dest), std::string::npos) << text;
}

TEST_F(HttpScripted, ServerNamesThatCannotGoOnTheWireAreRefused)
{
    // Through a proxy the server's name goes into the request line and the Host field; a line
    // break there would let a server list add requests or fields of its own.
    use_proxy(kHttpPort);
    const std::string names[] = {"mirror.test\r\nX-Injected: 1", "two words.test", "tab\t.test",
                                 std::string("del\x7f.test"), std::string("nul\0.test", 9)};
    for (const std::string& name : names) {
        EXPECT_EQ(http.net_check(SLOT, name, "/file.zip", dest), NET_FAILED) << name;
        EXPECT_EQ(http.slots[SLOT], nullptr);
    }
    // Neither the proxy nor the name was looked up, so nothing was sent anywhere.
    EXPECT_TRUE(names_asked().empty());
    std::string text = log.text();
    size_t refusals = 0;
    for (size_t at = text.find("   GetOSErr   =20011\n"); at != std::string::npos;
         at = text.find("   GetOSErr   =20011\n", at + 1))
        ++refusals;
    EXPECT_EQ(refusals, std::size(names)) << text;

    // A well-formed name still goes through the same proxy.
    const std::string line = "GET http://" + host_field("mirror.test") + "/file.zip HTTP/1.1\r\n";
    EXPECT_EQ(start("/file.zip", "mirror.test").substr(0, line.size()), line);
    EXPECT_EQ(respond("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"), NET_DONE);
}

TEST(HttpFailures, LookupFailureAndRefusalAreLoggedFailures)
{
    log_capture log;
    temp_folder folder;
    std::string dest = folder / "x.bin";

    plat::set_resolver([](const char*) { return uint32_t(0); });
    EXPECT_EQ(http.net_check(3, "nowhere.test", "/x.bin", dest), NET_FAILED);
    // An empty server name is a lookup failure too, not a read before its start.
    EXPECT_EQ(http.net_check(3, "", "/x.bin", dest), NET_FAILED);
    plat::set_resolver(nullptr);
    EXPECT_EQ(http.slots[3], nullptr);

    // Nothing listens on 127.0.0.2.
    EXPECT_EQ(poll_to_end(4, "127.0.0.2", "/x.bin", dest), NET_FAILED);

    const std::string port = std::to_string(kHttpPort);
    std::string expected = "Translated server nowhere.test to IP addy: 0.0.0.0 and port = " + port + "\n" +
        "HTTP Error for " + dest + "\n   server     =nowhere.test\n   file       =/x.bin\n" +
        "   IsDone     =0\n   IsComplete =0\n   IsErr      =1\n   GetStat    =0\n" +
        "   GetOSErr   =20011\n   response   = (#0)\n\n" + "Translated server  to IP addy: 0.0.0.0 and port = " + port +
        "\n" + "HTTP Error for " + dest + "\n   server     =\n   file       =/x.bin\n" +
        "   IsDone     =0\n   IsComplete =0\n   IsErr      =1\n   GetStat    =0\n" +
        "   GetOSErr   =20011\n   response   = (#0)\n\n" + "HTTP Error for " + dest +
        "\n   server     =127.0.0.2\n   file       =/x.bin\n" +
        "   IsDone     =1\n   IsComplete =0\n   IsErr      =0\n   GetStat    =3\n" +
        "   GetOSErr   =0\n   response   = (#-1)\n\n";
    EXPECT_EQ(log.text(), expected);
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
        {6, "127.0.0.1", "/x", slots},
        {-1, "127.0.0.1", "/x", slots},
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
