#include "net/packet_state.h"

namespace ravu {

CPacketState::TakeResult CPacketState::TakePacket(const uint8_t* packet) {
    m_nLastType = packet[0];
    std::string text = PayloadText(packet);
    switch (m_nLastType) {
        case PKT_OBSERVE:
            // A new game to watch: a half-received long text is of no use now.
            m_strChunks.clear();
            break;
        case PKT_CHUNK:
            if (m_strChunks.size() + text.size() > CHUNKS_MAX) {
                m_strChunks.clear();
                return TAKE_OVERFLOW;
            }
            m_strChunks += text;
            return TAKE_SILENT;
        case PKT_CHUNK_END:
            m_strLastText = std::move(m_strChunks);
            m_strChunks.clear();
            m_strLastText += text;
            break;
        default: m_strLastText = std::move(text); break;
    }
    if (m_nLastType == PKT_HELLO)
        m_strPeerName = m_strLastText;
    return TAKE_DELIVER;
}

}  // namespace ravu
