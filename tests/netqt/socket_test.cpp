// The packet connection and the game sockets over loopback.
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <set>

#include "app/textcodec.h"
#include "loop_util.h"
#include "net/game_socket.h"
#include "net/packet.h"
#include "net/sock_errors.h"

using namespace ravu;
using namespace ravu::test;

namespace {

QByteArray Raw(uint8_t type, const std::string& text) {
    Packet p = BuildPacket(type, static_cast<int>(text.size()), text.data());
    return QByteArray(reinterpret_cast<const char*>(p.data()), PACKET_SIZE);
}

// A host game socket with its recorder, and a raw TCP client connected to it.
struct RawPair {
    RawPair() : rec(&host) {
        host.m_pOwner = &rec;
        host.SetHandleName("host");
        EXPECT_EQ(host.Listen(0), 1);
        client.connectToHost(QHostAddress::LocalHost, host.ListenPort());
        EXPECT_TRUE(WaitUntil([&] { return client.bytesAvailable() >= PACKET_SIZE; }));
        hello = client.read(PACKET_SIZE);
        handle = host.Slot(0)->Handle();
    }
    void Write(const QByteArray& bytes) {
        client.write(bytes);
        client.flush();
    }
    CGameSocket host;
    CRecorder rec;
    QTcpSocket client;
    QByteArray hello;
    SockHandle handle = 0;
};

// Two game sockets: a host and a guest connected to it.
struct GamePair {
    GamePair() : hostRec(&host), guestRec(&guest) {
        host.m_pOwner = &hostRec;
        host.SetHandleName("host");
        EXPECT_EQ(host.Listen(0), 1);
        guest.Create(0);
        EXPECT_EQ(guest.Connect("127.0.0.1", host.ListenPort(), &guestRec), 1);
        EXPECT_TRUE(WaitUntil([&] { return guestRec.Count(WM_SOCK_CONNECTED) == 1 && guestRec.Count(WM_SOCK_PACKET) == 1; }));
        slot = host.Slot(0)->Handle();
    }
    CGameSocket host, guest;
    CRecorder hostRec, guestRec;
    SockHandle slot = 0;
};

}  // namespace

TEST(PacketSocket, HelloOnAcceptIsOneWholePacket) {
    RawPair p;
    ASSERT_EQ(p.hello.size(), PACKET_SIZE);
    EXPECT_EQ(uint8_t(p.hello[0]), PKT_HELLO);
    EXPECT_EQ(uint8_t(p.hello[1]), 0);
    EXPECT_EQ(uint8_t(p.hello[2]), 4);
    EXPECT_EQ(p.hello.mid(3, 5), QByteArray("host\0", 5));
    EXPECT_NE(p.handle, 0);
}

TEST(PacketSocket, PayloadEdgeCases) {
    RawPair p;
    struct Case {
        QByteArray wire;
        int type;
        std::string text;
    };
    QByteArray zeroInside = Raw(PKT_CHAT, std::string("ab\0cd", 5));
    QByteArray full = Raw(PKT_CHAT, std::string(253, 'k'));
    const Case cases[] = {
        {full, PKT_CHAT, std::string(253, 'k')},
        {zeroInside, PKT_CHAT, "ab"},
        {Raw(PKT_MOVE, ""), PKT_MOVE, ""},
    };
    for (const Case& c : cases) {
        size_t before = p.rec.Packets().size();
        p.Write(c.wire);
        ASSERT_TRUE(WaitUntil([&] { return p.rec.Packets().size() == before + 1; }));
        auto last = p.rec.Packets().back();
        EXPECT_EQ(last.type, c.type);
        EXPECT_EQ(last.text, c.text);
        EXPECT_EQ(last.w, p.handle);
    }
}

TEST(PacketSocket, TwoPacketsInOneSegmentAndByteByByte) {
    RawPair p;
    p.Write(Raw(PKT_MOVE, "one") + Raw(PKT_CHAT, "two"));
    ASSERT_TRUE(WaitUntil([&] { return p.rec.Packets().size() == 2; }));
    EXPECT_EQ(p.rec.Packets()[0].text, "one");
    EXPECT_EQ(p.rec.Packets()[1].text, "two");
    EXPECT_EQ(p.rec.Packets()[1].type, PKT_CHAT);

    // One packet a byte at a time: nothing until the last byte, then exactly one.
    QByteArray wire = Raw(PKT_MOVE, "slow");
    for (int i = 0; i < PACKET_SIZE; ++i) {
        p.Write(wire.mid(i, 1));
        if (i % 64 == 63 && i + 1 < PACKET_SIZE) {
            RunFor(2);
            ASSERT_EQ(p.rec.Packets().size(), 2u) << "delivered after " << i + 1 << " bytes";
        }
    }
    ASSERT_TRUE(WaitUntil([&] { return p.rec.Packets().size() == 3; }));
    EXPECT_EQ(p.rec.Packets()[2].text, "slow");
}

TEST(PacketSocket, ChunkedTextsOfEverySize) {
    GamePair g;
    for (size_t n : {0u, 250u, 251u, 500u, 501u, 1000u}) {
        std::string text;
        for (size_t i = 0; i < n; ++i)
            text += char('A' + i % 23);
        size_t before = g.guestRec.Packets().size();
        g.host.SendLongText(text, g.slot);
        ASSERT_TRUE(WaitUntil([&] { return g.guestRec.Packets().size() == before + 1; })) << n;
        RunFor(5);
        ASSERT_EQ(g.guestRec.Packets().size(), before + 1) << "chunks must not be delivered, n=" << n;
        EXPECT_EQ(g.guestRec.Packets().back().type, PKT_CHUNK_END);
        EXPECT_EQ(g.guestRec.Packets().back().text, text) << n;
    }
    // Long texts only go to slots: a guest's own connection sends nothing.
    g.guest.SendLongText("x", 0);
    g.guest.SendLongText("x", g.guest.Handle());
    RunFor(10);
    EXPECT_EQ(g.hostRec.Packets().size(), 0u);
}

TEST(PacketSocket, ObserveDiscardsPartialChunkedText) {
    RawPair p;
    p.Write(Raw(PKT_CHUNK, std::string(250, 's')) + Raw(PKT_OBSERVE, "1") + Raw(PKT_CHUNK_END, "fresh;"));
    ASSERT_TRUE(WaitUntil([&] { return p.rec.Packets().size() == 2; }));
    EXPECT_EQ(p.rec.Packets()[0].type, PKT_OBSERVE);
    EXPECT_EQ(p.rec.Packets()[1].type, PKT_CHUNK_END);
    EXPECT_EQ(p.rec.Packets()[1].text, "fresh;");
}

TEST(PacketSocket, HelloSetsPeerNameAndLongNameIsCutOnACharacter) {
    GamePair g;
    std::string name;
    for (int i = 0; i < 150; ++i)
        name += Utf8ToSjis("名");
    g.guest.SendTo(PKT_HELLO, static_cast<int>(name.size()), name.data(), 0);
    ASSERT_TRUE(WaitUntil([&] { return g.hostRec.Packets().size() == 1; }));
    EXPECT_EQ(g.host.GetPeerName(g.slot), name.substr(0, 252));
    g.guest.SendTo(PKT_CHAT, 3, "abc", 0);
    ASSERT_TRUE(WaitUntil([&] { return g.hostRec.Packets().size() == 2; }));
    EXPECT_EQ(g.host.GetPeerName(g.slot), name.substr(0, 252));
    EXPECT_EQ(g.host.GetText(g.slot), "abc");
    EXPECT_EQ(g.guest.GetPeerName(0), "host");
}

TEST(PacketSocket, PeerCloseIsPostedWithTheSlotHandle) {
    GamePair g;
    g.guest.Close();
    ASSERT_TRUE(WaitUntil([&] { return g.hostRec.Count(WM_SOCK_CLOSED) == 1; }));
    EXPECT_EQ(g.hostRec.msgs.back().w, g.slot);
    EXPECT_EQ(g.host.AllSlotsFree(), 1);
    EXPECT_EQ(g.guestRec.Count(WM_SOCK_CLOSED), 0);  // closing oneself is not reported
}

TEST(PacketSocket, HostCloseIsPostedToTheGuestAsZero) {
    GamePair g;
    g.host.Close();
    ASSERT_TRUE(WaitUntil([&] { return g.guestRec.Count(WM_SOCK_CLOSED) == 1; }));
    EXPECT_EQ(g.guestRec.msgs.back().w, 0);
    EXPECT_EQ(g.guest.Handle(), 0);
}

TEST(PacketSocket, FailedConnectReportsRefusal) {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    quint16 port = probe.serverPort();
    probe.close();  // nothing listens there now
    CGameSocket guest;
    CRecorder rec(&guest);
    guest.Create(0);
    ASSERT_EQ(guest.Connect("127.0.0.1", port, &rec), 1);
    ASSERT_TRUE(WaitUntil([&] { return rec.Count(WM_SOCK_CONNECT_FAILED) == 1; }));
    EXPECT_EQ(guest.m_strError, SockErrorText(WSAECONNREFUSED));
    EXPECT_EQ(guest.Connect("no.such.host.invalid", port, &rec), 0);
}

TEST(GameSocket, SlotsFillLowestFirstAndHandlesAreNeverReused) {
    CGameSocket host;
    CRecorder rec(&host);
    host.m_pOwner = &rec;
    host.SetHandleName("h");
    ASSERT_EQ(host.Listen(0), 1);
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    std::set<SockHandle> seen;
    auto connectOne = [&] {
        auto c = std::make_unique<QTcpSocket>();
        c->connectToHost(QHostAddress::LocalHost, host.ListenPort());
        QTcpSocket* raw = c.get();
        clients.push_back(std::move(c));
        return raw;
    };
    for (int i = 0; i < 3; ++i) {
        QTcpSocket* c = connectOne();
        ASSERT_TRUE(WaitUntil([&] { return c->bytesAvailable() >= PACKET_SIZE; })) << i;
        EXPECT_EQ(uint8_t(c->read(PACKET_SIZE)[0]), PKT_HELLO);
        ASSERT_NE(host.Slot(i)->Handle(), 0);
        EXPECT_TRUE(seen.insert(host.Slot(i)->Handle()).second);
    }
    SockHandle old1 = host.Slot(1)->Handle();
    clients[1]->abort();
    ASSERT_TRUE(WaitUntil([&] { return host.Slot(1)->Handle() == 0; }));
    QTcpSocket* c = connectOne();
    ASSERT_TRUE(WaitUntil([&] { return c->bytesAvailable() >= PACKET_SIZE; }));
    EXPECT_NE(host.Slot(1)->Handle(), 0);
    EXPECT_NE(host.Slot(1)->Handle(), old1);
    EXPECT_TRUE(seen.insert(host.Slot(1)->Handle()).second);
    EXPECT_EQ(host.GetLastType(old1), 0);  // a handle no slot has
    EXPECT_EQ(host.FindSlot(old1), nullptr);

    // Fill to five; the sixth is not taken (no hello) until a slot frees up.
    QTcpSocket* c4 = connectOne();
    QTcpSocket* c5 = connectOne();
    ASSERT_TRUE(WaitUntil([&] { return c4->bytesAvailable() >= PACKET_SIZE && c5->bytesAvailable() >= PACKET_SIZE; }));
    QTcpSocket* sixth = connectOne();
    RunFor(150);
    EXPECT_EQ(sixth->bytesAvailable(), 0);
    for (int i = 0; i < SLOT_COUNT; ++i)
        EXPECT_NE(host.Slot(i)->Handle(), 0);
    // SendTo handle 0 reaches every slot.
    const std::vector<QTcpSocket*> five = {clients[0].get(), clients[2].get(), c, c4, c5};
    for (QTcpSocket* k : five)
        k->readAll();
    host.SendTo(PKT_CHAT, 3, "all", 0);
    for (QTcpSocket* k : five) {
        ASSERT_TRUE(WaitUntil([&] { return k->bytesAvailable() >= PACKET_SIZE; }));
        EXPECT_EQ(k->read(PACKET_SIZE).mid(3, 4), QByteArray("all\0", 4));
    }
    // SendExcept leaves one out (slot 0 belongs to the first client).
    host.SendExcept(PKT_CHAT, 3, "few", host.Slot(0)->Handle());
    for (QTcpSocket* k : {clients[2].get(), c, c4, c5})
        ASSERT_TRUE(WaitUntil([&] { return k->bytesAvailable() >= PACKET_SIZE; }));
    RunFor(20);
    EXPECT_EQ(clients[0]->bytesAvailable(), 0);

    clients[0]->abort();
    ASSERT_TRUE(WaitUntil([&] { return sixth->bytesAvailable() >= PACKET_SIZE; }));
    EXPECT_EQ(uint8_t(sixth->read(PACKET_SIZE)[0]), PKT_HELLO);

    // Close ends every guest, the host still accepts.
    host.Close();
    EXPECT_EQ(host.AllSlotsFree(), 1);
    QTcpSocket* again = connectOne();
    ASSERT_TRUE(WaitUntil([&] { return again->bytesAvailable() >= PACKET_SIZE; }));
    EXPECT_EQ(host.Slot(0)->Handle() != 0, true);
}

TEST(GameSocket, ResolveHostAndLocalNames) {
    CGameSocket s;
    s.Create(0);
    EXPECT_FALSE(s.m_strHostName.empty());
    EXPECT_EQ(s.ResolveHost("127.0.0.1"), "127.0.0.1");
    EXPECT_EQ(s.m_strResolvedAddr, "127.0.0.1");
    EXPECT_EQ(s.ResolveHost("localhost"), "127.0.0.1");
    EXPECT_EQ(s.ResolveHost("no.such.host.invalid"), "");
    EXPECT_EQ(s.m_strResolvedAddr, "");
}
