#include "net/sock_owner.h"

#include <unordered_set>

namespace ravu {

namespace {
// Every owner that exists.  One thread, so no lock.
std::unordered_set<const CSockOwner*>& LiveOwners() {
    static std::unordered_set<const CSockOwner*> owners;
    return owners;
}
SockHandle g_lastHandle = 0;
}  // namespace

SockHandle NewSockHandle() { return ++g_lastHandle; }

CSockOwner::CSockOwner() { LiveOwners().insert(this); }
CSockOwner::~CSockOwner() { LiveOwners().erase(this); }

bool CSockOwner::IsAlive(const CSockOwner* owner) {
    return owner && LiveOwners().count(owner) != 0;
}

void DeliverSockMessage(CSockOwner* owner, int msg, SockHandle wParam) {
    if (CSockOwner::IsAlive(owner))
        owner->OnSockMessage(msg, wParam);
}

}  // namespace ravu
