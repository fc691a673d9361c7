#include "net/sock_owner.h"

namespace ravu {

namespace {
SockHandle g_lastHandle = 0;
}  // namespace

SockHandle NewSockHandle() { return ++g_lastHandle; }

void DeliverSockMessage(const std::weak_ptr<CSockOwner*>& owner, SockMsg msg, SockHandle wParam) {
    if (auto alive = owner.lock())
        (*alive)->OnSockMessage(msg, wParam);
}

}  // namespace ravu
