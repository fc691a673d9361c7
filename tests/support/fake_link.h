// A game link in memory, for tests of the peer protocol and of windows that
// use it: packets put in are reassembled as a socket would, and what the
// protocol sends is written down.  Standard library only.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "net/game_link.h"
#include "net/packet_state.h"

namespace ravu::test {

class CFakeLink : public CGameLink {
public:
    struct Sent {
        uint8_t type;
        std::string text;
        SockHandle handle;
        bool except;  // SendExcept: handle is the one left out
        bool operator==(const Sent&) const = default;
    };

    // hostMode: a listening socket with slots by handle; else one own connection.
    explicit CFakeLink(bool hostMode) : host(hostMode) {}

    void SendTo(uint8_t t, int n, const char* d, SockHandle h) override {
        sent.push_back({t, {d, size_t(n)}, h, false});
    }
    void SendExcept(uint8_t t, int n, const char* d, SockHandle h) override {
        sent.push_back({t, {d, size_t(n)}, h, true});
    }
    void SendLongText(const std::string& text, SockHandle h) override {
        for (auto& [type, piece] : SplitLongText(text))
            if (!host || guests.count(h))
                sent.push_back({type, piece, h, false});
    }
    // The connection with the handle; an unknown slot reads as a fresh one.
    const CPacketState& State(SockHandle h) const {
        static const CPacketState none;
        return !host ? own : guests.count(h) ? guests.at(h) : none;
    }
    std::string GetText(SockHandle h) const override { return State(h).GetLastText(); }
    uint8_t GetLastType(SockHandle h) const override { return State(h).GetLastType(); }
    std::string GetPeerName(SockHandle h) const override { return State(h).GetPeerName(); }
    int AllSlotsFree() const override { return guests.empty(); }
    int HasConnection(SockHandle h) const override {
        return h != 0 && (host ? guests.count(h) != 0 : h == ownHandle);
    }
    SockHandle OwnHandle() const override { return ownHandle; }
    void Close() override { host ? guests.clear() : void(ownHandle = 0); }
    void CloseSlot(SockHandle h) override {
        guests.erase(h);
        closedSlots.push_back(h);
    }

    // A packet arriving on the connection with the handle.
    void Put(SockHandle h, uint8_t type, const std::string& text) {
        Packet p = BuildPacket(type, static_cast<int>(text.size()), text.data());
        (host ? guests[h] : own).TakePacket(p.data());
    }
    // What was sent since the last call.
    std::vector<Sent> Take() { return std::exchange(sent, {}); }

    bool host;
    std::map<SockHandle, CPacketState> guests;  // the host's connections by handle
    CPacketState own;
    SockHandle ownHandle = 0;
    std::vector<Sent> sent;
    std::vector<SockHandle> closedSlots;
};

}  // namespace ravu::test
