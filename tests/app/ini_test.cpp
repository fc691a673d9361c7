// The INI reader and writer on its own: look-ups, Shift-JIS names whose
// second byte is a bracket, and the document kept intact across a rewrite.
#include <gtest/gtest.h>

#include "app/ini.h"

using namespace ravu;

TEST(Ini, LookUpAndRewrite) {
    CIniDocument ini;
    // "ゾ" is 83 5D in code page 932: its second byte is ']'.
    ini.Parse(
        "top=outside\n[A]\nkey=1\n  spaced  =  two words  \neq=a=b\nno "
        "equals\n[b]\nKEY=3\n[ゾーン]\r\nk=v\r\n");
    const char* cases[][3] = {
        {"a", "KEY", "1"},
        {"A", "spaced", "two words"},
        {"A", "eq", "a=b"},
        {"B", "key", "3"},
        {"A", "top", nullptr},
        {"C", "key", nullptr},
        {"\x83\x5d\x81\x5b\x83\x93", "k", "v"},
    };
    for (const auto& c : cases) {
        const std::string* v = ini.Find(c[0], c[1]);
        EXPECT_EQ(v ? *v : "(absent)", c[2] ? c[2] : "(absent)") << c[0] << "/" << c[1];
    }
    ini.Set("a", "KEY", "10");
    ini.Set("A", "z", " 3\r\n");
    ini.Set("U", "w", "4");
    ini.Set("", "k", "v");  // names that could not be read back are refused
    ini.Set("A", "  ", "v");
    EXPECT_EQ(ini.Serialize(),
              "top=outside\r\n[A]\r\nkey=10\r\nspaced=two words\r\neq=a=b\r\nno equals\r\nz=3\r\n"
              "[b]\r\nKEY=3\r\n[ゾーン]\r\nk=v\r\n[U]\r\nw=4\r\n");
}
