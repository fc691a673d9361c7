#include "app/wav.h"

namespace ravu {

namespace {

uint32_t Le32(std::string_view b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}

uint16_t Le16(std::string_view b, size_t at) { return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); }

constexpr size_t RIFF_HEADER = 12;
constexpr size_t CHUNK_HEADER = 8;
constexpr size_t FMT_PCM_SIZE = 16;

}  // namespace

bool ParseWavPcm(std::string_view bytes, WavPcm* out) {
    if (bytes.size() < RIFF_HEADER || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE") return false;
    WavPcm pcm;
    bool haveFormat = false;
    size_t at = RIFF_HEADER;
    while (bytes.size() - at >= CHUNK_HEADER) {
        std::string_view id = bytes.substr(at, 4);
        uint32_t size = Le32(bytes, at + 4);
        at += CHUNK_HEADER;
        size_t left = bytes.size() - at;
        if (id == "fmt ") {
            if (size < FMT_PCM_SIZE || size > left) return false;
            uint16_t format = Le16(bytes, at);
            pcm.channels = Le16(bytes, at + 2);
            pcm.sampleRate = int32_t(Le32(bytes, at + 4) > 192000 ? 0 : Le32(bytes, at + 4));
            pcm.bitsPerSample = Le16(bytes, at + 14);
            if (format != 1 || pcm.channels < 1 || pcm.channels > 2 || pcm.sampleRate < 1 ||
                (pcm.bitsPerSample != 8 && pcm.bitsPerSample != 16))
                return false;
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) return false;
            pcm.samples = bytes.substr(at, size < left ? size : left);
            *out = pcm;
            return true;
        }
        if (size >= left) return false;  // a chunk other than data runs past the end
        at += size + (size & 1);         // chunks are padded to even sizes
        if (at > bytes.size()) return false;
    }
    return false;
}

}  // namespace ravu
