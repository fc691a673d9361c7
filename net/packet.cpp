#include "net/packet.h"

#include <algorithm>
#include <cstring>

namespace ravu {

std::string ShownName(std::string_view sjisName) {
    if (sjisName.size() <= NAME_SHOWN_MAX)
        return std::string(sjisName);
    static constexpr char ELLIPSIS[] = "\x81\x63";  // "…" in Shift-JIS
    const size_t keep = SjisPrefixLength(sjisName, NAME_SHOWN_MAX - (sizeof ELLIPSIS - 1));
    return std::string(sjisName.substr(0, keep)) + ELLIPSIS;
}

size_t ChatTextRoom(std::string_view sjisName) {
    const size_t prefix = sjisName.size() + 1;  // name and ">"
    return prefix < static_cast<size_t>(PAYLOAD_MAX) ? PAYLOAD_MAX - prefix : 0;
}

Packet BuildPacket(uint8_t type, int length, const char* data) {
    Packet pkt{};  // every byte behind the payload is zero
    size_t n = length > 0 && data ? static_cast<size_t>(length) : 0;
    if (n > static_cast<size_t>(PAYLOAD_MAX))
        n = SjisPrefixLength(std::string_view(data, n), PAYLOAD_MAX);
    pkt[0] = type;
    pkt[1] = static_cast<uint8_t>((n >> 8) & 0xFF);
    pkt[2] = static_cast<uint8_t>(n & 0xFF);
    if (n)
        std::memcpy(pkt.data() + PACKET_HEADER, data, n);
    return pkt;
}

std::string PayloadText(const uint8_t* packet) {
    const char* p = reinterpret_cast<const char*>(packet + PACKET_HEADER);
    size_t n = 0;
    while (n < static_cast<size_t>(PAYLOAD_MAX) && p[n] != '\0')
        ++n;
    return std::string(p, n);
}

std::vector<std::pair<uint8_t, std::string>> SplitLongText(std::string_view text) {
    std::vector<std::pair<uint8_t, std::string>> out;
    size_t pos = 0;
    // Full pieces while more than one piece's worth remains, so that the end
    // packet always carries 0 < n <= 250 bytes (0 only for an empty text).
    while (text.size() - pos > static_cast<size_t>(CHUNK_SIZE)) {
        out.emplace_back(PKT_CHUNK, std::string(text.substr(pos, CHUNK_SIZE)));
        pos += CHUNK_SIZE;
    }
    out.emplace_back(PKT_CHUNK_END, std::string(text.substr(pos)));
    return out;
}

}  // namespace ravu
