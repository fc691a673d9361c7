// A host and its guests in memory: copies of the peer protocol over links
// with a settable delay and a clock the test moves on, for tests of what
// copies say to each other.  Standard library only.
#pragma once

#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "game/board.h"
#include "net/extension.h"
#include "net/peer_protocol.h"
#include "record/kifu.h"
#include "record/start_position.h"
#include "support/fake_link.h"

namespace ravu::test {

constexpr SockHandle OWN = 3;  // every guest's link to its host

// One copy: board, record, links, protocol, and what its player was asked,
// shown and told; it reads the time from the clock it is given.
struct Peer : CProtocolHost {
    Peer(const char* name, bool extension, const int64_t& clock)
        : now(clock), proto(board, record, conn, listen, *this) {
        board.Reset();
        proto.SetHandleName(name);
        proto.extensionOn = extension;
        conn.ownHandle = OWN;
    }
    // Questions take the answers in turn, then `otherwise`; `duringAsk` runs
    // once while a question is open (the dialog's own event loop).
    int Ask(Question, const std::string& q) override {
        questions.push_back(q);
        if (auto f = std::exchange(duringAsk, nullptr))
            f();
        if (answers.empty())
            return otherwise;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    void AddLine(const std::string& line) override { lines.push_back(line); }
    void Redraw(bool) override {}
    void ShowCheck() override { ++checks; }
    void ShowChatInput(bool show) override { chatInput = show; }
    void CloseTurnDialog() override { ++turnDialogCloses; }
    bool IsConnectDialogOpen() const override { return connectDialogOpen; }
    void Notify(Notice kind) override { notices.push_back(kind); }
    int64_t NowMs() const override { return now; }
    void OnRecordChanged() override { saved = record.KifText("game.kif"); }
    // The record was last told of as it is now, thinking times included.
    bool SavedAsIs() const { return saved == record.KifText("game.kif"); }

    std::string MainLine() const {
        std::string text;
        record.GetMainLineText(text);
        return text;
    }

    const int64_t& now;
    CShogiBoard board;
    CKifuControl record;
    CFakeLink conn{false}, listen{true};
    CPeerProtocol proto;
    std::deque<int> answers;
    int otherwise = ASK_YES;
    std::function<void()> duringAsk;
    std::vector<std::string> questions, lines;  // asked; chat and system lines shown
    std::vector<Notice> notices;
    std::string saved;
    int checks = 0, turnDialogCloses = 0;
    bool chatInput = false, connectDialogOpen = false;
    int turnSide = -1;       // a proposal of sides waits for the host's answer
    bool rejoining = false;  // its handshake waits for the host's acceptance
    bool ticking = true;     // a program that froze stops ticking
    bool mute = false;       // nothing it sends arrives any more
};

// A host and its guests (slot 7 the opponent, slot 9 a spectator), with
// packets that take `delay` ms to arrive and a clock the test moves on.
struct Net {
    explicit Net(bool hostExt = true, bool guestExt = true)
        : host("host", hostExt, now), guest("guest", guestExt, now), watcher("watcher", guestExt, now) {}

    // Accepting a connection: the sockets exchange hellos and announcements;
    // the guest's handshake hands the host's announcement on.
    void Join(Peer& g, SockHandle slot) {
        Connect(g, slot);
        g.proto.OnGuestConnected(host.proto.CapsText());
        Wire(g, OWN, PKT_HELLO, g.proto.GetHandleName());
        if (!g.proto.CapsText().empty())
            Wire(g, OWN, PKT_EXT_CAPS, g.proto.CapsText());
        Run(2 * delay);  // there and back
    }
    // A guest's handshake coming back to an adjourned game: its request goes
    // with the announcement before the hello; the acceptance makes it a guest.
    void Rejoin(Peer& g, SockHandle slot) {
        Connect(g, slot);
        g.rejoining = true;
        const std::string resume = g.proto.ResumeText();
        if (!resume.empty()) {
            Wire(g, OWN, PKT_EXT_CAPS, g.proto.CapsText());
            Wire(g, OWN, PKT_EXT_RESUME, resume);
        }
        Wire(g, OWN, PKT_HELLO, g.proto.GetHandleName());
        Run(2 * delay + 1);
        g.rejoining = false;
    }
    void Connect(Peer& g, SockHandle slot) {
        slots[slot] = &g;
        host.listen.guests[slot];
        g.conn.ownHandle = OWN;
        Wire(host, slot, PKT_HELLO, "host");
        if (!host.proto.CapsText().empty())
            Wire(host, slot, PKT_EXT_CAPS, host.proto.CapsText());
    }
    // The link between the host and a guest dies: what is under way is lost,
    // and both programs hear that the connection closed.
    void Cut(Peer& g) {
        SockHandle slot = 0;
        for (auto& [h, p] : slots)
            if (p == &g)
                slot = h;
        Collect();
        std::erase_if(flight, [&](const InFlight& f) { return f.to == &g || f.handle == slot; });
        slots.erase(slot);
        host.listen.guests.erase(slot);
        g.conn.ownHandle = 0;
        host.proto.OnSockMessage(WM_SOCK_CLOSED, slot);
        g.proto.OnSockMessage(WM_SOCK_CLOSED, 0);
        Collect();
        std::erase_if(flight, [&](const InFlight& f) { return f.to == &g || f.handle == slot; });
    }
    // The guest's turn dialog: settings (when its host has the extension), then sides.
    void Propose(int side, const GameSettings& s = {}) {
        guest.proto.proposal = s;
        if (!guest.proto.ProposalText().empty())
            Wire(guest, OWN, PKT_EXT_GAME, guest.proto.ProposalText());
        Wire(guest, OWN, PKT_TURN, side ? "1" : "0");
        guest.turnSide = side;
        Run(2 * delay);
    }
    // A packet that a program sends by its sockets, not by its protocol.
    void Wire(Peer& from, SockHandle h, uint8_t type, const std::string& text) {
        (&from == &host ? host.listen : from.conn).SendTo(type, int(text.size()), text.data(), h);
    }
    // Moves time on by `ms` in steps of 50 ms, delivering what is due (a
    // proposal's acceptance to the guest's turn dialog) and letting the
    // programs tick.
    void Run(int64_t ms) {
        for (const int64_t end = now + ms;;) {
            for (Collect(); !flight.empty() && flight.front().at <= now; Collect()) {
                const InFlight f = flight.front();
                flight.pop_front();
                if (++delivered == cutGuestAt) {
                    flight.push_front(f);  // lost with the link
                    Cut(guest);
                    continue;
                }
                (f.to == &host ? host.listen : f.to->conn).Put(f.handle, f.type, f.text);
                if (f.type == PKT_ACCEPT && f.to->turnSide >= 0)
                    f.to->proto.OnTurnAccepted(std::exchange(f.to->turnSide, -1));
                else if (f.type == PKT_ACCEPT && f.to->rejoining)
                    f.to->proto.OnGuestConnected(host.proto.CapsText());
                else
                    f.to->proto.OnSockMessage(WM_SOCK_PACKET, f.handle);
            }
            if (now >= end)
                break;
            now = std::min(end, now + 50);
            for (Peer* p : {&host, &guest, &watcher})
                if (p->ticking)
                    p->proto.OnTick();
        }
    }
    // A move typed on a copy (list layout without the number), then the time it takes to arrive.
    int Play(Peer& p, const std::string& move) {
        char number[16];
        std::snprintf(number, sizeof number, "%4d ", std::max(1, p.record.kifu.current->move->number));
        const int ok = p.proto.PlayMoveText(number + move + " ");
        Run(delay + 1);
        return ok;
    }

    struct InFlight {
        int64_t at;
        Peer* to;
        SockHandle handle;
        uint8_t type;
        std::string text;
    };
    void Collect() {
        for (const CFakeLink::Sent& s : host.listen.Take())
            for (auto& [slot, peer] : slots)
                if (s.except ? slot != s.handle : s.handle == 0 || s.handle == slot)
                    Send(host, *peer, OWN, slot, s.type, s.text);
        for (auto& [slot, peer] : slots)
            for (const CFakeLink::Sent& s : peer->conn.Take())
                Send(*peer, host, slot, slot, s.type, s.text);
    }
    void Send(Peer& from, Peer& to, SockHandle handle, SockHandle slot, uint8_t type,
              const std::string& text) {
        if (from.mute)
            return;
        wire += (&from == &host ? "h>" : "g>") + std::to_string(slot) + " " + std::to_string(type) + " " +
                text + "|";
        flight.push_back({now + delay, &to, handle, type, text});
    }
    // The guest's link is cut as the packet with this number (from 1) would
    // arrive; 0: never.
    int cutGuestAt = 0;
    int delivered = 0;
    int64_t now = 1000000;
    int64_t delay = 0;
    Peer host, guest, watcher;
    std::map<SockHandle, Peer*> slots;
    std::deque<InFlight> flight;
    std::string wire;  // everything sent, in order
};

inline GameSettings Settings(Rules rules, const char* handicap, TimeKind kind, int64_t mainS,
                             int64_t extraS) {
    GameSettings s;
    s.rules = rules;
    s.startSfen = handicap ? HandicapSfen(handicap) : "";
    s.time.kind = kind;
    s.time.mainMs = mainS * 1000;
    (kind == TimeKind::Increment ? s.time.incrementMs : s.time.byoyomiMs) = extraS * 1000;
    return s;
}

}  // namespace ravu::test
