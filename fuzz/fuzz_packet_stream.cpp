// Fuzz target: a stream of 256-byte packets from peers, fed to one copy's
// packet reassembly (CPacketState, with its cap on chunked texts) and then to
// its peer protocol's dispatch (CPeerProtocol::OnSockMessage), over links in
// memory.  The copy is a host or a guest in a state chosen by the first bytes:
//
//   byte 0  bit 0      0 host, 1 guest
//           bits 1-2   0 host: listening, nobody accepted yet / guest: connected
//                      1 a game against the peer on connection 1
//                      2 host: guest 1 accepted, no game / guest: watching
//                      3 edit mode (host: guest 1 accepted)
//           bit 3      the own side in that game (0 sente, 1 gote)
//           bit 4      the connect dialog is open (a host refuses every hello)
//           bit 5      guest only: not connected (connState 0)
//           bit 6      questions run a nested event loop: the next packet of
//                      the stream arrives while a question is open
//           bit 7      the peer announced the protocol extension, and the game
//                      is a strict one with byoyomi (a guest's game: as proposed);
//                      a host's game has the token 0123456789abcdef, which its
//                      guest has echoed, so that a lost link adjourns it;
//                      a host with guest 1 accepted and no game (state 2)
//                      reviews a record with a variation together with it
//   byte 1  answers to the questions, one bit each (1 yes), in turn
//   bytes 2-3  four nibbles, used in turn by packet 0, 1, 2, 3, 4, ...:
//           bits 0-1   which connection the packet comes on: host slot 1-4;
//                      guest: 0 its link to the host, 1-3 a stray connection
//                      on its own listening socket
//           bit 2      the connection is lost after this packet
//           bit 3      the packet arrives again and again, until a chunked
//                      text would outgrow its cap (the connection is then closed)
//   the rest           256-byte packets (a short tail is zero-filled)
//
// A connection that is lost or closed is replaced by a new one with a new
// handle, as a new peer would take the freed slot; a guest's link to its host
// is not replaced.  Everything the copy sends is framed and read back by a
// receiving packet state, as the peer would.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "game/board.h"
#include "net/game_link.h"
#include "net/packet.h"
#include "net/packet_state.h"
#include "net/peer_protocol.h"
#include "record/kifu.h"

using namespace ravu;

namespace {

// The copy's view of its peers.  A host link holds slots by handle; a guest
// link holds its one connection to the host.
class Link : public CGameLink {
public:
    explicit Link(bool hostMode) : host(hostMode) {}

    void SendTo(uint8_t type, int length, const char* data, SockHandle handle) override {
        if (host ? (handle == 0 || slots.count(handle)) : ownHandle != 0)
            Receive(type, length, data);
    }
    void SendExcept(uint8_t type, int length, const char* data, SockHandle) override {
        if (host && !slots.empty())
            Receive(type, length, data);
    }
    void SendLongText(const std::string& text, SockHandle handle) override {
        if (host && !slots.count(handle))
            return;
        for (auto& [type, piece] : SplitLongText(text))
            Receive(type, static_cast<int>(piece.size()), piece.data());
    }
    std::string GetText(SockHandle h) const override {
        if (host)
            return slots.count(h) ? slots.at(h).GetLastText() : std::string();
        return own.GetLastText();
    }
    uint8_t GetLastType(SockHandle h) const override {
        if (host)
            return slots.count(h) ? slots.at(h).GetLastType() : 0;
        return own.GetLastType();
    }
    std::string GetPeerName(SockHandle h) const override {
        if (host)
            return slots.count(h) ? slots.at(h).GetPeerName() : std::string();
        return own.GetPeerName();
    }
    int AllSlotsFree() const override { return slots.empty() ? 1 : 0; }
    int HasConnection(SockHandle h) const override {
        if (h == 0)
            return 0;
        return host ? (slots.count(h) ? 1 : 0) : (h == ownHandle ? 1 : 0);
    }
    SockHandle OwnHandle() const override { return ownHandle; }
    void Close() override {
        if (host)
            slots.clear();
        else
            ownHandle = 0;
    }
    void CloseSlot(SockHandle h) override { slots.erase(h); }

    // The peer's side of what was sent: framed and reassembled.
    void Receive(uint8_t type, int length, const char* data) {
        const Packet p = BuildPacket(type, length, data);
        if (peer.TakePacket(p.data()) == CPacketState::TAKE_OVERFLOW)
            peer.DropChunks();
    }

    bool host;
    std::map<SockHandle, CPacketState> slots;
    CPacketState own;
    SockHandle ownHandle = 0;
    CPacketState peer;
};

class Copy;

class Host : public CProtocolHost {
public:
    explicit Host(Copy& copy) : copy(copy) {}
    int Ask(Question, const std::string&) override;
    void AddLine(const std::string&) override {}
    void Redraw(bool) override {}
    void ShowCheck() override {}
    void ShowChatInput(bool) override {}
    void CloseTurnDialog() override {}
    bool IsConnectDialogOpen() const override { return connectDialogOpen; }
    // Time moves on by almost a second whenever it is read, so clocks run out.
    int64_t NowMs() const override { return now += 997; }

    Copy& copy;
    mutable int64_t now = 0;
    bool connectDialogOpen = false;
    bool nestedLoop = false;
    bool forceYes = false;
    uint8_t answers = 0;
    int asked = 0;
    int depth = 0;
};

class Copy {
public:
    Copy(const uint8_t* data, size_t size)
        : data(data), size(size), host(*this), proto(board, record, conn, listen, host) {
        board.Reset();
        proto.SetHandleName("fuzz");
    }

    // Packet `index` of the stream on the connection its nibble names.
    // False when the stream is used up.
    bool Deliver() {
        RenewClosed();
        const size_t at = HEADER + index * PACKET_SIZE;
        if (at >= size)
            return false;
        uint8_t packet[PACKET_SIZE + 1] = {};
        std::memcpy(packet, data + at, size - at < PACKET_SIZE ? size - at : PACKET_SIZE);
        const uint8_t nibble = (((data[2] << 8) | data[3]) >> (4 * (index % 4))) & 0x0F;
        ++index;
        const int which = nibble & 3;
        const bool lost = (nibble & 4) != 0;
        const bool flood = (nibble & 8) != 0;

        const bool own = guest && which == 0;
        CPacketState* state = nullptr;
        SockHandle h = 0;
        if (own) {
            if (conn.ownHandle == 0)
                return true;  // the link to the host is gone: nothing arrives
            state = &conn.own;
            h = conn.ownHandle;
        } else {
            h = handles[which];
            state = &listen.slots[h];
        }
        CPacketState::TakeResult r = state->TakePacket(packet);
        for (size_t n = 0; flood && r == CPacketState::TAKE_SILENT && n < CHUNKS_MAX / CHUNK_SIZE + 2; ++n)
            r = state->TakePacket(packet);
        if (r == CPacketState::TAKE_OVERFLOW) {
            if (state->PendingChunkBytes() != 0)
                abort();  // the cap must drop what was gathered
            Lose(own, which, h);
            return true;
        }
        if (r == CPacketState::TAKE_DELIVER)
            proto.OnSockMessage(WM_SOCK_PACKET, h);
        if (lost)
            Lose(own, which, h);
        return true;
    }

    // The connection is gone: the socket closes it and tells the protocol.
    void Lose(bool own, int which, SockHandle h) {
        if (own) {
            conn.ownHandle = 0;
            conn.own.DropChunks();
            proto.OnSockMessage(WM_SOCK_CLOSED, 0);
        } else if (listen.slots.count(h)) {
            listen.slots.erase(h);
            proto.OnSockMessage(WM_SOCK_CLOSED, h);
        }
        if (!own)
            Renew(which);
    }

    // A slot freed by the protocol (a refused guest) or by a loss takes the
    // next peer, under a new handle.
    void Renew(int which) { handles[which] = nextHandle++; }

    // Slots the protocol closed itself (a refused guest) take new peers.
    void RenewClosed() {
        for (int i = guest ? 1 : 0; i < 4; ++i) {
            if (listen.slots.count(handles[i]))
                opened[handles[i]] = true;
            else if (opened.count(handles[i]))
                Renew(i);
        }
    }

    // The packet from connection 1 (host slot 1, or the guest's host).
    void Setup(uint8_t type, const char* text) {
        const Packet p = BuildPacket(type, static_cast<int>(std::strlen(text)), text);
        if (guest) {
            conn.own.TakePacket(p.data());
            proto.OnSockMessage(WM_SOCK_PACKET, conn.ownHandle);
        } else {
            listen.slots[handles[0]].TakePacket(p.data());
            proto.OnSockMessage(WM_SOCK_PACKET, handles[0]);
        }
    }

    // A host in a game: its opponent is a connection it accepted, still
    // there; an adjourned game has none until its guest is back.
    void Check() const {
        if (guest || proto.mode != MODE_GAME)
            return;
        const bool sound = proto.Adjourned() ? proto.gamePeer == 0
                                             : proto.gamePeer != 0 && listen.HasConnection(proto.gamePeer) &&
                                                   proto.IsAccepted(proto.gamePeer);
        if (!sound)
            abort();
    }

    static constexpr size_t HEADER = 4;
    const uint8_t* data;
    size_t size;
    size_t index = 0;
    bool guest = false;
    SockHandle handles[4] = {1, 2, 3, 4};
    std::map<SockHandle, bool> opened;
    SockHandle nextHandle = 5;

    CShogiBoard board;
    CKifuControl record;
    Link conn{false};
    Link listen{true};
    Host host;
    CPeerProtocol proto;
};

int Host::Ask(Question, const std::string&) {
    if (forceYes)
        return ASK_YES;
    // The balloon's event loop: packets keep arriving while it is open.
    if (nestedLoop && depth < 3) {
        ++depth;
        copy.Deliver();
        --depth;
    }
    const bool yes = (answers >> (asked++ % 8)) & 1;
    return yes ? ASK_YES : ASK_NO;
}

}  // namespace

#define FUZZ_TOKEN "0123456789abcdef"

// Three moves with a variation at the second (ASCII-only move lines are
// read by their columns).
constexpr const char* REVIEW_KIF =
    "   1 ７六歩(77)\r\n   2 ３四歩(33)+\r\n   3 ２六歩(27)\r\n\r\n変化：2手\r\n   2 ８四歩(83)\r\n";

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < Copy::HEADER)
        return 0;
    Copy copy(data, size);
    const uint8_t flags = data[0];
    const bool guest = flags & 1;
    const int state = (flags >> 1) & 3;
    const int side = (flags >> 3) & 1;
    copy.guest = guest;

    const bool refereed = flags & 0x80;
    const char* const settings = "rules=strict;time=byoyomi;main=60;byoyomi=10";
    copy.host.forceYes = true;
    copy.proto.tokenSource = [] { return std::string(FUZZ_TOKEN); };
    if (guest) {
        // The guest's link to its host is connection 1; 2-4 are strays on its
        // own listening socket.
        copy.handles[0] = 0;
        if (!(flags & 0x20)) {
            copy.conn.ownHandle = 1;
            copy.proto.OnGuestConnected(refereed ? CapsPayload() : std::string());
            if (refereed)
                ParseGame(settings, copy.proto.proposal);
            copy.proto.SetOpponentName("host");
            if (state == 1)
                copy.proto.OnTurnAccepted(side);
            else if (state == 2)
                copy.Setup(PKT_OBSERVE, "0");
            else if (state == 3)
                copy.proto.mode = MODE_EDIT;
        }
    } else if (state != 0) {
        copy.Setup(PKT_HELLO, "guest");
        if (refereed) {
            copy.Setup(PKT_EXT_CAPS, CapsPayload().c_str());
            copy.Setup(PKT_EXT_GAME, settings);
        }
        if (state == 1)
            copy.Setup(PKT_TURN, side ? "1" : "0");
        if (state == 1 && refereed)
            copy.Setup(PKT_EXT_RESUME, "token=" FUZZ_TOKEN);
        else if (state == 3)
            copy.proto.mode = MODE_EDIT;
        if (state == 2 && refereed) {
            copy.record.LoadKifFromBuffer(REVIEW_KIF, "fuzz");
            copy.proto.StartReview();
        }
    }
    copy.host.forceYes = false;
    copy.host.connectDialogOpen = flags & 0x10;
    copy.host.nestedLoop = flags & 0x40;
    copy.host.answers = data[1];

    while (copy.Deliver())
        copy.Check();
    return 0;
}
