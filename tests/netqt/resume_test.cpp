// Games cut off by lost connections, over loopback: a relay between guest and
// host loses a chosen packet and cuts both sides there.  Wherever the cut
// falls, no copy crashes, and the two end with no game, or with the game
// adjourned on both sides, the guest coming back on its own and the game
// played to its end.
#include <QTcpServer>

#include "app/textcodec.h"
#include "loop_util.h"

using namespace ravu;
using namespace ravu::test;

namespace {

// A relay on 127.0.0.1 in front of the host's port.  Whole packets are passed
// on and counted, both ways together; the packets numbered in `cuts` are
// lost, and both sides are closed there.  Pings and their answers, whose
// moments depend on timing, pass uncounted.  New connections are taken all
// the while (each gets its own connection to the host, closed when the host
// is not there).  Held (or after a cut, with holdAfterCut), it passes nothing
// on until released.
class CRelay {
public:
    explicit CRelay(unsigned hostPort) : target(static_cast<quint16>(hostPort)) {
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&server, &QTcpServer::newConnection, [this] { Accept(); });
    }
    ~CRelay() {
        for (auto& l : links)
            l->down->disconnect(), l->up->disconnect();
    }
    unsigned Port() const { return server.serverPort(); }
    void Release() {
        held = false;
        for (auto& l : links)
            Pump(*l);
    }
    // Bytes waiting in held links, from guests.
    qint64 Waiting() const {
        qint64 n = 0;
        for (auto& l : links)
            n += l->open ? l->down->bytesAvailable() : 0;
        return n;
    }

    std::vector<int> cuts;
    int count = 0;  // packets seen, pings left out
    bool held = false;
    bool holdAfterCut = false;

private:
    struct Link {
        QTcpSocket* down;  // from the guest, owned by the server
        std::unique_ptr<QTcpSocket> up = std::make_unique<QTcpSocket>();
        bool open = true;
    };
    void Accept() {
        while (QTcpSocket* s = server.nextPendingConnection()) {
            Link* l = links.emplace_back(new Link{s}).get();
            for (QTcpSocket* side : {l->down, l->up.get()}) {
                QObject::connect(side, &QTcpSocket::readyRead, [this, l] { Pump(*l); });
                QObject::connect(side, &QTcpSocket::disconnected, [this, l] { Pump(*l), Close(*l); });
            }
            QObject::connect(l->up.get(), &QTcpSocket::connected, [this, l] { Pump(*l); });
            QObject::connect(l->up.get(), &QTcpSocket::errorOccurred, [this, l] {
                if (l->up->state() != QAbstractSocket::ConnectedState)
                    Close(*l);
            });
            l->up->connectToHost(QHostAddress::LocalHost, target);
        }
    }
    void Pump(Link& l) {
        if (held || l.up->state() != QAbstractSocket::ConnectedState)
            return;
        for (bool more = true; more && l.open;) {
            more = false;
            for (auto [from, to] : {std::pair{l.down, l.up.get()}, std::pair{l.up.get(), l.down}}) {
                if (!l.open || from->bytesAvailable() < PACKET_SIZE)
                    continue;
                const QByteArray packet = from->read(PACKET_SIZE);
                const uint8_t type = static_cast<uint8_t>(packet[0]);
                if (type != PKT_EXT_PING && type != PKT_EXT_PONG && std::ranges::count(cuts, ++count)) {
                    Close(l);
                    held = holdAfterCut;
                } else {
                    to->write(packet);
                    more = true;
                }
            }
        }
    }
    void Close(Link& l) {
        if (!std::exchange(l.open, false))
            return;
        l.down->disconnectFromHost();  // after what was passed on
        l.up->disconnectFromHost();
    }

    QTcpServer server;
    quint16 target;
    std::vector<std::unique_ptr<Link>> links;
};

std::string S(const char* utf8) { return Utf8ToSjis(utf8); }

// A strict game: twelve moves, then sente (the guest) resigns.
const char* const MOVES[] = {"７六歩(77)", "３四歩(33)", "２六歩(27)", "８四歩(83)",
                             "２五歩(26)", "８五歩(84)", "７八金(69)", "３二金(41)",
                             "４八銀(39)", "６二銀(71)", "５八玉(59)", "４二王(51)"};
constexpr int GAME_MOVES = 12;

std::string Entry(int n) {
    const std::string number = std::to_string(n);
    return std::string(4 - number.size(), ' ') + number + " " + S(MOVES[n - 1]) + " ";
}

std::string FullGame() {
    std::string t;
    for (int n = 1; n <= GAME_MOVES; ++n)
        t += Entry(n) + ";";
    return t + S("  13 投了;;");
}

std::string Line(const CHeadlessCopy& c) {
    std::string t;
    c.record.GetMainLineText(t);
    return t;
}

int Count(const CHeadlessCopy& c) {
    int n = 0;
    for (const KifuNode* e = c.record.kifu.Root(); e && e->filled && e->move; e = e->next)
        ++n;
    return n;
}

// The notices (by name) and the guest's coming back, each followed by a blank.
std::shared_ptr<std::string> Log(CHeadlessCopy& c) {
    auto log = std::make_shared<std::string>();
    QObject::connect(&c, &CHeadlessCopy::event, [log](const QString& kind, const QByteArray&, qint64 v) {
        if (kind == "notice")
            *log += NoticeName(static_cast<Notice>(v)) + std::string(" ");
        else if (kind.startsWith("reconnect") || kind == "connect_failed")
            *log += kind.toStdString() + (kind == "reconnect_gave_up" ? "=" + std::to_string(v) : "") + " ";
    });
    return log;
}

const char* const BACK = "adjourned reconnecting reconnected resumed ";
const char* const BACK_TWICE =
    "adjourned reconnecting reconnected resumed adjourned reconnecting reconnected resumed ";
const std::string RESIGNED = "opponent_resigned ";

// A host and a guest that meet through a relay; the guest proposes the
// strict game with itself as sente.
struct Match {
    explicit Match(std::vector<int> cuts = {}) {
        relay.cuts = std::move(cuts);
        guest->protocol.proposal.rules = Rules::Strict;
        guest->reconnector.firstWaitMs = 10;
        guest->reconnector.maxWaitMs = 80;
        guest->reconnector.attemptTimeoutMs = 3000;
        guest->reconnector.giveUpMs = 20000;
        EXPECT_TRUE(guest->Connect("127.0.0.1", relay.Port()));
    }
    // One step of the game on whichever side is to move.
    void Drive() {
        if (!proposed && guest->protocol.connState == CONN_GUEST &&
            guest->handshake.phase() == CGuestHandshake::PHASE_IDLE) {
            proposed = true;
            guest->ProposeTurn(0);
        }
        for (CHeadlessCopy* c : {host.get(), guest.get()}) {
            const CPeerProtocol& p = c->protocol;
            if (refused || p.mode != MODE_GAME || p.Adjourned() || p.SideToMove() != p.mySide)
                continue;
            const int n = Count(*c);
            refused = (n < GAME_MOVES ? c->Move(Entry(n + 1)) : c->Resign()) != 1;
            EXPECT_FALSE(refused) << n;
        }
    }
    // Nothing more will happen: the guest's game is over or never began, and
    // it is not coming back; the host's game is over or waits.
    bool Settled() const {
        const CPeerProtocol& g = guest->protocol;
        return refused || (g.mode != MODE_GAME && guest->handshake.phase() == CGuestHandshake::PHASE_IDLE &&
                           !guest->reconnector.Running() &&
                           (host->protocol.mode != MODE_GAME || host->protocol.Adjourned()));
    }
    bool Play() {
        return WaitUntil([&] { return Drive(), Settled(); });
    }
    // Every move on both sides, and the resignation.
    void ExpectWholeGame(const std::string& label) const {
        EXPECT_EQ(Line(*host), FullGame()) << label;
        EXPECT_EQ(Line(*guest), FullGame()) << label;
    }

    std::unique_ptr<CHeadlessCopy> host = MakeHost("host");
    CRelay relay{host->Port()};
    std::unique_ptr<CHeadlessCopy> guest = std::make_unique<CHeadlessCopy>("guest");
    std::shared_ptr<std::string> hostLog = Log(*host), guestLog = Log(*guest);
    bool proposed = false;
    bool refused = false;  // a move or resignation of the script was refused
};

}  // namespace

// The packets, pings left out: 1-4 both hellos and announcements (they
// cross), 5 acceptance, 6 settings, 7 sides, 8 their acceptance, 9 token,
// 10 its echo, 11-13 moves.  Coming back after the host's move 2 was lost
// (12): 13-17 both hellos and announcements and the guest's request, 18
// acceptance, 19 the host's count, 20 move 2 again, 21 move 3.
TEST(Resume, CutAtEveryPacketOfTheHandshakeAndTheFirstMoves) {
    enum Outcome { NO_GAME, PLAYED };
    const struct {
        std::vector<int> cuts;  // the packets lost
        Outcome outcome;
        const char* host;  // the notices (null: open, the hellos crossing)
        const char* guest;
    } rows[] = {
        {{1}, NO_GAME, nullptr, "connect_failed "},
        {{2}, NO_GAME, nullptr, "connect_failed "},
        {{3}, NO_GAME, nullptr, "connect_failed "},
        {{4}, NO_GAME, nullptr, "connect_failed "},
        {{5}, NO_GAME, "connection_lost ", "connect_failed "},
        {{6}, NO_GAME, "connection_lost ", "connection_lost "},
        {{7}, NO_GAME, "connection_lost ", "connection_lost "},
        // Until the host has the token's echo, a lost link ends its game; a
        // guest that holds the token is refused when it comes back.
        {{8}, NO_GAME, nullptr, "connection_lost "},
        {{9}, NO_GAME, nullptr, "opponent_gone "},
        {{10}, NO_GAME, "opponent_gone ", "adjourned reconnecting resume_failed reconnect_gave_up=1 "},
        {{11}, PLAYED, "adjourned resumed ", BACK},
        {{12}, PLAYED, "adjourned resumed ", BACK},
        {{13}, PLAYED, "adjourned resumed ", BACK},
        {{12, 13}, PLAYED, nullptr, BACK},
        {{12, 14}, PLAYED, nullptr, BACK},
        {{12, 15}, PLAYED, nullptr, BACK},
        {{12, 16}, PLAYED, nullptr, BACK},
        {{12, 17}, PLAYED, nullptr, BACK},
        {{12, 18}, PLAYED, "adjourned resumed adjourned resumed ", BACK},
        // Taken back, but the host's count not yet there: the guest waits anew.
        {{12, 19},
         PLAYED,
         "adjourned resumed adjourned resumed ",
         "adjourned reconnecting reconnected adjourned reconnecting reconnected resumed "},
        {{12, 20}, PLAYED, "adjourned resumed adjourned resumed ", BACK_TWICE},
        {{12, 21}, PLAYED, "adjourned resumed adjourned resumed ", BACK_TWICE},
    };
    for (const auto& row : rows) {
        const std::string cut = std::to_string(row.cuts.front()) + "," + std::to_string(row.cuts.back());
        Match m(row.cuts);
        ASSERT_TRUE(m.Play()) << cut;
        RunFor(50);  // the host hears of the cut
        if (row.outcome == PLAYED) {
            m.ExpectWholeGame(cut);
        } else {
            EXPECT_EQ(m.host->protocol.mode + m.guest->protocol.mode, MODE_FREE) << cut;
            EXPECT_EQ(m.host->protocol.connState + m.guest->protocol.connState, CONN_NONE) << cut;
        }
        if (row.host) {
            EXPECT_EQ(*m.hostLog, row.host + (row.outcome == PLAYED ? RESIGNED : "")) << cut;
        }
        if (row.guest) {
            EXPECT_EQ(*m.guestLog, row.guest) << cut;
        }
    }
}

// The host's program ends in mid-game (its copy destroyed, as a killed
// process's sockets close) and starts again on the same port.  Restored from
// the game it kept (Kept() and the record's text, read back by the record
// reader), it takes the guest back, still coming back on its own, and the
// game goes on to its end.  A host that kept nothing refuses the token: the
// guest's game is over, and it stops coming back.
TEST(Resume, HostProgramRestarted) {
    for (const bool kept : {true, false}) {
        Match m;
        ASSERT_TRUE(WaitUntil([&] { return m.Drive(), Count(*m.host) >= 5; })) << kept;
        const Adjournment a = m.host->protocol.Kept();
        const std::string kif = m.host->record.KifText(S("対局.kif"));
        const unsigned port = m.host->Port();
        m.host.reset();
        ASSERT_TRUE(WaitUntil([&] { return m.guest->protocol.Adjourned(); })) << kept;
        RunFor(100);  // attempts that find no host
        m.host = std::make_unique<CHeadlessCopy>("host");
        m.hostLog = Log(*m.host);
        auto events = Events(*m.host);
        if (kept) {
            ASSERT_TRUE(m.host->record.LoadKifFromBuffer(kif, S("対局.kif")));
            ASSERT_TRUE(m.host->protocol.RestoreAdjourned(a));
        }
        ASSERT_TRUE(m.host->Listen(port));
        ASSERT_TRUE(m.Play()) << kept;
        if (kept) {
            m.ExpectWholeGame("restarted");
            EXPECT_EQ(*m.hostLog, "resumed " + RESIGNED);
            EXPECT_EQ(*m.guestLog, BACK);
        } else {
            RunFor(200);
            EXPECT_EQ(m.guest->protocol.mode, MODE_FREE);
            EXPECT_EQ(*m.guestLog, "adjourned reconnecting resume_failed reconnect_gave_up=1 ");
            EXPECT_EQ(std::ranges::count(*events, "hello guest"), 1);  // no further attempt
            EXPECT_EQ(m.host->protocol.mode + m.host->protocol.connState, MODE_FREE);
        }
    }
}

// The player's own commands stop the coming back.  Disconnecting while an
// attempt waits for the host's answer ends that attempt, so that the host
// does not take back a guest that gave up; a connection by hand later takes
// the game up.
TEST(Resume, DisconnectStopsComingBackAndAConnectionByHandResumes) {
    Match m({12});
    m.relay.holdAfterCut = true;
    ASSERT_TRUE(WaitUntil([&] { return m.Drive(), m.host->protocol.Adjourned(); }));
    ASSERT_TRUE(WaitUntil([&] { return m.relay.Waiting() > 0; }));
    EXPECT_EQ(m.guest->Disconnect(), 1);
    EXPECT_FALSE(m.guest->reconnector.Running());
    ASSERT_TRUE(WaitUntil([&] { return m.relay.Waiting() == 0; }));  // the attempt's link closed
    m.relay.Release();
    RunFor(200);
    EXPECT_TRUE(m.host->protocol.Adjourned() && m.guest->protocol.Adjourned());
    EXPECT_EQ(*m.hostLog, "adjourned ");
    ASSERT_TRUE(m.guest->Connect("127.0.0.1", m.relay.Port()));
    ASSERT_TRUE(m.Play());
    m.ExpectWholeGame("by hand");
    EXPECT_EQ(*m.hostLog, "adjourned resumed " + RESIGNED);
    EXPECT_EQ(*m.guestLog, "adjourned reconnecting resumed ");
}
