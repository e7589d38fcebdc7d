// socket: PCSBSocket, a thin non-blocking TCP endpoint that the HTTP client polls once per
// frame (status, write what it takes, read what has arrived), plus a listener that accepts.
// Callers: http_class transfers (net), loopback tests. Main thread only; nothing waits except
// the name lookup. Addresses are IPv4 in host order (a<<24 | b<<16 | c<<8 | d).
// Invariant: once os_error is set the status stays 5 for the life of the object.
#pragma once

#include <cstdint>

#include "platform/owners.h"

// Codes of Connect, shared with the program's error table.
constexpr int32_t SOCKET_ERR_RECONNECT = 20007;  // Connect on an endpoint already closed
constexpr int32_t SOCKET_ERR_BAD_STATE = 20008;  // Connect on an endpoint neither idle nor connecting

class PCSBSocket {
public:
    // GetStatus results.
    enum : int {
        STATUS_IDLE = 1,
        STATUS_CONNECTING = 2,
        STATUS_CONNECTED = 3,
        STATUS_CLOSED = 4,
        STATUS_ERROR = 5,
    };
    // ReadData results below 1.
    enum : int32_t { READ_RELEASED = -1, READ_BAD_STATE = -2, READ_NO_DATA = -3, READ_ERROR = -4 };
    // WriteData results below 1.
    enum : int32_t { WRITE_FLOW_CONTROL = 0, WRITE_ERROR = -1 };

    struct ConnectionData {
        uint32_t local_host;
        uint16_t local_port;
        uint32_t remote_host;
        uint16_t remote_port;
    };

    // A descriptor already connected (from Accept), to be owned by a new socket.
    struct AdoptedDescriptor {
        int fd;
    };

    // Networking needs no start on Linux; returns true.
    static bool StartupNetworking(bool initialise);
    static void ShutdownNetworking(bool close_all) { }
    // Blocks until the name is resolved; 0 when it cannot be.
    static uint32_t LookupAddress(const char* name);

    // Opens an endpoint bound to `port` on any address (0 picks one); listens when asked.
    PCSBSocket(uint16_t port, bool listen);
    explicit PCSBSocket(AdoptedDescriptor connected);
    virtual ~PCSBSocket();
    PCSBSocket(const PCSBSocket&) = delete;
    PCSBSocket& operator=(const PCSBSocket&) = delete;

    int GetStatus();
    int32_t GetOSError() const { return os_error; }
    // The peer has released its side (everything it sent has been read).
    bool ReceivedRelease() const { return state == State::INREL; }

    void Connect(uint32_t host, uint16_t port);
    // A positive count, or READ_*.
    int32_t ReadData(void* buffer, int32_t length);
    // The count taken (possibly less than length, 0 under flow control), or WRITE_ERROR.
    int32_t WriteData(const void* buffer, int32_t length);
    // Abortive close (a reset); does nothing once closed.
    void Disconnect();
    // Orderly close of the sending side.
    void Release();
    void GetAddresses(ConnectionData* out) const;
    // The next incoming connection, owned by the caller, or null when none is waiting.
    PCSBSocket* Accept();

    // WaitForAny results.
    enum : int { WAIT_NOTHING_LIVE = -1, WAIT_TIMED_OUT = 0, WAIT_READY = 1 };
    // Waits up to timeout_ms until one of the sockets (null entries skipped) has something to
    // read, or has finished connecting: WAIT_READY then, WAIT_TIMED_OUT when the time ran out,
    // WAIT_NOTHING_LIVE at once when none of them was connecting or connected.
    static int WaitForAny(PCSBSocket* const* sockets, int count, int timeout_ms);

private:
    // Transport states of the original endpoint, which GetStatus maps to statuses.
    enum class State { IDLE, OUTCON, DATAXFER, OUTREL, INREL };

    void MopupEvents();
    void peer_gone();

    plat::descriptor endpoint;
    uint32_t local_host = 0;
    uint16_t local_port = 0;
    uint32_t remote_host = 0;
    uint16_t remote_port = 0;
    int closed = 0;
    int32_t os_error = 0;
    int incoming_pending = 0;
    bool listening = false;
    State state = State::IDLE;
};

namespace plat {

// Name lookup: returns the first IPv4 address of `name` in host order, or 0.
using Resolver = uint32_t (*)(const char* name);
// Replaces the lookup for the whole process; null restores getaddrinfo.
void set_resolver(Resolver resolver);
uint32_t resolve_ipv4(const char* name);

}
