// The receiving side of one packet connection: the last packet's type and
// text, the peer's handle name, and the reassembly of chunked texts.  The
// socket hands it one whole packet at a time.
#pragma once

#include <cstdint>
#include <string>

#include "net/packet.h"

namespace ravu {

class CPacketState {
public:
    // What the socket does after taking a packet in.
    enum TakeResult {
        TAKE_DELIVER = 0,   // tell the owner (WM_SOCK_PACKET)
        TAKE_SILENT = 1,    // a chunk was stored; nothing to tell
        TAKE_OVERFLOW = 2,  // the chunked text outgrew CHUNKS_MAX: close the connection
    };

    // Takes one whole 256-byte packet.
    TakeResult TakePacket(const uint8_t* packet);

    uint8_t GetLastType() const { return m_nLastType; }
    const std::string& GetLastText() const { return m_strLastText; }
    const std::string& GetPeerName() const { return m_strPeerName; }
    size_t PendingChunkBytes() const { return m_strChunks.size(); }

    // Back to the state of a new connection object (texts kept, as a closed
    // socket keeps them until overwritten; only the partial chunks go).
    void DropChunks() { m_strChunks.clear(); }

    std::string m_strPeerName;  // text of the last PKT_HELLO
    uint8_t m_nLastType = 0;    // type byte of the last packet
    std::string m_strLastText;  // text of the last delivered packet or chunked transfer
    std::string m_strChunks;    // chunk texts since the last PKT_CHUNK_END or PKT_OBSERVE
};

}  // namespace ravu
