// Helpers of the network tests: a scripted loopback server that the test drives step by step
// between polls, and bounded polling of net_check.
#pragma once

#include <arpa/inet.h>
#include <errno.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "net/http.h"
#include "platform/netcfg.h"
#include "support/wait_until.h"

namespace nettest {

using test::wait_until;

// Calls net_check on the slot until it answers done or failed.
inline int poll_to_end(int slot, const std::string& server, const std::string& path, const std::string& dest)
{
    int result = NET_RUNNING;
    EXPECT_TRUE(wait_until([&] { return (result = http.net_check(slot, server, path, dest)) != NET_RUNNING; }))
        << "transfer of " << path << " still running after ten seconds";
    return result;
}

// A server on address:port (the client's own port unless told, any free one for 0) whose every
// move the test makes itself, between polls of the client, so that each client read sees exactly
// the bytes sent since the last one.
class ScriptedServer {
public:
    explicit ScriptedServer(const char* address, uint16_t port = kHttpPort)
    {
        listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        int reuse = 1;
        setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof(reuse));
        sockaddr_in where{};
        where.sin_family = AF_INET;
        where.sin_port = htons(port);
        inet_pton(AF_INET, address, &where.sin_addr);
        socklen_t length = sizeof(where);
        bool ok = bind(listener, reinterpret_cast<sockaddr*>(&where), sizeof(where)) == 0 && listen(listener, 4) == 0 &&
            getsockname(listener, reinterpret_cast<sockaddr*>(&where), &length) == 0;
        EXPECT_TRUE(ok) << "cannot listen on " << address << ":" << port << ": " << strerror(errno);
        port_ = ntohs(where.sin_port);
    }

    // The port it listens on.
    uint16_t port() const { return port_; }
    ~ScriptedServer()
    {
        if (client >= 0)
            close(client);
        close(listener);
    }

    // Accepts the client's connection and reads its request head, running `pump` (a poll of the
    // client) while waiting; "" when no client came. The pump answers false once the client has
    // given up: nothing can come then, so the wait ends at once rather than at its time limit.
    std::string take_request(const std::function<bool()>& pump)
    {
        if (client >= 0)
            close(client);
        client = -1;
        std::string request;
        wait_until([&] {
            pollfd p{listener, POLLIN, 0};
            if (client < 0 && poll(&p, 1, 0) > 0)
                client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            return !pump() || (client >= 0 && (drain(request) || request.find("\r\n\r\n") != std::string::npos));
        });
        return request;
    }

    void send_text(const std::string& bytes)
    {
        size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = send(client, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            ASSERT_GT(n, 0) << strerror(errno);
            done += n;
        }
    }

    // An orderly close after the last byte, as web servers do.
    void close_orderly() { shutdown(client, SHUT_WR); }

    // An abortive close: the client sees a reset.
    void reset()
    {
        linger now{1, 0};
        setsockopt(client, SOL_SOCKET, SO_LINGER, &now, sizeof(now));
        close(client);
        client = -1;
    }

    // Appends whatever the client has sent so far to `into`; true once the client has reset or
    // closed its end.
    bool drain(std::string& into)
    {
        char buffer[4096];
        pollfd p{client, POLLIN, 0};
        while (poll(&p, 1, 0) > 0) {
            ssize_t n = recv(client, buffer, sizeof(buffer), 0);
            if (n <= 0)
                return true;
            into.append(buffer, n);
        }
        return false;
    }

private:
    int listener = -1, client = -1;
    uint16_t port_ = 0;
};

}
