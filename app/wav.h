// Reading a WAV image (RIFF, PCM) such as the built-in piece sound.
#pragma once

#include <cstdint>
#include <string_view>

namespace ravu {

struct WavPcm {
    int32_t channels = 0;
    int32_t sampleRate = 0;
    int32_t bitsPerSample = 0;
    std::string_view samples;  // the data chunk, inside the bytes given
};

// True for a well-formed PCM WAV image (format 1, 1-2 channels, 8 or 16
// bits, a sample rate of 1..192000): *out then describes it.  Chunks are
// walked with their sizes checked against the bytes actually there, so a
// damaged or hostile file is refused, never read beyond its end.  A data
// chunk longer than the file is cut to what is there.
bool ParseWavPcm(std::string_view bytes, WavPcm* out);

}  // namespace ravu
