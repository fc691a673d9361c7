#include "app/wav.h"

#include <cstring>

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

std::string ConvertPcm8(std::string_view pcm8, int32_t fromRate, int32_t toRate, int32_t channels,
                        PcmSampleKind kind) {
    constexpr int64_t MAX_SECONDS = 10;
    constexpr int32_t MAX_CHANNELS = 32;
    if (pcm8.empty() || fromRate <= 0 || toRate <= 0 || channels <= 0 || channels > MAX_CHANNELS) return {};
    const int64_t frames = int64_t(pcm8.size()) * toRate / fromRate;
    if (frames <= 0 || frames > MAX_SECONDS * toRate) return {};
    const size_t width = kind == PCM_U8 ? 1 : kind == PCM_S16 ? 2 : 4;
    std::string out;
    out.reserve(size_t(frames) * size_t(channels) * width);
    for (int64_t f = 0; f < frames; ++f) {
        const double pos = double(f) * fromRate / toRate;
        const size_t i = size_t(pos);
        const double t = pos - double(i);
        const double a = uint8_t(pcm8[i]);
        const double b = i + 1 < pcm8.size() ? uint8_t(pcm8[i + 1]) : a;
        const double v = (a + (b - a) * t - 128.0) / 128.0;  // -1 .. just under 1
        char sample[4];
        switch (kind) {
        case PCM_U8: sample[0] = char(uint8_t(128.0 + v * 128.0 + 0.5)); break;
        case PCM_S16: { int16_t s = int16_t(v * 32768.0); std::memcpy(sample, &s, 2); break; }
        case PCM_S32: { int32_t s = int32_t(v * 2147483648.0); std::memcpy(sample, &s, 4); break; }
        case PCM_F32: { float s = float(v); std::memcpy(sample, &s, 4); break; }
        }
        for (int32_t c = 0; c < channels; ++c) out.append(sample, width);
    }
    return out;
}

}  // namespace ravu
