#include "net/router_calls.h"

#include <arpa/inet.h>
#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>
#include <natpmp.h>
#include <sys/select.h>

#include <algorithm>
#include <chrono>

namespace ravu {

namespace {

const char* const MAPPING_DESCRIPTION = "RavuOne";
const char* const PROTOCOL_TCP = "TCP";
constexpr unsigned char SSDP_TTL = 2;
// Routers that only keep mappings until they are removed answer this to a lease.
constexpr int UPNP_ONLY_PERMANENT_LEASES = 725;

RouterMapping Failed(PortMapState state, PortMapMethod method, int code) {
    RouterMapping m;
    m.result.state = state;
    m.result.method = method;
    m.result.routerCode = code;
    return m;
}

// The router's description, from the given URL or found by SSDP.  False
// when no Internet gateway answered.
bool FindIgd(const RouterConfig& config, UPNPUrls* urls, IGDdatas* data, char* lanAddress, int size) {
    if (!config.upnpRootUrl.empty())
        return UPNP_GetIGDFromUrl(config.upnpRootUrl.c_str(), urls, data, lanAddress, size) == 1;
    int error = 0;
    UPNPDev* devices = upnpDiscover(config.upnpDiscoveryMs, nullptr, nullptr, 0, 0, SSDP_TTL, &error);
    if (!devices)
        return false;
    // 1: connected gateway, 2: a gateway that says it is not connected (try anyway).
    const int found = UPNP_GetValidIGD(devices, urls, data, lanAddress, size);
    freeUPNPDevlist(devices);
    if (found == 1 || found == 2)
        return true;
    if (found != 0)
        FreeUPNPUrls(urls);
    return false;
}

RouterMapping MapByUpnp(const RouterConfig& config) {
    UPNPUrls urls{};
    IGDdatas data{};
    char lanAddress[64] = "";
    if (!FindIgd(config, &urls, &data, lanAddress, sizeof lanAddress))
        return Failed(PortMapState::NoRouter, PortMapMethod::Upnp, 0);
    RouterMapping m;
    m.result.method = PortMapMethod::Upnp;
    if (!urls.controlURL || !data.first.servicetype[0]) {
        FreeUPNPUrls(&urls);
        m.result.state = PortMapState::NoRouter;
        return m;
    }
    const std::string port = std::to_string(config.port);
    std::string lease = std::to_string(config.leaseSeconds);
    int code = UPNP_AddPortMapping(urls.controlURL, data.first.servicetype, port.c_str(), port.c_str(),
                                   lanAddress, MAPPING_DESCRIPTION, PROTOCOL_TCP, nullptr, lease.c_str());
    if (code == UPNP_ONLY_PERMANENT_LEASES) {
        lease = "0";
        code = UPNP_AddPortMapping(urls.controlURL, data.first.servicetype, port.c_str(), port.c_str(),
                                   lanAddress, MAPPING_DESCRIPTION, PROTOCOL_TCP, nullptr, lease.c_str());
    }
    if (code == UPNPCOMMAND_SUCCESS) {
        char external[40] = "";
        if (UPNP_GetExternalIPAddress(urls.controlURL, data.first.servicetype, external) !=
            UPNPCOMMAND_SUCCESS)
            external[0] = '\0';
        m.result.state = PortMapState::Mapped;
        m.result.externalAddress = external;
        m.result.externalPort = config.port;
        m.result.leaseSeconds = lease == "0" ? 0 : config.leaseSeconds;
        m.upnpControlUrl = urls.controlURL;
        m.upnpServiceType = data.first.servicetype;
    } else {
        // A router that answers with a broken reply counts as refusing too.
        m.result.state = PortMapState::Refused;
        m.result.routerCode = code;
    }
    FreeUPNPUrls(&urls);
    return m;
}

// Waits for the answer to the pending request, resending as libnatpmp
// schedules it, but no longer than waitMs.  Returns libnatpmp's code.
int AwaitNatPmp(natpmp_t* n, natpmpresp_t* response, int waitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        const int r = readnatpmpresponseorretry(n, response);
        if (r != NATPMP_TRYAGAIN)
            return r;
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return NATPMP_TRYAGAIN;
        timeval timeout{};
        getnatpmprequesttimeout(n, &timeout);
        const long long retryUs = static_cast<long long>(timeout.tv_sec) * 1000000 + timeout.tv_usec;
        const long long waitUs = std::clamp<long long>(retryUs, 0, left.count());
        timeout.tv_sec = static_cast<time_t>(waitUs / 1000000);
        timeout.tv_usec = static_cast<suseconds_t>(waitUs % 1000000);
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(n->s, &readable);
        select(n->s + 1, &readable, nullptr, nullptr, &timeout);
    }
}

bool OpenNatPmp(const RouterConfig& config, natpmp_t* n) {
    if (config.natPmpGateway.empty())
        return initnatpmp(n, 0, 0) == 0;
    in_addr gateway{};
    if (inet_pton(AF_INET, config.natPmpGateway.c_str(), &gateway) != 1)
        return false;
    return initnatpmp(n, 1, gateway.s_addr) == 0;
}

// The router's own refusals; everything else means nobody answered.
bool IsRefusal(int code) {
    return code == NATPMP_ERR_NOTAUTHORIZED || code == NATPMP_ERR_NETWORKFAILURE ||
           code == NATPMP_ERR_OUTOFRESOURCES || code == NATPMP_ERR_UNDEFINEDERROR ||
           code == NATPMP_ERR_UNSUPPORTEDOPCODE;
}

// The result code on the wire (RFC 6886) behind libnatpmp's error; 0 when
// the router sent a code libnatpmp does not name.
int RouterResultCode(int error) {
    switch (error) {
        case NATPMP_ERR_NOTAUTHORIZED: return 2;
        case NATPMP_ERR_NETWORKFAILURE: return 3;
        case NATPMP_ERR_OUTOFRESOURCES: return 4;
        case NATPMP_ERR_UNSUPPORTEDOPCODE: return 5;
        default: return 0;
    }
}

RouterMapping MapByNatPmp(const RouterConfig& config) {
    natpmp_t n{};
    if (!OpenNatPmp(config, &n))
        return Failed(PortMapState::NoRouter, PortMapMethod::NatPmp, 0);
    natpmpresp_t response{};
    RouterMapping m;
    m.result.method = PortMapMethod::NatPmp;
    int r = sendpublicaddressrequest(&n) < 0 ? NATPMP_ERR_SENDERR
                                             : AwaitNatPmp(&n, &response, config.natPmpWaitMs);
    char external[INET_ADDRSTRLEN] = "";
    if (r == 0)
        inet_ntop(AF_INET, &response.pnu.publicaddress.addr, external, sizeof external);
    if (r == 0 || IsRefusal(r)) {  // a router that answers but keeps its address may still forward
        r = sendnewportmappingrequest(&n, NATPMP_PROTOCOL_TCP, config.port, config.port,
                                      config.leaseSeconds) < 0
                ? NATPMP_ERR_SENDERR
                : AwaitNatPmp(&n, &response, config.natPmpWaitMs);
    }
    closenatpmp(&n);
    if (r == 0) {
        m.result.state = PortMapState::Mapped;
        m.result.externalAddress = external;
        m.result.externalPort = response.pnu.newportmapping.mappedpublicport;
        m.result.leaseSeconds = response.pnu.newportmapping.lifetime;
    } else if (IsRefusal(r)) {
        m.result.state = PortMapState::Refused;
        m.result.routerCode = RouterResultCode(r);
    } else {
        m.result.state = PortMapState::NoRouter;
    }
    return m;
}

}  // namespace

RouterMapping MapPort(const RouterConfig& config) {
    RouterMapping upnp = MapByUpnp(config);
    if (upnp.result.state == PortMapState::Mapped || !config.useNatPmp)
        return upnp;
    RouterMapping natPmp = MapByNatPmp(config);
    if (natPmp.result.state == PortMapState::Mapped || upnp.result.state != PortMapState::Refused)
        return natPmp;
    return upnp;
}

void UnmapPort(const RouterConfig& config, const RouterMapping& mapping) {
    if (mapping.result.state != PortMapState::Mapped)
        return;
    if (mapping.result.method == PortMapMethod::Upnp) {
        const std::string port = std::to_string(mapping.result.externalPort);
        UPNP_DeletePortMapping(mapping.upnpControlUrl.c_str(), mapping.upnpServiceType.c_str(), port.c_str(),
                               PROTOCOL_TCP, nullptr);
        return;
    }
    natpmp_t n{};
    if (!OpenNatPmp(config, &n))
        return;
    // A lifetime of 0 removes the mapping of this private port.
    natpmpresp_t response{};
    if (sendnewportmappingrequest(&n, NATPMP_PROTOCOL_TCP, config.port, 0, 0) >= 0)
        AwaitNatPmp(&n, &response, config.natPmpWaitMs);
    closenatpmp(&n);
}

}  // namespace ravu
