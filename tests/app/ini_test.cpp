// The INI reader and writer on its own: Shift-JIS names whose second byte is
// a bracket, and the document kept intact across a rewrite.
#include <gtest/gtest.h>

#include "app/ini.h"

using namespace ravu;

namespace {

TEST(Ini, SectionNameWithABracketAsSecondByte) {
    // "ゾ" is 83 5D in code page 932: its second byte is ']'.
    ASSERT_EQ(std::string("ゾ"), "\x83\x5d");
    CIniDocument ini;
    ini.Parse("[ゾーン]\r\nk=v\r\n");
    const std::string* v = ini.Find("ゾーン", "k");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(*v, "v");
}

TEST(Ini, LookUpTable) {
    CIniDocument ini;
    ini.Parse(
        "top=outside\n"
        "[A]\n"
        "key=1\n"
        "  spaced  =  two words  \n"
        "eq=a=b\n"
        "[b]\n"
        "KEY=3\n");
    struct Case {
        const char* section;
        const char* key;
        const char* value;  // nullptr: absent
    };
    const Case cases[] = {
        {"A", "key", "1"},      {"a", "KEY", "1"},         {"A", "spaced", "two words"},
        {"A", "eq", "a=b"},     {"B", "key", "3"},         {"A", "top", nullptr},
        {"", "top", nullptr},   {"C", "key", nullptr},     {"A", "missing", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        const std::string* v = ini.Find(c.section, c.key);
        if (!c.value) {
            EXPECT_EQ(v, nullptr);
        } else {
            ASSERT_NE(v, nullptr);
            EXPECT_EQ(*v, c.value);
        }
    }
}

TEST(Ini, RewriteKeepsOtherLinesAndTurnsLineEndsIntoCrLf) {
    CIniDocument ini;
    ini.Parse("; comment\n\n[S]\nx=1\n[T]\ny=2\n");
    ini.Set("s", "X", "10");
    ini.Set("S", "z", "3");
    ini.Set("U", "w", "4");
    EXPECT_EQ(ini.Serialize(), "; comment\r\n\r\n[S]\r\nx=10\r\nz=3\r\n[T]\r\ny=2\r\n[U]\r\nw=4\r\n");
}

TEST(Ini, ParseAndSerializeAreStable) {
    const std::string text = "[S]\r\na=1\r\nno equals here\r\n[T]\r\nb=\r\n";
    CIniDocument ini;
    ini.Parse(text);
    EXPECT_EQ(ini.Serialize(), text);
    CIniDocument again;
    again.Parse(ini.Serialize());
    EXPECT_EQ(again.Serialize(), text);
}

// Random text made of the bytes that matter to the format: what a document
// reads from its own output is what it read from the original text.
TEST(Ini, ReadingItsOwnOutputGivesTheSameDocument) {
    const char alphabet[] = {'[', ']', '=', '\r', '\n', ' ', 'a', 'B', ';', '\x83', '\x5d', '\0', '\t'};
    uint32_t seed = 12345;
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int length = int(seed % 60);
        for (int i = 0; i < length; ++i) {
            seed = seed * 1664525u + 1013904223u;
            text += alphabet[(seed >> 16) % sizeof alphabet];
        }
        seed = seed * 1664525u + 1013904223u;
        CIniDocument first;
        first.Parse(text);
        CIniDocument second;
        second.Parse(first.Serialize());
        ASSERT_EQ(second.Serialize(), first.Serialize()) << "round " << round;
        for (const IniSection& s : first.Sections()) {
            if (s.name.empty()) continue;
            for (const IniLine& l : s.lines) {
                if (l.key.empty()) continue;
                const std::string* a = first.Find(s.name, l.key);
                const std::string* b = second.Find(s.name, l.key);
                // Keys of a repeated section are hidden by its first occurrence alike.
                ASSERT_EQ(a == nullptr, b == nullptr) << "round " << round << " text " << ::testing::PrintToString(text);
                if (a) {
                    ASSERT_EQ(*a, *b) << "round " << round;
                }
            }
        }
    }
}

TEST(Ini, SetRefusesNamesThatCouldNotBeReadBack) {
    CIniDocument ini;
    ini.Set("", "k", "v");
    ini.Set("S", "  ", "v");
    EXPECT_EQ(ini.Serialize(), "");
}

}  // namespace
