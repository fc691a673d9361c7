// The model's own Japanese texts are Shift-JIS bytes, and the one converter
// to and from UTF-8 keeps them intact.
#include <gtest/gtest.h>

#include <string>

#include "app/textcodec.h"

namespace {

struct LiteralCase {
    const char* literal;
    const char* bytes;
};

TEST(Encoding, ModelLiteralsAreCodePage932) {
    const LiteralCase cases[] = {
        {"同", "\x93\xAF"},
        {"▲", "\x81\xA3"},
        {"▽", "\x81\xA4"},
        {"　", "\x81\x40"},
        {"投了", "\x93\x8A\x97\xB9"},
        {"無題", "\x96\xB3\x91\xE8"},
        {"表", "\x95\x5C"},  // second byte is a backslash in ASCII
        {"ｿｹｯﾄ", "\xBF\xB9\xAF\xC4"},  // half-width katakana are one byte each
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::string(c.literal), std::string(c.bytes)) << c.bytes;
}

TEST(Encoding, RoundTripThroughUtf8) {
    const std::string sjis = "\x81\xA3\x82\x50\x93\xAF\x95\x5C abc";  // ▲１同表 abc
    const std::string utf8 = ravu::SjisToUtf8(sjis);
    EXPECT_EQ(utf8, "\xE2\x96\xB2\xEF\xBC\x91\xE5\x90\x8C\xE8\xA1\xA8 abc");
    EXPECT_EQ(ravu::Utf8ToSjis(utf8), sjis);
}

TEST(Encoding, BrokenInputIsReplacedNeverLost) {
    // A two-byte character cut in half at the end, and a lone trail byte.
    EXPECT_EQ(ravu::SjisToUtf8("a\x93"), "a\xEF\xBF\xBD");
    EXPECT_EQ(ravu::SjisToUtf8(std::string("\xFF" "b", 2)), "\xEF\xBF\xBD" "b");
    // A character Shift-JIS cannot hold is one '?', whatever its UTF-8 length.
    EXPECT_EQ(ravu::Utf8ToSjis("x\xF0\x9F\x98\x80y"), "x?y");
    EXPECT_EQ(ravu::SjisToUtf8(""), "");
    EXPECT_EQ(ravu::SjisToUtf8(std::string("\0z", 2)), std::string("\0z", 2));
}

}  // namespace
