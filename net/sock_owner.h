// The socket messages and the object that receives them.  A socket tells its
// owner about a finished connect, a packet, a lost connection; the owner can
// change while the socket lives (a dialog takes the guest's connection over
// for a while and gives it back), and an owner passes on what it does not
// handle.
#pragma once

#include <cstdint>

namespace ravu {

// Message numbers of the private socket messages (window message values, so
// that every copy agrees on them and a dialog can forward the whole range).
constexpr int WM_USER_BASE = 0x400;
constexpr int WM_SOCK_FIRST = WM_USER_BASE + 100;          // 0x464
constexpr int WM_SOCK_CONNECTED = WM_USER_BASE + 101;      // 0x465, wParam 0
constexpr int WM_SOCK_CONNECT_FAILED = WM_USER_BASE + 102; // 0x466, wParam 0
constexpr int WM_SOCK_PACKET = WM_USER_BASE + 103;         // 0x467, wParam handle (sent)
constexpr int WM_SOCK_TIMEOUT = WM_USER_BASE + 104;        // 0x468, wParam 0
constexpr int WM_SOCK_CLOSED = WM_USER_BASE + 199;         // 0x4C7, wParam handle, 0 = guest link
constexpr int WM_SOCK_LAST = WM_USER_BASE + 199;

inline bool IsSockMessage(int msg) { return msg >= WM_SOCK_FIRST && msg <= WM_SOCK_LAST; }

// Handle of one connection.  0 names no connection; every connection made in
// the life of the program gets a new value (never reused, never a descriptor).
using SockHandle = intptr_t;

// Hands out connection handles: 1, 2, 3, ...
SockHandle NewSockHandle();

// Receiver of socket messages.  Owners register themselves while they live,
// so a message posted to an owner that has gone since is dropped instead of
// reaching freed memory.
class CSockOwner {
public:
    CSockOwner();
    CSockOwner(const CSockOwner&) = delete;
    CSockOwner& operator=(const CSockOwner&) = delete;
    virtual ~CSockOwner();

    // One socket message.  Sent synchronously for WM_SOCK_PACKET (the socket's
    // last type and text are valid during the call), posted for the others.
    virtual void OnSockMessage(int msg, SockHandle wParam) = 0;

    // True while the owner object exists.
    static bool IsAlive(const CSockOwner* owner);
};

// Calls owner->OnSockMessage when the owner still exists; nothing otherwise.
void DeliverSockMessage(CSockOwner* owner, int msg, SockHandle wParam);

}  // namespace ravu
