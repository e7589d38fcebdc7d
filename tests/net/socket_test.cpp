// PCSBSocket on real loopback sockets: connecting, refusal, accepting, a release after the
// data, a reset mid-stream, flow control, abortive closes and the name lookup seam.
#include "platform/socket.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace {

constexpr uint32_t LOOPBACK = 0x7F000001;  // 127.0.0.1 in host order

// Polls `done` until it holds; gives up after five seconds so a fault cannot hang the run.
template <class Condition> bool wait_until(Condition done)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

struct Pair {
    std::unique_ptr<PCSBSocket> listener;
    std::unique_ptr<PCSBSocket> client;
    std::unique_ptr<PCSBSocket> server;
};

// A listener on an ephemeral port, a client connected to it, and the accepted end.
Pair connected_pair()
{
    Pair p;
    p.listener = std::make_unique<PCSBSocket>(0, true);
    PCSBSocket::ConnectionData where{};
    p.listener->GetAddresses(&where);
    p.client = std::make_unique<PCSBSocket>(0, false);
    p.client->Connect(LOOPBACK, where.local_port);
    EXPECT_TRUE(wait_until([&] {
        if (!p.server)
            p.server.reset(p.listener->Accept());
        return p.server && p.client->GetStatus() == PCSBSocket::STATUS_CONNECTED;
    }));
    return p;
}

uint8_t pattern_byte(size_t i)
{
    return static_cast<uint8_t>((i * 131) ^ (i >> 9));
}

// Reads from `s` into `got` until the peer releases; returns the last ReadData result.
int32_t read_until_release(PCSBSocket& s, std::vector<uint8_t>& got)
{
    std::vector<uint8_t> buffer(65536);
    int32_t n = 0;
    wait_until([&] {
        n = s.ReadData(buffer.data(), static_cast<int32_t>(buffer.size()));
        if (n > 0)
            got.insert(got.end(), buffer.begin(), buffer.begin() + n);
        return n == PCSBSocket::READ_RELEASED || n == PCSBSocket::READ_BAD_STATE || n == PCSBSocket::READ_ERROR;
    });
    return n;
}

}

TEST(Socket, RefusedConnectionReportsClosed)
{
    uint16_t free_port;
    {
        PCSBSocket probe(0, true);
        PCSBSocket::ConnectionData where{};
        probe.GetAddresses(&where);
        free_port = where.local_port;
    }
    PCSBSocket client(0, false);
    EXPECT_EQ(client.GetStatus(), PCSBSocket::STATUS_IDLE);
    client.Connect(LOOPBACK, free_port);
    ASSERT_TRUE(wait_until([&] { return client.GetStatus() != PCSBSocket::STATUS_CONNECTING; }));
    EXPECT_EQ(client.GetStatus(), PCSBSocket::STATUS_CLOSED);
    EXPECT_EQ(client.GetOSError(), 0);
    // A closed endpoint cannot connect again.
    client.Connect(LOOPBACK, free_port);
    EXPECT_EQ(client.GetOSError(), SOCKET_ERR_RECONNECT);
    EXPECT_EQ(client.GetStatus(), PCSBSocket::STATUS_ERROR);
}

TEST(Socket, AcceptedConnectionCarriesDataBothWaysAndKnowsBothEnds)
{
    Pair p = connected_pair();
    ASSERT_TRUE(p.server);
    EXPECT_EQ(p.server->GetStatus(), PCSBSocket::STATUS_CONNECTED);
    EXPECT_EQ(p.listener->Accept(), nullptr) << "only one connection was made";

    PCSBSocket::ConnectionData c{}, s{}, l{};
    p.client->GetAddresses(&c);
    p.server->GetAddresses(&s);
    p.listener->GetAddresses(&l);
    EXPECT_EQ(c.remote_host, LOOPBACK);
    EXPECT_EQ(c.remote_port, l.local_port);
    EXPECT_EQ(s.local_port, l.local_port);
    EXPECT_EQ(s.remote_host, LOOPBACK);
    EXPECT_EQ(s.remote_port, c.local_port);
    EXPECT_NE(c.local_port, 0);
    p.client->GetAddresses(nullptr);

    const char hello[] = "GET / HTTP/1.1\r\n\r\n";
    EXPECT_EQ(p.client->WriteData(hello, sizeof(hello) - 1), static_cast<int32_t>(sizeof(hello) - 1));
    char buffer[64] = {};
    int32_t n = 0;
    ASSERT_TRUE(wait_until([&] { return (n = p.server->ReadData(buffer, sizeof(buffer))) > 0; }));
    EXPECT_EQ(std::string(buffer, n), hello);
    EXPECT_EQ(p.server->WriteData("ok", 2), 2);
    ASSERT_TRUE(wait_until([&] { return (n = p.client->ReadData(buffer, sizeof(buffer))) > 0; }));
    EXPECT_EQ(std::string(buffer, n), "ok");
    EXPECT_EQ(p.client->ReadData(buffer, sizeof(buffer)), PCSBSocket::READ_NO_DATA);
}

TEST(Socket, ReleaseIsSeenOnlyAfterEveryByteIsRead)
{
    Pair p = connected_pair();
    ASSERT_TRUE(p.server);
    const size_t total = 1 << 20;
    std::vector<uint8_t> sent(total);
    for (size_t i = 0; i < total; ++i)
        sent[i] = pattern_byte(i);

    // The peer sends a megabyte and releases at once, as a web server does after its reply.
    size_t offset = 0;
    ASSERT_TRUE(wait_until([&] {
        int32_t n = p.server->WriteData(sent.data() + offset, static_cast<int32_t>(total - offset));
        if (n > 0)
            offset += n;
        return offset == total;
    }));
    p.server->Release();

    std::vector<uint8_t> got;
    EXPECT_EQ(read_until_release(*p.client, got), PCSBSocket::READ_RELEASED);
    EXPECT_EQ(got.size(), total);
    EXPECT_TRUE(got == sent);
    EXPECT_TRUE(p.client->ReceivedRelease());
    EXPECT_EQ(p.client->GetStatus(), PCSBSocket::STATUS_CONNECTED);
    char more;
    EXPECT_EQ(p.client->ReadData(&more, 1), PCSBSocket::READ_RELEASED);
}

TEST(Socket, PeerResetEndsTheConnectionWithoutSigpipe)
{
    Pair p = connected_pair();
    ASSERT_TRUE(p.server);
    p.server->Disconnect();
    std::vector<uint8_t> chunk(4096, 'x');
    int32_t n = 0;
    // The first write after the reset may still be taken; a later one must fail. A SIGPIPE
    // here would end the test process.
    ASSERT_TRUE(wait_until([&] { return (n = p.client->WriteData(chunk.data(), 4096)) < 0; }));
    EXPECT_EQ(n, PCSBSocket::WRITE_ERROR);
    EXPECT_EQ(p.client->GetStatus(), PCSBSocket::STATUS_CLOSED);
    EXPECT_EQ(p.client->GetOSError(), 0);
}

TEST(Socket, FlowControlTakesNothingAndLosesNothing)
{
    Pair p = connected_pair();
    ASSERT_TRUE(p.server);
    // Fill the socket buffers while the peer reads nothing, until a write is refused.
    std::vector<uint8_t> sent;
    std::vector<uint8_t> chunk(65536);
    const size_t limit = 256u << 20;
    int32_t n = 1;
    while (n > 0 && sent.size() < limit) {
        for (size_t i = 0; i < chunk.size(); ++i)
            chunk[i] = pattern_byte(sent.size() + i);
        n = p.client->WriteData(chunk.data(), static_cast<int32_t>(chunk.size()));
        if (n > 0)
            sent.insert(sent.end(), chunk.begin(), chunk.begin() + n);
    }
    ASSERT_EQ(n, PCSBSocket::WRITE_FLOW_CONTROL);
    EXPECT_EQ(p.client->GetStatus(), PCSBSocket::STATUS_CONNECTED);

    p.client->Release();
    std::vector<uint8_t> got;
    EXPECT_EQ(read_until_release(*p.server, got), PCSBSocket::READ_RELEASED);
    EXPECT_EQ(got.size(), sent.size());
    EXPECT_TRUE(got == sent);
}

TEST(Socket, DisconnectIsOnceOnlyAndForbidsReconnecting)
{
    Pair p = connected_pair();
    ASSERT_TRUE(p.server);
    p.client->Disconnect();
    EXPECT_EQ(p.client->GetStatus(), PCSBSocket::STATUS_CLOSED);
    PCSBSocket::ConnectionData c{};
    p.client->GetAddresses(&c);
    EXPECT_EQ(c.remote_host, 0u);
    EXPECT_EQ(c.remote_port, 0);
    p.client->Disconnect();
    EXPECT_EQ(p.client->GetStatus(), PCSBSocket::STATUS_CLOSED);
    EXPECT_EQ(p.client->GetOSError(), 0);
    char byte;
    EXPECT_EQ(p.client->ReadData(&byte, 1), PCSBSocket::READ_BAD_STATE);
    EXPECT_EQ(p.client->WriteData("x", 1), PCSBSocket::WRITE_ERROR);

    p.client->Connect(LOOPBACK, 1);
    EXPECT_EQ(p.client->GetOSError(), SOCKET_ERR_RECONNECT);
    EXPECT_EQ(p.client->GetStatus(), PCSBSocket::STATUS_ERROR);

    // The accepted end sees the reset as a closed connection, not as an error of its own.
    std::vector<uint8_t> got;
    EXPECT_EQ(read_until_release(*p.server, got), PCSBSocket::READ_BAD_STATE);
    EXPECT_EQ(p.server->GetStatus(), PCSBSocket::STATUS_CLOSED);
}

TEST(Socket, EndpointsThatCannotBindOrConnectReportErrors)
{
    PCSBSocket first(0, true);
    PCSBSocket::ConnectionData where{};
    first.GetAddresses(&where);
    PCSBSocket second(where.local_port, true);
    EXPECT_EQ(second.GetStatus(), PCSBSocket::STATUS_ERROR);
    EXPECT_EQ(second.GetOSError(), EADDRINUSE);

    // Neither idle nor connecting: a listener cannot connect.
    first.Connect(LOOPBACK, where.local_port);
    EXPECT_EQ(first.GetOSError(), SOCKET_ERR_BAD_STATE);
    EXPECT_EQ(first.GetStatus(), PCSBSocket::STATUS_ERROR);

    PCSBSocket idle(0, false);
    char byte;
    EXPECT_EQ(idle.ReadData(&byte, 1), PCSBSocket::READ_BAD_STATE);
    EXPECT_EQ(idle.WriteData("x", 1), PCSBSocket::WRITE_ERROR);
    EXPECT_EQ(idle.GetStatus(), PCSBSocket::STATUS_IDLE);
}

namespace {
uint32_t resolve_nothing(const char*)
{
    return 0;
}
uint32_t resolve_to_test_host(const char* name)
{
    return std::string(name) == "mirror.example" ? 0x7F000009 : 0;
}
}

TEST(Socket, LookupReturnsHostOrderAddressesAndHonoursTheSeam)
{
    EXPECT_TRUE(PCSBSocket::StartupNetworking(true));
    EXPECT_EQ(PCSBSocket::LookupAddress("127.0.0.1"), LOOPBACK);
    EXPECT_EQ(PCSBSocket::LookupAddress("127.1.2.3"), 0x7F010203u);
    EXPECT_EQ(PCSBSocket::LookupAddress("localhost"), LOOPBACK);
    EXPECT_EQ(PCSBSocket::LookupAddress(""), 0u);
    EXPECT_EQ(PCSBSocket::LookupAddress(nullptr), 0u);

    plat::set_resolver(&resolve_nothing);
    EXPECT_EQ(PCSBSocket::LookupAddress("127.0.0.1"), 0u);
    plat::set_resolver(&resolve_to_test_host);
    EXPECT_EQ(PCSBSocket::LookupAddress("mirror.example"), 0x7F000009u);
    plat::set_resolver(nullptr);
    EXPECT_EQ(PCSBSocket::LookupAddress("127.0.0.1"), LOOPBACK);
}

TEST(Socket, WaitingForAnyEndsWhenOneHasDataAndNotBefore)
{
    Pair p = connected_pair();
    ASSERT_TRUE(p.server);
    PCSBSocket idle(0, false);  // never connected: nothing to wait on
    PCSBSocket* none[] = {nullptr, &idle};
    PCSBSocket* both[] = {p.client.get(), nullptr, p.server.get()};
    EXPECT_EQ(PCSBSocket::WaitForAny(none, 2, 1000), PCSBSocket::WAIT_NOTHING_LIVE) << "at once, not after a second";
    EXPECT_EQ(PCSBSocket::WaitForAny(both, 3, 20), PCSBSocket::WAIT_TIMED_OUT) << "connected, nothing sent";

    // Data sent a little later ends the wait well before its limit.
    std::thread sender([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(p.server->WriteData("x", 1), 1);
    });
    EXPECT_EQ(PCSBSocket::WaitForAny(both, 3, 5000), PCSBSocket::WAIT_READY);
    sender.join();
    char byte = 0;
    EXPECT_EQ(p.client->ReadData(&byte, 1), 1);
    EXPECT_EQ(byte, 'x');
}
