// The names of autosaved games: a handle name made safe for a file name, and
// the date, time and name together.  u8 literals are UTF-8 (file names).
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "app/autosave_name.h"

namespace ravu {
namespace {

std::string U8(std::u8string_view s) { return std::string(s.begin(), s.end()); }

TEST(AutosaveName, HandleNamesMadeSafe) {
    const struct {
        const char* what;
        std::string name, part;
    } cases[] = {
        {"plain", "Hanako_2", "Hanako_2"},
        {"Japanese kept", U8(u8"はなこ"), U8(u8"はなこ")},
        {"separators and wildcards", "a/b\\c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
        {"shell characters", "x;rm $(y)&`z`'", "x_rm__(y)__z__"},
        {"blanks and controls", "tab\tnew\nline sp\x7F", "tab_new_line_sp_"},
        {"no way up, no hidden file", "../../etc/passwd", "_.._etc_passwd"},
        {"no option", "--help", "help"},
        {"bytes that are not UTF-8 (Shift-JIS)", "\x82\xA0x", "__x"},
        {"nothing left", "...", "unknown"},
        {"empty", "", "unknown"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileNamePart(c.name), c.part) << c.what;
}

// Cut on a character boundary: 16 three-byte characters fill 48 bytes, a
// 17th would not fit.
TEST(AutosaveName, LongNamesCutOnCharacters) {
    std::string name;
    for (int i = 0; i < 30; ++i)
        name += U8(u8"将");
    EXPECT_EQ(FileNamePart(name), name.substr(0, 48));
    EXPECT_EQ(FileNamePart("a" + name, 6), "a" + U8(u8"将"));
}

TEST(AutosaveName, DateTimeAndOpponent) {
    setenv("TZ", "JST-9", 1);
    tzset();
    const std::time_t t = 1796577330;  // 2026-12-06 17:15:30 UTC
    EXPECT_EQ(AutosaveFileName(t, "opponent"), "2026-12-07_0215_opponent.kif");
    EXPECT_EQ(AutosaveFileName(t, U8(u8"観戦_a/b")), U8(u8"2026-12-07_0215_観戦_a_b.kif"));
}

}  // namespace
}  // namespace ravu
