#include "platform/socket.h"

#include <arpa/inet.h>
#include <errno.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <vector>

namespace plat {

namespace {

std::atomic<Resolver> current_resolver{nullptr};

uint32_t resolve_with_getaddrinfo(const char* name)
{
    if (!name || !*name)
        return 0;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &found) != 0 || !found)
        return 0;
    uint32_t host = 0;
    for (addrinfo* a = found; a; a = a->ai_next) {
        if (a->ai_family != AF_INET || a->ai_addrlen < sizeof(sockaddr_in))
            continue;
        host = ntohl(reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr);
        break;
    }
    freeaddrinfo(found);
    return host;
}

}

void set_resolver(Resolver resolver)
{
    current_resolver.store(resolver);
}

uint32_t resolve_ipv4(const char* name)
{
    Resolver resolver = current_resolver.load();
    return resolver ? resolver(name) : resolve_with_getaddrinfo(name);
}

}

namespace {

sockaddr_in make_address(uint32_t host, uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(host);
    return address;
}

void split_address(const sockaddr_in& address, uint32_t* host, uint16_t* port)
{
    *host = ntohl(address.sin_addr.s_addr);
    *port = ntohs(address.sin_port);
}

// Errors by which the peer or the network ends a connection attempt: the original endpoint
// saw these as a disconnect event, not as an error of its own.
bool is_connect_refusal(int error)
{
    return error == ECONNREFUSED || error == ECONNRESET || error == ETIMEDOUT || error == EHOSTUNREACH ||
        error == ENETUNREACH;
}

}

bool PCSBSocket::StartupNetworking(bool initialise)
{
    return true;
}

uint32_t PCSBSocket::LookupAddress(const char* name)
{
    return plat::resolve_ipv4(name);
}

PCSBSocket::PCSBSocket(uint16_t port, bool listen)
{
    endpoint.reset(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!endpoint) {
        os_error = errno;
        return;
    }
    int reuse = 1;
    // A refused option only costs the quick rebinding of a port; the bind below decides.
    (void)setsockopt(endpoint.get(), SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof(reuse));
    sockaddr_in address = make_address(INADDR_ANY, port);
    if (bind(endpoint.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        (listen && ::listen(endpoint.get(), 1) != 0)) {
        os_error = errno;
        endpoint.reset();
        return;
    }
    listening = listen;
    sockaddr_in bound{};
    socklen_t length = sizeof(bound);
    if (getsockname(endpoint.get(), reinterpret_cast<sockaddr*>(&bound), &length) == 0)
        split_address(bound, &local_host, &local_port);
}

PCSBSocket::PCSBSocket(AdoptedDescriptor connected)
{
    endpoint.reset(connected.fd);
    state = State::DATAXFER;
    sockaddr_in address{};
    socklen_t length = sizeof(address);
    if (getsockname(endpoint.get(), reinterpret_cast<sockaddr*>(&address), &length) == 0)
        split_address(address, &local_host, &local_port);
    length = sizeof(address);
    if (getpeername(endpoint.get(), reinterpret_cast<sockaddr*>(&address), &length) == 0)
        split_address(address, &remote_host, &remote_port);
}

PCSBSocket::~PCSBSocket() = default;

// The peer refused, reset or vanished: closed, as the original's disconnect event left it.
void PCSBSocket::peer_gone()
{
    closed = 1;
    state = State::IDLE;
}

void PCSBSocket::MopupEvents()
{
    if (!endpoint)
        return;
    if (listening) {
        pollfd p{endpoint.get(), POLLIN, 0};
        if (poll(&p, 1, 0) > 0 && (p.revents & POLLIN))
            incoming_pending = 1;
        return;
    }
    if (state != State::OUTCON)
        return;
    pollfd p{endpoint.get(), POLLOUT, 0};
    if (poll(&p, 1, 0) <= 0 || !(p.revents & (POLLOUT | POLLERR | POLLHUP)))
        return;
    int error = 0;
    socklen_t length = sizeof(error);
    if (getsockopt(endpoint.get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        error = errno;
    if (error == 0)
        state = State::DATAXFER;
    else if (is_connect_refusal(error))
        peer_gone();
    else
        os_error = error;
}

int PCSBSocket::GetStatus()
{
    if (os_error)
        return STATUS_ERROR;
    MopupEvents();
    if (os_error)
        return STATUS_ERROR;
    switch (state) {
        case State::IDLE:
            return closed ? STATUS_CLOSED : STATUS_IDLE;
        case State::OUTCON:
            return STATUS_CONNECTING;
        case State::DATAXFER:
        case State::OUTREL:
        case State::INREL:
            return STATUS_CONNECTED;
    }
    return STATUS_ERROR;
}

void PCSBSocket::Connect(uint32_t host, uint16_t port)
{
    if (closed) {
        os_error = SOCKET_ERR_RECONNECT;
        return;
    }
    remote_host = host;
    remote_port = port;
    if (state == State::OUTCON)
        return;
    if (state != State::IDLE || listening || !endpoint) {
        os_error = SOCKET_ERR_BAD_STATE;
        return;
    }
    sockaddr_in address = make_address(host, port);
    int result;
    do {
        result = connect(endpoint.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address));
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        state = State::DATAXFER;
        return;
    }
    if (errno == EINPROGRESS) {
        state = State::OUTCON;
        return;
    }
    if (is_connect_refusal(errno)) {
        peer_gone();
        return;
    }
    os_error = errno;
}

int32_t PCSBSocket::ReadData(void* buffer, int32_t length)
{
    if (state == State::INREL)
        return READ_RELEASED;
    if ((state != State::DATAXFER && state != State::OUTREL) || !endpoint || length < 0)
        return READ_BAD_STATE;
    for (;;) {
        ssize_t got = recv(endpoint.get(), buffer, static_cast<size_t>(length), 0);
        if (got > 0)
            return static_cast<int32_t>(got);
        if (got == 0) {
            // Only an empty read after the data is a release: servers close right after
            // their last byte, and that byte must still be read.
            if (state == State::OUTREL)
                peer_gone();
            else
                state = State::INREL;
            return READ_RELEASED;
        }
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return READ_NO_DATA;
        if (errno == ECONNRESET) {
            peer_gone();
            return READ_BAD_STATE;
        }
        os_error = errno;
        return READ_ERROR;
    }
}

int32_t PCSBSocket::WriteData(const void* buffer, int32_t length)
{
    if ((state != State::DATAXFER && state != State::INREL) || !endpoint || length < 0)
        return WRITE_ERROR;
    for (;;) {
        // MSG_NOSIGNAL: a peer that has gone must not kill the process with SIGPIPE.
        ssize_t sent = send(endpoint.get(), buffer, static_cast<size_t>(length), MSG_NOSIGNAL);
        if (sent >= 0)
            return static_cast<int32_t>(sent);
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return WRITE_FLOW_CONTROL;
        if (errno == EPIPE || errno == ECONNRESET) {
            peer_gone();
            return WRITE_ERROR;
        }
        os_error = errno;
        return WRITE_ERROR;
    }
}

void PCSBSocket::Disconnect()
{
    if (closed)
        return;
    remote_host = 0;
    remote_port = 0;
    closed = 1;
    bool in_connection =
        state == State::OUTCON || state == State::DATAXFER || state == State::OUTREL || state == State::INREL;
    state = State::IDLE;
    if (!in_connection || !endpoint)
        return;
    // A zero linger time makes close send a reset rather than wait for an orderly end.
    linger abort_now{1, 0};
    (void)setsockopt(endpoint.get(), SOL_SOCKET, SO_LINGER, &abort_now, sizeof(abort_now));
    endpoint.reset();
}

void PCSBSocket::Release()
{
    if ((state != State::DATAXFER && state != State::INREL) || !endpoint)
        return;
    if (shutdown(endpoint.get(), SHUT_WR) != 0) {
        if (errno == ENOTCONN || errno == EPIPE || errno == ECONNRESET)
            peer_gone();
        else
            os_error = errno;
        return;
    }
    if (state == State::DATAXFER)
        state = State::OUTREL;
    else
        peer_gone();
}

void PCSBSocket::GetAddresses(ConnectionData* out) const
{
    if (!out)
        return;
    out->local_host = local_host;
    out->local_port = local_port;
    out->remote_host = remote_host;
    out->remote_port = remote_port;
}

PCSBSocket* PCSBSocket::Accept()
{
    if (!listening || !endpoint)
        return nullptr;
    MopupEvents();
    if (!incoming_pending)
        return nullptr;
    for (;;) {
        int fd = accept4(endpoint.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0)
            return new PCSBSocket(AdoptedDescriptor{fd});
        if (errno == EINTR)
            continue;
        incoming_pending = 0;
        return nullptr;
    }
}

int PCSBSocket::WaitForAny(PCSBSocket* const* sockets, int count, int timeout_ms)
{
    std::vector<pollfd> waits;
    for (int i = 0; i < count; ++i) {
        const PCSBSocket* socket = sockets[i];
        // Only a connection on its way or open can bring anything; an idle, listening or released
        // endpoint would wake the wait at once for nothing.
        const bool live = socket != nullptr && socket->endpoint &&
            (socket->state == State::OUTCON || socket->state == State::DATAXFER || socket->state == State::OUTREL);
        if (!live)
            continue;
        waits.push_back({socket->endpoint.get(), short(socket->state == State::OUTCON ? POLLOUT : POLLIN), 0});
    }
    if (waits.empty())
        return WAIT_NOTHING_LIVE;
    int ready = 0;
    do
        ready = poll(waits.data(), waits.size(), timeout_ms);
    while (ready < 0 && errno == EINTR);
    return ready > 0 ? WAIT_READY : WAIT_TIMED_OUT;
}
