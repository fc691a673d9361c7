// The move list written in Western and USI notation: origins only where two
// pieces could go, captures, drops, promotions taken and declined, end lines
// and alternatives kept.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record/list_notation.h"

namespace ravu {
namespace {

// The lines as the move list writes them, one after the other from the even game.
std::vector<std::string> ListLinesIn(const std::vector<std::string>& lines, int notation) {
    CListNotation writer("", notation);
    std::vector<std::string> out;
    for (const std::string& line : lines)
        out.push_back(writer.Line(line));
    return out;
}

TEST(ListNotation, WesternAndUsiLines) {
    struct Line {
        const char* japanese;
        const char* western;
        const char* usi;
    } const lines[] = {
        {"＊＊ 開 始 ＊＊", "＊＊ 開 始 ＊＊", "＊＊ 開 始 ＊＊"},
        {"   1 ７六歩(77) +", "   1 P-7f +", "   1 7g7f +"},
        {"   2 ３四歩(33) ", "   2 P-3d", "   2 3c3d"},
        {"   3 ２二角成(88) ", "   3 Bx2b+", "   3 8h2b+"},
        {"   4 同　銀(31) ", "   4 Sx2b", "   4 3a2b"},
        {"   5 ４五角打 ", "   5 B*4e", "   5 B*4e"},
        {"   6 ５二金(61) ", "   6 G6a-5b", "   6 6a5b"},  // the gold on 4一 could go too
        {"   7 ３四角(45) ", "   7 Bx3d", "   7 4e3d"},
        {"   8 ６二銀(71) ", "   8 S-6b", "   8 7a6b"},
        {"   9 ２三角(34) ", "   9 Bx2c=", "   9 3d2c"},
        {"  10 ３二金(41) ", "  10 G-3b", "  10 4a3b"},
        {"  11 ３二角成(23) ", "  11 Bx3b+", "  11 2c3b+"},
        {"  12 ４一玉(51) ", "  12 K-4a", "  12 5a4a"},
        {"  13 ３一馬(32) ", "  13 +B-3a", "  13 3b3a"},
        {"  14 投了", "  14 投了", "  14 投了"},
    };
    std::vector<std::string> japanese, western, usi;
    for (const Line& l : lines) {
        japanese.push_back(l.japanese);
        western.push_back(l.western);
        usi.push_back(l.usi);
    }
    EXPECT_EQ(ListLinesIn(japanese, NOTATION_WESTERN), western);
    EXPECT_EQ(ListLinesIn(japanese, NOTATION_USI), usi);
    EXPECT_EQ(ListLinesIn(japanese, NOTATION_JAPANESE), japanese);
}

}  // namespace
}  // namespace ravu
