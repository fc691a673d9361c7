// The socket messages and the object that receives them.  A socket tells its
// owner about a finished connect, a packet, a lost connection; the owner can
// change while the socket lives (a dialog takes the guest's connection over
// for a while and gives it back), and an owner passes on what it does not
// handle.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace ravu {

// The socket messages.  The values are the window message numbers every copy
// has always used (the user message base 0x400 plus an offset).
enum class SockMsg : int {
    WM_SOCK_CONNECTED = 0x465,       // a connect finished; wParam 0
    WM_SOCK_CONNECT_FAILED = 0x466,  // a connect failed; wParam 0
    WM_SOCK_PACKET = 0x467,          // a packet arrived; wParam its connection (sent, not posted)
    WM_SOCK_TIMEOUT = 0x468,         // a wait ran out; wParam 0
    WM_SOCK_CLOSED = 0x4C7,          // a connection ended; wParam its handle, 0 = the guest's link
};
using enum SockMsg;

// Handle of one connection.  0 names no connection; every connection made in
// the life of the program gets a new value (never reused, never a descriptor).
using SockHandle = intptr_t;

// Hands out connection handles: 1, 2, 3, ...
SockHandle NewSockHandle();

// Receiver of socket messages.  A message posted to an owner is carried with
// the owner's Token(); when the owner has gone by the time the message is
// delivered, the token has expired and the message is dropped instead of
// reaching freed memory.
class CSockOwner {
public:
    CSockOwner() : token(std::make_shared<CSockOwner*>(this)) {}
    CSockOwner(const CSockOwner&) = delete;
    CSockOwner& operator=(const CSockOwner&) = delete;
    virtual ~CSockOwner() = default;

    // One socket message.  Sent synchronously for WM_SOCK_PACKET (the socket's
    // last type and text are valid during the call), posted for the others.
    virtual void OnSockMessage(SockMsg msg, SockHandle wParam) = 0;

    // What the owner says beyond the basic protocol: the announcement of its
    // extension, sent right after its own hello, and the settings sent before
    // each proposal of sides.  Empty: nothing is sent.  A connection's
    // temporary owner (the guest's handshake) asks the main owner.
    virtual std::string CapsText() const { return {}; }
    virtual std::string ProposalText() const { return {}; }
    // A guest's request to take up a game cut off by a lost connection,
    // sent with the announcement before its hello; empty: none.
    virtual std::string ResumeText() const { return {}; }

    // Expires when the owner is destroyed.
    std::weak_ptr<CSockOwner*> Token() const { return token; }

private:
    std::shared_ptr<CSockOwner*> token;
};

// Calls OnSockMessage of the owner the token belongs to, if it still exists.
void DeliverSockMessage(const std::weak_ptr<CSockOwner*>& owner, SockMsg msg, SockHandle wParam);

}  // namespace ravu
