// The record tree and the recording operations of a game.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "fake_views.h"
#include "record/kifu.h"
#include "record/notation.h"
#include "record_gen.h"

namespace ravu {
namespace {

using test::FakeList;
using test::FakeTree;
using test::Fields;

KomaRec Piece(int owner, int type, int file, int rank, int prevFile, int prevRank,
              int promoted = 0, int moveStatus = MS_MOVE) {
    KomaRec p{};
    p.owner = owner;
    p.type = type;
    p.file = file;
    p.rank = rank;
    p.prevFile = prevFile;
    p.prevRank = prevRank;
    p.promoted = promoted;
    p.moveStatus = moveStatus;
    p.state = KS_BOARD;
    return p;
}

struct KifuRecorder : ::testing::Test {
    KifuRecorder() {
        rec.listBox = &list;
        rec.BuildTree(&tree);
    }
    CKifuControl rec;
    FakeList list;
    FakeTree tree;
};

TEST_F(KifuRecorder, FirstBoardMoveFillsTheRootAndShowsIt) {
    KomaRec pawn = Piece(0, PT_FU, 7, 6, 7, 7);
    const std::string text = rec.RecordBoardMove(pawn);
    EXPECT_EQ(text, "   1 ７六歩(77) ");
    KifuNode* root = rec.kifu.Root();
    EXPECT_EQ(root->filled, 1);
    EXPECT_EQ(Fields(*root->move), (std::array<int32_t, 10>{0, 1, 7, 6, PT_FU, 0, 7, 7, 0, 0}));
    ASSERT_NE(root->next, nullptr);
    EXPECT_EQ(root->next->filled, 0);
    EXPECT_EQ(root->next->move->number, 2);
    EXPECT_EQ(root->next->move->side, 1);
    EXPECT_EQ(rec.kifu.current, root->next);
    EXPECT_EQ(list.lines, (std::vector<std::string>{"＊＊ 開 始 ＊＊", "   1 ７六歩(77) "}));
    EXPECT_EQ(list.selected, 1);
    EXPECT_EQ(tree.Children(rec.kifu.header.rootItem), std::vector<std::string>{"   1 ▲ ７六歩(77)"});
    EXPECT_EQ(root->move->treeItem, tree.HandleOf("   1 ▲ ７六歩(77)"));
    EXPECT_EQ(tree.expanded.back(), rec.kifu.header.rootItem);
}

TEST_F(KifuRecorder, BoardMovesCopyThePieceAndClearItsStatus) {
    struct Row {
        KomaRec piece;
        const char* list;
    } rows[] = {
        {Piece(0, PT_FU, 7, 6, 7, 7), "   1 ７六歩(77) "},
        {Piece(1, PT_FU, 3, 4, 3, 3), "   2 ３四歩(33) "},
        {Piece(0, PT_KAKU, 2, 2, 8, 8, 1, MS_PROMOTE), "   3 ２二角成(88) "},
        {Piece(1, PT_GIN, 2, 2, 3, 1), "   4 同　銀(31) "},
        {Piece(0, PT_KAKU, 4, 5, 0, 0), "   5 ４五角打 "},
        {Piece(1, PT_GIN, 5, 9, 5, 9, 0, MS_KINGTAKEN), "まで6手で後手の勝ち"},
    };
    int n = 0;
    for (Row& r : rows) {
        ++n;
        EXPECT_EQ(rec.RecordBoardMove(r.piece), r.list);
        EXPECT_EQ(r.piece.moveStatus, 0);
        EXPECT_EQ(list.selected, n);
    }
    EXPECT_EQ(list.lines.size(), 7u);
    EXPECT_EQ(rec.kifu.current->move->number, 7);
}

TEST_F(KifuRecorder, ReceivedMovesSelectTheirLine) {
    const char* texts[] = {"   1 ７六歩(77) ", "   2 ３四歩(33) ", "   3 ２二角成(88) ", "   4 同　銀(31) "};
    int k = 0;
    for (const char* t : texts) {
        ++k;
        const MoveRec& m = rec.RecordMoveText(t);
        EXPECT_EQ(m.number, k);
        EXPECT_EQ(list.selected, k);
        EXPECT_EQ(rec.textBuf, t);  // rendered back into the same list text
    }
    const MoveRec& last = *rec.kifu.current->prev->move;
    EXPECT_EQ(Fields(last), (std::array<int32_t, 10>{1, 4, 2, 2, PT_GIN, 0, 3, 1, 0, 0}));
    EXPECT_EQ(list.lines.front(), "＊＊ 開 始 ＊＊");
    EXPECT_EQ(list.lines.size(), 5u);
}

TEST_F(KifuRecorder, ReceivedKingTakenLineNamesTheMover) {
    rec.RecordMoveText("   1 ７六歩(77) ");
    const MoveRec& m = rec.RecordMoveText("まで2手で後手の勝ち");
    EXPECT_EQ(m.status, MS_KINGTAKEN);
    EXPECT_EQ(m.side, 1);
    EXPECT_EQ(rec.textBuf, "まで2手で後手の勝ち");
}

TEST_F(KifuRecorder, ResignOnEmptyRecordIsMoveOneOfTheSideToMove) {
    EXPECT_EQ(rec.RecordResign(), "   1 投了");
    EXPECT_EQ(rec.kifu.Root()->move->status, MS_RESIGN);
    EXPECT_EQ(rec.kifu.Root()->move->side, 0);
    EXPECT_EQ(list.lines, (std::vector<std::string>{"＊＊ 開 始 ＊＊", "   1 投了"}));
    EXPECT_EQ(list.selected, 1);
}

TEST_F(KifuRecorder, ResignAfterMovesTakesTheNextNumber) {
    rec.RecordMoveText("   1 ７六歩(77) ");
    rec.RecordMoveText("   2 ３四歩(33) ");
    EXPECT_EQ(rec.RecordResign(), "   3 投了");
    const MoveRec& m = *rec.kifu.current->prev->move;
    EXPECT_EQ(m.side, 0);
    EXPECT_EQ(m.number, 3);
    EXPECT_EQ(list.selected, 3);
}

TEST_F(KifuRecorder, CommentsGoToHeaderThenToTheLastMove) {
    rec.AddComment("hello");
    EXPECT_EQ(rec.kifu.header.headerComment, "*hello\r\n");
    for (const char* t : {"   1 ７六歩(77) ", "   2 ３四歩(33) ", "   3 ２六歩(27) ", "   4 ８四歩(83) ",
                          "   5 ２五歩(26) "})
        rec.RecordMoveText(t);
    rec.AddComment("一行目");
    rec.AddComment("second");
    EXPECT_EQ(rec.kifu.current->prev->move->comment, "一行目\r\nsecond\r\n");
    EXPECT_EQ(rec.kifu.current->prev->move->number, 5);
    rec.AddComment("a\rb\nc");  // line breaks inside a chat line cannot break the file
    EXPECT_EQ(rec.kifu.current->prev->move->comment, "一行目\r\nsecond\r\na b c\r\n");
    EXPECT_EQ(rec.kifu.header.headerComment, "*hello\r\n");
}

TEST_F(KifuRecorder, MainLineTextForSpectators) {
    std::string text;
    rec.GetMainLineText(text);
    EXPECT_EQ(text, ";");
    rec.RecordMoveText("   1 ７六歩(77) ");
    rec.RecordMoveText("   2 ３四歩(33) ");
    text = "x";
    rec.GetMainLineText(text);
    EXPECT_EQ(text, "x   1 ７六歩(77) ;   2 ３四歩(33) ;;");
}

TEST_F(KifuRecorder, ClearResetsRecordHeaderAndTree) {
    rec.RecordMoveText("   1 ７六歩(77) ");
    rec.kifu.header.hasStartTime = 1;
    rec.kifu.header.hasEndTime = 1;
    rec.kifu.header.senteName = "a";
    rec.kifu.header.headerComment = "*x\r\n";
    rec.kifu.SetTitle("game.kif");
    rec.ClearRecord();
    EXPECT_EQ(rec.kifu.header.title, "無題");
    EXPECT_EQ(rec.kifu.header.hasStartTime, 0);
    EXPECT_EQ(rec.kifu.header.hasEndTime, 0);
    EXPECT_EQ(rec.kifu.header.senteName, "");
    EXPECT_EQ(rec.kifu.header.headerComment, "");
    EXPECT_EQ(rec.kifu.Root()->filled, 0);
    EXPECT_EQ(rec.kifu.Root()->move->number, 0);
    EXPECT_EQ(rec.kifu.current, rec.kifu.Root());
    EXPECT_TRUE(rec.kifu.line.empty());
    ASSERT_EQ(tree.items.size(), 1u);
    EXPECT_EQ(tree.items.begin()->second.text, "無題");
    EXPECT_EQ(tree.items.begin()->first, rec.kifu.header.rootItem);
}

TEST(Kifu, RecordingWorksWithoutViews) {
    CKifuControl rec;
    KomaRec pawn = Piece(0, PT_FU, 7, 6, 7, 7);
    EXPECT_EQ(rec.RecordBoardMove(pawn), "   1 ７六歩(77) ");
    EXPECT_EQ(rec.RecordResign(), "   2 投了");
    EXPECT_EQ(rec.kifu.Root()->move->treeItem, 0);
}

TEST(Kifu, AddMoveLineOnPendingAlternative) {
    CKifu k;
    KifuNode* f1 = k.AddMoveLine(k.Root(), "   1 ７六歩(77)   ( 0:00/00:00:00)");
    KifuNode* f2 = k.AddMoveLine(f1, "   2 ３四歩(33)   ( 0:00/00:00:00)+");
    ASSERT_NE(f2->alt, nullptr);
    KifuNode* p = f2->alt;
    EXPECT_EQ(p->filled, 0);
    EXPECT_EQ(p->move->number, 2);
    EXPECT_EQ(p->move->side, 1);
    EXPECT_EQ(p->prev, f1);
    KifuNode* a = k.AddMoveLine(p, "   2 同　歩(73)   ( 0:00/00:00:00)+");
    EXPECT_EQ(a, p);  // the pending entry itself is filled
    EXPECT_EQ(a->filled, 1);
    EXPECT_EQ(a->move->toFile, 7);  // 同 refers to move 1, before the branch
    EXPECT_EQ(a->move->toRank, 6);
    ASSERT_NE(a->next, nullptr);
    EXPECT_EQ(a->next->move->number, 3);
    EXPECT_EQ(a->next->filled, 0);
    ASSERT_NE(a->alt, nullptr);  // a second pending alternative, same number
    EXPECT_EQ(a->alt->move->number, 2);
    EXPECT_EQ(a->alt->filled, 0);
    EXPECT_EQ(k.AddMoveLine(nullptr, "   1 ７六歩(77)"), nullptr);
}

TEST(Kifu, AppendNumbersNeverOverflow) {
    CKifu k;
    MoveRec m;
    m.number = INT_MAX;
    m.status = MS_KINGTAKEN;
    KifuNode* f = k.Append(k.Root(), m);
    EXPECT_EQ(f->next->move->number, INT_MAX);
    CKifuControl rec;
    rec.RecordMoveText("まで99999999999999999999手で先手の勝ち");
    rec.RecordMoveText("   1 ７六歩(77)");
    EXPECT_EQ(rec.kifu.current->prev->move->number, 1);
}

// A record read from text: main line 1..6, alternatives at 2 and 4.
struct KifuBranches : ::testing::Test {
    KifuBranches() {
        KifuNode* e = k.Root();
        e = k.AddMoveLine(e, "   1 ７六歩(77) ");
        m2 = e = k.AddMoveLine(e, "   2 ３四歩(33) +");
        e = k.AddMoveLine(e, "   3 ２六歩(27) ");
        m4 = e = k.AddMoveLine(e, "   4 ８四歩(83) +");
        e = k.AddMoveLine(e, "   5 ２五歩(26) ");
        e = k.AddMoveLine(e, "   6 ８五歩(84) ");
    }
    CKifu k;
    KifuNode* m2;
    KifuNode* m4;
};

TEST_F(KifuBranches, FindPendingSearchesFromTheEndOfTheMainLine) {
    EXPECT_EQ(k.FindPending(4), m4->alt);
    EXPECT_EQ(k.current, m4->alt);
    EXPECT_EQ(k.FindPending(2), m2->alt);
    EXPECT_EQ(k.FindPending(3), nullptr);
    EXPECT_EQ(k.FindPending(7), nullptr);  // the main line's empty end is never a hit
    EXPECT_EQ(k.current, m2->alt);         // unchanged by a miss
    // Fill the alternative at 2 with two moves: its empty end (number 4)
    // is not an alternative and never takes a section.
    KifuNode* a = k.AddMoveLine(m2->alt, "   2 ８四歩(83) ");
    a = k.AddMoveLine(a, "   3 ７六歩(77) ");
    EXPECT_EQ(a->next->move->number, 4);
    EXPECT_EQ(k.FindPending(4), m4->alt);
    k.AddMoveLine(m4->alt, "   4 ２五歩(26) ");
    EXPECT_EQ(k.FindPending(4), nullptr);
}

TEST_F(KifuBranches, FindPendingPrefersNestedAlternativesBelowALaterBranch) {
    KifuNode* a = k.AddMoveLine(m4->alt, "   4 ３二金(41) ");
    KifuNode* nested = k.AddMoveLine(a, "   5 ２五歩(26) +");
    KifuNode* outer2 = k.AddMoveLine(m2->alt, "   2 ８四歩(83) ");
    k.AddMoveLine(outer2, "   3 ２六歩(27) ");
    k.AddMoveLine(outer2->next, "   4 ３二金(41) ");
    k.AddMoveLine(outer2->next->next, "   5 ７六歩(77) +");
    // Both alternatives of move 5 are pending; the one below the later
    // branch point (move 4) comes first.
    EXPECT_EQ(k.FindPending(5), nested->alt);
}

TEST_F(KifuBranches, FindByItemFlagsVariations) {
    FakeTree tree;
    k.AddMoveLine(m4->alt, "   4 ３二金(41) ");
    k.BuildTree(&tree);
    int32_t flag = -1;
    EXPECT_EQ(k.FindByItem(k.header.rootItem, &flag), nullptr);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(k.FindByItem(m4->move->treeItem, &flag), m4);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(k.FindByItem(m4->alt->move->treeItem, &flag), m4->alt);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(k.FindByItem(0, &flag), nullptr);  // no item: never an empty entry
    EXPECT_EQ(k.FindByItem(999999, &flag), nullptr);
}

TEST_F(KifuBranches, SetLineCopiesFromTheRoot) {
    k.AddMoveLine(m4->alt, "   4 ３二金(41) ");
    k.SetLine(CKifu::EndOfLine(m4->alt));
    ASSERT_EQ(k.line.size(), 5u);  // moves 1-3, the alternative 4, its empty end
    EXPECT_EQ(k.line[3].move, m4->alt->move);
    EXPECT_EQ(k.line[2].move->number, 3);
    EXPECT_EQ(k.line[4].filled, 0);
    k.SetLine(k.Root());
    EXPECT_EQ(k.line.size(), 1u);
}

TEST(Kifu, NodeCommentsAppendLines) {
    CKifu k;
    k.AddNodeComment(k.Root(), "head");
    EXPECT_EQ(k.header.headerComment, "*head\r\n");
    KifuNode* f = k.AddMoveLine(k.Root(), "   1 ７六歩(77) ");
    k.AddNodeComment(f, "");
    k.AddNodeComment(f, "x");
    EXPECT_EQ(f->move->comment, "\r\nx\r\n");
    k.AddNodeComment(nullptr, "lost");
    EXPECT_EQ(k.header.headerComment, "*head\r\n");
}

// A network game of 100,000 moves: recording, searching, the text for a
// spectator, the displayed line and freeing must not grow the stack with the
// length of the line.
TEST(Kifu, HundredThousandMovesOnTheMainLine) {
    CKifuControl rec;
    constexpr int N = 100000;
    for (int i = 1; i <= N; ++i) {
        KomaRec p = Piece((i & 1) ? 0 : 1, PT_HI, 1 + i % 9, 1 + i % 7, 1 + i % 9, 1 + (i + 1) % 7);
        rec.RecordBoardMove(p);
    }
    rec.AddComment("end");
    EXPECT_EQ(rec.kifu.current->move->number, N + 1);
    EXPECT_EQ(rec.kifu.FindPending(5), nullptr);
    EXPECT_EQ(rec.kifu.FindByItem(12345, nullptr), nullptr);
    std::string text;
    rec.GetMainLineText(text);
    EXPECT_GT(text.size(), std::size_t(N) * 15);
    rec.kifu.SetLine(CKifu::EndOfLine(rec.kifu.Root()));
    EXPECT_EQ(rec.kifu.line.size(), std::size_t(N) + 1);
    const std::string file = rec.KifText("long.kif");
    EXPECT_GT(file.size(), std::size_t(N) * 35);
    // The move read back as text, one at a time, as a spectator receives it.
    CKifuControl copy;
    std::size_t start = 0;
    int entries = 0;
    for (std::size_t semi; (semi = text.find(';', start)) != std::string::npos; start = semi + 1) {
        if (semi > start)
            copy.RecordMoveText(std::string_view(text).substr(start, semi - start));
        ++entries;
    }
    EXPECT_EQ(entries, N + 1);
    // The number field has four columns: move 10000 reads back as "0000".
    int length = 0;
    for (KifuNode* e = copy.kifu.Root(); e; e = e->next)
        ++length;
    EXPECT_EQ(length, N + 1);
    const KifuNode* a = rec.kifu.Root();
    const KifuNode* b = copy.kifu.Root();
    for (int i = 1; i < 54321; ++i, a = a->next, b = b->next) {}
    EXPECT_EQ(b->move->number, 4321);
    auto fa = Fields(*a->move), fb = Fields(*b->move);
    EXPECT_TRUE(std::equal(fa.begin() + 2, fa.end(), fb.begin() + 2));
    rec.ClearRecord();
    EXPECT_EQ(rec.kifu.Root()->next, nullptr);
}

}  // namespace
}  // namespace ravu
