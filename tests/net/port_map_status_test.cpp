// The port forwarding line: which external addresses reach this copy, and
// the words for each outcome.
#include <gtest/gtest.h>

#include "net/port_map_status.h"

using namespace ravu;

TEST(PortMapStatus, PublicAddresses) {
    // clang-format off
    const std::pair<const char*, bool> cases[] = {
        {"203.0.113.5", true}, {"8.8.8.8", true}, {"100.63.255.255", true}, {"100.128.0.1", true},
        {"172.15.0.1", true}, {"172.32.0.1", true}, {"192.169.0.1", true},
        {"10.1.2.3", false}, {"100.64.0.7", false}, {"100.127.0.1", false}, {"127.0.0.1", false},
        {"169.254.1.1", false}, {"172.16.0.1", false}, {"172.31.255.1", false}, {"192.168.1.1", false},
        {"0.0.0.0", false}, {"", false}, {"1.2.3", false}, {"1.2.3.4.5", false}, {"1.2.3.256", false},
        {"1.2.3.4 ", false}, {"1..3.4", false}, {"0001.2.3.4", false}, {"-1.2.3.4", false},
    };
    // clang-format on
    for (const auto& [address, expected] : cases)
        EXPECT_EQ(IsPublicIPv4(address), expected) << address;
}

TEST(PortMapStatus, Words) {
    using S = PortMapState;
    using M = PortMapMethod;
    auto r = [](S state, M method = M::None, const char* address = "", uint16_t port = 0, int code = 0) {
        PortMapResult out;
        out.state = state;
        out.method = method;
        out.externalAddress = address;
        out.externalPort = port;
        out.routerCode = code;
        return out;
    };
    // clang-format off
    const std::pair<PortMapResult, const char*> cases[] = {
        {r(S::Off), "ポート開放: 設定で切ってあります"},
        {r(S::NotListening), "ポート開放: 待ち受けていないので行いません"},
        {r(S::Searching), "ポート開放: ルーターに問い合わせています"},
        {r(S::NoRouter), "ポート開放: 応答するルーターがありません"},
        {r(S::Refused, M::Upnp, "", 0, 718), "ポート開放: ルーターに断られました（UPnP コード 718）"},
        {r(S::Mapped, M::Upnp, "203.0.113.5", 9149), "外部から接続できるアドレス: 203.0.113.5:9149（UPnP）"},
        {r(S::Mapped, M::NatPmp, "198.51.100.2", 40000),
         "外部から接続できるアドレス: 198.51.100.2:40000（NAT-PMP）"},
        {r(S::Mapped, M::Upnp, "100.64.0.7", 9149),
         "ポート開放: ポート 9149 を開きましたが、ルーターの外側のアドレス（100.64.0.7）がインターネットから"
         "届かないため、外部からは接続できません"},
        {r(S::Mapped, M::Upnp, "", 9149),
         "ポート開放: ポート 9149 を開きましたが、ルーターの外側のアドレス（不明）がインターネットから"
         "届かないため、外部からは接続できません"},
    };
    // clang-format on
    for (const auto& [result, text] : cases)
        EXPECT_EQ(PortMapText(result), text);
}
