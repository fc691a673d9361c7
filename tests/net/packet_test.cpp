// Packet framing, Shift-JIS cutting, handle names, chunk splitting and
// reassembly, error texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <tuple>

#include "net/packet.h"
#include "net/packet_state.h"
#include "net/sock_errors.h"

using namespace ravu;

// The whole 256 bytes as sent, and the text as the receiver reads it.
TEST(Packet, Framing) {
    struct Case {
        std::string payload;
        int length;      // given to BuildPacket
        int sentLength;  // bytes that go in (the length field)
        std::string read;
    };
    const std::string kanji = std::string(252, 'z') + "歩";
    // clang-format off
    const Case cases[] = {
        {"", 0, 0, ""},
        {"abc", 3, 3, "abc"},
        {std::string(253, 'x'), 253, 253, std::string(253, 'x')},  // no terminator at all
        {std::string("ab\0cd", 5), 5, 5, "ab"},                     // read up to the zero byte
        {std::string(300, 'y'), 300, 253, std::string(253, 'y')},   // cut to what fits
        {kanji, 254, 252, std::string(252, 'z')},                   // never half a character
        {"abc", -5, 0, ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        Packet p = BuildPacket(PKT_CHAT, c.length, c.payload.data());
        Packet expect{};
        expect[0] = PKT_CHAT;
        expect[1] = static_cast<uint8_t>(c.sentLength >> 8);
        expect[2] = static_cast<uint8_t>(c.sentLength);
        std::copy_n(c.payload.begin(), c.sentLength, expect.begin() + PACKET_HEADER);
        EXPECT_EQ(p, expect) << c.payload.size();
        EXPECT_EQ(PayloadText(p.data()), c.read);
    }
    EXPECT_EQ(BuildPacket(PKT_MOVE, 10, nullptr), BuildPacket(PKT_MOVE, 0, ""));
}

TEST(Packet, SjisCutNamesAndChatRoom) {
    // Text, bytes allowed, bytes kept; half-width katakana are one byte each.
    const std::tuple<std::string, size_t, size_t> cuts[] = {{"abc", 2, 2}, {"歩歩", 3, 2}, {"a歩", 2, 1},
                                                            {"a歩", 3, 3}, {"ｱｲｳ", 2, 2},  {"\x81", 0, 0},
                                                            {"abc", 10, 3}};
    for (const auto& [text, room, kept] : cuts)
        EXPECT_EQ(SjisPrefixLength(text, room), kept) << text << room;

    const std::string kanji12 = "一二三四五六七八九十百千";  // 24 bytes
    // clang-format off
    const std::pair<std::string, std::string> names[] = {
        {std::string(24, 'n'), std::string(24, 'n')},
        {std::string(25, 'n'), std::string(22, 'n') + "…"},
        {kanji12, kanji12},
        {kanji12 + "x", "一二三四五六七八九十百…"},
        {"a" + kanji12, "a一二三四五六七八九十…"},  // 22 bytes would split 百
    };
    // clang-format on
    for (const auto& [name, shown] : names)
        EXPECT_EQ(ShownName(name), shown) << name;

    // What is left of a 253-byte chat line behind name + ">".
    const std::pair<size_t, size_t> room[] = {{0, 252}, {251, 1}, {252, 0}, {300, 0}};
    for (auto [nameBytes, expect] : room)
        EXPECT_EQ(ChatTextRoom(std::string(nameBytes, 'n')), expect) << nameBytes;
}

// Long texts go in 250-byte chunks and an end packet that is never empty
// (but for an empty text); the receiver joins them silently and delivers once.
TEST(Packet, LongTextsReassemblyAndReceivingState) {
    CPacketState st;
    auto take = [&](uint8_t type, const std::string& text) {
        Packet p = BuildPacket(type, static_cast<int>(text.size()), text.data());
        return st.TakePacket(p.data());
    };
    // clang-format off
    const std::pair<size_t, std::string> cases[] = {
        {0, "E0"}, {250, "E250"}, {251, "C250 E1"}, {500, "C250 E250"}, {501, "C250 C250 E1"}};
    // clang-format on
    for (const auto& [n, layout] : cases) {
        std::string text;
        for (size_t i = 0; i < n; ++i)
            text += static_cast<char>('a' + i % 26);
        if (n == 251)
            text.replace(249, 2, "歩");  // a character cut between chunks is joined again
        std::string got;
        st = CPacketState();
        for (const auto& [type, piece] : SplitLongText(text)) {
            got += (got.empty() ? "" : " ") + std::string(type == PKT_CHUNK ? "C" : "E") +
                   std::to_string(piece.size());
            EXPECT_EQ(take(type, piece),
                      type == PKT_CHUNK ? CPacketState::TAKE_SILENT : CPacketState::TAKE_DELIVER);
        }
        EXPECT_EQ(got, layout);
        EXPECT_EQ(st.GetLastText(), text);
        EXPECT_EQ(st.PendingChunkBytes(), 0u);
    }
    // The receiving state: which packets are delivered, what they leave behind.
    st = CPacketState();
    take(PKT_HELLO, "たろう");
    take(PKT_MOVE, "last");
    EXPECT_EQ(take(PKT_CHUNK, "stale"), CPacketState::TAKE_SILENT);
    EXPECT_EQ(st.GetLastText(), "last");                            // a chunk is not delivered
    EXPECT_EQ(take(PKT_OBSERVE, "1"), CPacketState::TAKE_DELIVER);  // a new game: partial chunks go
    EXPECT_EQ(st.GetLastText(), "last");                            // the text stays
    take(PKT_CHUNK_END, "fresh;");
    EXPECT_EQ(st.GetLastText() + "/" + st.GetPeerName(), "fresh;/たろう");  // only a hello names the peer
    EXPECT_EQ(st.GetLastType(), PKT_CHUNK_END);

    // A chunked text may not outgrow CHUNKS_MAX; a long game still fits.
    const std::string piece(CHUNK_SIZE, 'f');
    size_t taken = 0;
    while (take(PKT_CHUNK, piece) == CPacketState::TAKE_SILENT)
        taken += CHUNK_SIZE;
    EXPECT_EQ(taken, CHUNKS_MAX / CHUNK_SIZE * CHUNK_SIZE);
    EXPECT_EQ(st.PendingChunkBytes(), 0u);
    EXPECT_GT(CHUNKS_MAX, 10000u * 25u);  // 10,000 moves of about 25 bytes
}

TEST(Packet, SockErrors) {
    // clang-format off
    const std::pair<int, std::string> texts[] = {
        {WSAECONNREFUSED, "接続を試みましたが、強制的にリジェクトされました。"},
        {WSAECONNRESET, "リモート側から仮想回路がリセットされました。 "},  // ends with a blank
        {0, ""},
        {WSAHOST_NOT_FOUND, ""},
    };
    // clang-format on
    for (const auto& [code, text] : texts)
        EXPECT_EQ(SockErrorText(code), text) << code;
    EXPECT_EQ(SendErrorText(), "送信エラー");
    const std::pair<int, int> codes[] = {
        {ECONNREFUSED, WSAECONNREFUSED}, {EAGAIN, WSAEWOULDBLOCK}, {ENOENT, ENOENT}};
    for (const auto& [posix, wsa] : codes)
        EXPECT_EQ(ErrnoToWsaCode(posix), wsa) << posix;
}
