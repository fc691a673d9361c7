// Asking the home router to forward a TCP port, through UPnP-IGD
// (miniupnpc) and then NAT-PMP (libnatpmp).  Every call here blocks, for at
// most a few seconds each: the callers run them on a worker thread.
#pragma once

#include <cstdint>
#include <string>

#include "net/port_map_status.h"

namespace ravu {

struct RouterConfig {
    uint16_t port = 0;  // this copy's listening port, forwarded as the same port
    uint32_t leaseSeconds = 3600;
    std::string upnpRootUrl;  // the router's description URL; empty: look for one on the network
    int upnpDiscoveryMs = 2000;
    bool useNatPmp = true;
    std::string natPmpGateway;  // dotted IPv4; empty: the default gateway
    int natPmpWaitMs = 2000;    // for each NAT-PMP request
};

// What removing a mapping needs besides the configuration.
struct RouterMapping {
    PortMapResult result;
    std::string upnpControlUrl;
    std::string upnpServiceType;
};

// Tries UPnP, then NAT-PMP.  When neither maps the port, the result says
// whether some router refused (Refused) or none answered (NoRouter).
RouterMapping MapPort(const RouterConfig& config);

// Removes a mapping that MapPort made.  Nothing happens for other results.
void UnmapPort(const RouterConfig& config, const RouterMapping& mapping);

}  // namespace ravu
