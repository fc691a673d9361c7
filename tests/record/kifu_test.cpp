// The record tree: recording a game, alternatives and pending entries, the
// tree and list of the record window, and the replay of a real board to list
// lines and tree items.
#include <gtest/gtest.h>

#include <climits>

#include "record/notation.h"
#include "record_test_util.h"
#include "tests/game/position.h"

namespace ravu {
namespace {

using test::Describe;

// Moves from the board (RecordBoardMove) and as text from the peer
// (RecordMoveText), chat lines as comments; what the record window, the peer
// and the file get.
TEST(Kifu, RecordingAGame) {
    CKifuControl rec;
    test::FakeList list;
    test::FakeTree tree;
    rec.listBox = &list;
    rec.BuildTree(&tree);
    rec.AddComment("head");  // before any move: the header's comment
    CShogiBoard board;
    std::vector<std::string> sent;
    auto play = [&](const MoveRec& m) {
        board.ApplyMove(m, true);
        KomaRec& p = board.pieces[board.PieceAt(m.toFile, m.toRank)];
        sent.push_back(rec.RecordBoardMove(p));
        sent.back() += p.moveStatus ? "?" : "";  // the piece's status is consumed
    };
    play(test::Move(SENTE, 7, 7, 7, 6, PT_FU));
    board.ApplyMove(rec.RecordMoveText("   2 ３四歩(33) "), true);
    play(test::Move(SENTE, 8, 8, 2, 2, PT_KAKU, 1, MS_PROMOTE));
    rec.AddComment("a\rb\nc");  // line breaks inside a chat line cannot break the file
    rec.AddComment("");
    board.ApplyMove(rec.RecordMoveText("   4 同　銀(31) "), true);
    play(test::Move(SENTE, 0, 0, 4, 5, PT_KAKU));
    board.pieces[board.PieceAt(5, 1)].moveStatus = MS_KINGTAKEN;
    sent.push_back(rec.RecordBoardMove(board.pieces[board.PieceAt(5, 1)]));
    EXPECT_EQ(sent, (std::vector<std::string>{"   1 ７六歩(77) ", "   3 ２二角成(88) ", "   5 ４五角打 ",
                                              "まで6手で後手の勝ち"}));
    EXPECT_EQ(list.lines, (std::vector<std::string>{"＊＊ 開 始 ＊＊", "   1 ７六歩(77) ", "   2 ３四歩(33) ",
                                                    "   3 ２二角成(88) ", "   4 同　銀(31) ",
                                                    "   5 ４五角打 ", "まで6手で後手の勝ち"}));
    EXPECT_EQ(list.selected, 6);
    EXPECT_EQ(tree.Render(),
              "無題\n     1 ▲ ７六歩(77)\n     2 ▽ ３四歩(33)\n     3 ▲ ２二角成(88)\n     4 ▽ 同　銀(31)\n"
              "     5 ▲ ４五角打\n  まで6手で後手の勝ち\n");
    EXPECT_EQ(tree.expanded, std::vector<int32_t>(7, rec.kifu.header.rootItem));  // on building, on each move
    EXPECT_EQ(rec.KifText("a").substr(rec.KifText("a").rfind("--\r\n") + 4),
              "*head\r\n   1 ７六歩(77)   ( 0:00/00:00:00)\r\n   2 ３四歩(33)   ( 0:00/00:00:00)\r\n"
              "   3 ２二角成(88) ( 0:00/00:00:00)\r\n*a b c\r\n*\r\n   4 同　銀(31)   ( 0:00/00:00:00)\r\n"
              "   5 ４五角打     ( 0:00/00:00:00)\r\nまで6手で後手の勝ち\r\n\r\n");
    EXPECT_EQ(std::tie(rec.kifu.current->move->number, rec.kifu.current->move->side), std::tuple(7, 0));

    KifuHeader& h = rec.kifu.header;
    h.hasStartTime = h.hasEndTime = 1;
    h.handicap = h.senteName = h.goteName = "a";
    rec.kifu.SetTitle("game.kif");
    rec.kifu.SetLine(rec.kifu.Root());
    rec.ClearRecord();
    EXPECT_EQ(rec.KifText("a"), CKifuControl().KifText("a"));
    EXPECT_EQ(tree.Render(), "無題\n");
    EXPECT_TRUE(rec.kifu.current == rec.kifu.Root() && rec.kifu.line.empty() && !rec.kifu.Root()->filled);
    // A resignation on an empty record is move 1 of the side to move.
    EXPECT_EQ(rec.RecordResign(), "   1 投了");
    EXPECT_EQ(std::tie(rec.kifu.Root()->move->status, rec.kifu.Root()->move->side),
              std::tuple(int(MS_RESIGN), 0));
    EXPECT_EQ(list.lines.back(), "   1 投了");
    EXPECT_EQ(list.selected, 1);
    // Move numbers from a peer never overflow.
    rec.ClearRecord();
    rec.RecordMoveText("まで99999999999999999999手で先手の勝ち");
    EXPECT_EQ(rec.kifu.current->move->number, INT_MAX);
    EXPECT_EQ(rec.RecordMoveText("   1 ７六歩(77)").number, 1);
}

// A game recorded as in a network game: the position after every move
// ([k]: after move k) and the entry of every move ([k]: move k).
struct Game {
    explicit Game(int moves) {
        for (int k = 1; k <= moves; ++k)
            Play();
    }
    void Play() {
        rec.RecordBoardMove(
            board.GetPiece(test::RandomMove(board, positions.size() % 2 ? SENTE : GOTE, rng)));
        positions.push_back(Describe(board));
        entry.push_back(rec.kifu.current->prev);
    }
    std::mt19937 rng{7};
    CShogiBoard board;
    CKifuControl rec;
    std::vector<std::string> positions{Describe(board)};
    std::vector<KifuNode*> entry{nullptr};
};

// Along the displayed line, then into a variation and back to the main line.
TEST(KifuReplay, AlongTheLineIntoAVariationAndBack) {
    Game game(30);
    CKifuControl& rec = game.rec;
    CKifu& k = rec.kifu;
    test::FakeTree tree;
    test::FakeList list;
    rec.listBox = &list;
    rec.BuildTree(&tree);
    test::Hosted h;                     // a board with its sound
    rec.GoTo(h.board, 10, 0, nullptr);  // no displayed line yet: the main line
    EXPECT_EQ(Describe(h.board), game.positions[10]);
    EXPECT_TRUE(tree.selected == game.entry[10]->move->treeItem && k.current == game.entry[11]);
    rec.StepTo(h.board, 11);  // the next move plays with its sound
    EXPECT_EQ(Describe(h.board), game.positions[11]);
    EXPECT_TRUE(tree.selected == game.entry[11]->move->treeItem && k.current == game.entry[12]);
    for (int n : {0, -1, 32})
        rec.StepTo(h.board, n);  // outside the displayed line: nothing
    EXPECT_EQ(Describe(h.board), game.positions[11]);
    EXPECT_EQ(h.plays, 1);  // replay to a line is silent
    h.board.Reset();
    rec.GoTo(h.board, 1000, 0, nullptr);  // beyond the end: the whole game
    EXPECT_EQ(Describe(h.board), game.positions[30]);
    // The displayed line holds copies: a move recorded after it was built
    // fills the entry whose copy ends the line, and stepping there plays it.
    game.Play();
    rec.StepTo(h.board, 31);
    EXPECT_EQ(Describe(h.board), game.positions[31]);
    rec.RecordResign();
    game.entry.push_back(game.entry[31]->next);
    rec.Rewind();
    EXPECT_TRUE(k.current == k.Root() && list.selected == 0);
    // The replay stops at the resignation, which the board refuses.
    k.line.clear();
    h.board.Reset();
    rec.GoTo(h.board, 40, 0, nullptr);
    EXPECT_EQ(Describe(h.board), game.positions[31]);
    EXPECT_TRUE(tree.selected == game.entry[32]->move->treeItem && k.current == game.entry[32]);
    tree.selected = 0;
    rec.StepTo(h.board, 32);
    EXPECT_TRUE(tree.selected == 0 && k.current == game.entry[32]);
    rec.BuildTree(nullptr);  // without views
    h.board.Reset();
    rec.GoTo(h.board, 0, 12345, nullptr);
    EXPECT_EQ(Describe(h.board), game.positions[0]);

    // A variation that branches at move 12 and has 5 moves, played on a
    // second game that follows the main line to move 11.
    Game var(0);
    rec.GoTo(var.board, 11, 0, nullptr);
    var.positions.resize(12);
    var.rec.kifu.Root()->move->number = 12;  // the variation's moves are recorded as 12 to 16
    KifuNode* m12 = game.entry[12];
    k.AddAlternative(m12, *m12->move);
    for (KifuNode* at = m12->alt; var.positions.size() < 17; at = at->next) {
        var.Play();
        k.Append(at, *var.entry.back()->move);
    }
    rec.BuildTree(&tree);
    CShogiBoard board;
    rec.GoTo(board, 0, m12->alt->next->next->move->treeItem, &list);  // move 14 of the variation
    // The start line, moves 1-11, the 5 moves of the variation.
    ASSERT_EQ(std::tuple(k.lineIsVariation, list.lines.size(), list.selected), std::tuple(1, 17u, 14));
    EXPECT_TRUE(list.lines[11] == FormatMove(*game.entry[11], FMT_LIST) &&
                list.lines[12] == FormatMove(*m12->alt, FMT_LIST));
    EXPECT_EQ(Describe(board), var.positions[14]);
    rec.StepTo(board, 15);  // the next step follows the displayed line
    EXPECT_EQ(Describe(board), var.positions[15]);
    board.Reset();
    rec.GoTo(board, 0, game.entry[20]->move->treeItem, &list);
    ASSERT_EQ(std::tuple(k.lineIsVariation, list.lines.size(), list.selected), std::tuple(0, 33u, 20));
    EXPECT_EQ(list.lines[12], FormatMove(*m12, FMT_LIST));
    EXPECT_EQ(Describe(board), game.positions[20]);
    EXPECT_EQ(k.current, game.entry[21]);
    board.Reset();
    rec.GoTo(board, 0, k.header.rootItem, &list);  // the top item
    EXPECT_EQ(list.selected, -1);
    EXPECT_EQ(Describe(board), game.positions[0]);
}

}  // namespace
}  // namespace ravu
