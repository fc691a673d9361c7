// Record navigation: the tree and list of the record window, and the replay
// of a real board to list lines and tree items.
#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "fake_views.h"
#include "random_game.h"
#include "game/board.h"
#include "record/kifu.h"
#include "record/notation.h"

namespace ravu {
namespace {

using test::FakeList;
using test::FakeTree;
using test::RandomMove;

using Snapshot = std::vector<std::tuple<int, int, int, int, int>>;

Snapshot Snap(const CShogiBoard& b) {
    Snapshot s;
    for (int i = 0; i < PIECE_COUNT; ++i) {
        const KomaRec& p = b.GetPiece(i);
        s.emplace_back(p.file, p.rank, p.state, p.owner, p.promoted);
    }
    return s;
}

struct Sound : IPieceSound, ISoundSetting {
    bool PlayPieceSound() override {
        ++played;
        return true;
    }
    bool IsSoundOn() const override { return true; }
    int played = 0;
};

// A recorded game: the record (filled through RecordBoardMove, as in a game)
// and the position after every move.
struct Game {
    explicit Game(int moves, uint32_t seed = 7) : rng(seed) {
        positions.push_back(Snap(board));
        for (int k = 1; k <= moves; ++k) {
            const int moved = RandomMove(board, (k & 1) ? 0 : 1, rng);
            EXPECT_GE(moved, 0);
            rec.RecordBoardMove(board.GetPiece(moved));
            positions.push_back(Snap(board));
        }
    }
    std::mt19937 rng;
    CShogiBoard board;
    CKifuControl rec;
    std::vector<Snapshot> positions;  // [k]: after move k
};

KifuNode* MainEntry(CKifu& k, int number) {
    KifuNode* e = k.Root();
    while (e && e->move->number != number)
        e = e->next;
    return e;
}

struct KifuReplay : ::testing::Test {
    KifuReplay() : game(30) {
        game.rec.listBox = &gameList;
        game.rec.BuildTree(&tree);
        board.SetPieceSound(&sound);
        board.SetSoundSetting(&sound);
    }
    Game game;
    FakeTree tree;
    FakeList gameList;
    FakeList list;
    CShogiBoard board;
    Sound sound;
};

TEST_F(KifuReplay, ListLineAfterAGameReplaysTheMainLineSilently) {
    CKifuControl& rec = game.rec;
    ASSERT_TRUE(rec.kifu.line.empty());
    board.Reset();
    rec.GoTo(board, 10, 0, nullptr);
    EXPECT_EQ(rec.kifu.line.size(), 31u);
    EXPECT_EQ(Snap(board), game.positions[10]);
    EXPECT_EQ(sound.played, 0);
    EXPECT_EQ(tree.selected, MainEntry(rec.kifu, 10)->move->treeItem);
    EXPECT_EQ(rec.kifu.current->move->number, 11);

    rec.StepTo(board, 11);
    EXPECT_EQ(Snap(board), game.positions[11]);
    EXPECT_EQ(sound.played, 1);
    EXPECT_EQ(tree.selected, MainEntry(rec.kifu, 11)->move->treeItem);
    EXPECT_EQ(rec.kifu.current->move->number, 12);

    for (int n : {0, -1, 32, 1000}) {
        rec.StepTo(board, n);  // outside the displayed line: nothing
        EXPECT_EQ(Snap(board), game.positions[11]);
    }
    EXPECT_EQ(sound.played, 1);

    board.Reset();
    rec.GoTo(board, 1000, 0, nullptr);  // beyond the end: the whole game
    EXPECT_EQ(Snap(board), game.positions[30]);
}

TEST_F(KifuReplay, StepToBeforeAnyReplayDoesNothing) {
    board.Reset();
    game.rec.StepTo(board, 1);
    EXPECT_EQ(Snap(board), game.positions[0]);
}

TEST_F(KifuReplay, RewindSelectsTheStartLine) {
    board.Reset();
    game.rec.GoTo(board, 5, 0, nullptr);
    game.rec.Rewind();
    EXPECT_EQ(game.rec.kifu.current, game.rec.kifu.Root());
    EXPECT_EQ(gameList.selected, 0);
}

TEST_F(KifuReplay, IntoAVariationAndBackToTheMainLine) {
    CKifu& k = game.rec.kifu;
    // A variation that branches at move 12 and has 5 moves.
    CShogiBoard shadow;
    for (int n = 1; n <= 11; ++n)
        ASSERT_EQ(shadow.ApplyMove(*MainEntry(k, n)->move, true), 1);
    KifuNode* m12 = MainEntry(k, 12);
    k.AddAlternative(m12, *m12->move);
    std::vector<Snapshot> varPositions;
    KifuNode* at = m12->alt;
    for (int i = 0; i < 5; ++i) {
        const int moved = RandomMove(shadow, ((12 + i) & 1) ? 0 : 1, game.rng);
        ASSERT_GE(moved, 0);
        const KomaRec& p = shadow.GetPiece(moved);
        MoveRec m;
        m.number = 12 + i;
        m.side = p.owner;
        m.toFile = p.file;
        m.toRank = p.rank;
        m.type = p.type;
        m.promoted = p.promoted;
        m.fromFile = p.prevFile;
        m.fromRank = p.prevRank;
        m.status = p.moveStatus;
        at = k.Append(at, m)->next;
        varPositions.push_back(Snap(shadow));
    }
    game.rec.BuildTree(&tree);
    KifuNode* v14 = m12->alt->next->next;
    ASSERT_EQ(v14->move->number, 14);
    ASSERT_NE(v14->move->treeItem, 0);

    board.Reset();
    game.rec.GoTo(board, 0, v14->move->treeItem, &list);
    EXPECT_EQ(k.lineIsVariation, 1);
    ASSERT_EQ(list.lines.size(), 17u);  // start line, moves 1-11, the 5 moves of the variation
    EXPECT_EQ(list.lines[0], "＊＊ 開 始 ＊＊");
    EXPECT_EQ(list.lines[11], FormatMove(*MainEntry(k, 11), FMT_LIST));
    EXPECT_EQ(list.lines[12], FormatMove(*m12->alt, FMT_LIST));
    EXPECT_EQ(list.selected, 14);
    EXPECT_EQ(Snap(board), varPositions[2]);

    // The next step follows the displayed line: the variation's move 15.
    game.rec.StepTo(board, 15);
    EXPECT_EQ(Snap(board), varPositions[3]);

    KifuNode* m20 = MainEntry(k, 20);
    board.Reset();
    game.rec.GoTo(board, 0, m20->move->treeItem, &list);
    EXPECT_EQ(k.lineIsVariation, 0);
    EXPECT_EQ(list.lines.size(), 31u);
    EXPECT_EQ(list.lines[12], FormatMove(*m12, FMT_LIST));
    EXPECT_EQ(list.selected, 20);
    EXPECT_EQ(Snap(board), game.positions[20]);
    EXPECT_EQ(k.current, MainEntry(k, 21));
}

TEST_F(KifuReplay, TopItemClearsTheListSelection) {
    list.selected = 4;
    board.Reset();
    game.rec.GoTo(board, 0, game.rec.kifu.header.rootItem, &list);
    EXPECT_EQ(list.selected, -1);
    EXPECT_EQ(Snap(board), game.positions[0]);
}

TEST(KifuReplayEnd, ListReplayStopsAtTheResignation) {
    Game game(6);
    FakeTree tree;
    game.rec.BuildTree(&tree);
    game.rec.RecordResign();
    KifuNode* resign = MainEntry(game.rec.kifu, 7);
    ASSERT_EQ(resign->move->status, MS_RESIGN);
    ASSERT_NE(resign->move->treeItem, 0);
    CShogiBoard board;
    game.rec.GoTo(board, 7, 0, nullptr);
    EXPECT_EQ(Snap(board), game.positions[6]);
    EXPECT_EQ(tree.selected, resign->move->treeItem);
    EXPECT_EQ(game.rec.kifu.current, resign);

    board.Reset();
    game.rec.GoTo(board, 6, 0, nullptr);
    const int32_t before = tree.selected;
    game.rec.StepTo(board, 7);  // the board refuses the end entry
    EXPECT_EQ(Snap(board), game.positions[6]);
    EXPECT_EQ(tree.selected, before);
    EXPECT_EQ(game.rec.kifu.current, resign);
}

TEST(KifuReplayEnd, WorksWithoutViews) {
    Game game(8);
    CShogiBoard board;
    game.rec.GoTo(board, 8, 0, nullptr);
    EXPECT_EQ(Snap(board), game.positions[8]);
    game.rec.BuildTree(nullptr);
    EXPECT_EQ(game.rec.kifu.Root()->move->treeItem, 0);
    board.Reset();
    game.rec.GoTo(board, 0, 12345, nullptr);
    EXPECT_EQ(Snap(board), game.positions[0]);
    game.rec.Rewind();
}

const char* SAMPLE =
    "*head\r\n"
    "   1 ７六歩(77)   ( 0:00/00:00:00)\r\n"
    "*first\r\n"
    "   2 ３四歩(33)   ( 0:00/00:00:00)+\r\n"
    "   3 ２六歩(27)   ( 0:00/00:00:00)+\r\n"
    "   4 ８四歩(83)   ( 0:00/00:00:00)\r\n"
    "\r\n"
    "変化：3手\r\n"
    "   3 ６六歩(67)   ( 0:00/00:00:00)+\r\n"
    "   4 ８四歩(83)   ( 0:00/00:00:00)+\r\n"
    "   5 ６八銀(79)   ( 0:00/00:00:00)\r\n"
    "*deep\r\n"
    "\r\n"
    "変化：4手\r\n"
    "   4 ４四歩(43)   ( 0:00/00:00:00)\r\n"
    "\r\n"
    "変化：3手\r\n"
    "   3 ５六歩(57)   ( 0:00/00:00:00)\r\n"
    "\r\n";

TEST(KifuTree, LayoutOfVariationsAndPendingAlternatives) {
    CKifuControl rec;
    ASSERT_TRUE(rec.LoadKifFromBuffer(SAMPLE, "sample.kif"));
    FakeTree tree;
    rec.BuildTree(&tree);
    const int32_t top = rec.kifu.header.rootItem;
    EXPECT_EQ(tree.ChildHandles(0), std::vector<int32_t>{top});
    EXPECT_EQ(tree.items[top].text, "sample.kif");
    EXPECT_EQ(tree.expanded, std::vector<int32_t>{top});
    EXPECT_EQ(tree.Children(top), (std::vector<std::string>{"   1 ▲ ７六歩(77)", "   2 ▽ ３四歩(33)+",
                                                            "   3 ▲ ２六歩(27)+", "   4 ▽ ８四歩(83)"}));
    // Move 2's "+" has no section: no children.
    const int32_t m2 = tree.HandleOf("   2 ▽ ３四歩(33)+");
    EXPECT_TRUE(tree.Children(m2).empty());
    const int32_t m3 = tree.HandleOf("   3 ▲ ２六歩(27)+");
    EXPECT_EQ(tree.Children(m3), (std::vector<std::string>{"   3 ▲ ６六歩(67)+", "   3 ▲ ５六歩(57)"}));
    const int32_t a3 = tree.HandleOf("   3 ▲ ６六歩(67)+");
    EXPECT_EQ(tree.Children(a3), (std::vector<std::string>{"   4 ▽ ８四歩(83)+", "   5 ▲ ６八銀(79)"}));
    const int32_t a4 = tree.HandleOf("   4 ▽ ８四歩(83)+");
    EXPECT_EQ(tree.Children(a4), std::vector<std::string>{"   4 ▽ ４四歩(43)"});

    EXPECT_EQ(rec.GetComment(top), "*head\r\n");
    EXPECT_EQ(rec.GetComment(tree.HandleOf("   1 ▲ ７六歩(77)")), "first\r\n");
    EXPECT_EQ(rec.GetComment(tree.HandleOf("   5 ▲ ６八銀(79)")), "deep\r\n");
    EXPECT_EQ(rec.GetComment(m2), "");
    EXPECT_EQ(rec.GetComment(0), "");

    // Rebuilding gives the same tree with fresh handles, and old handles
    // are forgotten.
    const int32_t old = tree.HandleOf("   5 ▲ ６八銀(79)");
    rec.BuildTree(&tree);
    EXPECT_EQ(tree.items.size(), 10u);
    EXPECT_EQ(rec.kifu.FindByItem(old, nullptr), nullptr);
}

TEST(KifuTree, FillListShowsTheDisplayedLine) {
    CKifuControl rec;
    ASSERT_TRUE(rec.LoadKifFromBuffer(SAMPLE, "sample.kif"));
    FakeList list;
    rec.kifu.FillList(&list);
    EXPECT_EQ(list.lines, (std::vector<std::string>{"＊＊ 開 始 ＊＊", "   1 ７六歩(77) ", "   2 ３四歩(33) +",
                                                    "   3 ２六歩(27) +", "   4 ８四歩(83) "}));
    EXPECT_EQ(list.selected, 0);
}

}  // namespace
}  // namespace ravu

namespace ravu {
namespace {

// The displayed line holds copies; a move recorded after the line was built
// fills the entry whose copy ends the line, and stepping there plays it.
TEST(KifuReplayEnd, StepOntoAnEntryFilledAfterTheLineWasBuilt) {
    Game game(4);
    CShogiBoard board;
    game.rec.GoTo(board, 4, 0, nullptr);
    ASSERT_EQ(game.rec.kifu.line.size(), 5u);
    const int moved = test::RandomMove(game.board, 0, game.rng);
    ASSERT_GE(moved, 0);
    game.rec.RecordBoardMove(game.board.GetPiece(moved));
    game.rec.StepTo(board, 5);
    EXPECT_EQ(Snap(board), Snap(game.board));
}

}  // namespace
}  // namespace ravu
