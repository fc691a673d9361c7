// The player's line about port forwarding.  Literals are compiled to
// Shift-JIS like every model text.
#include "net/port_map_status.h"

#include <array>
#include <charconv>

namespace ravu {

namespace {

const char* const PREFIX = "ポート開放: ";

const char* MethodName(PortMapMethod method) {
    switch (method) {
        case PortMapMethod::Upnp: return "UPnP";
        case PortMapMethod::NatPmp: return "NAT-PMP";
        case PortMapMethod::None: break;
    }
    return "";
}

// An address range as its first address and prefix length.
struct Block {
    uint32_t first;
    int bits;
};

constexpr uint32_t Ip(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    return a << 24 | b << 16 | c << 8 | d;
}

// Ranges that never reach a copy from the internet (RFC 1918, RFC 6598 for
// carrier-grade NAT, loopback, link-local, "this network").
constexpr std::array<Block, 7> INTERNAL_BLOCKS = {{
    {Ip(0, 0, 0, 0), 8},
    {Ip(10, 0, 0, 0), 8},
    {Ip(100, 64, 0, 0), 10},
    {Ip(127, 0, 0, 0), 8},
    {Ip(169, 254, 0, 0), 16},
    {Ip(172, 16, 0, 0), 12},
    {Ip(192, 168, 0, 0), 16},
}};

}  // namespace

bool IsPublicIPv4(std::string_view dotted) {
    uint32_t address = 0;
    const char* p = dotted.data();
    const char* end = p + dotted.size();
    for (int i = 0; i < 4; ++i) {
        if (i > 0 && (p == end || *p++ != '.'))
            return false;
        unsigned part = 0;
        auto [next, ec] = std::from_chars(p, end, part);
        if (ec != std::errc() || next == p || next - p > 3 || part > 255)
            return false;
        address = address << 8 | part;
        p = next;
    }
    if (p != end)
        return false;
    for (const Block& b : INTERNAL_BLOCKS)
        if ((address ^ b.first) >> (32 - b.bits) == 0)
            return false;
    return true;
}

std::string PortMapText(const PortMapResult& r) {
    const std::string port = std::to_string(r.externalPort);
    switch (r.state) {
        case PortMapState::Off: return std::string(PREFIX) + "設定で切ってあります";
        case PortMapState::NotListening: return std::string(PREFIX) + "待ち受けていないので行いません";
        case PortMapState::Searching: return std::string(PREFIX) + "ルーターに問い合わせています";
        case PortMapState::NoRouter: return std::string(PREFIX) + "応答するルーターがありません";
        case PortMapState::Refused:
            return std::string(PREFIX) + "ルーターに断られました（" + MethodName(r.method) + " コード " +
                   std::to_string(r.routerCode) + "）";
        case PortMapState::Mapped:
            if (!IsPublicIPv4(r.externalAddress))
                return std::string(PREFIX) + "ポート " + port +
                       " を開きましたが、ルーターの外側のアドレス（" +
                       (r.externalAddress.empty() ? std::string("不明") : r.externalAddress) +
                       "）がインターネットから届かないため、外部からは接続できません";
            return "外部から接続できるアドレス: " + r.externalAddress + ":" + port + "（" +
                   MethodName(r.method) + "）";
    }
    return std::string();
}

}  // namespace ravu
