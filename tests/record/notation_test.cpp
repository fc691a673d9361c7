// Move notation: the three layouts byte for byte, and the parser reading the
// list and KIF layouts back; the parser's own cases; the number reader.
#include <gtest/gtest.h>

#include <climits>

#include "record/kif_move.h"
#include "record/notation.h"
#include "record_test_util.h"

namespace ravu {
namespace {

using test::Fields;
using test::Rec;

// Renders the move as an entry, with the move before it (number 0: none) and
// an alternative when asked.
std::string Format(MoveRec m, int mode, MoveRec prevMove = {}, bool alt = false) {
    KifuNode prev{.move = &prevMove};  // also stands as the alternative: only its presence shows
    return FormatMove({.prev = prevMove.number ? &prev : nullptr, .alt = alt ? &prev : nullptr, .move = &m},
                      mode);
}

// Each row is rendered in the tree, list and KIF layouts; the list and KIF
// texts read back (with the move before as 同) give the move again, the list
// without its time, unless the row is marked as not read back.
TEST(Notation, LayoutsByteForByteAndReadBack) {
    const MoveRec none, bishop = Rec(21, 0, 2, 2, PT_KAKU, 1, 8, 8, MS_PROMOTE);
    const struct {
        MoveRec move, prev;
        const char *tree, *list, *kif;
        bool alt = false, readBack = true;
        // clang-format off
    } rows[] = {
        {Rec(1, 0, 7, 6, PT_FU, 0, 7, 7), none, "   1 ▲ ７六歩(77)", "   1 ７六歩(77) ", "   1 ７六歩(77)   ( 0:00/00:00:00)"},
        {Rec(2, 1, 3, 4, PT_FU, 0, 3, 3), none, "   2 ▽ ３四歩(33)", "   2 ３四歩(33) ", "   2 ３四歩(33)   ( 0:00/00:00:00)"},
        {bishop, none, "  21 ▲ ２二角成(88)", "  21 ２二角成(88) ", "  21 ２二角成(88) ( 0:00/00:00:00)"},
        {Rec(22, 1, 2, 2, PT_GIN, 0, 3, 1), bishop, "  22 ▽ 同　銀(31)", "  22 同　銀(31) ", "  22 同　銀(31)   ( 0:00/00:00:00)"},
        {Rec(23, 0, 5, 5, PT_KAKU, 0, 0, 0), none, "  23 ▲ ５五角打", "  23 ５五角打 ", "  23 ５五角打     ( 0:00/00:00:00)"},
        {Rec(3, 0, 2, 6, PT_FU, 0, 2, 7, MS_MOVE, 7425, 400000), none, "   3 ▲ ２六歩(27)", "   3 ２六歩(27) ", "   3 ２六歩(27)   (123:45/111:06:40)"},
        {Rec(40, 1, 3, 3, PT_KEI, 1, 2, 1), Rec(39, 0, 3, 3, PT_FU, 0, 3, 4), "  40 ▽ 同　成桂(21)", "  40 同　成桂(21) ", "  40 同　成桂(21) ( 0:00/00:00:00)"},
        {Rec(2, 1, 8, 4, PT_FU, 0, 8, 3), none, "   2 ▽ ８四歩(83)+", "   2 ８四歩(83) +", "   2 ８四歩(83)   ( 0:00/00:00:00)+", true},
        {Rec(51, 0, 0, 0, 0, 0, 0, 0, MS_RESIGN), none, "  51 投了", "  51 投了", "  51 投了"},
        {Rec(54, 1, 0, 0, 0, 0, 0, 0, MS_RESIGN), none, "  54 投了+", "  54 投了+", "  54 投了+", true},
        {Rec(51, 0, 0, 0, 0, 0, 0, 0, MS_KINGTAKEN), none, "まで51手で先手の勝ち", "まで51手で先手の勝ち", "まで51手で先手の勝ち"},
        {Rec(50, 1, 0, 0, 0, 0, 0, 0, MS_KINGTAKEN), none, "まで50手で後手の勝ち", "まで50手で後手の勝ち", "まで50手で後手の勝ち"},
        {Rec(30, 1, 0, 0, 0, 0, 0, 0, MS_MATE), none, "  30 詰み", "  30 詰み", "  30 詰み"},
        {Rec(31, 0, 0, 0, 0, 0, 0, 0, MS_ABORT), none, "  31 中断", "  31 中断", "  31 中断"},
        // Not read back: the empty entry, five-digit numbers, unknown status, garbage fields.
        {Rec(7, 0, 0, 0, 0, 0, 0, 0), none, "", "", "", false, false},
        {Rec(10000, 1, 1, 1, PT_KYO, 0, 1, 9), none, "0000 ▽ １一香(19)", "0000 １一香(19) ", "0000 １一香(19)   ( 0:00/00:00:00)", false, false},
        {Rec(9, 0, 1, 2, PT_KIN, 0, 1, 3, 99), none, "   9 ▲ １二金(13)", "   9 １二金(13) ", "   9 １二金(13)   ( 0:00/00:00:00)", false, false},
        {Rec(60, 1, 0, 0, 0, 0, 0, 0, MS_SENNICHITE), none, "  60 千日手", "  60 千日手", "  60 千日手", false, false},  // files only
        {Rec(-1, 1, 5, 5, PT_FU, 0, 0, 0, MS_MOVE, -65, -65), none, "  -1 ▽ ５五歩打", "  -1 ５五歩打 ", "  -1 ５五歩打     (-1:-5/00:00:00)", false, false},
        {Rec(INT_MIN, -7, 99, -3, 1234, 5, -1, 77, -9, INT_MAX, INT_MAX), none, "3648 ▽ ？？？(-177)", "3648 ？？？(-177) ",
         "3648 ？？？(-177) (35791394:07/596523:14:07)", false, false},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.kif);
        EXPECT_EQ(Format(r.move, FMT_TREE, r.prev, r.alt), r.tree);
        EXPECT_EQ(Format(r.move, FMT_LIST, r.prev, r.alt), r.list);
        EXPECT_EQ(Format(r.move, FMT_KIF, r.prev, r.alt), r.kif);
        MoveRec kif, list;
        EXPECT_EQ(ParseMoveText(kif, r.kif, r.prev.toFile, r.prev.toRank) +
                      ParseMoveText(list, r.list, r.prev.toFile, r.prev.toRank),
                  r.alt && r.readBack ? 2 : 0);
        list.seconds = r.move.seconds;  // the list layout has no time
        list.totalSeconds = r.move.totalSeconds;
        EXPECT_TRUE(!r.readBack || (Fields(kif) == Fields(r.move) && Fields(list) == Fields(r.move)));
    }
}

// Move lines of any program, read by their parts and shown in the program's
// own layout (同 stands for 2三); "" when the line is not a move line.
TEST(Notation, KifMoveLinesOfOtherPrograms) {
    // clang-format off
    const std::pair<const char*, const char*> rows[] = {
        {"1 ７六歩(77)   ( 0:01/00:00:01)", "   1 ７六歩(77)   ( 0:01/00:00:01)"},
        {"  12 同歩(33) (00:31 / 00:00:31)", "  12 ２三歩(33)   ( 0:31/00:00:31)"},
        {"13 ２二角不成(88)(0:2/0:0:2)", "  13 ２二角(88)   ( 0:02/00:00:02)"},
        {"\t14 ３一全(22)", "  14 ３一成銀(22) ( 0:00/00:00:00)"},
        {"15 5五竜(56)+", "  15 ５五龍(56)   ( 0:00/00:00:00)"},
        {"16 ５５杏(56)", "  16 ５五成香(56) ( 0:00/00:00:00)"},
        {"17 ５五圭(67)", "  17 ５五成桂(67) ( 0:00/00:00:00)"},
        {"18 ５五角打 ( 1:02:03/)", "  18 ５五角打     (62:03/00:00:00)"},
        {"19 ５五香成(59)", "  19 ５五香成(59) ( 0:00/00:00:00)"},
        {"20 切れ負け", "  20 切れ負け"}, {"21 反則勝ち ( 0:00/)", "  21 反則勝ち"}, {"22 Time-up", "  22 切れ負け"},
        {"23 ７六", ""}, {"24 ▲７六歩", ""}, {"25 ７六歩", ""}, {"26 ７〇歩(77)", ""}, {"27 ７六歩(07)", ""}, {"", ""},
    };
    // clang-format on
    for (const auto& [line, shown] : rows) {
        MoveRec m;
        const int read = ReadKifMoveLine(m, line, 2, 3);
        EXPECT_EQ(read ? Format(m, FMT_KIF) : "", shown) << line;
        EXPECT_EQ(read, !*shown                                                      ? 0
                        : std::string_view(line).find('+') != std::string_view::npos ? 2
                                                                                     : 1)
            << line;
    }
}

// Names of every piece type by promotion and status: plain, promotes now,
// promoted before (none for the kings and gold); each name reads back.
TEST(Notation, PieceNamesReadBack) {
    std::string names;
    for (int type = 0; type < PT_COUNT; ++type)
        for (const auto& [promoted, status] : {std::pair(0, 0), std::pair(1, 1), std::pair(1, 0)}) {
            const MoveRec m = Rec(5, 0, 5, 5, type, promoted, 5, 6, status);
            const std::string text = Format(m, FMT_LIST);  // "   5 ５五" name "(56) "
            names += text.substr(9, text.size() - 14) + " ";
            MoveRec back;
            ParseMoveText(back, text, 0, 0);
            EXPECT_TRUE(text.size() == 14 || Fields(back) == Fields(m)) << text;
        }
    EXPECT_EQ(names,
              "王 王成  飛 飛成 龍 角 角成 馬 金 金成  銀 銀成 成銀 "
              "桂 桂成 成桂 香 香成 成香 歩 歩成 と 玉 玉成  ");
}

TEST(Notation, ParserCases) {
    const MoveRec zero;
    const struct {
        std::string text;
        int refFile, refRank;
        MoveRec want;
        // clang-format off
    } rows[] = {
        {"  33 ４三成と(54) ", 0, 0, Rec(33, 0, 4, 3, PT_FU, 1, 5, 4)},  // 成 and no known piece: a pawn
        {"   2 x y 歩(23) ", 3, 4, Rec(2, 1, 3, 4, PT_FU, 0, 2, 3)},  // no file digit: the reference square
        {"   9 ７六歩(77)   (1234/00:00:00)", 0, 0, Rec(9, 0, 7, 6, PT_FU, 0, 7, 7)},  // no ':'
        {"   9 ７六歩(77)   ( 1:05", 0, 0, Rec(9, 0, 7, 6, PT_FU, 0, 7, 7)},           // bracket never closes
        {"   9 ７六歩(77)   ( 0:12/1:02:03)", 0, 0, Rec(9, 0, 7, 6, PT_FU, 0, 7, 7, 0, 12, 3723)},
        {"   9 ７六歩(77)   ( 0:12/-1:00:00)", 0, 0, Rec(9, 0, 7, 6, PT_FU, 0, 7, 7, 0, 12)},  // no negative total
        {"   3 ７六歩(77)   (0:00/" + std::string(40, '9') + ":0:0)", 0, 0, Rec(3, 0, 7, 6, PT_FU, 0, 7, 7, 0, 0, INT_MAX)},
        {"   3 ７六歩(77)   (" + std::string(40, '9') + ":59/00:00:00)", 0, 0, Rec(3, 0, 7, 6, PT_FU, 0, 7, 7, 0, INT_MAX)},
        {"   3 ７六歩(77)   (-" + std::string(40, '9') + ":0/00:00:00)", 0, 0, Rec(3, 0, 7, 6, PT_FU, 0, 7, 7, 0, INT_MIN)},
        {"   9 ７六歩(7", 0, 0, Rec(9, 0, 7, 6, PT_FU, 0, 7, 0)},
        {"まで1234567890123456789012345678901234567890手で先手の勝ち", 0, 0, Rec(INT_MAX, 0, 0, 0, 0, 0, 0, 0, MS_KINGTAKEN)},
        // Text that matches nothing leaves every field zero.
        {"", 3, 3, zero}, {"hello", 3, 3, zero}, {"xyz+", 3, 3, zero}, {"まだ", 3, 3, zero}, {"ま", 3, 3, zero},
        {"#   1 ７六歩(77)", 3, 3, zero}, {std::string("\0\0\0\0\0", 5), 3, 3, zero}, {"\x81", 3, 3, zero},
        {"   0 ７六歩(77)", 3, 3, zero}, {"変化：3手", 3, 3, zero},
    };
    // clang-format on
    for (const auto& r : rows) {
        MoveRec m;
        m.treeItem = 5;
        EXPECT_EQ(ParseMoveText(m, r.text, r.refFile, r.refRank), 0) << r.text;
        EXPECT_EQ(Fields(m), Fields(r.want)) << r.text;
        EXPECT_EQ(m.treeItem, 5);
    }
    // The text between the first `open` and the next `close`; none when `open` is missing.
    std::string out = "old";
    EXPECT_TRUE(!ExtractBetween(out, "a)b", "(", ")") && out == "old");
    EXPECT_TRUE(ExtractBetween(out, "x<<a>>b>>", "<<", ">>") && out == "a");
    EXPECT_TRUE(ExtractBetween(out, "a(b", "(", ")") && out.empty());
}

// The number reader saturates instead of overflowing, exactly at the limits.
TEST(Notation, DecimalValueLikeAtoiWithoutOverflow) {
    // clang-format off
    const std::pair<const char*, int32_t> rows[] = {
        {"  -5", -5}, {"+7x", 7}, {"\t 3", 3}, {"\r4", 4}, {"abc", 0}, {"2147483647", INT_MAX},
        {"2147483648", INT_MAX}, {"-2147483648", INT_MIN}, {"-2147483649", INT_MIN},
    };
    // clang-format on
    for (const auto& [text, value] : rows)
        EXPECT_EQ(DecimalValue(text), value) << text;
}

}  // namespace
}  // namespace ravu
