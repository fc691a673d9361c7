// Packet framing, Shift-JIS cutting, chunk splitting and reassembly, error texts.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "net/packet.h"
#include "net/packet_state.h"
#include "net/sock_errors.h"

using namespace ravu;

namespace {

std::string Take(CPacketState& st, uint8_t type, const std::string& text,
                 CPacketState::TakeResult expect = CPacketState::TAKE_DELIVER) {
    Packet p = BuildPacket(type, static_cast<int>(text.size()), text.data());
    EXPECT_EQ(st.TakePacket(p.data()), expect);
    return st.GetLastText();
}

}  // namespace

TEST(PacketFraming, HeaderLengthAndZeroFill) {
    struct Case {
        std::string payload;
        int sentLength;     // bytes that go in
        std::string read;   // what the receiver reads
    };
    const std::string full(253, 'x');
    const Case cases[] = {
        {"", 0, ""},
        {"0", 1, "0"},
        {"abc", 3, "abc"},
        {full, 253, full},                                      // no terminator at all
        {std::string("ab\0cd", 5), 5, "ab"},                     // cut at the zero byte
        {std::string(300, 'y'), 253, std::string(253, 'y')},     // cut to what fits
        {std::string(252, 'z') + "歩", 252, std::string(252, 'z')},  // never half a character
    };
    for (const Case& c : cases) {
        Packet p = BuildPacket(PKT_CHAT, static_cast<int>(c.payload.size()), c.payload.data());
        EXPECT_EQ(p[0], PKT_CHAT);
        EXPECT_EQ((p[1] << 8) | p[2], c.sentLength) << c.payload.size();
        for (int i = PACKET_HEADER + c.sentLength; i < PACKET_SIZE; ++i)
            ASSERT_EQ(p[i], 0) << "byte " << i << " of a " << c.payload.size() << "-byte payload";
        EXPECT_EQ(PayloadText(p.data()), c.read);
    }
}

TEST(PacketFraming, NegativeOrNullLengthSendsNothing) {
    Packet a = BuildPacket(PKT_MOVE, -5, "abc");
    EXPECT_EQ(PayloadText(a.data()), "");
    EXPECT_EQ(a[1] | a[2], 0);
    Packet b = BuildPacket(PKT_MOVE, 10, nullptr);
    EXPECT_EQ(PayloadText(b.data()), "");
}

TEST(PacketFraming, ReceiverIgnoresLengthField) {
    Packet p{};
    p[0] = PKT_MOVE;
    p[1] = 0xFF;  // claims 65535 bytes
    p[2] = 0xFF;
    p[3] = 'a';
    p[4] = 'b';
    EXPECT_EQ(PayloadText(p.data()), "ab");
    // 253 non-zero bytes read exactly to the end of the packet, not beyond.
    for (int i = 3; i < PACKET_SIZE; ++i)
        p[i] = 'q';
    EXPECT_EQ(PayloadText(p.data()).size(), 253u);
}

TEST(SjisCut, NeverSplitsACharacter) {
    struct Case {
        std::string text;
        size_t max;
        size_t expect;
    };
    const Case cases[] = {
        {"abc", 10, 3},
        {"abc", 2, 2},
        {"歩歩", 4, 4},
        {"歩歩", 3, 2},   // 3 would end inside the second character
        {"a歩", 2, 1},
        {"a歩", 3, 3},
        {"ｱｲｳ", 2, 2},    // half-width katakana are one byte each
        {"", 0, 0},
        {std::string("\x81", 1), 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SjisPrefixLength(c.text, c.max), c.expect) << c.text << " max " << c.max;
    // A text of 253 two-byte characters' worth: 126 whole characters fit.
    std::string kanji;
    for (int i = 0; i < 200; ++i)
        kanji += "将";
    EXPECT_EQ(SjisPrefixLength(kanji, PAYLOAD_MAX), 252u);
    Packet p = BuildPacket(PKT_CHAT, static_cast<int>(kanji.size()), kanji.data());
    EXPECT_EQ(PayloadText(p.data()), kanji.substr(0, 252));
}

TEST(HandleNames, ShownShortenedOnACharacterBoundaryAndChatRoom) {
    const std::string kanji12 = "一二三四五六七八九十百千";  // 24 bytes
    struct Case {
        std::string name;
        std::string shown;
    };
    const Case cases[] = {
        {"", ""},
        {std::string(24, 'n'), std::string(24, 'n')},
        {std::string(25, 'n'), std::string(22, 'n') + "…"},
        {kanji12, kanji12},
        {kanji12 + "x", "一二三四五六七八九十百…"},
        {"a" + kanji12, "a一二三四五六七八九十…"},  // 22 bytes would split 百
        {std::string(300, 'n'), std::string(22, 'n') + "…"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShownName(c.name), c.shown) << c.name;

    // What is left of a 253-byte chat line behind name + ">".
    const std::pair<size_t, size_t> room[] = {{0, 252}, {4, 248}, {251, 1}, {252, 0}, {253, 0}, {300, 0}};
    for (auto [nameBytes, expect] : room)
        EXPECT_EQ(ChatTextRoom(std::string(nameBytes, 'n')), expect) << nameBytes;
}

TEST(LongText, ChunkSizes) {
    struct Case {
        size_t n;
        std::vector<std::pair<uint8_t, size_t>> packets;
    };
    const Case cases[] = {
        {0, {{PKT_CHUNK_END, 0}}},
        {1, {{PKT_CHUNK_END, 1}}},
        {250, {{PKT_CHUNK_END, 250}}},
        {251, {{PKT_CHUNK, 250}, {PKT_CHUNK_END, 1}}},
        {500, {{PKT_CHUNK, 250}, {PKT_CHUNK_END, 250}}},
        {501, {{PKT_CHUNK, 250}, {PKT_CHUNK, 250}, {PKT_CHUNK_END, 1}}},
        {1000, {{PKT_CHUNK, 250}, {PKT_CHUNK, 250}, {PKT_CHUNK, 250}, {PKT_CHUNK_END, 250}}},
    };
    for (const Case& c : cases) {
        std::string text;
        for (size_t i = 0; i < c.n; ++i)
            text += static_cast<char>('a' + i % 26);
        auto packets = SplitLongText(text);
        ASSERT_EQ(packets.size(), c.packets.size()) << c.n;
        std::string joined;
        for (size_t i = 0; i < packets.size(); ++i) {
            EXPECT_EQ(packets[i].first, c.packets[i].first) << c.n << " #" << i;
            EXPECT_EQ(packets[i].second.size(), c.packets[i].second) << c.n << " #" << i;
            joined += packets[i].second;
        }
        EXPECT_EQ(joined, text);

        // And back together on the receiving side.
        CPacketState st;
        for (size_t i = 0; i < packets.size(); ++i)
            Take(st, packets[i].first, packets[i].second,
                 packets[i].first == PKT_CHUNK ? CPacketState::TAKE_SILENT : CPacketState::TAKE_DELIVER);
        EXPECT_EQ(st.GetLastText(), text) << c.n;
        EXPECT_EQ(st.GetLastType(), PKT_CHUNK_END);
        EXPECT_EQ(st.PendingChunkBytes(), 0u);
    }
}

TEST(LongText, DoubleByteCharacterCutBetweenChunksIsJoined) {
    std::string text = std::string(249, 'a') + "歩" + "金";
    CPacketState st;
    for (auto& [type, piece] : SplitLongText(text))
        Take(st, type, piece, type == PKT_CHUNK ? CPacketState::TAKE_SILENT : CPacketState::TAKE_DELIVER);
    EXPECT_EQ(st.GetLastText(), text);
}

TEST(PacketState, ObserveDiscardsPartialChunks) {
    CPacketState st;
    Take(st, PKT_MOVE, "last");
    Take(st, PKT_CHUNK, "stale-part", CPacketState::TAKE_SILENT);
    EXPECT_EQ(st.GetLastText(), "last");  // a chunk is not delivered
    Take(st, PKT_OBSERVE, "1");
    EXPECT_EQ(st.GetLastType(), PKT_OBSERVE);
    EXPECT_EQ(st.GetLastText(), "last");  // OBSERVE keeps the text
    EXPECT_EQ(st.PendingChunkBytes(), 0u);
    Take(st, PKT_CHUNK_END, "fresh;");
    EXPECT_EQ(st.GetLastText(), "fresh;");
}

TEST(PacketState, HelloSetsPeerNameOthersDoNot) {
    CPacketState st;
    Take(st, PKT_HELLO, "たろう");
    EXPECT_EQ(st.GetPeerName(), "たろう");
    EXPECT_EQ(st.GetLastText(), "たろう");
    for (uint8_t t : {PKT_ACCEPT, PKT_REFUSE, PKT_TURN, PKT_MOVE, PKT_CHAT, uint8_t(0x77)}) {
        Take(st, t, "other");
        EXPECT_EQ(st.GetPeerName(), "たろう") << int(t);
        EXPECT_EQ(st.GetLastType(), t);
    }
}

TEST(PacketState, ChunkFloodIsCappedAndReported) {
    CPacketState st;
    std::string piece(CHUNK_SIZE, 'f');
    size_t taken = 0;
    CPacketState::TakeResult r = CPacketState::TAKE_SILENT;
    while (r == CPacketState::TAKE_SILENT && taken < 2 * CHUNKS_MAX) {
        Packet p = BuildPacket(PKT_CHUNK, CHUNK_SIZE, piece.data());
        r = st.TakePacket(p.data());
        taken += CHUNK_SIZE;
        ASSERT_LE(st.PendingChunkBytes(), CHUNKS_MAX);
    }
    EXPECT_EQ(r, CPacketState::TAKE_OVERFLOW);
    EXPECT_GE(taken, CHUNKS_MAX);
    EXPECT_EQ(st.PendingChunkBytes(), 0u);
    // A 10,000-move catch-up text (about 25 bytes an entry) still fits.
    EXPECT_GT(CHUNKS_MAX, 10000u * 25u);
}

TEST(PacketState, EveryTypeByteIsSafe) {
    CPacketState st;
    for (int t = 0; t < 256; ++t) {
        Packet p{};
        p[0] = static_cast<uint8_t>(t);
        for (int i = 1; i < PACKET_SIZE; ++i)
            p[i] = static_cast<uint8_t>((t * 31 + i * 7) | 1);  // never zero: full payload
        auto r = st.TakePacket(p.data());
        EXPECT_NE(r, CPacketState::TAKE_OVERFLOW);
        EXPECT_LE(st.GetLastText().size(), CHUNKS_MAX);
    }
}

TEST(SockErrors, TextsByCode) {
    struct Case {
        int code;
        std::string text;
    };
    const Case cases[] = {
        {WSAEWOULDBLOCK, "ソケットは非ブロッキングになっていて、要求した操作がブロックされました。"},
        {WSAECONNREFUSED, "接続を試みましたが、強制的にリジェクトされました。"},
        {WSAECONNRESET, "リモート側から仮想回路がリセットされました。 "},  // ends with a blank
        {WSAEADDRINUSE, "指定したアドレスは使用中です。"},
        {WSAEFAULT, "引数が不正です。"},
        {WSANOTINITIALISED, "この API を使う前に AfxSocketInit の呼び出しが正常終了していることが必要です。"},
        {0, ""},
        {10062, ""},
        {WSAHOST_NOT_FOUND, ""},
        {-1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SockErrorText(c.code), c.text) << c.code;
    EXPECT_EQ(SendErrorText(), "送信エラー");
}

TEST(SockErrors, PosixCounterparts) {
    struct Case {
        int posix;
        int wsa;
    };
    const Case cases[] = {
        {ECONNREFUSED, WSAECONNREFUSED}, {ECONNRESET, WSAECONNRESET}, {EWOULDBLOCK, WSAEWOULDBLOCK},
        {EADDRINUSE, WSAEADDRINUSE},     {ETIMEDOUT, WSAETIMEDOUT},   {ENOTCONN, WSAENOTCONN},
        {EMFILE, WSAEMFILE},             {EACCES, WSAEACCES},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ErrnoToWsaCode(c.posix), c.wsa) << c.posix;
        EXPECT_FALSE(SockErrorText(ErrnoToWsaCode(c.posix)).empty());
    }
    EXPECT_TRUE(SockErrorText(ErrnoToWsaCode(ENOENT)).empty());
}
