// The model's own Japanese texts are Shift-JIS bytes, and the one converter
// to and from UTF-8 keeps them intact and replaces what it cannot convert.
#include <gtest/gtest.h>

#include "app/textcodec.h"

TEST(Encoding, LiteralsAndConversions) {
    // ▲１同表 (表 ends in a backslash byte) and half-width ｿ.
    const std::string sjis = "\x81\xA3\x82\x50\x93\xAF\x95\x5C\xBF z";
    const std::string utf8 = "\xE2\x96\xB2\xEF\xBC\x91\xE5\x90\x8C\xE8\xA1\xA8\xEF\xBD\xBF z";
    EXPECT_EQ(ravu::SjisToUtf8(sjis) + "|" + ravu::Utf8ToSjis(utf8), utf8 + "|" + sjis);
    // A cut or lone byte becomes U+FFFD; a character code page 932 lacks, one '?'.
    EXPECT_EQ(ravu::SjisToUtf8("a\x93") + ravu::SjisToUtf8("\xFF"
                                                           "b"),
              "a\xEF\xBF\xBD\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(ravu::Utf8ToSjis("x\xF0\x9F\x98\x80y"), "x?y");
}
