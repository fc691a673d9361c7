// What the peer protocol needs of a game connection: the guest's connection
// to its host, or the host's listening socket with its accepted guests.
// CGameSocket implements it over TCP; tests may implement it in memory.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "net/packet.h"
#include "net/sock_owner.h"

namespace ravu {

class CGameLink {
public:
    virtual ~CGameLink() = default;

    // One packet on the own connection (guest) or, in host mode, to the slot
    // with the handle, or to every connected slot for handle 0.
    virtual void SendTo(uint8_t type, int length, const char* data, SockHandle handle) = 0;
    // Host mode: one packet to every connected slot but the one with the handle.
    virtual void SendExcept(uint8_t type, int length, const char* data, SockHandle handle) = 0;
    // Host mode: a long text to one slot in PKT_CHUNK / PKT_CHUNK_END packets.
    virtual void SendLongText(const std::string& text, SockHandle handle) = 0;

    // The last packet of the own connection or of a slot.
    virtual std::string GetText(SockHandle handle) const = 0;
    virtual uint8_t GetLastType(SockHandle handle) const = 0;
    virtual std::string GetPeerName(SockHandle handle) const = 0;

    // 1 when no accepted slot holds a connection.
    virtual int AllSlotsFree() const = 0;
    // 1 while a connection with this handle exists (own connection or slot).
    virtual int HasConnection(SockHandle handle) const = 0;
    // Handle of the own (guest) connection, 0 when there is none.
    virtual SockHandle OwnHandle() const = 0;
    // Guest: closes the own connection.  Host: closes every slot, keeps listening.
    virtual void Close() = 0;
    // Host: closes the one slot with the handle, after what was sent to it
    // has gone out, and frees the slot for another guest.
    virtual void CloseSlot(SockHandle handle) { (void)handle; }

    void SendRefuse(SockHandle handle) { SendTo(PKT_REFUSE, 1, "0", handle); }
    void SendText(uint8_t type, std::string_view text, SockHandle handle) {
        SendTo(type, static_cast<int>(text.size()), text.data(), handle);
    }
    void SendChat(const std::string& text, SockHandle handle) {
        SendTo(PKT_CHAT, static_cast<int>(text.size()), text.data(), handle);
    }
};

// A connection that goes nowhere but counts as connected: for a window that
// must show a game in progress without a peer (pictures, measurements).
class CNullLink : public CGameLink {
public:
    void SendTo(uint8_t, int, const char*, SockHandle) override {}
    void SendExcept(uint8_t, int, const char*, SockHandle) override {}
    void SendLongText(const std::string&, SockHandle) override {}
    std::string GetText(SockHandle) const override { return {}; }
    uint8_t GetLastType(SockHandle) const override { return 0; }
    std::string GetPeerName(SockHandle) const override { return {}; }
    int AllSlotsFree() const override { return 0; }
    int HasConnection(SockHandle) const override { return 1; }
    SockHandle OwnHandle() const override { return 1; }
    void Close() override {}
};

// A chat line: name + ">" + text.
std::string PrefixName(const std::string& name, const std::string& text);

}  // namespace ravu
