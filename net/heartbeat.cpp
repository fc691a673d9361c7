// The health of the links to peers that announced the extension: each is
// pinged every ten seconds, and a link on which nothing at all has come for
// thirty seconds is taken for gone, as if the peer had closed it.  TCP alone
// may take hours to notice a peer whose machine or network went away.
#include <vector>

#include "net/peer_protocol.h"

namespace ravu {

namespace {

constexpr int64_t PING_INTERVAL_MS = 10 * 1000;
constexpr int64_t SILENCE_MS = 30 * 1000;

}  // namespace

void CPeerProtocol::Heard(SockHandle handle) {
    if (auto it = health.find(handle); it != health.end())
        it->second.heard = Now();
}

void CPeerProtocol::Watch(SockHandle handle, const Capabilities& caps) {
    if (handle == 0 || !Shared(OwnCaps(), caps).ping || health.count(handle))
        return;
    const int64_t now = Now();
    health[handle] = Health{now, now, true, 0};
}

void CPeerProtocol::Beat() {
    const int64_t now = Now();
    std::vector<SockHandle> gone;
    for (auto& [handle, h] : health) {
        if (now - h.heard >= SILENCE_MS)
            gone.push_back(handle);
        else if (now - h.pinged >= PING_INTERVAL_MS)
            Ping(handle);
    }
    for (SockHandle handle : gone)
        Gone(handle);
}

void CPeerProtocol::Ping(SockHandle handle) {
    Health& h = health[handle];
    h.pinged = Now();
    h.answered = false;
    const std::string text = std::to_string(++h.seq);
    CGameLink& link = connState == CONN_GUEST ? connectSocket : listenSocket;
    link.SendText(PKT_EXT_PING, text, handle);
}

void CPeerProtocol::Gone(SockHandle handle) {
    health.erase(handle);
    if (connState == CONN_GUEST && handle == guestLink) {
        connectSocket.Close();
        OnSockMessage(WM_SOCK_CLOSED, 0);
    } else {
        listenSocket.CloseSlot(handle);
        OnSockMessage(WM_SOCK_CLOSED, handle);
    }
}

}  // namespace ravu
