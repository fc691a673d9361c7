// Move notation: the three layouts byte for byte, the parser, and the round
// trip of every kind of move through the KIF layout.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <random>

#include "record/kifu.h"
#include "record/notation.h"

namespace ravu {
namespace {

// The ten move fields, without the record's tree item and comment.
std::array<int32_t, 10> Fields(const MoveRec& m) {
    return {m.side, m.number, m.toFile, m.toRank, m.type, m.promoted,
            m.fromFile, m.fromRank, m.status, m.seconds};
}

MoveRec Move(int number, int side, int toFile, int toRank, int type, int promoted, int fromFile,
             int fromRank, int status = MS_MOVE, int seconds = 0) {
    MoveRec m;
    m.number = number;
    m.side = side;
    m.toFile = toFile;
    m.toRank = toRank;
    m.type = type;
    m.promoted = promoted;
    m.fromFile = fromFile;
    m.fromRank = fromRank;
    m.status = status;
    m.seconds = seconds;
    return m;
}

struct FormatRow {
    const char* what;
    MoveRec move;
    MoveRec prev;  // number 0: no prev
    const char* tree;
    const char* list;
    const char* kif;
};

TEST(FormatMove, DocumentedRowsByteForByte) {
    const MoveRec none;
    const FormatRow rows[] = {
        {"pawn 7七 to 7六", Move(1, 0, 7, 6, PT_FU, 0, 7, 7), none,
         "   1 ▲ ７六歩(77)", "   1 ７六歩(77) ", "   1 ７六歩(77)   ( 0:00/00:00:00)"},
        {"gote pawn 3三 to 3四", Move(2, 1, 3, 4, PT_FU, 0, 3, 3), none,
         "   2 ▽ ３四歩(33)", "   2 ３四歩(33) ", "   2 ３四歩(33)   ( 0:00/00:00:00)"},
        {"bishop takes and promotes", Move(21, 0, 2, 2, PT_KAKU, 1, 8, 8, MS_PROMOTE), none,
         "  21 ▲ ２二角成(88)", "  21 ２二角成(88) ", "  21 ２二角成(88) ( 0:00/00:00:00)"},
        {"silver recaptures on the same square", Move(22, 1, 2, 2, PT_GIN, 0, 3, 1),
         Move(21, 0, 2, 2, PT_KAKU, 1, 8, 8, MS_PROMOTE),
         "  22 ▽ 同　銀(31)", "  22 同　銀(31) ", "  22 同　銀(31)   ( 0:00/00:00:00)"},
        {"bishop drop", Move(23, 0, 5, 5, PT_KAKU, 0, 0, 0), none,
         "  23 ▲ ５五角打", "  23 ５五角打 ", "  23 ５五角打     ( 0:00/00:00:00)"},
        {"resignation", Move(51, 0, 0, 0, 0, 0, 0, 0, MS_RESIGN), none,
         "  51 投了", "  51 投了", "  51 投了"},
        {"king taken", Move(51, 0, 0, 0, 0, 0, 0, 0, MS_KINGTAKEN), none,
         "まで51手で先手の勝ち", "まで51手で先手の勝ち", "まで51手で先手の勝ち"},
        {"king taken by gote", Move(50, 1, 5, 1, PT_HI, 1, 5, 1, MS_KINGTAKEN), none,
         "まで50手で後手の勝ち", "まで50手で後手の勝ち", "まで50手で後手の勝ち"},
        {"checkmate", Move(30, 1, 0, 0, 0, 0, 0, 0, MS_MATE), none,
         "  30 詰み", "  30 詰み", "  30 詰み"},
        {"interrupted", Move(31, 0, 0, 0, 0, 0, 0, 0, MS_ABORT), none,
         "  31 中断", "  31 中断", "  31 中断"},
        {"the empty entry", Move(7, 0, 0, 0, 0, 0, 0, 0), none, "", "", ""},
        {"65 seconds", Move(3, 0, 2, 6, PT_FU, 0, 2, 7, MS_MOVE, 65), none,
         "   3 ▲ ２六歩(27)", "   3 ２六歩(27) ", "   3 ２六歩(27)   ( 1:05/00:00:00)"},
        {"move 10000 keeps four digits", Move(10000, 1, 1, 1, PT_KYO, 0, 1, 9), none,
         "0000 ▽ １一香(19)", "0000 １一香(19) ", "0000 １一香(19)   ( 0:00/00:00:00)"},
        {"longest move text", Move(40, 1, 3, 3, PT_KEI, 1, 2, 1), Move(39, 0, 3, 3, PT_FU, 0, 3, 4),
         "  40 ▽ 同　成桂(21)", "  40 同　成桂(21) ", "  40 同　成桂(21) ( 0:00/00:00:00)"},
        {"status above 5 renders as a move", Move(9, 0, 1, 2, PT_KIN, 0, 1, 3, 9), none,
         "   9 ▲ １二金(13)", "   9 １二金(13) ", "   9 １二金(13)   ( 0:00/00:00:00)"},
    };
    for (const FormatRow& r : rows) {
        SCOPED_TRACE(r.what);
        KifuNode prev, entry;
        MoveRec pm = r.prev, m = r.move;
        prev.move = &pm;
        entry.move = &m;
        if (pm.number != 0)
            entry.prev = &prev;
        EXPECT_EQ(FormatMove(entry, FMT_TREE), r.tree);
        EXPECT_EQ(FormatMove(entry, FMT_LIST), r.list);
        EXPECT_EQ(FormatMove(entry, FMT_KIF), r.kif);
    }
}

TEST(FormatMove, AlternativeAppendsPlusInEveryLayout) {
    MoveRec m = Move(2, 1, 8, 4, PT_FU, 0, 8, 3), altMove;
    KifuNode entry, alt;
    entry.move = &m;
    alt.move = &altMove;
    entry.alt = &alt;
    EXPECT_EQ(FormatMove(entry, FMT_KIF), "   2 ８四歩(83)   ( 0:00/00:00:00)+");
    EXPECT_EQ(FormatMove(entry, FMT_TREE), "   2 ▽ ８四歩(83)+");
    EXPECT_EQ(FormatMove(entry, FMT_LIST), "   2 ８四歩(83) +");
    MoveRec resign = Move(51, 0, 0, 0, 0, 0, 0, 0, MS_RESIGN);
    entry.move = &resign;
    EXPECT_EQ(FormatMove(entry, FMT_KIF), "  51 投了+");
}

TEST(FormatMove, PieceNamesByPromotionAndStatus) {
    struct Row {
        int type, promoted, status;
        const char* text;  // destination 5五, source (56)
    };
    const Row rows[] = {
        {PT_OU, 0, 0, "５五王(56)"},  {PT_HI, 0, 0, "５五飛(56)"},  {PT_KAKU, 0, 0, "５五角(56)"},
        {PT_KIN, 0, 0, "５五金(56)"}, {PT_GIN, 0, 0, "５五銀(56)"}, {PT_KEI, 0, 0, "５五桂(56)"},
        {PT_KYO, 0, 0, "５五香(56)"}, {PT_FU, 0, 0, "５五歩(56)"},  {PT_GYOKU, 0, 0, "５五玉(56)"},
        {PT_OU, 1, 1, "５五王成(56)"}, {PT_HI, 1, 1, "５五飛成(56)"}, {PT_KIN, 1, 1, "５五金成(56)"},
        {PT_GIN, 1, 1, "５五銀成(56)"}, {PT_FU, 1, 1, "５五歩成(56)"}, {PT_GYOKU, 1, 1, "５五玉成(56)"},
        {PT_OU, 1, 0, "５五(56)"},    {PT_HI, 1, 0, "５五龍(56)"},  {PT_KAKU, 1, 0, "５五馬(56)"},
        {PT_KIN, 1, 0, "５五(56)"},   {PT_GIN, 1, 0, "５五成銀(56)"}, {PT_KEI, 1, 0, "５五成桂(56)"},
        {PT_KYO, 1, 0, "５五成香(56)"}, {PT_FU, 1, 0, "５五と(56)"},  {PT_GYOKU, 1, 0, "５五(56)"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        MoveRec m = Move(5, 0, 5, 5, r.type, r.promoted, 5, 6, r.status);
        KifuNode e;
        e.move = &m;
        EXPECT_EQ(FormatMove(e, FMT_LIST), std::string("   5 ") + r.text + " ");
    }
}

TEST(FormatMove, GarbageFieldsRenderSafely) {
    const MoveRec rows[] = {
        Move(INT_MIN, -7, 99, -3, 1234, 5, -1, 77, -9, INT_MIN),
        Move(INT_MAX, INT_MAX, INT_MIN, INT_MAX, -1, 1, INT_MAX, INT_MIN, MS_PROMOTE, INT_MAX),
        Move(-1, 1, INT_MAX, INT_MAX, PT_FU, 0, 0, 0, MS_MOVE, -65),
        Move(INT_MIN, 0, 0, 0, 0, 0, 0, 0, MS_KINGTAKEN),
    };
    for (const MoveRec& row : rows) {
        MoveRec m = row;
        KifuNode e;
        e.move = &m;
        for (int mode : {FMT_TREE, FMT_LIST, FMT_KIF})
            EXPECT_FALSE(FormatMove(e, mode).empty());
        // Every move line keeps its number field in four columns.
        const std::string kif = FormatMove(e, FMT_KIF);
        if (m.status != MS_KINGTAKEN) {
            EXPECT_EQ(kif[4], ' ');
        }
    }
    MoveRec m = Move(-1, 1, 5, 5, PT_FU, 0, 0, 0, MS_MOVE, -65);
    KifuNode e;
    e.move = &m;
    EXPECT_EQ(FormatMove(e, FMT_KIF), "  -1 ５五歩打     (-1:-5/00:00:00)");
}

struct ParseRow {
    const char* text;
    int refFile, refRank;
    MoveRec want;
    int plus;
};

TEST(ParseMoveText, DocumentedCases) {
    const ParseRow rows[] = {
        {"   1 ７六歩(77)   ( 0:00/00:00:00)", 0, 0, Move(1, 0, 7, 6, PT_FU, 0, 7, 7), 0},
        {"  24 同　角成(88) ( 1:05/00:00:00)+", 2, 2,
         Move(24, 1, 2, 2, PT_KAKU, 1, 8, 8, MS_PROMOTE, 65), 1},
        {"  33 ４三成銀(54) ", 0, 0, Move(33, 0, 4, 3, PT_GIN, 1, 5, 4), 0},
        {"  33 ４三成香(54) ", 0, 0, Move(33, 0, 4, 3, PT_KYO, 1, 5, 4), 0},
        {"  33 ４三成桂(54) ", 0, 0, Move(33, 0, 4, 3, PT_KEI, 1, 5, 4), 0},
        {"  33 ４三成と(54) ", 0, 0, Move(33, 0, 4, 3, PT_FU, 1, 5, 4), 0},  // 成 + no match: pawn
        {"  35 ４三と(44) ", 0, 0, Move(35, 0, 4, 3, PT_FU, 1, 4, 4), 0},
        {"  35 ４三歩成(44) ", 0, 0, Move(35, 0, 4, 3, PT_FU, 1, 4, 4, MS_PROMOTE), 0},
        {"  36 ２八龍(22) ", 0, 0, Move(36, 1, 2, 8, PT_HI, 1, 2, 2), 0},
        {"  37 ９九馬(11) ", 0, 0, Move(37, 0, 9, 9, PT_KAKU, 1, 1, 1), 0},
        {"  23 ５五角打 ", 0, 0, Move(23, 0, 5, 5, PT_KAKU, 0, 0, 0), 0},
        {"  51 投了", 0, 0, Move(51, 0, 0, 0, 0, 0, 0, 0, MS_RESIGN), 0},
        {"  52 中断", 0, 0, Move(52, 1, 0, 0, 0, 0, 0, 0, MS_ABORT), 0},
        {"  53 詰み", 0, 0, Move(53, 0, 0, 0, 0, 0, 0, 0, MS_MATE), 0},
        {"  54 投了+", 0, 0, Move(54, 1, 0, 0, 0, 0, 0, 0, MS_RESIGN), 1},
        {"まで50手で後手の勝ち", 0, 0, Move(50, 1, 0, 0, 0, 0, 0, 0, MS_KINGTAKEN), 0},
        {"まで51手で先手の勝ち", 0, 0, Move(51, 0, 0, 0, 0, 0, 0, 0, MS_KINGTAKEN), 0},
        {"   1 ７六歩(77) ", 0, 0, Move(1, 0, 7, 6, PT_FU, 0, 7, 7), 0},  // list layout
        {"   2 同　歩(23) ", 7, 6, Move(2, 1, 7, 6, PT_FU, 0, 2, 3), 0},
        {"   2 x y 歩(23) ", 3, 4, Move(2, 1, 3, 4, PT_FU, 0, 2, 3), 0},  // no file digit: reference square
        {"   9 ７六歩(77)   (12:34/00:00:00)", 0, 0, Move(9, 0, 7, 6, PT_FU, 0, 7, 7, 0, 754), 0},
        {"   9 ７六歩(77)   (123:45/00:00:00)", 0, 0, Move(9, 0, 7, 6, PT_FU, 0, 7, 7, 0, 7425), 0},
        {"   9 ７六歩(77)   (1234/00:00:00)", 0, 0, Move(9, 0, 7, 6, PT_FU, 0, 7, 7), 0},  // no ':'
        {"   9 ７六歩(77)   ( 1:05", 0, 0, Move(9, 0, 7, 6, PT_FU, 0, 7, 7), 0},  // bracket never closes
        {"   9 ７六歩(7", 0, 0, Move(9, 0, 7, 6, PT_FU, 0, 7, 0), 0},
    };
    for (const ParseRow& r : rows) {
        SCOPED_TRACE(r.text);
        MoveRec m;
        EXPECT_EQ(ParseMoveText(m, r.text, r.refFile, r.refRank), r.plus);
        EXPECT_EQ(m.number, r.want.number);
        EXPECT_EQ(m.side, r.want.side);
        EXPECT_EQ(m.toFile, r.want.toFile);
        EXPECT_EQ(m.toRank, r.want.toRank);
        EXPECT_EQ(m.type, r.want.type);
        EXPECT_EQ(m.promoted, r.want.promoted);
        EXPECT_EQ(m.fromFile, r.want.fromFile);
        EXPECT_EQ(m.fromRank, r.want.fromRank);
        EXPECT_EQ(m.status, r.want.status);
        EXPECT_EQ(m.seconds, r.want.seconds);
    }
}

TEST(ParseMoveText, TextThatMatchesNothingLeavesZeroFields) {
    const std::string texts[] = {
        "", "hello", "+", "まだ", "#   1 ７六歩(77)", std::string("\0\0\0\0\0", 5), "\x81",
        "   0 ７六歩(77)", "変化：3手", "ま"};
    for (const std::string& t : texts) {
        SCOPED_TRACE(t);
        MoveRec m;
        m.treeItem = 5;
        ParseMoveText(m, t, 3, 3);
        EXPECT_EQ(Fields(m), Fields(MoveRec{}));
        EXPECT_EQ(m.treeItem, 5);
    }
    MoveRec m;
    EXPECT_EQ(ParseMoveText(m, "xyz+", 0, 0), 0);  // no number: returns 0, untouched
}

TEST(ParseMoveText, HugeNumbersSaturate) {
    MoveRec m;
    ParseMoveText(m, "まで1234567890123456789012345678901234567890手で先手の勝ち", 0, 0);
    EXPECT_EQ(m.status, MS_KINGTAKEN);
    EXPECT_EQ(m.number, INT_MAX);
    MoveRec t;
    ParseMoveText(t, "   3 ７六歩(77)   (99999999999999999999999999999999999999:59/00:00:00)", 0, 0);
    EXPECT_EQ(t.seconds, INT_MAX);
    MoveRec u;
    ParseMoveText(u, "   3 ７六歩(77)   (-99999999999999999999999999999999999999:0/00:00:00)", 0, 0);
    EXPECT_EQ(u.seconds, INT_MIN);
}

TEST(ParseMoveText, HalfCharactersAtTheEndAreHarmless) {
    const std::string full = "  24 同　角成(88) ( 1:05/00:00:00)+";
    for (std::size_t len = 0; len <= full.size(); ++len) {
        MoveRec m;
        const int plus = ParseMoveText(m, std::string_view(full).substr(0, len), 2, 2);
        EXPECT_EQ(plus, len == full.size() ? 1 : 0);
        if (len >= 4) {
            EXPECT_EQ(m.number, 24);
        }
    }
}

// Every move a game can produce, formatted in the KIF layout and parsed back
// with the square of the move before, gives back every field but the record's
// own (tree item, comment).
TEST(ParseMoveText, KifLayoutRoundTripOfEveryKindOfMove) {
    std::mt19937 rng(12345);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    int checked = 0;
    for (int type = 0; type < PT_COUNT; ++type)
        for (int form = 0; form < 3; ++form) {  // plain, promotes now, promoted before
            const bool hasPromotedName = type != PT_OU && type != PT_KIN && type != PT_GYOKU;
            if (form == 2 && !hasPromotedName)
                continue;
            for (int trial = 0; trial < 200; ++trial) {
                const int number = pick(1, 9999);
                MoveRec prevMove = Move(number - 1, 0, pick(1, 9), pick(1, 9), PT_FU, 0, 0, 0);
                MoveRec m = Move(number, (number & 1) ? 0 : 1, pick(1, 9), pick(1, 9), type,
                                 form == 0 ? 0 : 1, 0, 0, form == 1 ? MS_PROMOTE : MS_MOVE,
                                 trial % 7 == 0 ? pick(6000, 500000) : pick(0, 5999));
                if (trial % 4 == 0) {  // 同: same square as the move before
                    m.toFile = prevMove.toFile;
                    m.toRank = prevMove.toRank;
                }
                if (trial % 3 != 0) {  // from a square; otherwise a drop
                    m.fromFile = pick(1, 9);
                    m.fromRank = pick(1, 9);
                }
                KifuNode prev, e, alt;
                prev.move = &prevMove;
                e.move = &m;
                e.prev = &prev;
                if (trial % 5 == 0)
                    e.alt = &alt;
                const std::string text = FormatMove(e, FMT_KIF);
                if (m.seconds < 6000) {
                    ASSERT_LE(text.size(), 35u);  // under 100 minutes the time field is fixed
                }
                MoveRec back;
                const int plus = ParseMoveText(back, text, prevMove.toFile, prevMove.toRank);
                SCOPED_TRACE(text);
                EXPECT_EQ(plus, e.alt ? 1 : 0);
                EXPECT_EQ(Fields(back), Fields(m));
                ++checked;
            }
        }
    EXPECT_EQ(checked, 24 * 200);
    for (int status : {MS_RESIGN, MS_MATE, MS_ABORT})
        for (int number : {1, 2, 77, 9999}) {
            MoveRec m = Move(number, (number & 1) ? 0 : 1, 0, 0, 0, 0, 0, 0, status);
            KifuNode e;
            e.move = &m;
            MoveRec back;
            ParseMoveText(back, FormatMove(e, FMT_KIF), 0, 0);
            EXPECT_EQ(Fields(back), Fields(m));
        }
}

TEST(ExtractBetween, MarkersAndMissingClose) {
    std::string out = "keep";
    EXPECT_FALSE(ExtractBetween(out, "abc", "(", ")"));
    EXPECT_EQ(out, "keep");
    EXPECT_TRUE(ExtractBetween(out, "x( 1:05/00:00:00)y", "(", ")"));
    EXPECT_EQ(out, " 1:05/00:00:00");
    EXPECT_TRUE(ExtractBetween(out, "a(bc(d)e)", "(", ")"));
    EXPECT_EQ(out, "bc(d");
    EXPECT_TRUE(ExtractBetween(out, "a(never", "(", ")"));
    EXPECT_EQ(out, "");
    EXPECT_TRUE(ExtractBetween(out, "<<x>>", "<<", ">>"));
    EXPECT_EQ(out, "x");
}

TEST(DecimalValue, LikeAtoiWithoutOverflow) {
    struct Row {
        const char* text;
        int32_t value;
    } rows[] = {
        {"", 0}, {"    ", 0}, {"  12", 12}, {"  -5", -5}, {"+7x", 7}, {"12手", 12},
        {"abc", 0}, {"\t 3", 3}, {"99999999999999999999999999999999999999", INT_MAX},
        {"-99999999999999999999999999999999999999", INT_MIN}, {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN}, {"2147483648", INT_MAX},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(DecimalValue(r.text), r.value);
    }
}

}  // namespace
}  // namespace ravu

namespace ravu {
namespace {

// The layouts are Shift-JIS bytes on the wire and in files, whatever the
// compiler does with literals: checked against raw bytes.
TEST(FormatMove, ShiftJisBytes) {
    MoveRec prevMove, m;
    prevMove.toFile = 7;
    prevMove.toRank = 6;
    m.number = 1;
    m.toFile = 7;
    m.toRank = 6;
    m.type = PT_FU;
    m.fromFile = 7;
    m.fromRank = 7;
    KifuNode prev, e;
    prev.move = &prevMove;
    e.move = &m;
    EXPECT_EQ(FormatMove(e, FMT_TREE), "   1 \x81\xa3 \x82\x56\x98\x5a\x95\xe0(77)");
    e.prev = &prev;
    m.side = 1;
    EXPECT_EQ(FormatMove(e, FMT_TREE), "   1 \x81\xa4 \x93\xaf\x81\x40\x95\xe0(77)");
    m.status = MS_RESIGN;
    EXPECT_EQ(FormatMove(e, FMT_LIST), "   1 \x93\x8a\x97\xb9");
}

}  // namespace
}  // namespace ravu
