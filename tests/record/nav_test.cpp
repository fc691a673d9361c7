// Record navigation: the tree and list of the record window, and the replay
// of a real board to list lines and tree items.
#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "game/board.h"
#include "random_game.h"
#include "record/notation.h"
#include "record_test_util.h"

namespace ravu {
namespace {

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
    bool PlayPieceSound() override { return ++played; }
    bool IsSoundOn() const override { return true; }
    int played = 0;
};

// A game recorded through RecordBoardMove, as in a network game, with the
// position after every move ([k]: after move k).
struct Game {
    explicit Game(int moves) {
        positions.push_back(Snap(board));
        for (int k = 1; k <= moves; ++k)
            Play((k & 1) ? 0 : 1);
    }
    const KomaRec& Play(int side) {
        const int moved = test::RandomMove(board, side, rng);
        EXPECT_GE(moved, 0);
        rec.RecordBoardMove(board.GetPiece(moved));
        positions.push_back(Snap(board));
        return board.GetPiece(moved);
    }
    KifuNode* Entry(int number) {
        KifuNode* e = rec.kifu.Root();
        while (e && e->move->number != number)
            e = e->next;
        return e;
    }
    std::mt19937 rng{7};
    CShogiBoard board;
    CKifuControl rec;
    std::vector<Snapshot> positions;
};

struct KifuReplay : ::testing::Test {
    KifuReplay() {
        game.rec.listBox = &gameList;
        game.rec.BuildTree(&tree);
        board.SetPieceSound(&sound);
        board.SetSoundSetting(&sound);
    }
    Game game{30};
    test::FakeTree tree;
    test::FakeList gameList, list;
    CShogiBoard board;
    Sound sound;
};

TEST_F(KifuReplay, ListLinesAfterAGame) {
    CKifuControl& rec = game.rec;
    rec.StepTo(board, 1);  // no displayed line yet: nothing
    EXPECT_EQ(Snap(board), game.positions[0]);
    rec.GoTo(board, 10, 0, nullptr);
    EXPECT_EQ(rec.kifu.line.size(), 31u);
    EXPECT_EQ(Snap(board), game.positions[10]);
    EXPECT_EQ(sound.played, 0);  // silent replay
    EXPECT_EQ(tree.selected, game.Entry(10)->move->treeItem);
    EXPECT_EQ(rec.kifu.current, game.Entry(11));

    rec.StepTo(board, 11);  // the next move plays with its sound
    EXPECT_EQ(Snap(board), game.positions[11]);
    EXPECT_EQ(sound.played, 1);
    EXPECT_EQ(tree.selected, game.Entry(11)->move->treeItem);
    EXPECT_EQ(rec.kifu.current, game.Entry(12));
    for (int n : {0, -1, 32, 1000}) {
        rec.StepTo(board, n);  // outside the displayed line: nothing
        EXPECT_EQ(Snap(board), game.positions[11]);
    }
    EXPECT_EQ(sound.played, 1);

    board.Reset();
    rec.GoTo(board, 1000, 0, nullptr);  // beyond the end: the whole game
    EXPECT_EQ(Snap(board), game.positions[30]);
    rec.Rewind();
    EXPECT_EQ(rec.kifu.current, rec.kifu.Root());
    EXPECT_EQ(gameList.selected, 0);
}

TEST_F(KifuReplay, IntoAVariationAndBackToTheMainLine) {
    CKifu& k = game.rec.kifu;
    // A variation that branches at move 12 and has 5 moves, played on a
    // second game that follows the main line to move 11.
    Game var(0);
    for (int n = 1; n <= 11; ++n)
        ASSERT_EQ(var.board.ApplyMove(*game.Entry(n)->move, true), 1);
    KifuNode* m12 = game.Entry(12);
    k.AddAlternative(m12, *m12->move);
    KifuNode* at = m12->alt;
    for (int n = 12; n <= 16; ++n) {
        var.Play((n & 1) ? 0 : 1);
        MoveRec m = *var.rec.kifu.current->prev->move;
        m.number = n, m.treeItem = 0;
        at = k.Append(at, m)->next;
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
    EXPECT_EQ(list.lines[11], FormatMove(*game.Entry(11), FMT_LIST));
    EXPECT_EQ(list.lines[12], FormatMove(*m12->alt, FMT_LIST));
    EXPECT_EQ(list.selected, 14);
    EXPECT_EQ(Snap(board), var.positions[3]);
    game.rec.StepTo(board, 15);  // the next step follows the displayed line
    EXPECT_EQ(Snap(board), var.positions[4]);

    board.Reset();
    game.rec.GoTo(board, 0, game.Entry(20)->move->treeItem, &list);
    EXPECT_EQ(k.lineIsVariation, 0);
    EXPECT_EQ(list.lines.size(), 31u);
    EXPECT_EQ(list.lines[12], FormatMove(*m12, FMT_LIST));
    EXPECT_EQ(list.selected, 20);
    EXPECT_EQ(Snap(board), game.positions[20]);
    EXPECT_EQ(k.current, game.Entry(21));

    board.Reset();
    game.rec.GoTo(board, 0, k.header.rootItem, &list);  // the top item
    EXPECT_EQ(list.selected, -1);
    EXPECT_EQ(Snap(board), game.positions[0]);
}

TEST(KifuReplayEnd, ReplayStopsAtTheResignation) {
    Game game(6);
    test::FakeTree tree;
    game.rec.BuildTree(&tree);
    game.rec.RecordResign();
    KifuNode* resign = game.Entry(7);
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

// Without views; and the displayed line holds copies: a move recorded after
// the line was built fills the entry whose copy ends the line, and stepping
// there plays it.
TEST(KifuReplayEnd, WithoutViewsAndOntoAnEntryFilledLater) {
    Game game(4);
    CShogiBoard board;
    game.rec.GoTo(board, 4, 0, nullptr);
    ASSERT_EQ(game.rec.kifu.line.size(), 5u);
    game.Play(0);
    game.rec.StepTo(board, 5);
    EXPECT_EQ(Snap(board), game.positions[5]);
    game.rec.BuildTree(nullptr);
    board.Reset();
    game.rec.GoTo(board, 0, 12345, nullptr);
    EXPECT_EQ(Snap(board), game.positions[0]);
    game.rec.Rewind();
}

TEST(KifuTree, LayoutOfVariationsPendingAlternativesAndComments) {
    CKifuControl rec;
    ASSERT_TRUE(rec.LoadKifFromBuffer(
        "*head\r\n"
        "   1 ７六歩(77)   ( 0:00/00:00:00)\r\n*first\r\n"
        "   2 ３四歩(33)   ( 0:00/00:00:00)+\r\n"
        "   3 ２六歩(27)   ( 0:00/00:00:00)+\r\n"
        "   4 ８四歩(83)   ( 0:00/00:00:00)\r\n\r\n"
        "変化：3手\r\n"
        "   3 ６六歩(67)   ( 0:00/00:00:00)+\r\n"
        "   4 ８四歩(83)   ( 0:00/00:00:00)+\r\n"
        "   5 ６八銀(79)   ( 0:00/00:00:00)\r\n*deep\r\n\r\n"
        "変化：4手\r\n"
        "   4 ４四歩(43)   ( 0:00/00:00:00)\r\n\r\n"
        "変化：3手\r\n"
        "   3 ５六歩(57)   ( 0:00/00:00:00)\r\n\r\n", "sample.kif"));
    test::FakeTree tree;
    rec.BuildTree(&tree);
    const int32_t top = rec.kifu.header.rootItem;
    EXPECT_EQ(tree.Children(0), std::vector<std::string>{"sample.kif"});
    EXPECT_EQ(tree.expanded, std::vector<int32_t>{top});
    EXPECT_EQ(tree.Children(top), (std::vector<std::string>{"   1 ▲ ７六歩(77)", "   2 ▽ ３四歩(33)+",
                                                            "   3 ▲ ２六歩(27)+", "   4 ▽ ８四歩(83)"}));
    const int32_t m2 = tree.HandleOf("   2 ▽ ３四歩(33)+");
    EXPECT_TRUE(tree.Children(m2).empty());  // a "+" without a section: no children
    EXPECT_EQ(tree.Children(tree.HandleOf("   3 ▲ ２六歩(27)+")),
              (std::vector<std::string>{"   3 ▲ ６六歩(67)+", "   3 ▲ ５六歩(57)"}));
    EXPECT_EQ(tree.Children(tree.HandleOf("   3 ▲ ６六歩(67)+")),
              (std::vector<std::string>{"   4 ▽ ８四歩(83)+", "   5 ▲ ６八銀(79)"}));
    EXPECT_EQ(tree.Children(tree.HandleOf("   4 ▽ ８四歩(83)+")), std::vector<std::string>{"   4 ▽ ４四歩(43)"});

    EXPECT_EQ(rec.GetComment(top), "*head\r\n");
    EXPECT_EQ(rec.GetComment(tree.HandleOf("   1 ▲ ７六歩(77)")), "first\r\n");
    EXPECT_EQ(rec.GetComment(tree.HandleOf("   5 ▲ ６八銀(79)")), "deep\r\n");
    EXPECT_EQ(rec.GetComment(m2), "");
    EXPECT_EQ(rec.GetComment(0), "");

    // Rebuilding gives the same tree with fresh handles; old handles are forgotten.
    const int32_t old = tree.HandleOf("   5 ▲ ６八銀(79)");
    rec.BuildTree(&tree);
    EXPECT_EQ(tree.items.size(), 10u);
    EXPECT_EQ(rec.kifu.FindByItem(old, nullptr), nullptr);
}

}  // namespace
}  // namespace ravu
