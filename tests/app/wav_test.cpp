// The WAV reader and the converter to what the sound device takes: the
// built-in piece sound and damaged images.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "app/wav.h"

using namespace ravu;

namespace {

std::string Le(uint32_t v, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += char(v >> (8 * i) & 0xFF);
    return out;
}

std::string Fmt(uint16_t format, uint16_t channels, uint32_t rate, uint16_t bits) {
    return "fmt " + Le(16, 4) + Le(format, 2) + Le(channels, 2) + Le(rate, 4) + Le(rate * channels * bits / 8, 4) +
           Le(channels * bits / 8, 2) + Le(bits, 2);
}

std::string Riff(const std::string& chunks) { return "RIFF" + Le(uint32_t(4 + chunks.size()), 4) + "WAVE" + chunks; }

TEST(Wav, TheBuiltInPieceSoundIsTheClickDescribed) {
    std::stringstream ss;
    ss << std::ifstream(std::string(RAVU_SOURCE_DIR) + "/res/sound104.wav", std::ios::binary).rdbuf();
    const std::string bytes = ss.str();
    WavPcm pcm;
    ASSERT_TRUE(ParseWavPcm(bytes, &pcm));
    EXPECT_TRUE(pcm.channels == 1 && pcm.sampleRate == 22050 && pcm.bitsPerSample == 8);
    ASSERT_EQ(pcm.samples.size(), 290u);
    EXPECT_EQ(bytes.size(), 44u + 290u);
    // Audible at the start, silent (128) again at the end.
    int peak = 0;
    for (size_t i = 0; i < 60; ++i) peak = std::max(peak, std::abs(int(uint8_t(pcm.samples[i])) - 128));
    EXPECT_GT(peak, 40);
    EXPECT_LE(std::abs(int(uint8_t(pcm.samples.back())) - 128), 2);
}

TEST(Wav, AcceptedAndRefusedImages) {
    const std::string data4 = "data" + Le(4, 4) + "abcd";
    struct Case {
        const char* name;
        std::string bytes;
        size_t samples;  // 0: refused
    } cases[] = {
        {"plain", Riff(Fmt(1, 1, 22050, 8) + data4), 4},
        {"16-bit stereo", Riff(Fmt(1, 2, 44100, 16) + data4), 4},
        {"odd chunk padded", Riff(Fmt(1, 1, 8000, 8) + "LIST" + Le(3, 4) + "xyz" + std::string(1, '\0') + data4), 4},
        {"data cut short", Riff(Fmt(1, 1, 8000, 8) + "data" + Le(1000, 4) + "ab"), 2},
        {"float format", Riff(Fmt(3, 1, 22050, 8) + data4), 0},
        {"24 bits", Riff(Fmt(1, 1, 22050, 24) + data4), 0},
        {"no channels", Riff(Fmt(1, 0, 22050, 8) + data4), 0},
        {"absurd rate", Riff(Fmt(1, 1, 4000000000u, 8) + data4), 0},
        {"data before fmt", Riff(data4 + Fmt(1, 1, 22050, 8)), 0},
        {"no data", Riff(Fmt(1, 1, 22050, 8)), 0},
        {"huge chunk", Riff(Fmt(1, 1, 22050, 8) + "junk" + Le(0xFFFFFFFFu, 4) + "x" + data4), 0},
        {"fmt too short", Riff("fmt " + Le(4, 4) + "abcd" + data4), 0},
        {"fmt past end", Riff("fmt " + Le(16, 4) + "abc"), 0},
        {"not RIFF", "RIFX" + Le(4, 4) + "WAVE", 0},
        {"not WAVE", "RIFF" + Le(4, 4) + "AVI ", 0},
        {"empty", "", 0},
    };
    for (const Case& c : cases) {
        WavPcm pcm;
        ASSERT_EQ(ParseWavPcm(c.bytes, &pcm), c.samples > 0) << c.name;
        if (c.samples) {  // the samples lie inside the bytes given
            EXPECT_TRUE(pcm.samples.size() == c.samples && pcm.samples.data() >= c.bytes.data() &&
                        pcm.samples.data() + pcm.samples.size() <= c.bytes.data() + c.bytes.size()) << c.name;
        }
    }
    // Every truncation is refused or stays in bounds.
    const std::string full = Riff(Fmt(1, 1, 22050, 8) + "data" + Le(8, 4) + "12345678");
    for (size_t n = 0; n <= full.size(); ++n) {
        const std::string cut = full.substr(0, n);
        WavPcm pcm;
        if (ParseWavPcm(cut, &pcm)) {
            EXPECT_LE(pcm.samples.data() + pcm.samples.size(), cut.data() + cut.size()) << n;
        }
    }
}

int16_t S16At(const std::string& s, size_t i) {
    int16_t v;
    std::memcpy(&v, s.data() + 2 * i, 2);
    return v;
}

TEST(Wav, TheClickIsConvertedToWhatTheDeviceTakes) {
    const std::string pcm = std::string{char(128), char(255), char(0), char(192)};
    EXPECT_EQ(ConvertPcm8(pcm, 22050, 22050, 1, PCM_U8), pcm);
    // 16 bits: centred on zero, full scale.
    const std::string s16 = ConvertPcm8(pcm, 22050, 22050, 1, PCM_S16);
    ASSERT_EQ(s16.size(), 8u);
    EXPECT_TRUE(S16At(s16, 0) == 0 && S16At(s16, 1) == 32512 && S16At(s16, 2) == -32768 && S16At(s16, 3) == 16384);
    // Stereo at twice the rate: every frame twice per channel, midpoints interpolated.
    const std::string st = ConvertPcm8(pcm, 22050, 44100, 2, PCM_S16);
    ASSERT_EQ(st.size(), 8u * 2 * 2);
    EXPECT_EQ(S16At(st, 0), S16At(st, 1));
    EXPECT_EQ(S16At(st, 2), 16256);  // half way from 128 to 255
    EXPECT_EQ(S16At(st, 4), 32512);
    // Float and 32 bits keep the sign and scale.
    float f;
    std::memcpy(&f, ConvertPcm8(pcm, 22050, 22050, 1, PCM_F32).data() + 8, 4);
    EXPECT_FLOAT_EQ(f, -1.0f);
    EXPECT_EQ(ConvertPcm8(pcm, 22050, 48000, 1, PCM_S32).size(), size_t(4 * 48000 / 22050) * 4);
    // Impossible formats give nothing.
    const std::string click(290, char(128));
    const int bad[][3] = {{0, 22050, 1}, {22050, 0, 1}, {22050, -5, 1}, {22050, 22050, 0}, {22050, 22050, 1000},
                          {1, 192000, 1}};  // 290 samples at 1 Hz: too long
    for (const auto& b : bad)
        EXPECT_TRUE(ConvertPcm8(click, b[0], b[1], b[2], PCM_U8).empty()) << b[0] << " " << b[1] << " " << b[2];
    EXPECT_TRUE(ConvertPcm8("", 22050, 22050, 1, PCM_U8).empty());
}

}  // namespace
