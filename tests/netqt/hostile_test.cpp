// Hostile peers: garbage, half packets, floods, peers that never read,
// connect-and-close loops.  Nothing may crash, block or grow memory without
// bound, and the host goes on taking proper guests.
#include <algorithm>
#include <random>

#include "app/textcodec.h"
#include "loop_util.h"

using namespace ravu;
using namespace ravu::test;

// Packets of every type with random text, and a packet in two halves, which
// is one packet once whole; meanwhile a proper guest is served.
TEST(Hostile, GarbageAndHalfPackets) {
    auto host = MakeHost("host");
    auto events = Events(*host);
    auto helloFrom = [&](const std::string& name) { return std::ranges::count(*events, "hello " + name); };
    QTcpSocket evil, half;
    ASSERT_TRUE(RawConnect(evil, host->Port()) && RawConnect(half, host->Port()));
    std::mt19937 rng(4);
    for (int t = 0; t < 256; ++t) {
        std::string text(253, '\0');
        std::ranges::generate(text, [&] { return char(1 + rng() % 255); });
        evil.write(Raw(uint8_t(t), text));
    }
    half.write(Raw(PKT_HELLO, "half").left(100));
    ASSERT_TRUE(WaitUntil([&] { return evil.bytesToWrite() == 0; }));
    EXPECT_EQ(MakeGuest("guest", *host)->protocol.connState, CONN_GUEST);
    EXPECT_EQ(helloFrom("half"), 0);
    half.write(Raw(PKT_HELLO, "half").mid(100));
    EXPECT_TRUE(WaitUntil([&] { return helloFrom("half") == 1; }));
}

// A chunked text beyond any game's size closes its connection early; a
// peer that never reads fails its connection once the send queue is full,
// and no send ever waits for it.
TEST(Hostile, FloodAndAPeerThatNeverReads) {
    std::vector<std::string> errors;
    CPacketSocket::SetErrorReporter([&](const std::string& t) { errors.push_back(t); });
    auto host = MakeHost("host");
    auto events = Events(*host);
    QTcpSocket flood, sleeper;
    ASSERT_TRUE(RawConnect(flood, host->Port()) && RawConnect(sleeper, host->Port()));
    sleeper.setReadBufferSize(1);  // takes (almost) nothing off the wire
    CPacketSocket& slot = *host->listenSocket.Slot(1);
    const QByteArray piece = Raw(PKT_CHUNK, std::string(CHUNK_SIZE, 'F')).repeated(256);  // 64 KB
    qint64 written = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            if (flood.bytesToWrite() < 256 * 1024)
                written += flood.write(piece);
            return !events->empty();
        },
        60000));
    EXPECT_EQ(*events, std::vector<std::string>{"closed "});
    EXPECT_LT(written, 10 << 20);  // cut off long before ten megabytes

    qint64 maxQueued = 0;
    int sent = 0;
    for (const SockHandle h = slot.Handle(); sent < 200000 && slot.Handle() == h; ++sent) {
        host->listenSocket.SendTo(PKT_MOVE, 16, "   1 7f-fu(77)  ", h);
        maxQueued = std::max(maxQueued, slot.PendingSendBytes());
        if (sent % 100 == 0)
            QCoreApplication::processEvents();  // the kernel's buffers take a few megabytes first
    }
    EXPECT_GE(sent, 10000);
    EXPECT_LE(maxQueued, CPacketSocket::SEND_BUFFER_MAX + PACKET_SIZE);
    ASSERT_TRUE(WaitUntil([&] { return events->size() == 2 && !errors.empty(); }));
    EXPECT_EQ(events->back() + errors[0], "closed " + Utf8ToSjis("送信エラー"));
    CPacketSocket::SetErrorReporter(nullptr);
}

// Connections that come and go, the last while its question is open: the
// slots all come free, nobody gone is taken in, and a proper guest is, until
// the host disconnects.
TEST(Hostile, ConnectAndCloseLoops) {
    auto host = MakeHost("host");
    for (int i = 0; i < 50; ++i) {
        QTcpSocket c;  // closed at the end of each round
        RawConnect(c, host->Port());
    }
    ASSERT_TRUE(WaitUntil([&] { return host->listenSocket.AllSlotsFree() == 1; }, 10000));
    QTcpSocket fleeting;
    ASSERT_TRUE(RawConnect(fleeting, host->Port()));
    bool gone = false;
    host->answerPolicy = 0;
    host->askHandler = [&](const std::string&) {
        fleeting.abort();
        gone = WaitUntil([&] { return host->listenSocket.AllSlotsFree() == 1; });
        return ASK_YES;
    };
    fleeting.write(Raw(PKT_HELLO, "fleeting") + Raw(PKT_CHAT, "fleeting>more"));
    ASSERT_TRUE(WaitUntil([&] { return gone; }));
    RunFor(50);
    EXPECT_EQ(host->protocol.connState + host->chatLog.size(), 0u);
    host->answerPolicy = ASK_YES;
    auto guest = MakeGuest("guest", *host);
    ASSERT_EQ(host->Disconnect(), 1);  // the host's end closes its guests' connections
    EXPECT_TRUE(WaitUntil([&] { return guest->protocol.connState == CONN_NONE; }));
}
