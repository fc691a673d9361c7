// Packet framing: every conversation between two copies is a stream of
// packets of exactly 256 bytes: type byte, 16-bit length (high byte first),
// then a Shift-JIS payload of at most 253 bytes, zero-filled to the end.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "game/sjis.h"

namespace ravu {

constexpr int PACKET_SIZE = 256;
constexpr int PACKET_HEADER = 3;
constexpr int PAYLOAD_MAX = PACKET_SIZE - PACKET_HEADER;  // 253
constexpr int CHUNK_SIZE = 250;                           // bytes of a long text per PKT_CHUNK

// Packet types (byte 0).
constexpr uint8_t PKT_HELLO = 0x01;      // handle name of the sender
constexpr uint8_t PKT_ACCEPT = 0x03;     // "0"
constexpr uint8_t PKT_REFUSE = 0x04;     // "0"
constexpr uint8_t PKT_OBSERVE = 0x05;    // "0" game just started, "1" joining a running game
constexpr uint8_t PKT_TURN = 0x30;       // '0': side the guest takes, "0" or "1"
constexpr uint8_t PKT_MOVE = 0x31;       // '1': one record entry in the list layout
constexpr uint8_t PKT_CHUNK = 0x32;      // '2': 250 bytes of a long text
constexpr uint8_t PKT_CHUNK_END = 0x33;  // '3': last piece of a long text
constexpr uint8_t PKT_CHAT = 0x40;       // '@': handle name + ">" + text

// A reassembled long text (the catch-up text of a spectator) may not grow
// beyond this.  A 10,000-move game takes about 250 KB.
constexpr size_t CHUNKS_MAX = 1 << 20;

using Packet = std::array<uint8_t, PACKET_SIZE>;

// Longest handle name, in Shift-JIS bytes, that is shown as it is.  A
// Shift-JIS byte is about half a full-width character wide, so this keeps
// "ハンドル名：" plus the name on one line of the question balloon and the
// name inside the labels of the connect and turn dialogs.
constexpr size_t NAME_SHOWN_MAX = 24;

// A handle name as it is shown: a name longer than NAME_SHOWN_MAX bytes is
// cut on a character boundary and ends in "…", NAME_SHOWN_MAX bytes in all.
// Only for display: stored and relayed names stay as they came.
std::string ShownName(std::string_view sjisName);

// Bytes of chat text that fit in one packet behind name + ">"; 0 when the
// name leaves no room.
size_t ChatTextRoom(std::string_view sjisName);

// Frames one packet.  A negative length counts as 0.  More than 253 bytes are
// cut to 253 or 252 on a character boundary; the length field then says how
// many bytes went in.
Packet BuildPacket(uint8_t type, int length, const char* data);

// The payload text as the receiver reads it: the zero-terminated string at
// offset 3, at most 253 bytes.  The length field plays no part.
std::string PayloadText(const uint8_t* packet);

// The packets that carry a long text to a spectator: PKT_CHUNK pieces of 250
// bytes, then a PKT_CHUNK_END with the rest (possibly empty).  Split by bytes;
// the receiver joins them again.
std::vector<std::pair<uint8_t, std::string>> SplitLongText(std::string_view text);

}  // namespace ravu
