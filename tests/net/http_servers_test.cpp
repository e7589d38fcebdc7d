// The HTTP client against a real nginx, and through a real tinyproxy, on loopback: small,
// empty and large files in six slots side by side, names that need escaping, dropped transfers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/prefs.h"
#include "net/hooks.h"
#include "net/http.h"
#include "net_support.h"
#include "platform/netcfg.h"
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

    // nginx listens on the port the client uses. The shell execs the script, so that this
    // program owns the servers: they go when it goes, however it ends.
    void SetUp() override
    {
        const std::string ports = " " + std::to_string(kHttpPort) + " " + proxy_port();
        ASSERT_EQ(system(("exec " + script() + " start '" + folder() + "'" + ports).c_str()), 0)
            << "nginx or tinyproxy did not start; see " << folder();
    }
    void TearDown() override { EXPECT_EQ(system((script() + " stop '" + folder() + "'").c_str()), 0); }
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
    long most_in_flight = 0, calls_of_the_large = 0;
    ASSERT_TRUE(wait_until([&] {
        for (int slot = 0; slot < HTTP_SLOT_COUNT; ++slot) {
            if (results[slot] == NET_RUNNING)
                results[slot] = http.net_check(slot, "127.0.0.1", "/" + names[slot], folder / std::to_string(slot));
            calls_of_the_large += slot == 2 && results[slot] == NET_RUNNING;
        }
        most_in_flight = std::max(most_in_flight,
                                  HTTP_SLOT_COUNT - std::count(std::begin(http.slots), std::end(http.slots), nullptr));
        return std::count(results.begin(), results.end(), NET_RUNNING) == 0;
    }));
    EXPECT_EQ(most_in_flight, HTTP_SLOT_COUNT);
    EXPECT_EQ(results, std::vector<int>(HTTP_SLOT_COUNT, NET_DONE));
    for (int slot = 0; slot < HTTP_SLOT_COUNT; ++slot)
        EXPECT_TRUE(read_file(folder / std::to_string(slot)) == bodies[slot]) << names[slot];
    // At most one read of 64 KB per call.
    EXPECT_GE(calls_of_the_large, static_cast<long>(bodies[2].size() / HTTP_READ_CHUNK));

    // An empty file and a small one come whole too, each asked for on a slot whose transfer of
    // the large file was dropped a few steps in: the drop ends it, nothing of it continues.
    for (const std::string small : {"", "serverlist.txt: a small text file\n"}) {
        for (int i = 0; i < 4; i++)
            ASSERT_EQ(http.net_check(3, "127.0.0.1", "/" + names[2], folder / "dropped"), NET_RUNNING);
        http.drop_slot(3);
        write_file(Services::www("small.txt"), small);
        EXPECT_EQ(poll_to_end(3, "127.0.0.1", "/small.txt", folder / "small.txt"), NET_DONE);
        EXPECT_EQ(path_exists(folder / "small.txt") ? read_file(folder / "small.txt") : "none", small);
    }
    // A slot out of range is left alone.
    http.drop_slot(-1);
    http.drop_slot(HTTP_SLOT_COUNT);
    EXPECT_EQ(log.text(), "");
}

TEST_F(HttpServers, ProxyCarriesTheRequestToTheServer)
{
    // The proxy the preference file names is the client's own.
    core_hooks hooks{};
    net_fill_core_hooks(hooks);
    const pref_proxy_fields fields = hooks.proxy_fields();
    EXPECT_TRUE(fields.host == &http.proxy_host && fields.port_text == &http.proxy_port &&
                fields.port_number == &http.proxy_port_int);

    const std::string body = patterned_bytes(300000, 7);
    write_file(Services::www("proxied.bin"), body);
    http.proxy_host = "127.0.0.1";
    http.proxy_port_int = std::atoi(Services::proxy_port().c_str());
    EXPECT_EQ(poll_to_end(0, "127.0.0.1", "/proxied.bin", folder / "proxied.bin"), NET_DONE);
    EXPECT_TRUE(read_file(folder / "proxied.bin") == body);
    // The proxy carried it (the request's absolute form is proven against the scripted proxies).
    const std::string proxy_log = read_file(Services::folder() + "/tinyproxy.log");
    EXPECT_NE(proxy_log.find("GET http://127.0.0.1"), std::string::npos) << proxy_log;
}
