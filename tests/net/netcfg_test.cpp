// The built-in host names and port: the loopback configuration, linked as an object library
// beside the libraries (which carry the configured one), must be the one the program sees.
#include "platform/netcfg.h"

#include <gtest/gtest.h>

#include <string>

#include "net/http.h"

TEST(NetworkConfiguration, LoopbackVariantReplacesTheConfiguredNames)
{
#ifdef EXPECT_LOOPBACK
    EXPECT_STREQ(kListHost, "127.0.0.1");
    EXPECT_STREQ(kWebHost, "127.0.0.1");
    EXPECT_STREQ(kUpdateHost, "127.0.0.1");
    EXPECT_STREQ(kWebSiteName, "127.0.0.1");
    EXPECT_STREQ(kWebSiteUrl, "http://127.0.0.1/");
    EXPECT_EQ(kHttpPort, EXPECTED_PORT);
#else
    EXPECT_STREQ(kListHost, EXPECTED_LIST_HOST);
    EXPECT_STREQ(kWebSiteUrl, EXPECTED_WEB_SITE_URL);
    EXPECT_EQ(kHttpPort, EXPECTED_PORT);
    // A build that names no hosts must not be able to reach anybody.
    if (std::string(EXPECTED_LIST_HOST) == "list.veltrix.invalid") {
        EXPECT_TRUE(std::string(kListHost).ends_with(".invalid"));
    }
#endif
    // Pulls the client, which reads the port, into the program: one definition must serve both.
    EXPECT_EQ(http.ProxyPort("127.0.0.1", kHttpPort), kHttpPort);
}
