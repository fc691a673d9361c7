// Hostile peers: garbage, half packets, floods, peers that never read,
// connect-and-close loops.  Nothing may crash, stall the loop or grow memory
// without bound.
#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "app/textcodec.h"
#include "loop_util.h"
#include "net/packet.h"

using namespace ravu;
using namespace ravu::test;

namespace {

QByteArray Raw(uint8_t type, const std::string& text) {
    Packet p = BuildPacket(type, static_cast<int>(text.size()), text.data());
    return QByteArray(reinterpret_cast<const char*>(p.data()), PACKET_SIZE);
}

long RssKb() {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

// A connected raw client of a host copy, its hello read.
QTcpSocket* RawClient(CHeadlessCopy& host, std::vector<std::unique_ptr<QTcpSocket>>& keep) {
    auto c = std::make_unique<QTcpSocket>();
    c->connectToHost(QHostAddress::LocalHost, host.Port());
    QTcpSocket* raw = c.get();
    keep.push_back(std::move(c));
    EXPECT_TRUE(WaitUntil([&] { return raw->bytesAvailable() >= PACKET_SIZE; }));
    raw->read(PACKET_SIZE);
    return raw;
}

}  // namespace

TEST(Hostile, GarbagePacketsOfEveryTypeAtAHost) {
    auto host = MakeHost("host");
    std::vector<std::unique_ptr<QTcpSocket>> keep;
    QTcpSocket* evil = RawClient(*host, keep);
    std::mt19937 rng(4);
    QByteArray all;
    for (int round = 0; round < 4; ++round) {
        for (int t = 0; t < 256; ++t) {
            QByteArray pkt(PACKET_SIZE, 0);
            pkt[0] = char(t);
            for (int i = 1; i < PACKET_SIZE; ++i)
                pkt[i] = char(rng() % 4 == 0 ? 0 : rng());
            all += pkt;
        }
    }
    CStallMeter meter;
    evil->write(all);
    evil->flush();
    ASSERT_TRUE(WaitUntil([&] { return evil->bytesToWrite() == 0; }));
    RunFor(100);
    EXPECT_LT(meter.MaxGapMs(), 500);
    // The host still takes a proper guest (as player or as spectator).
    auto guest = MakeGuest("guest", *host);
    EXPECT_EQ(guest->protocol.connState, CONN_GUEST);
    EXPECT_EQ(host->protocol.connState, CONN_HOST);
}

TEST(Hostile, GarbageFromAHostAtAGuest) {
    QTcpServer evilHost;
    ASSERT_TRUE(evilHost.listen(QHostAddress::LocalHost, 0));
    CHeadlessCopy guest("guest");
    ASSERT_TRUE(guest.Connect("127.0.0.1", evilHost.serverPort()));
    ASSERT_TRUE(WaitUntil([&] { return evilHost.hasPendingConnections(); }));
    QTcpSocket* s = evilHost.nextPendingConnection();
    s->write(Raw(PKT_HELLO, "evil") + Raw(PKT_ACCEPT, "0"));
    ASSERT_TRUE(WaitUntil([&] { return guest.protocol.connState == CONN_GUEST; }));
    std::mt19937 rng(9);
    QByteArray all;
    for (int t = 0; t < 256; ++t) {
        std::string text;
        for (int i = 0; i < 253; ++i)
            text += char(1 + rng() % 255);
        all += Raw(uint8_t(t), text);
        all += Raw(PKT_OBSERVE, "1");  // so that moves and catch-up texts are taken
        all += Raw(PKT_MOVE, text);
        all += Raw(PKT_CHUNK_END, text);
    }
    s->write(all);
    ASSERT_TRUE(WaitUntil([&] { return s->bytesToWrite() == 0; }));
    RunFor(100);
    EXPECT_EQ(guest.protocol.connState, CONN_GUEST);
    s->abort();
    ASSERT_TRUE(WaitUntil([&] { return guest.protocol.connState == CONN_NONE; }));
}

TEST(Hostile, HalfPacketThenSilenceStallsNothing) {
    auto host = MakeHost("host");
    std::vector<std::unique_ptr<QTcpSocket>> keep;
    QTcpSocket* half = RawClient(*host, keep);
    CopyEvents ev(*host);
    half->write(Raw(PKT_HELLO, "half").left(100));
    half->flush();
    CStallMeter meter;
    RunFor(200);
    EXPECT_LT(meter.MaxGapMs(), 100);
    EXPECT_EQ(ev.Count("hello"), 0);
    // Others are served meanwhile.
    auto guest = MakeGuest("guest", *host);
    EXPECT_EQ(guest->protocol.connState, CONN_GUEST);
    // The rest of the packet completes it.
    half->write(Raw(PKT_HELLO, "half").mid(100));
    ASSERT_TRUE(WaitUntil([&] { return ev.Last("hello") && ev.Last("hello")->text == "half"; }));
    EXPECT_EQ(ev.Count("hello"), 2);  // the proper guest's and this one
}

TEST(Hostile, FloodOfTenMegabytesOfChunksIsCutOff) {
    CGameSocket host;
    CRecorder rec(&host);
    host.m_pOwner = &rec;
    ASSERT_EQ(host.Listen(0), 1);
    QTcpSocket flood;
    flood.connectToHost(QHostAddress::LocalHost, host.ListenPort());
    ASSERT_TRUE(WaitUntil([&] { return host.Slot(0)->Handle() != 0; }));
    SockHandle h = host.Slot(0)->Handle();
    QByteArray piece;
    for (int i = 0; i < 256; ++i)
        piece += Raw(PKT_CHUNK, std::string(CHUNK_SIZE, 'F'));  // 64 KB
    const qint64 total = 10 * 1024 * 1024;
    qint64 written = 0;
    long rssBefore = RssKb();
    CStallMeter meter;
    size_t maxPending = 0;
    bool closed = WaitUntil([&] {
        if (flood.state() == QAbstractSocket::ConnectedState && written < total && flood.bytesToWrite() < 256 * 1024) {
            flood.write(piece);
            written += piece.size();
        }
        maxPending = std::max(maxPending, host.Slot(0)->PendingChunkBytes());
        return rec.Count(WM_SOCK_CLOSED) == 1;
    }, 60000);
    ASSERT_TRUE(closed);
    EXPECT_EQ(rec.msgs.back().w, h);
    EXPECT_EQ(rec.Count(WM_SOCK_PACKET), 0);
    EXPECT_LE(maxPending, CHUNKS_MAX);
    EXPECT_LT(written, total);  // cut off before the whole flood went in
    EXPECT_LT(meter.MaxGapMs(), 500);
    EXPECT_LT(RssKb() - rssBefore, 64 * 1024);
    std::printf("flood: %lld bytes written before the cut, longest loop gap %lld ms\n",
                static_cast<long long>(written), static_cast<long long>(meter.MaxGapMs()));
}

TEST(Hostile, PeerThatNeverReadsWhileWeSendTenThousandMoves) {
    std::vector<std::string> errors;
    CPacketSocket::SetErrorReporter([&](const std::string& t) { errors.push_back(t); });
    CGameSocket host;
    CRecorder rec(&host);
    host.m_pOwner = &rec;
    ASSERT_EQ(host.Listen(0), 1);
    QTcpSocket sleeper;
    sleeper.setReadBufferSize(1);  // takes (almost) nothing off the wire
    sleeper.connectToHost(QHostAddress::LocalHost, host.ListenPort());
    ASSERT_TRUE(WaitUntil([&] { return host.Slot(0)->Handle() != 0; }));
    SockHandle h = host.Slot(0)->Handle();
    std::string move = Utf8ToSjis("   1 ７六歩(77) ");
    CStallMeter meter;
    QElapsedTimer clock;
    clock.start();
    qint64 worstSend = 0;
    qint64 maxQueued = 0;
    int sent = 0;
    // 10,000 moves, and on until the queue is full: the kernel's own buffers
    // on loopback take a few megabytes before anything waits in ours.
    for (; sent < 200000 && host.Slot(0)->Handle() == h; ++sent) {
        QElapsedTimer one;
        one.start();
        host.SendTo(PKT_MOVE, static_cast<int>(move.size()), move.data(), h);
        worstSend = std::max(worstSend, one.elapsed());
        maxQueued = std::max(maxQueued, host.Slot(0)->PendingSendBytes());
        if (sent % 100 == 0)
            QCoreApplication::processEvents();
        if (sent == 10000) {
            EXPECT_LT(meter.MaxGapMs(), 100);
        }
    }
    std::printf("never-reading peer: %d moves sent before the cut, %lld ms in all, worst send %lld ms, "
                "at most %lld bytes queued\n",
                sent, static_cast<long long>(clock.elapsed()), static_cast<long long>(worstSend),
                static_cast<long long>(maxQueued));
    EXPECT_GE(sent, 10000);
    EXPECT_LT(sent, 200000);
    EXPECT_LT(worstSend, 50);
    EXPECT_LE(maxQueued, CPacketSocket::SEND_BUFFER_MAX + PACKET_SIZE);
    ASSERT_TRUE(WaitUntil([&] { return rec.Count(WM_SOCK_CLOSED) == 1 && !errors.empty(); }));
    EXPECT_EQ(rec.msgs.back().w, h);
    EXPECT_EQ(errors[0], Utf8ToSjis("送信エラー"));
    EXPECT_EQ(host.Slot(0)->Handle(), 0);
    CPacketSocket::SetErrorReporter(nullptr);
}

TEST(Hostile, ConnectAndCloseLoops) {
    auto host = MakeHost("host");
    CStallMeter meter;
    SockHandle lastHandle = 0;
    for (int i = 0; i < 200; ++i) {
        QTcpSocket c;
        c.connectToHost(QHostAddress::LocalHost, host->Port());
        if (i % 2 == 0) {
            WaitUntil([&] { return c.bytesAvailable() >= PACKET_SIZE; }, 2000);
            if (i % 4 == 0) {
                c.write(Raw(PKT_HELLO, "flicker"));  // a question for a guest about to vanish
                c.flush();
            }
        }
        c.abort();
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(WaitUntil([&] { return host->listenSocket.AllSlotsFree() == 1; }, 10000));
    for (int i = 0; i < SLOT_COUNT; ++i)
        lastHandle = std::max(lastHandle, host->listenSocket.Slot(i)->Handle());
    EXPECT_LT(meter.MaxGapMs(), 500);
    auto guest = MakeGuest("guest", *host);
    EXPECT_EQ(guest->protocol.connState, CONN_GUEST);
    EXPECT_EQ(host->protocol.connState, CONN_HOST);
}

TEST(Hostile, GuestVanishesWhileItsQuestionIsOpen) {
    auto host = MakeHost("host");
    std::vector<std::unique_ptr<QTcpSocket>> keep;
    QTcpSocket* fleeting = RawClient(*host, keep);
    host->answerPolicy = 0;
    bool closedDuringQuestion = false;
    // The balloon stays open until the guest has gone, then says yes.
    host->askHandler = [&](const std::string&) {
        fleeting->abort();
        closedDuringQuestion = WaitUntil([&] { return host->listenSocket.AllSlotsFree() == 1; });
        return ASK_YES;
    };
    fleeting->write(Raw(PKT_HELLO, "fleeting") + Raw(PKT_CHAT, "fleeting>more"));
    fleeting->flush();
    ASSERT_TRUE(WaitUntil([&] { return host->questions.size() == 1; }));
    RunFor(50);
    EXPECT_TRUE(closedDuringQuestion);
    EXPECT_EQ(host->protocol.connState, CONN_NONE);  // nobody left to accept
    EXPECT_FALSE(host->chatInputShown);
    // And the host goes on working.
    host->answerPolicy = ASK_YES;
    auto guest = MakeGuest("guest", *host);
    EXPECT_EQ(host->protocol.connState, CONN_HOST);
}

// Five peers that never say hello, or a refused guest that stays connected,
// would hold the host's slots for ever: they are closed (the refused one
// after its refusal has arrived), and a real guest gets in.
TEST(Hostile, SilentAndRefusedPeersLoseTheirSlots) {
    auto host = MakeHost("host");
    host->listenSocket.m_nHelloWaitMs = 300;
    host->helloAnswer = ASK_NO;
    std::vector<std::unique_ptr<QTcpSocket>> keep;
    std::vector<QTcpSocket*> silent;
    for (int i = 0; i < SLOT_COUNT; ++i)
        silent.push_back(RawClient(*host, keep));
    EXPECT_TRUE(WaitUntil([&] {
        for (QTcpSocket* s : silent)
            if (s->state() != QAbstractSocket::UnconnectedState)
                return false;
        return true;
    }));

    QTcpSocket* refused = RawClient(*host, keep);
    refused->write(Raw(PKT_HELLO, "pest"));
    QByteArray answer;
    EXPECT_TRUE(WaitUntil([&] {
        answer += refused->readAll();
        return refused->state() == QAbstractSocket::UnconnectedState;
    }));
    answer += refused->readAll();
    EXPECT_EQ(answer, Raw(PKT_REFUSE, "0"));

    host->helloAnswer = ASK_YES;
    auto guest = MakeGuest("guest", *host);
    EXPECT_EQ(guest->protocol.connState, CONN_GUEST);
}
