// The game sockets over loopback: the five slots, the hello on accepting, the
// hello wait, refusals that arrive before the close, failed connects, both
// address families.  (A whole game with a late spectator over sockets is
// played in tests/e2e/game_test.cpp.)
#include <QNetworkInterface>
#include <QTcpServer>

#include "loop_util.h"
#include "net/sock_errors.h"

using namespace ravu;
using namespace ravu::test;

namespace {

// Everything a raw client receives until the connection is quiet.
QByteArray Receive(QTcpSocket& c) {
    WaitUntil([&] { return c.bytesAvailable() >= PACKET_SIZE; });
    RunFor(20);
    return c.readAll();
}

}  // namespace

// Five guests at most; a sixth waits without a hello until a slot is free.
// The host's announcement of the extension follows each hello.
// A refused guest gets its refusal, then loses its slot; so does one that
// says nothing in time.
TEST(GameSocket, FiveSlotsRefusalAndHelloWait) {
    auto host = MakeHost("host");
    host->listenSocket.m_nHelloWaitMs = 1000;
    host->helloAnswer = ASK_NO;
    const QByteArray hello = Raw(PKT_HELLO, "host") + Raw(PKT_EXT_CAPS, CapsPayload());
    QTcpSocket c[SLOT_COUNT + 1];
    for (int i = 0; i < SLOT_COUNT; ++i) {
        c[i].connectToHost(QHostAddress::LocalHost, host->Port());
        EXPECT_EQ(Receive(c[i]), hello) << i;
    }
    c[SLOT_COUNT].connectToHost(QHostAddress::LocalHost, host->Port());
    RunFor(100);
    EXPECT_EQ(c[SLOT_COUNT].bytesAvailable(), 0);
    c[0].write(Raw(PKT_HELLO, "pest"));
    EXPECT_EQ(Receive(c[0]), Raw(PKT_REFUSE, "0"));
    EXPECT_EQ(Receive(c[SLOT_COUNT]), hello);  // taken into the freed slot
    EXPECT_TRUE(WaitUntil([&] { return c[1].state() == QAbstractSocket::UnconnectedState; }, 3000));
}

TEST(GameSocket, FailedConnects) {
    const unsigned port = 1;  // nothing listens there
    CHeadlessCopy guest("guest");
    auto events = Events(guest);
    ASSERT_TRUE(guest.Connect("127.0.0.1", port));
    ASSERT_TRUE(WaitUntil([&] { return !events->empty(); }));
    EXPECT_EQ(*events, std::vector<std::string>{"connect_failed " + SockErrorText(WSAECONNREFUSED)});
    // The socket takes addresses only; the handshake looks names up in the
    // background, and reports one without an address after returning.
    EXPECT_EQ(guest.connectSocket.Connect("no.such.host.invalid", port, &guest), 0);
    ASSERT_TRUE(guest.Connect("no.such.host.invalid", port));
    ASSERT_TRUE(WaitUntil([&] { return events->size() == 2; }));
    EXPECT_EQ(events->back(), "connect_failed ");
}

// A host listens on both families.  A guest never dials its own addresses
// (loopback and every interface's, either family) on its own port; of
// several addresses it tries the IPv6 ones first, and the next while one
// does not answer.
TEST(GameSocket, BothFamiliesOwnAddressesAndIpv6First) {
    auto host = MakeHost("host");
    for (const QHostAddress& a :
         {QHostAddress(QHostAddress::LocalHost), QHostAddress(QHostAddress::LocalHostIPv6)}) {
        QTcpSocket c;
        c.connectToHost(a, host->Port());
        EXPECT_EQ(Receive(c).left(PACKET_SIZE), Raw(PKT_HELLO, "host")) << a.toString().toStdString();
    }

    QList<QHostAddress> own = QNetworkInterface::allAddresses();
    for (const char* a : {"127.0.0.1", "127.0.0.2", "::1", "::ffff:127.0.0.1", "0.0.0.0", "::"})
        own.push_back(QHostAddress(QString::fromLatin1(a)));
    for (const QHostAddress& a : own)
        EXPECT_TRUE(IsOwnAddress(a)) << a.toString().toStdString();
    for (const char* a : {"192.0.2.1", "2001:db8::1", "::ffff:192.0.2.1"})
        EXPECT_FALSE(IsOwnAddress(QHostAddress(QString::fromLatin1(a)))) << a;
    CHeadlessCopy self("self");
    ASSERT_TRUE(self.Listen(0));
    auto events = Events(self);
    EXPECT_FALSE(self.Connect("::1", self.Port()));
    ASSERT_TRUE(self.Connect("localhost", self.Port()));  // found to be itself once looked up
    ASSERT_TRUE(WaitUntil([&] { return events->size() == 2; }));
    EXPECT_EQ(*events, std::vector<std::string>(2, "connect_failed "));

    const struct {
        bool v4, v6;  // which of the two addresses answers
        const char* reached;
    } rows[] = {{true, false, "127.0.0.1"}, {false, true, "::1"}, {true, true, "::1"}};
    for (const auto& row : rows) {
        QTcpServer v4, v6;
        ASSERT_TRUE(v4.listen(QHostAddress::LocalHost, 0));
        const quint16 port = v4.serverPort();
        ASSERT_TRUE(v6.listen(QHostAddress::LocalHostIPv6, port));
        if (!row.v4)
            v4.close();
        if (!row.v6)
            v6.close();
        CHeadlessCopy guest("guest");
        ASSERT_EQ(guest.handshake.StartConnectTo(
                      {QHostAddress(QHostAddress::LocalHost), QHostAddress(QHostAddress::LocalHostIPv6)},
                      Destination{"both", port, true}, "guest"),
                  CGuestHandshake::START_CONNECTING);
        ASSERT_TRUE(WaitUntil([&] { return v4.hasPendingConnections() || v6.hasPendingConnections(); }));
        EXPECT_EQ(v6.hasPendingConnections(), std::string(row.reached) == "::1") << row.reached;
        EXPECT_EQ(guest.connectSocket.m_strResolvedAddr, row.reached);
    }
}
