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

#include "support/file_bytes.h"
#include "support/wait_until.h"

using test::wait_until;

namespace {

constexpr uint32_t LOOPBACK = 0x7F000001;  // 127.0.0.1 in host order

struct Pair {
    std::unique_ptr<PCSBSocket> listener, client, server;
};

uint16_t local_port(PCSBSocket& socket)
{
    PCSBSocket::ConnectionData where{};
    socket.GetAddresses(&where);
    return where.local_port;
}

// A listener on an ephemeral port, a client connected to it, and the accepted end.
Pair connected_pair()
{
    Pair p{std::make_unique<PCSBSocket>(0, true), std::make_unique<PCSBSocket>(0, false), nullptr};
    p.client->Connect(LOOPBACK, local_port(*p.listener));
    EXPECT_TRUE(wait_until([&] {
        if (!p.server)
            p.server.reset(p.listener->Accept());
        return p.server && p.client->GetStatus() == PCSBSocket::STATUS_CONNECTED;
    }));
    return p;
}

// Reads from `s` into `got` until the peer releases or the connection ends; returns the last result.
int32_t read_until_release(PCSBSocket& s, std::string& got)
{
    std::vector<char> buffer(65536);
    int32_t n = 0;
    wait_until([&] {
        n = s.ReadData(buffer.data(), static_cast<int32_t>(buffer.size()));
        if (n > 0)
            got.append(buffer.data(), n);
        return n == PCSBSocket::READ_RELEASED || n == PCSBSocket::READ_BAD_STATE || n == PCSBSocket::READ_ERROR;
    });
    return n;
}

}

TEST(Socket, AcceptedConnectionKnowsBothEndsAndAWaitEndsWhenOneHasDataAndNotBefore)
{
    Pair p = connected_pair();
    ASSERT_TRUE(p.server);
    EXPECT_EQ(p.listener->Accept(), nullptr) << "only one connection was made";
    PCSBSocket::ConnectionData c{}, s{};
    p.client->GetAddresses(&c);
    p.server->GetAddresses(&s);
    const uint16_t listening = local_port(*p.listener);
    EXPECT_EQ(std::vector<uint32_t>({c.remote_host, c.remote_port, s.local_port, s.remote_host, s.remote_port}),
              std::vector<uint32_t>({LOOPBACK, listening, listening, LOOPBACK, c.local_port}));

    // Never connected or listening: nothing to wait on, at once rather than after a second.
    PCSBSocket idle(0, false);
    PCSBSocket* none[] = {nullptr, &idle, p.listener.get()};
    PCSBSocket* both[] = {p.client.get(), nullptr, p.server.get()};
    EXPECT_EQ(PCSBSocket::WaitForAny(none, 3, 1000), PCSBSocket::WAIT_NOTHING_LIVE);
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
    EXPECT_EQ(p.client->ReadData(&byte, 1), PCSBSocket::READ_NO_DATA);
}

TEST(Socket, NoByteIsLostToARelease)
{
    // The peer sends a megabyte and releases at once, as a web server does after its reply: the
    // release is seen only after every byte is read, and is seen again.
    Pair p = connected_pair();
    ASSERT_TRUE(p.server);
    const std::string sent = test::patterned_bytes(1 << 20);
    size_t offset = 0;
    ASSERT_TRUE(wait_until([&] {
        const int32_t n = p.server->WriteData(sent.data() + offset, int32_t(sent.size() - offset));
        offset += n > 0 ? n : 0;
        return offset == sent.size();
    }));
    p.server->Release();
    std::string got;
    EXPECT_EQ(read_until_release(*p.client, got), PCSBSocket::READ_RELEASED);
    EXPECT_TRUE(got == sent) << got.size() << " of " << sent.size() << " bytes";
    EXPECT_EQ(p.client->GetStatus(), PCSBSocket::STATUS_CONNECTED);
    char more;
    EXPECT_EQ(p.client->ReadData(&more, 1), PCSBSocket::READ_RELEASED);
    // A released endpoint would wake a wait at once for nothing.
    PCSBSocket* released[] = {p.client.get()};
    EXPECT_EQ(PCSBSocket::WaitForAny(released, 1, 1000), PCSBSocket::WAIT_NOTHING_LIVE);

    // The released end can still write. While the peer reads nothing, writes fill the buffers
    // until one is refused for want of room: what was taken arrives whole after the release.
    std::string taken;
    int32_t last = 1;
    while (last > 0 && taken.size() < (256u << 20)) {
        const std::string chunk = test::patterned_bytes(65536, unsigned(taken.size()));
        last = p.client->WriteData(chunk.data(), int32_t(chunk.size()));
        taken.append(chunk, 0, last > 0 ? last : 0);
    }
    ASSERT_EQ(last, PCSBSocket::WRITE_FLOW_CONTROL);
    EXPECT_EQ(p.client->GetStatus(), PCSBSocket::STATUS_CONNECTED);
    p.client->Release();
    got.clear();
    EXPECT_EQ(read_until_release(*p.server, got), PCSBSocket::READ_RELEASED);
    EXPECT_TRUE(got == taken) << got.size() << " of " << taken.size() << " bytes";
}

TEST(Socket, ResetsRefusalsAndAbortiveClosesEndTheConnectionWithoutSigpipe)
{
    // A reset while the connection stands, and one after the peer's release (which the kernel
    // answers with EPIPE): either way a later write fails, and no SIGPIPE ends the process.
    for (bool released_first : {false, true}) {
        Pair p = connected_pair();
        ASSERT_TRUE(p.server);
        std::string got;
        if (released_first) {
            p.server->Release();
            ASSERT_EQ(read_until_release(*p.client, got), PCSBSocket::READ_RELEASED);
        }
        p.server->Disconnect();
        int32_t n = 0;
        ASSERT_TRUE(wait_until([&] { return (n = p.client->WriteData("x", 1)) < 0; })) << released_first;
        EXPECT_EQ(n, PCSBSocket::WRITE_ERROR);
        EXPECT_EQ(p.client->GetStatus(), PCSBSocket::STATUS_CLOSED);
        EXPECT_EQ(p.client->GetOSError(), 0);
    }

    // A refused connection is closed, not an error.
    PCSBSocket refused(0, false);
    refused.Connect(LOOPBACK, local_port(*std::make_unique<PCSBSocket>(0, true)));
    ASSERT_TRUE(wait_until([&] { return refused.GetStatus() != PCSBSocket::STATUS_CONNECTING; }));
    EXPECT_EQ(refused.GetStatus(), PCSBSocket::STATUS_CLOSED);
    EXPECT_EQ(refused.GetOSError(), 0);

    // Our own abortive close: once only, it forbids reading, writing and reconnecting; the
    // accepted end sees a closed connection, not an error of its own.
    Pair p = connected_pair();
    ASSERT_TRUE(p.server);
    for (int twice = 0; twice < 2; ++twice) {
        p.client->Disconnect();
        EXPECT_EQ(p.client->GetStatus(), PCSBSocket::STATUS_CLOSED);
        EXPECT_EQ(p.client->GetOSError(), 0);
    }
    char byte;
    EXPECT_EQ(p.client->ReadData(&byte, 1), PCSBSocket::READ_BAD_STATE);
    EXPECT_EQ(p.client->WriteData("x", 1), PCSBSocket::WRITE_ERROR);
    p.client->Connect(LOOPBACK, 1);
    EXPECT_EQ(p.client->GetOSError(), SOCKET_ERR_RECONNECT);
    EXPECT_EQ(p.client->GetStatus(), PCSBSocket::STATUS_ERROR);
    std::string got;
    EXPECT_EQ(read_until_release(*p.server, got), PCSBSocket::READ_BAD_STATE);
    EXPECT_EQ(p.server->GetStatus(), PCSBSocket::STATUS_CLOSED);
}

TEST(Socket, LookupReturnsHostOrderAddresses)
{
    EXPECT_EQ(PCSBSocket::LookupAddress("127.1.2.3"), 0x7F010203u);
    EXPECT_EQ(PCSBSocket::LookupAddress("localhost"), LOOPBACK);
    EXPECT_EQ(PCSBSocket::LookupAddress(""), 0u);
    EXPECT_EQ(PCSBSocket::LookupAddress(nullptr), 0u);
    // The resolver seam is proven where the HTTP client's tests lean on it: every name they use
    // goes through it, and a name it does not know fails.
}
