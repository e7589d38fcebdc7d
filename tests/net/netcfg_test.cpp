// The built-in host names and port: the loopback configuration, linked as an object library
// beside the libraries (which carry the configured one), must be the one the program sees, and
// the port goes into every request as HTTP has it.
#include "platform/netcfg.h"

#include <gtest/gtest.h>

#include <string>

#include "net/http.h"
#include "net_support.h"
#include "support/temp_folder.h"

TEST(NetworkConfiguration, LoopbackVariantReplacesTheConfiguredNames)
{
#ifdef EXPECT_LOOPBACK
    EXPECT_STREQ(kListHost, "127.0.0.1");
    EXPECT_STREQ(kWebSiteUrl, "http://127.0.0.1/");
#else
    EXPECT_STREQ(kListHost, EXPECTED_LIST_HOST);
    EXPECT_STREQ(kWebSiteUrl, EXPECTED_WEB_SITE_URL);
#endif
    EXPECT_EQ(kHttpPort, EXPECTED_PORT);
    // Pulls the client, which reads the port, into the program: one definition must serve both.
    EXPECT_EQ(http.ProxyPort("127.0.0.1", kHttpPort), kHttpPort);
}

// HTTP's own port 80, the delivered program's, goes unnamed; any other built-in port is named
// in the Host field and in the absolute form a proxy gets. A scripted proxy on a free port sees
// the request, so no server has to hold the built-in port.
TEST(NetworkConfiguration, RequestsNameTheBuiltInPortUnlessItIsHttpsOwn)
{
    nettest::ScriptedServer proxy("127.0.0.1", 0);
    http.proxy_host = "127.0.0.1";
    http.proxy_port_int = proxy.port();
    test::temp_folder folder;
    auto pump = [&] { return http.net_check(0, "mirror.test", "/f", folder / "f") == NET_RUNNING; };
    const std::string authority = EXPECTED_PORT == 80 ? "mirror.test" : "mirror.test:" + std::to_string(EXPECTED_PORT);
    EXPECT_EQ(proxy.take_request(pump),
              "GET http://" + authority + "/f HTTP/1.1\r\nConnection: close\r\nHost: " + authority +
                  "\r\nUser-agent: Installer-APL/ta 8\r\n\r\n");
    http.drop_slot(0);
    http.proxy_host.clear();
    http.proxy_port_int = 0;
}
