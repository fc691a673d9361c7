// The INI reader and writer on its own: look-ups, Shift-JIS names whose
// second byte is a bracket, and the document kept intact across a rewrite.
#include <gtest/gtest.h>

#include "app/ini.h"

using namespace ravu;

namespace {

TEST(Ini, LookUpTable) {
    CIniDocument ini;
    // "ゾ" is 83 5D in code page 932: its second byte is ']'.
    ini.Parse("top=outside\n[A]\nkey=1\n  spaced  =  two words  \neq=a=b\n[b]\nKEY=3\n[ゾーン]\r\nk=v\r\n");
    struct Case {
        const char* section;
        const char* key;
        const char* value;  // nullptr: absent
    } cases[] = {
        {"A", "key", "1"},    {"a", "KEY", "1"},     {"A", "spaced", "two words"}, {"A", "eq", "a=b"},
        {"B", "key", "3"},    {"A", "top", nullptr}, {"", "top", nullptr},         {"C", "key", nullptr},
        {"A", "missing", nullptr}, {"\x83\x5d\x81\x5b\x83\x93", "k", "v"},
    };
    for (const Case& c : cases) {
        const std::string* v = ini.Find(c.section, c.key);
        EXPECT_EQ(v ? *v : "(absent)", c.value ? c.value : "(absent)") << c.section << "/" << c.key;
    }
}

TEST(Ini, RewriteKeepsOtherLinesAndTurnsLineEndsIntoCrLf) {
    CIniDocument ini;
    ini.Parse("; comment\n\n[S]\nx=1\nno equals here\n[T]\ny=2\n");
    ini.Set("s", "X", "10");
    ini.Set("S", "z", "3");
    ini.Set("U", "w", "4");
    ini.Set("", "k", "v");  // names that could not be read back are refused
    ini.Set("S", "  ", "v");
    EXPECT_EQ(ini.Serialize(), "; comment\r\n\r\n[S]\r\nx=10\r\nno equals here\r\nz=3\r\n[T]\r\ny=2\r\n[U]\r\nw=4\r\n");
}

// Random text made of the bytes that matter to the format: what a document
// reads from its own output is what it read from the original text.
TEST(Ini, ReadingItsOwnOutputGivesTheSameDocument) {
    const char alphabet[] = {'[', ']', '=', '\r', '\n', ' ', 'a', 'B', ';', '\x83', '\x5d', '\0', '\t'};
    uint32_t seed = 12345;
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (int i = int(seed % 60); i > 0; --i) {
            seed = seed * 1664525u + 1013904223u;
            text += alphabet[(seed >> 16) % sizeof alphabet];
        }
        seed = seed * 1664525u + 1013904223u;
        CIniDocument first, second;
        first.Parse(text);
        second.Parse(first.Serialize());
        ASSERT_EQ(second.Serialize(), first.Serialize()) << "round " << round;
        for (const IniSection& s : first.Sections())
            for (const IniLine& l : s.lines) {
                if (s.name.empty() || l.key.empty()) continue;
                // Keys of a repeated section are hidden by its first occurrence alike.
                const std::string* a = first.Find(s.name, l.key);
                const std::string* b = second.Find(s.name, l.key);
                ASSERT_EQ(a ? *a : "(absent)", b ? *b : "(absent)") << ::testing::PrintToString(text);
            }
    }
}

}  // namespace
