// What asking the home router to forward this copy's port came to, and the
// line that tells the player.  Standard library only; the text is Shift-JIS.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ravu {

enum class PortMapState {
    Off,           // the setting is off
    NotListening,  // this copy has no port to forward
    Searching,     // a router is being asked
    NoRouter,      // no router answered
    Refused,       // a router answered but would not forward the port
    Mapped,        // forwarded: externalAddress:externalPort reaches this copy
};

enum class PortMapMethod { None, Upnp, NatPmp };

struct PortMapResult {
    PortMapState state = PortMapState::Off;
    PortMapMethod method = PortMapMethod::None;
    std::string externalAddress;  // dotted IPv4 as the router reports it; may be empty
    uint16_t externalPort = 0;
    uint32_t leaseSeconds = 0;  // 0: the router keeps it until it is removed
    int routerCode = 0;         // the router's error code when it refused
};

// True for an IPv4 address that the internet routes to: not private, shared
// (carrier-grade NAT), loopback, link-local or unparseable.
bool IsPublicIPv4(std::string_view dotted);

// One line for the version dialog, such as
// "外部から接続できるアドレス: 203.0.113.5:9149（UPnP）".  A mapping whose
// external address is not public reaches nobody, and says so.
std::string PortMapText(const PortMapResult& result);

}  // namespace ravu
