// The player's line about port forwarding.  Literals are compiled to
// Shift-JIS like every model text.
#include "net/port_map_status.h"

#include <array>
#include <charconv>

#include "game/local_text.h"

namespace ravu {

namespace {

// A line that reports on the forwarding: "ポート開放: " and what happened.
std::string Line(const char* text) {
    return FillText(LocalText("PortMap", RAVU_TEXT("PortMap", "ポート開放: %1")),
                    {LocalText("PortMap", text)});
}

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
        case PortMapState::Off: return Line(RAVU_TEXT("PortMap", "設定で切ってあります"));
        case PortMapState::NotListening: return Line(RAVU_TEXT("PortMap", "待ち受けていないので行いません"));
        case PortMapState::Searching: return Line(RAVU_TEXT("PortMap", "ルーターに問い合わせています"));
        case PortMapState::NoRouter: return Line(RAVU_TEXT("PortMap", "応答するルーターがありません"));
        case PortMapState::Refused:
            return FillText(Line(RAVU_TEXT("PortMap", "ルーターに断られました（%1 コード %2）")),
                            {MethodName(r.method), std::to_string(r.routerCode)});
        case PortMapState::Mapped:
            if (!IsPublicIPv4(r.externalAddress))
                return FillText(
                    Line(RAVU_TEXT("PortMap",
                                   "ポート %1 を開きましたが、ルーターの外側のアドレス（%2）が"
                                   "インターネットから届かないため、外部からは接続できません")),
                    {port, r.externalAddress.empty() ? LocalText("PortMap", RAVU_TEXT("PortMap", "不明"))
                                                     : r.externalAddress});
            return FillText(
                LocalText("PortMap", RAVU_TEXT("PortMap", "外部から接続できるアドレス: %1:%2（%3）")),
                {r.externalAddress, port, MethodName(r.method)});
    }
    return std::string();
}

}  // namespace ravu
