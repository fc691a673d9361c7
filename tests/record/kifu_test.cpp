// The record tree and the recording operations of a game.
#include <gtest/gtest.h>

#include <climits>

#include "record/notation.h"
#include "record_test_util.h"

namespace ravu {
namespace {

using test::Fields;
using test::Moves;

KomaRec Piece(int owner, int type, int file, int rank, int prevFile, int prevRank, int promoted = 0,
              int moveStatus = MS_MOVE) {
    KomaRec p{};
    p.owner = owner, p.type = type, p.file = file, p.rank = rank, p.prevFile = prevFile;
    p.prevRank = prevRank, p.promoted = promoted, p.moveStatus = moveStatus, p.state = KS_BOARD;
    return p;
}

struct KifuRecorder : ::testing::Test {
    KifuRecorder() {
        rec.listBox = &list;
        rec.BuildTree(&tree);
    }
    const MoveRec& Last() { return *rec.kifu.current->prev->move; }
    CKifuControl rec;
    test::FakeList list;
    test::FakeTree tree;
};

TEST_F(KifuRecorder, BoardMovesFillTheRootThenAppendAndShow) {
    KomaRec pawn = Piece(0, PT_FU, 7, 6, 7, 7);
    EXPECT_EQ(rec.RecordBoardMove(pawn), "   1 ７六歩(77) ");
    KifuNode* root = rec.kifu.Root();
    EXPECT_EQ(root->filled, 1);
    EXPECT_EQ(Fields(*root->move), (std::array<int32_t, 10>{0, 1, 7, 6, PT_FU, 0, 7, 7, 0, 0}));
    ASSERT_NE(root->next, nullptr);
    EXPECT_EQ(std::tie(root->next->filled, root->next->move->number, root->next->move->side), std::tuple(0, 2, 1));
    EXPECT_EQ(rec.kifu.current, root->next);
    EXPECT_EQ(tree.Children(rec.kifu.header.rootItem), std::vector<std::string>{"   1 ▲ ７六歩(77)"});
    EXPECT_EQ(root->move->treeItem, tree.HandleOf("   1 ▲ ７六歩(77)"));
    EXPECT_EQ(tree.expanded.back(), rec.kifu.header.rootItem);
    const struct {
        KomaRec piece;
        const char* list;
    } rows[] = {
        {Piece(1, PT_FU, 3, 4, 3, 3), "   2 ３四歩(33) "},
        {Piece(0, PT_KAKU, 2, 2, 8, 8, 1, MS_PROMOTE), "   3 ２二角成(88) "},
        {Piece(1, PT_GIN, 2, 2, 3, 1), "   4 同　銀(31) "},
        {Piece(0, PT_KAKU, 4, 5, 0, 0), "   5 ４五角打 "},
        {Piece(1, PT_GIN, 5, 9, 5, 9, 0, MS_KINGTAKEN), "まで6手で後手の勝ち"},
    };
    int n = 1;
    for (auto r : rows) {
        EXPECT_EQ(rec.RecordBoardMove(r.piece), r.list);
        EXPECT_EQ(r.piece.moveStatus, 0);  // the piece's status is consumed
        EXPECT_EQ(list.selected, ++n);
    }
    EXPECT_EQ(list.lines.front(), "＊＊ 開 始 ＊＊");
    EXPECT_EQ(list.lines.size(), 7u);
    EXPECT_EQ(list.lines[1], "   1 ７六歩(77) ");
    EXPECT_EQ(rec.kifu.current->move->number, 7);
}

TEST_F(KifuRecorder, ReceivedMovesKingTakenAndResign) {
    int k = 0;
    for (const char* t : {"   1 ７六歩(77) ", "   2 ３四歩(33) ", "   3 ２二角成(88) ", "   4 同　銀(31) "}) {
        EXPECT_EQ(rec.RecordMoveText(t).number, ++k);
        EXPECT_EQ(list.selected, k);
        EXPECT_EQ(rec.textBuf, t);  // rendered back into the same list text
    }
    EXPECT_EQ(Fields(Last()), (std::array<int32_t, 10>{1, 4, 2, 2, PT_GIN, 0, 3, 1, 0, 0}));
    EXPECT_EQ(list.lines.size(), 5u);
    EXPECT_EQ(rec.RecordResign(), "   5 投了");
    EXPECT_EQ(std::tie(Last().side, Last().number, Last().status), std::tuple(0, 5, int(MS_RESIGN)));
    EXPECT_EQ(list.selected, 5);
    // A king-taken line names its winner: the side that made that move.
    const MoveRec& m = rec.RecordMoveText("まで6手で後手の勝ち");
    EXPECT_EQ(std::tie(m.status, m.side), std::tuple(int(MS_KINGTAKEN), 1));
    EXPECT_EQ(rec.textBuf, "まで6手で後手の勝ち");
}

TEST_F(KifuRecorder, ResignOnEmptyRecordIsMoveOneOfTheSideToMove) {
    EXPECT_EQ(rec.RecordResign(), "   1 投了");
    EXPECT_EQ(std::tie(rec.kifu.Root()->move->status, rec.kifu.Root()->move->side), std::tuple(int(MS_RESIGN), 0));
    EXPECT_EQ(list.lines, (std::vector<std::string>{"＊＊ 開 始 ＊＊", "   1 投了"}));
    EXPECT_EQ(list.selected, 1);
}

TEST_F(KifuRecorder, CommentsMainLineTextAndClear) {
    std::string text;
    rec.GetMainLineText(text);
    EXPECT_EQ(text, ";");
    rec.AddComment("hello");
    EXPECT_EQ(rec.kifu.header.headerComment, "*hello\r\n");
    for (const char* t : {"   1 ７六歩(77) ", "   2 ３四歩(33) "})
        rec.RecordMoveText(t);
    rec.AddComment("一行目");
    rec.AddComment("");
    rec.AddComment("a\rb\nc");  // line breaks inside a chat line cannot break the file
    EXPECT_EQ(Last().comment, "一行目\r\n\r\na b c\r\n");
    EXPECT_EQ(Last().number, 2);
    EXPECT_EQ(rec.kifu.header.headerComment, "*hello\r\n");
    rec.kifu.AddNodeComment(nullptr, "lost");
    text = "x";
    rec.GetMainLineText(text);
    EXPECT_EQ(text, "x   1 ７六歩(77) ;   2 ３四歩(33) ;;");

    KifuHeader& h = rec.kifu.header;
    h.hasStartTime = h.hasEndTime = 1;
    h.handicap = h.senteName = h.goteName = "a";
    rec.kifu.SetTitle("game.kif");
    rec.kifu.SetLine(rec.kifu.Root());
    rec.ClearRecord();
    EXPECT_EQ(h.title, "無題");
    EXPECT_EQ(std::tie(h.hasStartTime, h.hasEndTime), std::tuple(0, 0));
    EXPECT_EQ(h.handicap + h.senteName + h.goteName + h.headerComment, "");
    EXPECT_EQ(std::tie(rec.kifu.Root()->filled, rec.kifu.Root()->move->number), std::tuple(0, 0));
    EXPECT_EQ(rec.kifu.current, rec.kifu.Root());
    EXPECT_TRUE(rec.kifu.line.empty());
    ASSERT_EQ(tree.items.size(), 1u);
    EXPECT_EQ(tree.items.begin()->first, h.rootItem);
    EXPECT_EQ(tree.items.begin()->second.second, "無題");
}

TEST(Kifu, AddMoveLineOnPendingAlternative) {
    CKifu k;
    EXPECT_EQ(k.AddMoveLine(nullptr, "   1 ７六歩(77)"), nullptr);
    KifuNode* f1 = k.AddMoveLine(k.Root(), "   1 ７六歩(77)   ( 0:00/00:00:00)");
    KifuNode* p = k.AddMoveLine(f1, "   2 ３四歩(33)   ( 0:00/00:00:00)+")->alt;
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::tie(p->filled, p->move->number, p->move->side, p->prev), std::tuple(0, 2, 1, f1));
    KifuNode* a = k.AddMoveLine(p, "   2 同　歩(73)   ( 0:00/00:00:00)+");
    EXPECT_EQ(a, p);  // the pending entry itself is filled
    EXPECT_EQ(std::tie(a->filled, a->move->toFile, a->move->toRank), std::tuple(1, 7, 6));  // 同: move 1's square
    ASSERT_NE(a->next, nullptr);
    EXPECT_EQ(std::tie(a->next->filled, a->next->move->number), std::tuple(0, 3));
    ASSERT_NE(a->alt, nullptr);  // a second pending alternative, same number
    EXPECT_EQ(std::tie(a->alt->filled, a->alt->move->number), std::tuple(0, 2));
}

TEST(Kifu, AppendNumbersNeverOverflow) {
    CKifu k;
    MoveRec m;
    m.number = INT_MAX;
    m.status = MS_KINGTAKEN;
    EXPECT_EQ(k.Append(k.Root(), m)->next->move->number, INT_MAX);
    CKifuControl rec;
    rec.RecordMoveText("まで99999999999999999999手で先手の勝ち");
    EXPECT_EQ(rec.RecordMoveText("   1 ７六歩(77)").number, 1);
}

// A record read from text: main line 1..6, alternatives at 2 and 4.
struct KifuBranches : ::testing::Test {
    CKifu k;
    std::vector<KifuNode*> m = Moves(k, k.Root(), 1, 6, {2, 4});
    KifuNode *m2 = m[1], *m4 = m[3];
};

TEST_F(KifuBranches, FindPendingSearchesFromTheEndOfTheMainLine) {
    EXPECT_EQ(k.FindPending(4), m4->alt);
    EXPECT_EQ(k.current, m4->alt);
    EXPECT_EQ(k.FindPending(2), m2->alt);
    EXPECT_EQ(k.FindPending(3), nullptr);
    EXPECT_EQ(k.FindPending(7), nullptr);  // the main line's empty end is never a hit
    EXPECT_EQ(k.current, m2->alt);         // unchanged by a miss
    // The alternative at 2 filled with two moves: its empty end (number 4)
    // is not an alternative and never takes a section.
    EXPECT_EQ(Moves(k, m2->alt, 2, 3).back()->next->move->number, 4);
    EXPECT_EQ(k.FindPending(4), m4->alt);
    Moves(k, m4->alt, 4, 4);
    EXPECT_EQ(k.FindPending(4), nullptr);
}

TEST_F(KifuBranches, FindPendingPrefersNestedAlternativesBelowALaterBranch) {
    KifuNode* nested = Moves(k, m4->alt, 4, 5, {5})[1];
    Moves(k, m2->alt, 2, 5, {5});
    EXPECT_EQ(k.FindPending(5), nested->alt);  // below the later branch point (4) first
}

// A network game of 100,000 moves: recording, searching, the spectators' text,
// the displayed line, the file text and freeing must not grow the stack with
// the length of the line.
TEST(Kifu, HundredThousandMovesOnTheMainLine) {
    CKifuControl rec;  // no views attached
    constexpr int N = 100000;
    for (int i = 1; i <= N; ++i) {
        KomaRec p = Piece((i & 1) ? 0 : 1, PT_HI, 1 + i % 9, 1 + i % 7, 1 + i % 9, 1 + (i + 1) % 7);
        rec.RecordBoardMove(p);
    }
    EXPECT_EQ(rec.RecordResign(), "0001 投了");  // move 100001 in four columns
    EXPECT_EQ(rec.kifu.FindPending(5), nullptr);
    EXPECT_EQ(rec.kifu.FindByItem(12345, nullptr), nullptr);
    std::string text;
    rec.GetMainLineText(text);
    EXPECT_EQ(std::count(text.begin(), text.end(), ';'), N + 2);
    rec.kifu.SetLine(CKifu::EndOfLine(rec.kifu.Root()));
    EXPECT_EQ(rec.kifu.line.size(), std::size_t(N) + 2);
    EXPECT_GT(rec.KifText("long.kif").size(), std::size_t(N) * 35);
    rec.ClearRecord();
    EXPECT_EQ(rec.kifu.Root()->next, nullptr);
}

}  // namespace
}  // namespace ravu
