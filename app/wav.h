// Reading a WAV image (RIFF, PCM) such as the built-in piece sound.
#pragma once

#include <cstdint>
#include <string>
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

// Sample formats a sound device may ask for; samples in the machine's byte order.
enum PcmSampleKind { PCM_U8, PCM_S16, PCM_S32, PCM_F32 };

// Unsigned 8-bit mono samples at fromRate turned into toRate (linear
// interpolation), channels copies of each frame, in the given format.  Empty
// when a rate or the channel count is not positive, or the result would be
// longer than ten seconds.
std::string ConvertPcm8(std::string_view pcm8, int32_t fromRate, int32_t toRate, int32_t channels,
                        PcmSampleKind kind);

}  // namespace ravu
