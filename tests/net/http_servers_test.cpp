// The HTTP client against a real nginx, and through a real tinyproxy, on loopback: small,
// empty and large files in six slots side by side, names that need escaping, a dropped transfer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/prefs.h"
#include "net/hooks.h"
#include "net/http.h"
#include "net_support.h"
#include "platform/netcfg.h"
#include "support/access_log.h"
#include "support/file_bytes.h"
#include "support/log_capture.h"
#include "support/temp_folder.h"

using namespace nettest;
using namespace test;

namespace {

std::string environment_or(const char* name, const std::string& fallback)
{
    const char* value = getenv(name);
    return value && *value ? value : fallback;
}

// nginx and tinyproxy for the whole test program, started by the project's services script.
class Services : public testing::Environment {
public:
    static std::string folder() { return environment_or("VELTRIX_BINARY_DIR", "/tmp") + "/net-services"; }
    static std::string www(const std::string& leaf) { return folder() + "/www/" + leaf; }
    static std::string proxy_port() { return environment_or("VELTRIX_TEST_PROXY_PORT", "18088"); }
    static std::string script() { return environment_or("VELTRIX_SOURCE_DIR", ".") + "/tests/support/services"; }

    void SetUp() override
    {
        std::string port = environment_or("VELTRIX_TEST_HTTP_PORT", std::to_string(kHttpPort));
        ASSERT_EQ(port, std::to_string(kHttpPort)) << "the test server must listen on the port the client uses";
        int rc = system((script() + " start '" + folder() + "' " + port + " " + proxy_port()).c_str());
        ASSERT_EQ(rc, 0) << "nginx or tinyproxy did not start; see " << folder();
        started = true;
    }
    void TearDown() override
    {
        if (started) {
            EXPECT_EQ(system((script() + " stop '" + folder() + "'").c_str()), 0);
        }
    }

private:
    bool started = false;
};

const testing::Environment* const services = testing::AddGlobalTestEnvironment(new Services);

class HttpServers : public testing::Test {
protected:
    void TearDown() override
    {
        http.proxy_host.clear();
        http.proxy_port_int = 0;
    }

    temp_folder folder;
    log_capture log;
};

}

TEST_F(HttpServers, SixSlotsFetchSideBySideWhateverTheNamesAndSizes)
{
    // Every slot's file is large enough to take many calls, so that all six run at once; their
    // names need escaping, which the server must undo.
    const std::string names[HTTP_SLOT_COUNT] = {"with space", "100%", "hash#name", "what?", "tilde~", "plain"};
    std::vector<std::string> bodies;
    for (int slot = 0; slot < HTTP_SLOT_COUNT; ++slot) {
        bodies.push_back(patterned_bytes(slot == 2 ? 8 << 20 : (1 << 20) + slot * 1000, 100 + slot));
        write_file(Services::www(names[slot]), bodies[slot]);
    }
    std::vector<int> results(HTTP_SLOT_COUNT, NET_RUNNING);
    int most_in_flight = 0;
    long calls_of_the_large = 0;
    bool all_ended = wait_until([&] {
        int in_flight = 0;
        bool running = false;
        for (int slot = 0; slot < HTTP_SLOT_COUNT; ++slot) {
            if (results[slot] != NET_RUNNING)
                continue;
            results[slot] = http.net_check(slot, "127.0.0.1", "/" + names[slot], folder / std::to_string(slot));
            calls_of_the_large += slot == 2;
            running = running || results[slot] == NET_RUNNING;
            in_flight += http.slots[slot] != nullptr;
        }
        most_in_flight = std::max(most_in_flight, in_flight);
        return !running;
    });
    ASSERT_TRUE(all_ended);
    EXPECT_EQ(most_in_flight, HTTP_SLOT_COUNT);
    for (int slot = 0; slot < HTTP_SLOT_COUNT; ++slot) {
        EXPECT_EQ(results[slot], NET_DONE) << names[slot];
        EXPECT_TRUE(read_file(folder / std::to_string(slot)) == bodies[slot]) << names[slot];
        EXPECT_EQ(http.slots[slot], nullptr);
    }
    // At most one read of 64 KB per call.
    EXPECT_GE(calls_of_the_large, static_cast<long>(bodies[2].size() / HTTP_READ_CHUNK));
    std::string access = settled_access_log(Services::folder() + "/access.log", kHttpPort);
    EXPECT_NE(access.find("\"GET /with%20space HTTP/1.1\" 200"), std::string::npos) << access;
    EXPECT_NE(access.find("\"GET /hash%23name HTTP/1.1\" 200"), std::string::npos) << access;

    // An empty file and a small one come whole too.
    for (const std::string small : {"", "serverlist.txt: a small text file\n"}) {
        write_file(Services::www("small.txt"), small);
        EXPECT_EQ(poll_to_end(0, "127.0.0.1", "/small.txt", folder / "small.txt"), NET_DONE);
        EXPECT_TRUE(path_exists(folder / "small.txt"));
        EXPECT_EQ(read_file(folder / "small.txt"), small);
    }
    EXPECT_EQ(log.text(), "");
}

TEST_F(HttpServers, ADroppedTransferIsNotContinuedByTheNextRequest)
{
    const std::string first = patterned_bytes(4 << 20, 3);
    const std::string second = "the file asked for after the drop\n";
    write_file(Services::www("first.bin"), first);
    write_file(Services::www("second.txt"), second);

    // A few steps into the first transfer, then the slot is dropped.
    for (int i = 0; i < 4; i++)
        ASSERT_EQ(http.net_check(3, "127.0.0.1", "/first.bin", folder / "first.bin"), NET_RUNNING);
    ASSERT_NE(http.slots[3], nullptr);
    http.drop_slot(3);
    EXPECT_EQ(http.slots[3], nullptr);
    http.drop_slot(3);  // already free: nothing happens
    http.drop_slot(-1);
    http.drop_slot(HTTP_SLOT_COUNT);

    // The same slot now fetches what it is asked for, not the rest of the first file.
    EXPECT_EQ(poll_to_end(3, "127.0.0.1", "/second.txt", folder / "second.txt"), NET_DONE);
    EXPECT_EQ(read_file(folder / "second.txt"), second);
    EXPECT_NE(read_file(folder / "first.bin"), first);
}

TEST_F(HttpServers, ProxyCarriesTheRequestToTheServer)
{
    const std::string body = patterned_bytes(300000, 7);
    write_file(Services::www("proxied.bin"), body);
    write_file(Services::www("direct.bin"), "direct");

    // The proxy comes from the installer's preference file, as it does for a user.
    const core_hooks before = core_get_hooks();
    core_hooks hooks = before;
    net_fill_core_hooks(hooks);
    core_set_hooks(hooks);
    const char* old_config = getenv("XDG_CONFIG_HOME");
    std::string saved_config = old_config ? old_config : "";
    setenv("XDG_CONFIG_HOME", folder.root.c_str(), 1);
    write_file(folder / "Veltrix Installer.prf",
               "A\n8500 version\n_proxy_host 127.0.0.1\n_proxy_port_int " + Services::proxy_port() + "\n");
    pref.IO_set(PREF_SET_INSTALLER, PREF_READ);
    core_set_hooks(before);
    if (old_config)
        setenv("XDG_CONFIG_HOME", saved_config.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(http.proxy_host, "127.0.0.1");
    EXPECT_EQ(http.proxy_port_int, std::atoi(Services::proxy_port().c_str()));

    EXPECT_EQ(poll_to_end(0, "127.0.0.1", "/proxied.bin", folder / "proxied.bin"), NET_DONE);
    EXPECT_TRUE(read_file(folder / "proxied.bin") == body);

    http.proxy_port_int = 0;
    EXPECT_EQ(poll_to_end(0, "127.0.0.1", "/direct.bin", folder / "direct.bin"), NET_DONE);
    EXPECT_EQ(read_file(folder / "direct.bin"), "direct");

    // The proxy saw the absolute-form request, and only that one.
    std::string proxy_log = read_file(Services::folder() + "/tinyproxy.log");
    // On port 80 the absolute form names no port.
    std::string authority = kHttpPort == 80 ? "127.0.0.1" : "127.0.0.1:" + std::to_string(kHttpPort);
    EXPECT_NE(proxy_log.find("GET http://" + authority + "/proxied.bin HTTP/1.1"), std::string::npos) << proxy_log;
    EXPECT_EQ(proxy_log.find("/direct.bin"), std::string::npos) << proxy_log;
    std::string access = settled_access_log(Services::folder() + "/access.log", kHttpPort);
    EXPECT_NE(access.find("\"GET /proxied.bin HTTP/1.1\" 200"), std::string::npos) << access;
    EXPECT_NE(access.find("\"GET /direct.bin HTTP/1.1\" 200"), std::string::npos) << access;
}
