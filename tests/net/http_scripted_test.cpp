// The HTTP client against a scripted loopback server that misbehaves on demand: exact request
// bytes, malformed and split heads, interim heads, bodies longer or shorter than announced,
// resets, stalls (on a hand-stepped clock), endless heads and failing destinations.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

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

// "host" or "host:port", as the Host field names the build's port.
std::string host_field(const std::string& host)
{
    return kHttpPort == 80 ? host : host + ":" + std::to_string(kHttpPort);
}

off_t file_size(const std::string& path)
{
    struct stat facts { };
    return stat(path.c_str(), &facts) == 0 ? facts.st_size : -1;
}

uint32_t resolve_nothing(const char*)
{
    return 0;
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

uint32_t resolve_mirror_to_server(const char* name)
{
    return std::string(name) == "mirror.test" ? 0x7F00000A : 0;
}

class HttpScripted : public testing::Test {
protected:
    void SetUp() override
    {
        http.proxy_host.clear();
        http.proxy_port_int = 0;
        gProxyExclude.clear();
    }
    void TearDown() override
    {
        for (down_class*& slot : http.slots) {
            delete slot;
            slot = nullptr;
        }
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
        auto pump = [&] { step(); };
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
    const std::string agent = "User-agent: Installer-APL/ta 8\r\n\r\n";

    // Blanks, control bytes, DEL, '%', '#' and '?' are escaped; nothing else is.
    EXPECT_EQ(start(std::string("/pub/My File#2?v=100%\x01\x7f~.zip")),
              "GET /pub/My%20File%232%3Fv=100%25%01%7F~.zip HTTP/1.1\r\nConnection: close\r\nHost: " +
                  host_field(SERVER) + "\r\n" + agent);
    EXPECT_EQ(respond("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"), NET_DONE);
    EXPECT_EQ(read_file(dest), "ok");

    // Colons and backslashes are separators and go out as slashes.
    EXPECT_EQ(start(":Aircraft:General Aviation\\plane.acf"),
              "GET /Aircraft/General%20Aviation/plane.acf HTTP/1.1\r\nConnection: close\r\nHost: " +
                  host_field(SERVER) + "\r\n" + agent);
    EXPECT_EQ(respond("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"), NET_DONE);

    // Through the proxy the request names the server in absolute form, the connection goes to
    // the proxy's host and the low 16 bits of its port, and the server's name is never looked up.
    names_asked().clear();
    plat::set_resolver(&resolve_only_server);
    http.proxy_host = SERVER;
    http.proxy_port_int = kHttpPort + 0x10000;
    EXPECT_EQ(start("/pub/file.zip", "mirror.test"),
              "GET http://" + host_field("mirror.test") +
                  "/pub/file.zip HTTP/1.1\r\nConnection: close\r\nHost: " + host_field("mirror.test") + "\r\n" + agent);
    EXPECT_EQ(respond("HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nx"), NET_DONE);
    EXPECT_EQ(names_asked(), std::vector<std::string>{SERVER});

    // A proxy without a port, or a host the proxy excludes, is reached directly.
    plat::set_resolver(&resolve_mirror_to_server);
    http.proxy_port_int = 0;
    EXPECT_EQ(start("/a", "mirror.test").substr(0, 18), "GET /a HTTP/1.1\r\nC");
    EXPECT_EQ(respond("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"), NET_DONE);
    http.proxy_port_int = kHttpPort;
    gProxyExclude.push_back(".test");
    EXPECT_EQ(start("/b", "mirror.test").substr(0, 18), "GET /b HTTP/1.1\r\nC");
    EXPECT_EQ(respond("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"), NET_DONE);
    gProxyExclude.assign({"a-much-longer-suffix-than-the-host.mirror.test"});
    EXPECT_EQ(http.UseProxy("mirror.test", 80), 1);
    EXPECT_EQ(http.ProxyHost("mirror.test", 80), SERVER);
    EXPECT_EQ(http.ProxyPort("mirror.test", 81), kHttpPort);
}

TEST_F(HttpScripted, WellFormedHeadsCompleteInAnySpelling)
{
    // A status line without a reason phrase, with or without its blank, and a length field in
    // any case all complete.
    const char* heads[] = {
        "HTTP/1.1 200 \r\nContent-Length: 3\r\n\r\nabc",
        "HTTP/1.1 200\r\ncontent-length: 3\r\n\r\nabc",
        "HTTP/1.0 204 No Content\r\nCONTENT-LENGTH:  3 \r\n\r\nabc",
    };
    for (const char* response : heads) {
        start("/f");
        EXPECT_EQ(respond(response), NET_DONE) << response;
        EXPECT_EQ(read_file(dest), "abc") << response;
    }
    EXPECT_EQ(log.text(), "");
}

TEST_F(HttpScripted, MalformedHeadsNeverComplete)
{
    // Lines ended by a lone LF are no lines; a status code with a letter is no status line.
    const char* heads[] = {
        "HTTP/1.1 200 OK\nContent-Length: 3\n\nabc",
        "HTTP/1.1 2x0 OK\r\nContent-Length: 3\r\n\r\nabc",
        "Content-Length: 3\r\n\r\nabc",
    };
    for (const char* response : heads) {
        start("/f");
        server.send_text(response);
        for (int i = 0; i < 20; ++i)
            ASSERT_EQ(step(), NET_RUNNING) << response;
        server.reset();
        EXPECT_EQ(finish(), NET_FAILED) << response;
        EXPECT_FALSE(path_exists(dest)) << response;
    }
    std::string text = log.text();
    EXPECT_NE(text.find("   IsDone     =1\n   IsComplete =0\n   IsErr      =0\n   GetStat    =3\n"
                        "   GetOSErr   =0\n   response   = (#-1)\n\n"),
              std::string::npos)
        << text;
}

TEST_F(HttpScripted, InterimHeadThenFinalHeadInOneRead)
{
    const std::string response = "HTTP/1.1 100 Continue\r\nX-Stage: interim\r\n\r\n"
                                 "HTTP/1.1 200 Fine\r\nX-Stage: final\r\nX-Final: yes\r\nContent-Length: 5\r\n\r\n"
                                 "hello";
    start("/f");
    server.send_text(response);
    EXPECT_EQ(step(), NET_DONE) << "the whole response arrived in one read";
    EXPECT_EQ(read_file(dest), "hello");

    // The transfer itself: the final status counts, the interim fields stay and win.
    std::map<std::string, std::string> headers{{"Host", SERVER}};
    down_class transfer(SERVER, kHttpPort, "/f", false, headers, nullptr, 0, (folder / "direct.bin").c_str());
    auto pump = [&] { transfer.DoProcessing(); };
    ASSERT_TRUE(server.accept_client(pump));
    EXPECT_EQ(server.read_request(pump), "GET /f HTTP/1.1\r\nHost: 127.0.0.10\r\n\r\n");
    server.send_text(response);
    transfer.DoProcessing();
    EXPECT_EQ(transfer.head_done, 1);
    EXPECT_EQ(transfer.status, 200);
    EXPECT_EQ(transfer.reason, "Fine");
    EXPECT_EQ(transfer.headers["X-Stage"], "interim");
    EXPECT_EQ(transfer.headers["X-Final"], "yes");
    EXPECT_EQ(transfer.content_length, 5);
    EXPECT_EQ(transfer.received, 5);
    EXPECT_TRUE(transfer.IsComplete());
    EXPECT_TRUE(transfer.IsDone());
}

TEST_F(HttpScripted, HeadSplitAcrossManyReads)
{
    const std::string response = "HTTP/1.1 200 OK\r\nServer: scripted\r\nContent-Length: 11\r\n\r\nhello world";
    start("/f");
    for (size_t i = 0; i + 1 < response.size(); ++i) {
        server.send_text(response.substr(i, 1));
        ASSERT_EQ(step(), NET_RUNNING) << "after byte " << i;
    }
    server.send_text(response.substr(response.size() - 1));
    EXPECT_EQ(step(), NET_DONE);
    EXPECT_EQ(read_file(dest), "hello world");
}

TEST_F(HttpScripted, BodiesAreExactlyTheirLengthAndEndWhenTheServerCloses)
{
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n";
    const std::string surplus_line = "HTTP body longer than its Content-Length of 5 bytes";
    // A failing case ends with the server closing its side in order; only a done one drops bytes.
    struct Case {
        std::string response;
        size_t body_in_first_read;  // 0: the whole response in one read; else the body bytes read first
        int result;
        const char* file;
    };
    const Case cases[] = {
        {head + "helloEXTRA", 0, NET_DONE, "hello"},
        {head + "helloEXTRA", 3, NET_DONE, "hello"},
        {head + "hel", 0, NET_FAILED, "hel"},
        {"HTTP/1.1 200 OK\r\nContent-Le", 0, NET_FAILED, ""},
        {"HTTP/1.1 200 OK\r\n\r\nabc", 0, NET_FAILED, "abc"},
    };
    for (const Case& c : cases) {
        const std::string name = "/case" + std::to_string(&c - cases);
        const size_t logged_before = log.text().size();
        start(name);
        size_t first = c.body_in_first_read ? head.size() + c.body_in_first_read : c.response.size();
        server.send_text(c.response.substr(0, first));
        if (first < c.response.size()) {
            ASSERT_TRUE(wait_until(
                [&] { return step() == NET_RUNNING && http.slots[SLOT]->received == int(c.body_in_first_read); }));
            server.send_text(c.response.substr(first));
        }
        if (c.result == NET_FAILED)
            server.close_orderly();
        // No clock moves here: the end must come from the bytes and the close, not a stall.
        EXPECT_EQ(finish(), c.result) << name;
        EXPECT_EQ(read_file(dest), c.file) << name;
        const std::string text = log.text().substr(logged_before);
        EXPECT_EQ(text.find(surplus_line) != std::string::npos, c.result == NET_DONE) << name << text;
        EXPECT_EQ(text.find("HTTP Error for ") != std::string::npos, c.result == NET_FAILED) << name << text;
        unlink(dest.c_str());
    }

    // A complete body with an error status still fails, with its body on disk.
    start("/missing");
    EXPECT_EQ(respond("HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot here\n"), NET_FAILED);
    EXPECT_EQ(read_file(dest), "not here\n");
    EXPECT_NE(log.text().find("   IsComplete =1\n   IsErr      =0\n   GetStat    =3\n   GetOSErr   =0\n"
                              "   response   =Not Found (#404)\n\n"),
              std::string::npos)
        << log.text();
}

TEST_F(HttpScripted, StallsEndAfterThirtySecondsWithoutProgress)
{
    FakeClock clock;
    // A fresh record: its first frame reads exactly 0, so 30 s later it reads exactly 30.
    xtim = xtim_class();
    xtim.advance_frame(0, 0);
    ASSERT_EQ(xtim.elapsed, 0.0f);

    // Nothing after the request: 30.0 seconds is still waiting, 30.01 is a failure.
    start("/silent");
    clock.advance_seconds(30.0);
    xtim.advance_frame(0, 0);
    ASSERT_EQ(xtim.elapsed, 30.0f);
    EXPECT_EQ(step(), NET_RUNNING);
    clock.advance_seconds(0.01);
    xtim.advance_frame(0, 0);
    EXPECT_EQ(step(), NET_FAILED);

    // Bytes of the body restart the wait.
    start("/half");
    clock.advance_seconds(20.0);
    xtim.advance_frame(0, 0);
    server.send_text("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhalf");
    EXPECT_EQ(step(), NET_RUNNING);
    clock.advance_seconds(29.9);
    xtim.advance_frame(0, 0);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(step(), NET_RUNNING);
    clock.advance_seconds(0.2);
    xtim.advance_frame(0, 0);
    EXPECT_EQ(step(), NET_FAILED);
    EXPECT_EQ(read_file(dest), "half");

    // A length that is no 31-bit number counts as absent, so the body never completes.
    for (const char* length : {"99999999999", "2147483648", "-5", "12abc"}) {
        start("/odd-length");
        server.send_text(std::string("HTTP/1.1 200 OK\r\nContent-Length: ") + length + "\r\n\r\n12345678901");
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(step(), NET_RUNNING) << length;
        clock.advance_seconds(30.1);
        xtim.advance_frame(0, 0);
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

TEST_F(HttpScripted, DestinationsThatCannotBeWrittenFail)
{
    // A folder that does not exist: the open fails with ENOENT.
    dest = folder / "no-such-folder/file.bin";
    start("/f");
    EXPECT_EQ(respond("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabc"), NET_FAILED);

    // A full disk: a small body fails when the file is flushed, a large one while writing.
    dest = "/dev/full";
    start("/small");
    EXPECT_EQ(respond("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabc"), NET_FAILED);
    start("/large");
    EXPECT_EQ(respond("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(100000, 'z')), NET_FAILED);
    EXPECT_EQ(http.destination_error(SLOT), ENOSPC) << "the disk, not the network, failed";
    // A failure of the server is no failure of the destination.
    start("/missing");
    EXPECT_EQ(respond("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n"), NET_FAILED);
    EXPECT_EQ(http.destination_error(SLOT), 0);

    std::string text = log.text();
    EXPECT_NE(text.find("   file       =/f\n   IsDone     =1\n   IsComplete =0\n   IsErr      =1\n   GetStat    =3\n"
                        "   GetOSErr   =2\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("   file       =/small\n   IsDone     =1\n   IsComplete =1\n   IsErr      =1\n"
                        "   GetStat    =3\n   GetOSErr   =28\n"),
              std::string::npos)
        << text;
    size_t large = text.find("   file       =/large\n");
    ASSERT_NE(large, std::string::npos) << text;
    EXPECT_NE(text.find("   GetOSErr   =28\n", large), std::string::npos) << text;
}

TEST_F(HttpScripted, FileSizeLimitTruncatesAndFails)
{
    // A real file that may not grow past 1000 bytes: the kernel takes part of a write and
    // refuses the rest with EFBIG (SIGXFSZ ignored, as it would otherwise end the process).
    const rlim_t cap = 1000;
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    ASSERT_TRUE(saved.rlim_max == RLIM_INFINITY || saved.rlim_max > cap);
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(sigaction(SIGXFSZ, &ignore, &previous), 0);
    rlimit capped{cap, saved.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &capped), 0);

    // Small enough to sit in the stream's buffer until the file is closed: the flush at the
    // end is what fails, after every byte of the body was received.
    const std::string small = "HTTP/1.1 200 OK\r\nContent-Length: 3000\r\n\r\n" + std::string(3000, 's');
    start("/buffered");
    int buffered_result = respond(small);
    off_t buffered_size = file_size(dest);
    // Larger than the buffer: the write itself comes up short.
    std::string large_dest = folder / "large.bin";
    dest = large_dest;
    start("/direct");
    int direct_result = respond("HTTP/1.1 200 OK\r\nContent-Length: 50000\r\n\r\n" + std::string(50000, 'd'));
    off_t direct_size = file_size(large_dest);

    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
    EXPECT_EQ(sigaction(SIGXFSZ, &previous, nullptr), 0);

    EXPECT_EQ(buffered_result, NET_FAILED);
    EXPECT_EQ(buffered_size, static_cast<off_t>(cap));
    EXPECT_EQ(direct_result, NET_FAILED);
    EXPECT_EQ(direct_size, static_cast<off_t>(cap));
    std::string text = log.text();
    EXPECT_NE(text.find("   file       =/buffered\n   IsDone     =1\n   IsComplete =1\n   IsErr      =1\n"
                        "   GetStat    =3\n   GetOSErr   =" +
                        std::to_string(EFBIG) + "\n"),
              std::string::npos)
        << text;
    size_t direct = text.find("   file       =/direct\n");
    ASSERT_NE(direct, std::string::npos) << text;
    EXPECT_NE(text.find("   IsErr      =1\n   GetStat    =", direct), std::string::npos) << text;
    EXPECT_NE(text.find("   GetOSErr   =" + std::to_string(EFBIG) + "\n", direct), std::string::npos) << text;
}

TEST_F(HttpScripted, ServerNamesThatCannotGoOnTheWireAreRefused)
{
    // Through a proxy the server's name goes into the request line and the Host field; a line
    // break there would let a server list add requests or fields of its own.
    names_asked().clear();
    plat::set_resolver(&resolve_only_server);
    http.proxy_host = SERVER;
    http.proxy_port_int = kHttpPort;
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

    plat::set_resolver(&resolve_nothing);
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
    struct Case {
        int slot;
        const char* server;
        const char* path;
        const char* l1;
        const char* l4;
        int line;
    };
    const Case cases[] = {
        {6, "127.0.0.1", "/x", "Too many download objects requested!", "", 272},
        {-1, "127.0.0.1", "/x", "Too many download objects requested!", "", 272},
        {0, "127.0.0.1/", "/x", "net_check error! You have a dirchar at the end of the server name!", "127.0.0.1/",
         287},
        {0, "host:", "/x", "net_check error! You have a dirchar at the end of the server name!", "host:", 287},
        {0, "127.0.0.1", "x/y", "net_check error! You do not have a dirchar at the beginning of the directory name!",
         "x/y", 288},
        {0, "127.0.0.1", "", "net_check error! You do not have a dirchar at the beginning of the directory name!", "",
         288},
    };
    for (const Case& c : cases) {
        try {
            (void)http.net_check(c.slot, c.server, c.path, "x");
            ADD_FAILURE() << "no alert for slot " << c.slot << " server " << c.server << " path " << c.path;
        } catch (const fatal_alert& fatal) {
            EXPECT_EQ(fatal.alert.l1, c.l1);
            EXPECT_EQ(fatal.alert.l4, c.l4);
            EXPECT_EQ(fatal.alert.type, 2);
            EXPECT_EQ(fatal.alert.file, "DEzovuv/OOPS_cpp/http");
            EXPECT_EQ(fatal.alert.line, c.line);
        }
        EXPECT_EQ(http.slots[0], nullptr);
    }
}
