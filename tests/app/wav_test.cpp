// The WAV reader: the built-in piece sound and damaged images.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "app/wav.h"

using namespace ravu;

namespace {

std::string Le32(uint32_t v) {
    return std::string{char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF), char(v >> 24 & 0xFF)};
}
std::string Le16(uint16_t v) { return std::string{char(v & 0xFF), char(v >> 8 & 0xFF)}; }

std::string Fmt(uint16_t format, uint16_t channels, uint32_t rate, uint16_t bits) {
    return "fmt " + Le32(16) + Le16(format) + Le16(channels) + Le32(rate) + Le32(rate * channels * bits / 8) +
           Le16(uint16_t(channels * bits / 8)) + Le16(bits);
}

std::string Riff(const std::string& chunks) { return "RIFF" + Le32(uint32_t(4 + chunks.size())) + "WAVE" + chunks; }

TEST(Wav, TheBuiltInPieceSoundIsTheClickDescribed) {
    std::ifstream f(std::string(RAVU_SOURCE_DIR) + "/res/sound104.wav", std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    const std::string bytes = ss.str();
    WavPcm pcm;
    ASSERT_TRUE(ParseWavPcm(bytes, &pcm));
    EXPECT_EQ(pcm.channels, 1);
    EXPECT_EQ(pcm.sampleRate, 22050);
    EXPECT_EQ(pcm.bitsPerSample, 8);
    ASSERT_EQ(pcm.samples.size(), 290u);
    EXPECT_EQ(bytes.size(), 44u + 290u);
    // Audible at the start, silent (128) again at the end.
    int peak = 0;
    for (size_t i = 0; i < 60; ++i) peak = std::max(peak, std::abs(int(uint8_t(pcm.samples[i])) - 128));
    EXPECT_GT(peak, 40);
    EXPECT_LE(std::abs(int(uint8_t(pcm.samples.back())) - 128), 2);
}

TEST(Wav, AcceptedAndRefusedImages) {
    const std::string data4 = "data" + Le32(4) + "abcd";
    struct Case {
        const char* name;
        std::string bytes;
        bool ok;
        size_t samples;
    };
    const Case cases[] = {
        {"plain", Riff(Fmt(1, 1, 22050, 8) + data4), true, 4},
        {"16-bit stereo", Riff(Fmt(1, 2, 44100, 16) + data4), true, 4},
        {"odd chunk padded", Riff(Fmt(1, 1, 8000, 8) + "LIST" + Le32(3) + "xyz" + std::string(1, '\0') + data4), true, 4},
        {"data cut short", Riff(Fmt(1, 1, 8000, 8) + "data" + Le32(1000) + "ab"), true, 2},
        {"float format", Riff(Fmt(3, 1, 22050, 8) + data4), false, 0},
        {"24 bits", Riff(Fmt(1, 1, 22050, 24) + data4), false, 0},
        {"no channels", Riff(Fmt(1, 0, 22050, 8) + data4), false, 0},
        {"absurd rate", Riff(Fmt(1, 1, 4000000000u, 8) + data4), false, 0},
        {"data before fmt", Riff(data4 + Fmt(1, 1, 22050, 8)), false, 0},
        {"no data", Riff(Fmt(1, 1, 22050, 8)), false, 0},
        {"huge chunk", Riff(Fmt(1, 1, 22050, 8) + "junk" + Le32(0xFFFFFFFFu) + "x" + data4), false, 0},
        {"fmt too short", Riff("fmt " + Le32(4) + "abcd" + data4), false, 0},
        {"fmt past end", Riff("fmt " + Le32(16) + "abc"), false, 0},
        {"not RIFF", "RIFX" + Le32(4) + "WAVE", false, 0},
        {"not WAVE", "RIFF" + Le32(4) + "AVI ", false, 0},
        {"empty", "", false, 0},
        {"header only", "RIFF", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WavPcm pcm;
        EXPECT_EQ(ParseWavPcm(c.bytes, &pcm), c.ok);
        if (c.ok) {
            EXPECT_EQ(pcm.samples.size(), c.samples);
            // The samples lie inside the bytes given.
            EXPECT_GE(pcm.samples.data(), c.bytes.data());
            EXPECT_LE(pcm.samples.data() + pcm.samples.size(), c.bytes.data() + c.bytes.size());
        }
    }
}

TEST(Wav, EveryTruncationIsRefusedOrInBounds) {
    const std::string full = Riff(Fmt(1, 1, 22050, 8) + "data" + Le32(8) + "12345678");
    for (size_t n = 0; n <= full.size(); ++n) {
        const std::string cut = full.substr(0, n);
        WavPcm pcm;
        if (ParseWavPcm(cut, &pcm)) {
            EXPECT_LE(pcm.samples.data() + pcm.samples.size(), cut.data() + cut.size()) << n;
        }
    }
}

}  // namespace

namespace {

int16_t S16At(const std::string& s, size_t i) {
    int16_t v;
    std::memcpy(&v, s.data() + 2 * i, 2);
    return v;
}

TEST(Wav, TheClickIsConvertedToWhatTheDeviceTakes) {
    const std::string pcm = std::string{char(128), char(255), char(0), char(192)};
    // Same format: unchanged.
    EXPECT_EQ(ConvertPcm8(pcm, 22050, 22050, 1, PCM_U8), pcm);
    // 16 bits: centred on zero, full scale.
    const std::string s16 = ConvertPcm8(pcm, 22050, 22050, 1, PCM_S16);
    ASSERT_EQ(s16.size(), 8u);
    EXPECT_EQ(S16At(s16, 0), 0);
    EXPECT_EQ(S16At(s16, 1), 32512);
    EXPECT_EQ(S16At(s16, 2), -32768);
    EXPECT_EQ(S16At(s16, 3), 16384);
    // Stereo at twice the rate: every frame twice per channel, midpoints interpolated.
    const std::string st = ConvertPcm8(pcm, 22050, 44100, 2, PCM_S16);
    ASSERT_EQ(st.size(), 8u * 2 * 2);
    EXPECT_EQ(S16At(st, 0), S16At(st, 1));
    EXPECT_EQ(S16At(st, 2), 16256);  // half way from 128 to 255
    EXPECT_EQ(S16At(st, 4), 32512);
    // Float and 32 bits keep the sign and scale.
    const std::string f32 = ConvertPcm8(pcm, 22050, 22050, 1, PCM_F32);
    float f;
    std::memcpy(&f, f32.data() + 8, 4);
    EXPECT_FLOAT_EQ(f, -1.0f);
    const std::string s32 = ConvertPcm8(pcm, 22050, 48000, 1, PCM_S32);
    EXPECT_EQ(s32.size(), size_t(4 * 48000 / 22050) * 4);
}

TEST(Wav, ConversionRefusesImpossibleFormats) {
    const std::string pcm(290, char(128));
    EXPECT_TRUE(ConvertPcm8(pcm, 0, 22050, 1, PCM_U8).empty());
    EXPECT_TRUE(ConvertPcm8(pcm, 22050, 0, 1, PCM_U8).empty());
    EXPECT_TRUE(ConvertPcm8(pcm, 22050, -5, 1, PCM_U8).empty());
    EXPECT_TRUE(ConvertPcm8(pcm, 22050, 22050, 0, PCM_U8).empty());
    EXPECT_TRUE(ConvertPcm8(pcm, 22050, 22050, 1000, PCM_U8).empty());
    EXPECT_TRUE(ConvertPcm8("", 22050, 22050, 1, PCM_U8).empty());
    EXPECT_TRUE(ConvertPcm8(pcm, 1, 192000, 1, PCM_U8).empty());  // 290 samples at 1 Hz: too long
}

}  // namespace
