// Move notation: the three layouts byte for byte, the parser, and the round
// trip of every kind of move through the KIF layout.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "record/notation.h"
#include "record_test_util.h"

namespace ravu {
namespace {

using test::Fields;
using test::Move;

// Renders the move as an entry, with the move before it (number 0: none) and
// an alternative when asked.
std::string Format(MoveRec m, int mode, MoveRec prevMove = {}, bool alt = false) {
    MoveRec altMove;
    KifuNode prev, e, a;
    prev.move = &prevMove, e.move = &m, a.move = &altMove;
    e.prev = prevMove.number ? &prev : nullptr;
    e.alt = alt ? &a : nullptr;
    return FormatMove(e, mode);
}

TEST(FormatMove, LayoutsByteForByte) {
    const MoveRec none, bishop = Move(21, 0, 2, 2, PT_KAKU, 1, 8, 8, MS_PROMOTE);
    const struct {
        MoveRec move, prev;
        const char *tree, *list, *kif;
        bool alt = false;
    } rows[] = {
        {Move(1, 0, 7, 6, PT_FU, 0, 7, 7), none, "   1 ▲ ７六歩(77)", "   1 ７六歩(77) ", "   1 ７六歩(77)   ( 0:00/00:00:00)"},
        {Move(2, 1, 3, 4, PT_FU, 0, 3, 3), none, "   2 ▽ ３四歩(33)", "   2 ３四歩(33) ", "   2 ３四歩(33)   ( 0:00/00:00:00)"},
        {bishop, none, "  21 ▲ ２二角成(88)", "  21 ２二角成(88) ", "  21 ２二角成(88) ( 0:00/00:00:00)"},
        {Move(22, 1, 2, 2, PT_GIN, 0, 3, 1), bishop, "  22 ▽ 同　銀(31)", "  22 同　銀(31) ", "  22 同　銀(31)   ( 0:00/00:00:00)"},
        {Move(23, 0, 5, 5, PT_KAKU, 0, 0, 0), none, "  23 ▲ ５五角打", "  23 ５五角打 ", "  23 ５五角打     ( 0:00/00:00:00)"},
        {Move(51, 0, 0, 0, 0, 0, 0, 0, MS_RESIGN), none, "  51 投了", "  51 投了", "  51 投了"},
        {Move(51, 0, 0, 0, 0, 0, 0, 0, MS_KINGTAKEN), none, "まで51手で先手の勝ち", "まで51手で先手の勝ち", "まで51手で先手の勝ち"},
        {Move(50, 1, 5, 1, PT_HI, 1, 5, 1, MS_KINGTAKEN), none, "まで50手で後手の勝ち", "まで50手で後手の勝ち", "まで50手で後手の勝ち"},
        {Move(30, 1, 0, 0, 0, 0, 0, 0, MS_MATE), none, "  30 詰み", "  30 詰み", "  30 詰み"},
        {Move(31, 0, 0, 0, 0, 0, 0, 0, MS_ABORT), none, "  31 中断", "  31 中断", "  31 中断"},
        {Move(7, 0, 0, 0, 0, 0, 0, 0), none, "", "", ""},  // the empty entry
        {Move(3, 0, 2, 6, PT_FU, 0, 2, 7, MS_MOVE, 65), none, "   3 ▲ ２六歩(27)", "   3 ２六歩(27) ", "   3 ２六歩(27)   ( 1:05/00:00:00)"},
        {Move(10000, 1, 1, 1, PT_KYO, 0, 1, 9), none, "0000 ▽ １一香(19)", "0000 １一香(19) ", "0000 １一香(19)   ( 0:00/00:00:00)"},
        {Move(40, 1, 3, 3, PT_KEI, 1, 2, 1), Move(39, 0, 3, 3, PT_FU, 0, 3, 4), "  40 ▽ 同　成桂(21)", "  40 同　成桂(21) ", "  40 同　成桂(21) ( 0:00/00:00:00)"},
        {Move(9, 0, 1, 2, PT_KIN, 0, 1, 3, 9), none, "   9 ▲ １二金(13)", "   9 １二金(13) ", "   9 １二金(13)   ( 0:00/00:00:00)"},  // status > 5
        {Move(2, 1, 8, 4, PT_FU, 0, 8, 3), none, "   2 ▽ ８四歩(83)+", "   2 ８四歩(83) +", "   2 ８四歩(83)   ( 0:00/00:00:00)+", true},
        {Move(51, 0, 0, 0, 0, 0, 0, 0, MS_RESIGN), none, "  51 投了+", "  51 投了+", "  51 投了+", true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.kif);
        EXPECT_EQ(Format(r.move, FMT_TREE, r.prev, r.alt), r.tree);
        EXPECT_EQ(Format(r.move, FMT_LIST, r.prev, r.alt), r.list);
        EXPECT_EQ(Format(r.move, FMT_KIF, r.prev, r.alt), r.kif);
    }
    // Shift-JIS bytes on the wire and in files, whatever the compiler does with literals.
    EXPECT_EQ(Format(Move(1, 1, 7, 6, PT_FU, 0, 7, 7), FMT_TREE, Move(9, 0, 7, 6, 0, 0, 0, 0)),
              "   1 \x81\xa4 \x93\xaf\x81\x40\x95\xe0(77)");
    EXPECT_EQ(Format(Move(1, 0, 7, 6, PT_FU, 0, 7, 7), FMT_TREE), "   1 \x81\xa3 \x82\x56\x98\x5a\x95\xe0(77)");
}

TEST(FormatMove, PieceNamesByPromotionAndStatus) {
    const struct {
        int type;
        const char *plain, *promotesNow, *promotedBefore;
    } rows[] = {
        {PT_OU, "王", "王成", ""},    {PT_HI, "飛", "飛成", "龍"},   {PT_KAKU, "角", "角成", "馬"},
        {PT_KIN, "金", "金成", ""},   {PT_GIN, "銀", "銀成", "成銀"}, {PT_KEI, "桂", "桂成", "成桂"},
        {PT_KYO, "香", "香成", "成香"}, {PT_FU, "歩", "歩成", "と"},  {PT_GYOKU, "玉", "玉成", ""},
    };
    for (const auto& r : rows)
        for (const auto& [promoted, status, name] : {std::tuple(0, 0, r.plain), std::tuple(1, 1, r.promotesNow),
                                                      std::tuple(1, 0, r.promotedBefore)})
            EXPECT_EQ(Format(Move(5, 0, 5, 5, r.type, promoted, 5, 6, status), FMT_LIST),
                      std::string("   5 ５五") + name + "(56) ");
}

TEST(FormatMove, GarbageFieldsRenderSafely) {
    const MoveRec rows[] = {
        Move(INT_MIN, -7, 99, -3, 1234, 5, -1, 77, -9, INT_MIN),
        Move(INT_MAX, INT_MAX, INT_MIN, INT_MAX, -1, 1, INT_MAX, INT_MIN, MS_PROMOTE, INT_MAX),
        Move(INT_MIN, 0, 0, 0, 0, 0, 0, 0, MS_KINGTAKEN),
    };
    for (const MoveRec& m : rows)
        for (int mode : {FMT_TREE, FMT_LIST, FMT_KIF}) {
            const std::string s = Format(m, mode);
            EXPECT_FALSE(s.empty());
            if (m.status != MS_KINGTAKEN) {
                EXPECT_EQ(s[4], ' ');  // the number field keeps its four columns
            }
        }
    EXPECT_EQ(Format(Move(-1, 1, 5, 5, PT_FU, 0, 0, 0, MS_MOVE, -65), FMT_KIF), "  -1 ５五歩打     (-1:-5/00:00:00)");
}

TEST(ParseMoveText, Cases) {
    const MoveRec zero;
    const struct {
        std::string text;
        int refFile, refRank;
        MoveRec want;
        int plus = 0;
    } rows[] = {
        {"   1 ７六歩(77)   ( 0:00/00:00:00)", 0, 0, Move(1, 0, 7, 6, PT_FU, 0, 7, 7)},
        {"  24 同　角成(88) ( 1:05/00:00:00)+", 2, 2, Move(24, 1, 2, 2, PT_KAKU, 1, 8, 8, MS_PROMOTE, 65), 1},
        {"  33 ４三成銀(54) ", 0, 0, Move(33, 0, 4, 3, PT_GIN, 1, 5, 4)},
        {"  33 ４三成香(54) ", 0, 0, Move(33, 0, 4, 3, PT_KYO, 1, 5, 4)},
        {"  33 ４三成桂(54) ", 0, 0, Move(33, 0, 4, 3, PT_KEI, 1, 5, 4)},
        {"  33 ４三成と(54) ", 0, 0, Move(33, 0, 4, 3, PT_FU, 1, 5, 4)},  // 成 + no match: pawn
        {"  35 ４三と(44) ", 0, 0, Move(35, 0, 4, 3, PT_FU, 1, 4, 4)},
        {"  35 ４三歩成(44) ", 0, 0, Move(35, 0, 4, 3, PT_FU, 1, 4, 4, MS_PROMOTE)},
        {"  36 ２八龍(22) ", 0, 0, Move(36, 1, 2, 8, PT_HI, 1, 2, 2)},
        {"  37 ９九馬(11) ", 0, 0, Move(37, 0, 9, 9, PT_KAKU, 1, 1, 1)},
        {"  23 ５五角打 ", 0, 0, Move(23, 0, 5, 5, PT_KAKU, 0, 0, 0)},
        {"  51 投了", 0, 0, Move(51, 0, 0, 0, 0, 0, 0, 0, MS_RESIGN)},
        {"  52 中断", 0, 0, Move(52, 1, 0, 0, 0, 0, 0, 0, MS_ABORT)},
        {"  53 詰み", 0, 0, Move(53, 0, 0, 0, 0, 0, 0, 0, MS_MATE)},
        {"  54 投了+", 0, 0, Move(54, 1, 0, 0, 0, 0, 0, 0, MS_RESIGN), 1},
        {"まで50手で後手の勝ち", 0, 0, Move(50, 1, 0, 0, 0, 0, 0, 0, MS_KINGTAKEN)},
        {"まで51手で先手の勝ち", 0, 0, Move(51, 0, 0, 0, 0, 0, 0, 0, MS_KINGTAKEN)},
        {"まで1234567890123456789012345678901234567890手で先手の勝ち", 0, 0, Move(INT_MAX, 0, 0, 0, 0, 0, 0, 0, MS_KINGTAKEN)},
        {"   1 ７六歩(77) ", 0, 0, Move(1, 0, 7, 6, PT_FU, 0, 7, 7)},  // list layout: no time
        {"   2 同　歩(23) ", 7, 6, Move(2, 1, 7, 6, PT_FU, 0, 2, 3)},
        {"   2 x y 歩(23) ", 3, 4, Move(2, 1, 3, 4, PT_FU, 0, 2, 3)},  // no file digit: reference square
        {"   9 ７六歩(77)   (123:45/00:00:00)", 0, 0, Move(9, 0, 7, 6, PT_FU, 0, 7, 7, 0, 7425)},
        {"   9 ７六歩(77)   (1234/00:00:00)", 0, 0, Move(9, 0, 7, 6, PT_FU, 0, 7, 7)},  // no ':'
        {"   9 ７六歩(77)   ( 1:05", 0, 0, Move(9, 0, 7, 6, PT_FU, 0, 7, 7)},           // bracket never closes
        {"   3 ７六歩(77)   (" + std::string(40, '9') + ":59/00:00:00)", 0, 0, Move(3, 0, 7, 6, PT_FU, 0, 7, 7, 0, INT_MAX)},
        {"   3 ７六歩(77)   (-" + std::string(40, '9') + ":0/00:00:00)", 0, 0, Move(3, 0, 7, 6, PT_FU, 0, 7, 7, 0, INT_MIN)},
        {"   9 ７六歩(7", 0, 0, Move(9, 0, 7, 6, PT_FU, 0, 7, 0)},
        // Text that matches nothing leaves every field zero.
        {"", 3, 3, zero}, {"hello", 3, 3, zero}, {"xyz+", 3, 3, zero}, {"まだ", 3, 3, zero}, {"ま", 3, 3, zero},
        {"#   1 ７六歩(77)", 3, 3, zero}, {std::string("\0\0\0\0\0", 5), 3, 3, zero}, {"\x81", 3, 3, zero},
        {"   0 ７六歩(77)", 3, 3, zero}, {"変化：3手", 3, 3, zero},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        MoveRec m;
        m.treeItem = 5;
        EXPECT_EQ(ParseMoveText(m, r.text, r.refFile, r.refRank), r.plus);
        EXPECT_EQ(Fields(m), Fields(r.want));
        EXPECT_EQ(m.treeItem, 5);
    }
}

TEST(ParseMoveText, HalfCharactersAtTheEndAreHarmless) {
    const std::string full = "  24 同　角成(88) ( 1:05/00:00:00)+";
    for (std::size_t len = 0; len <= full.size(); ++len) {
        MoveRec m;
        EXPECT_EQ(ParseMoveText(m, std::string_view(full).substr(0, len), 2, 2), len == full.size() ? 1 : 0);
        if (len >= 4) {
            EXPECT_EQ(m.number, 24);
        }
    }
}

// Every kind of move, formatted in the KIF layout and parsed back with the
// square of the move before, gives back every field but tree item and comment.
TEST(ParseMoveText, KifLayoutRoundTripOfEveryKindOfMove) {
    std::mt19937 rng(12345);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int type = 0; type < PT_COUNT; ++type)
        for (int form = 0; form < 3; ++form) {  // plain, promotes now, promoted before
            if (form == 2 && (type == PT_OU || type == PT_KIN || type == PT_GYOKU))
                continue;
            for (int trial = 0; trial < 200; ++trial) {
                const int number = pick(1, 9999);
                const MoveRec prev = Move(number - 1, 0, pick(1, 9), pick(1, 9), PT_FU, 0, 0, 0);
                MoveRec m = Move(number, (number & 1) ? 0 : 1, pick(1, 9), pick(1, 9), type, form != 0, 0, 0,
                                 form == 1 ? MS_PROMOTE : MS_MOVE, trial % 7 == 0 ? pick(6000, 500000) : pick(0, 5999));
                if (trial % 4 == 0)  // 同
                    m.toFile = prev.toFile, m.toRank = prev.toRank;
                if (trial % 3 != 0)  // from a square; otherwise a drop
                    m.fromFile = pick(1, 9), m.fromRank = pick(1, 9);
                const std::string text = Format(m, FMT_KIF, prev, trial % 5 == 0);
                SCOPED_TRACE(text);
                if (m.seconds < 6000) {
                    ASSERT_LE(text.size(), 35u);  // under 100 minutes the time field is fixed
                }
                MoveRec back;
                EXPECT_EQ(ParseMoveText(back, text, prev.toFile, prev.toRank), trial % 5 == 0 ? 1 : 0);
                EXPECT_EQ(Fields(back), Fields(m));
            }
        }
    for (int status : {MS_RESIGN, MS_MATE, MS_ABORT})
        for (int number : {1, 2, 77, 9999}) {
            const MoveRec m = Move(number, (number & 1) ? 0 : 1, 0, 0, 0, 0, 0, 0, status);
            MoveRec back;
            ParseMoveText(back, Format(m, FMT_KIF), 0, 0);
            EXPECT_EQ(Fields(back), Fields(m));
        }
}

// The number reader saturates instead of overflowing, exactly at the limits.
TEST(DecimalValue, LikeAtoiWithoutOverflow) {
    const std::pair<const char*, int32_t> rows[] = {
        {"  -5", -5}, {"+7x", 7}, {"\t 3", 3}, {"abc", 0}, {"2147483647", INT_MAX}, {"2147483648", INT_MAX},
        {"-2147483648", INT_MIN}, {"-2147483649", INT_MIN}};
    for (const auto& [text, value] : rows)
        EXPECT_EQ(DecimalValue(text), value) << text;
}

}  // namespace
}  // namespace ravu
