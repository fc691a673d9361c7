// The piece table and the two ways a move reaches it: ApplyMove (record or
// peer, no rule checks, garbage refused) and the user's pointer (DropHeld,
// judged: drops, promotion, captures, refusals).
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "game/legal_moves.h"
#include "game/referee.h"
#include "game/repetition.h"
#include "game/sfen.h"
#include "tests/game/position.h"

namespace ravu {
namespace {

using test::Arrange;
using test::Describe;
using test::Move;

TEST(PieceTable, InitialPositionAndReset) {
    test::Hosted h;
    CShogiBoard& board = h.board;
    EXPECT_EQ(
        Describe(board),
        "sFU17 sFU27 sFU37 sFU47 sFU57 sFU67 sFU77 sFU87 sFU97 gFU13 gFU23 gFU33 gFU43 gFU53 gFU63 gFU73 "
        "gFU83 gFU93 sKY19 sKY99 gKY11 gKY91 sKE29 sKE89 gKE21 gKE81 sGI39 sGI79 gGI31 gGI71 sKI49 sKI69 "
        "gKI41 gKI61 sKA88 gKA22 sHI28 gHI82 sGY59 gOU51");
    EXPECT_EQ(board.MarkList(0, 6).size(), 1u);  // the destination lists are filled
    board.ApplyMove(Move(SENTE, 8, 8, 2, 2, PT_KAKU, 1, MS_PROMOTE), true);
    board.boardRect = Rect{0, 0, 1, 1};
    board.Reset();
    const CShogiBoard fresh;
    EXPECT_EQ(std::memcmp(&board.pieces, &fresh.pieces, sizeof board.pieces), 0);
    EXPECT_EQ(std::memcmp(&board.boardRect, &BOARD_RECT, sizeof(Rect)), 0);
    // Sound only when not quiet and switched on; without a setting or a sound, silence.
    board.ApplyMove(Move(SENTE, 7, 7, 7, 6, PT_FU), true);
    h.soundOn = false;
    board.ApplyMove(Move(SENTE, 3, 7, 3, 6, PT_FU), false);
    board.SetSoundSetting(nullptr);
    board.ApplyMove(Move(SENTE, 2, 7, 2, 6, PT_FU), false);
    board.SetSoundSetting(&h);
    board.SetPieceSound(nullptr);
    h.soundOn = true;
    EXPECT_EQ(board.ApplyMove(Move(SENTE, 1, 7, 1, 6, PT_FU), false), 1);
    EXPECT_EQ(h.plays, 0);
}

// Whatever stands on the target goes to the mover's hand; a drop takes the
// first piece of the type in table order.  nullptr: refused, board unchanged.
TEST(ApplyMove, MovesCapturesDropsAndRefusals) {
    const char* const garbage = "sFU77 sKA00";
    const struct {
        const char* position;
        MoveRec move;
        const char* after;
        // clang-format off
    } rows[] = {
        {"gFU23 gFU24 sHI25", Move(SENTE, 2, 5, 2, 4, PT_HI), "gFU23 sFU00 sHI24"},
        {"sFU00 sFU00 sKA00", Move(SENTE, 0, 0, 5, 5, PT_FU), "sFU55 sFU00 sKA00"},
        {"sKI53 sHI55", Move(SENTE, 5, 5, 5, 3, PT_HI), "sKI00 sHI53"},       // no rule check: own gold taken
        {"sGI33 gKA11", Move(SENTE, 1, 1, 3, 3, PT_KAKU), "gGI00 gKA33"},     // the mover's owner, not the side
        {"sGI44", Move(SENTE, 4, 4, 4, 3, PT_GIN, 1, MS_PROMOTE), "s+GI43"},  // promotion from the record
        {"sFU00", Move(SENTE, 0, 0, 9, 9, PT_FU, 1), "s+FU99"},
        // A held piece goes back to its square first, and is taken there.
        {"sFU77* gFU73", Move(GOTE, 7, 3, 7, 7, PT_FU), "gFU00 gFU77"},
        {"sFU77* gFU73", Move(GOTE, 5, 5, 7, 7, PT_FU), nullptr},
        // End entries and garbage.
        {garbage, Move(SENTE, 7, 7, 7, 6, PT_FU, 0, MS_RESIGN), nullptr}, {garbage, Move(SENTE, 7, 7, 7, 6, PT_FU, 0, -1), nullptr},
        {garbage, Move(SENTE, 7, 7, 7, 6, PT_FU, 0, MS_ABORT), nullptr},  {garbage, Move(SENTE, 7, 7, 7, 6, PT_FU, 2), nullptr},
        {garbage, Move(SENTE, 7, 7, 7, 6, PT_FU, -1), nullptr},           {garbage, Move(SENTE, 7, 7, 7, 10, PT_FU), nullptr},
        {garbage, Move(SENTE, 7, 5, 7, 6, PT_FU), nullptr},  // empty source
        {garbage, Move(SENTE, 7, 7, 7, 7, PT_FU), nullptr},  // source is target
        {garbage, Move(SENTE, 0, 0, 7, 6, PT_FU), nullptr},  // none in hand
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.position) + " move " + std::to_string(&r - rows));
        test::Hosted h;
        Arrange(h.board, r.position);
        EXPECT_EQ(h.board.ApplyMove(r.move, false), r.after != nullptr);
        EXPECT_EQ(Describe(h.board), r.after ? r.after : r.position);
        EXPECT_EQ(h.board.GetPiece(h.board.PieceAt(r.move.toFile, r.move.toRank)).moveStatus,
                  r.after ? r.move.status : 0);
        EXPECT_EQ(h.plays, r.after != nullptr);
    }
}

TEST(PieceTable, GarbageIndicesSquaresAndPiecesAreRefused) {
    CShogiBoard board;
    const CShogiBoard before;
    for (int i : {-1, 40, INT_MIN, INT_MAX}) {
        EXPECT_FALSE(board.IsOwner(i, SENTE));
        board.MoveTo(i, 5, 5);
        board.SetState(i, KS_HELD);
        board.RestoreState(i);
        board.Capture(i, GOTE);
        board.PickUp(i, 0, 0);
        EXPECT_EQ(board.DropHeld(i, 300, 100) + board.CanDrop(i, 5, 5) + board.TwoPawns(i, 5), 0);
        EXPECT_EQ(board.AddDest(i, 0, 5, 5) + board.AddDest(6, i, 7, 6) + board.DecidePromotion(i), 0);
        EXPECT_EQ(board.CanDrop(0, i, 5) + board.CanDrop(0, 5, i) + board.TwoPawns(0, i), 0);
        board.GetPiece(i).state = KS_BOARD;  // a spare record that keeps no writes
        EXPECT_EQ(std::as_const(board).GetPiece(i).state, KS_NONE);
        EXPECT_EQ(board.PieceAt(i, 5) + board.PieceAt(5, i), -2);
        board.MoveTo(6, i, 5);
        board.MoveTo(6, 5, i);
    }
    board.Capture(6, -1);
    board.Capture(6, 2);
    board.DropHeld(6, 300, 100);  // not held
    EXPECT_EQ(std::memcmp(&board.pieces, &before.pieces, sizeof board.pieces), 0);
    board.Capture(6, GOTE);
    board.Capture(6, SENTE);  // a piece in hand is not captured again
    std::string want = Describe(before);
    EXPECT_EQ(Describe(board), want.replace(want.find("sFU77"), 5, "gFU00"));
    EXPECT_TRUE(board.MarkList(0, 6).empty());  // its destination list is emptied
    // A gold on 5五 with one field overwritten moves nowhere; nor does any piece to its own square.
    const int gold = Arrange(board, "sKI55")[0];
    const struct {
        int32_t KomaRec::*field;
        int value, toFile, toRank;
    } garbage[] = {{&KomaRec::promoted, 1, 5, 4}, {&KomaRec::owner, 2, 5, 4}, {&KomaRec::owner, -1, 5, 4},
                   {&KomaRec::file, 10, 5, 4},    {&KomaRec::rank, 0, 5, 4},  {&KomaRec::file, 5, 5, 10}};
    for (const auto& g : garbage) {
        KomaRec p = board.pieces[gold];
        p.*g.field = g.value;
        EXPECT_EQ(board.CanMove(p, g.toFile, g.toRank), 0) << &g - garbage;
        EXPECT_EQ(board.PathClearFile(p, g.toFile, g.toRank),
                  OnBoard(p.file, p.rank) && OnBoard(g.toFile, g.toRank));
    }
    // A held piece blocks nothing.
    const std::vector<int> bishop = Arrange(board, "gFU33* sKA11");
    EXPECT_EQ(board.CanMove(board.pieces[bishop[1]], 4, 4), 1);
}

// The user's move: the first piece of the position goes to `to` (0: a point
// off the squares).  `answer` is what the user answers; -1: must not be
// asked.  after: the board then; nullptr: refused, the piece put back.
TEST(UserMove, DropsPromotionCapturesAndRefusals) {
    const struct {
        const char* position;
        int to, answer, status;
        const char* after;
        // clang-format off
    } rows[] = {
        // Forced on the last rank(s), unless promoted already.
        {"sFU52", 51, -1, MS_PROMOTE, "s+FU51"}, {"s+FU52", 51, -1, MS_MOVE, "s+FU51"}, {"sKE34", 22, -1, MS_PROMOTE, "s+KE22"},
        {"sKY55", 51, -1, MS_PROMOTE, "s+KY51"}, {"gFU58", 59, -1, MS_PROMOTE, "g+FU59"}, {"gKE56", 48, -1, MS_PROMOTE, "g+KE48"},
        // Asked on entering, inside or leaving the zone; 0: the dialog was closed.
        {"sFU54", 53, 1, MS_PROMOTE, "s+FU53"},  {"sFU54", 53, 2, MS_MOVE, "sFU53"},    {"sFU54", 53, 0, MS_MOVE, "sFU53"},
        {"sHI52", 56, 1, MS_PROMOTE, "s+HI56"},  {"sKE35", 23, 1, MS_PROMOTE, "s+KE23"}, {"sKY55", 52, 2, MS_MOVE, "sKY52"},
        {"sGI33", 44, 1, MS_PROMOTE, "s+GI44"},  {"sKA99", 33, 1, MS_PROMOTE, "s+KA33"}, {"gKE55", 47, 2, MS_MOVE, "gKE47"},
        {"gGI66", 67, 1, MS_PROMOTE, "g+GI67"},  {"gHI48", 44, 1, MS_PROMOTE, "g+HI44"},
        // Not asked: outside the zone (sente's is not gote's), promoted, gold, king.
        {"sFU55", 54, -1, MS_MOVE, "sFU54"},     {"gHI15", 12, -1, MS_MOVE, "gHI12"},   {"s+HI52", 56, -1, MS_MOVE, "s+HI56"},
        {"s+GI44", 43, -1, MS_MOVE, "s+GI43"},   {"sKI44", 43, -1, MS_MOVE, "sKI43"},   {"sGY52", 51, -1, MS_MOVE, "sGY51"},
        {"gOU58", 59, -1, MS_MOVE, "gOU59"},
        // A capture even when it leaves the own king open; reaching the king ends the game where it stands.
        {"sKI58 gGI48 gHI52 sGY59", 48, -1, MS_MOVE, "sGI00 sKI48 gHI52 sGY59"},
        {"sHI55 sGY59 gOU51", 51, -1, MS_KINGTAKEN, "sHI55 sGY59 gOU51"},
        // Refusals.
        {"sHI28 sFU27", 27, -1, 0, nullptr},     {"sHI28", 37, -1, 0, nullptr},         {"sHI28 gFU26 gFU25", 25, -1, 0, nullptr},
        {"sHI28", 28, -1, 0, nullptr},           {"sHI28", 0, -1, 0, nullptr},          {"sKI00 gFU55", 55, -1, 0, nullptr},
        // Drops never promote; no second unpromoted pawn of a side on a file, no piece where it could never move.
        {"sGI00", 53, -1, 0, "sGI53"},           {"s+HI00", 11, -1, 0, "sHI11"},        {"sFU00 sFU57", 55, -1, 0, nullptr},
        {"sFU00 sFU57", 45, -1, 0, "sFU45 sFU57"}, {"sFU00 s+FU57", 55, -1, 0, "sFU55 s+FU57"},
        {"sFU00 gFU53", 55, -1, 0, "sFU55 gFU53"}, {"gFU00 gFU53", 57, -1, 0, nullptr},
        {"sKY00 sFU57", 55, -1, 0, "sFU57 sKY55"}, {"sKE00", 52, -1, 0, nullptr},  {"sKE00", 53, -1, 0, "sKE53"},
        {"gKE00", 58, -1, 0, nullptr},  {"gKE00", 57, -1, 0, "gKE57"},  {"gKE00", 51, -1, 0, "gKE51"},
        {"sKY00", 51, -1, 0, nullptr},  {"sKY00", 52, -1, 0, "sKY52"},  {"gFU00", 59, -1, 0, nullptr},
        {"gKY00", 58, -1, 0, "gKY58"},  {"sKI00", 51, -1, 0, "sKI51"},  {"gGI00", 59, -1, 0, "gGI59"},
    };
    // clang-format on
    for (int flip = 0; flip <= 1; ++flip)
        for (const auto& r : rows) {
            SCOPED_TRACE(testing::Message() << r.position << " -> " << r.to << " flip " << flip);
            test::Hosted h;
            const int i = Arrange(h.board, r.position)[0];
            const KomaRec before = h.board.pieces[i];
            const std::string unchanged = Describe(h.board);
            h.board.SetFlip(flip);
            h.answer = r.answer < 0 ? 1 : r.answer;
            int x = 135, y = 150;  // inside the board image, left of the squares
            if (r.to)
                test::Centre(h.board, r.to / 10, r.to % 10, x, y);
            h.board.PickUp(i, 300, 150);
            EXPECT_EQ(h.board.DropHeld(i, x, y), r.after != nullptr);
            EXPECT_EQ(Describe(h.board), r.after ? r.after : unchanged);
            const KomaRec& p = h.board.pieces[i];
            EXPECT_EQ(p.moveStatus, r.status);
            EXPECT_EQ(p.prevFile * 10 + p.prevRank, before.file * 10 + before.rank);
            EXPECT_EQ(h.asked, int(r.answer >= 0));
            EXPECT_EQ(h.plays, int(r.after && r.status != MS_KINGTAKEN));
            EXPECT_TRUE(r.answer < 0 || (h.askX == x && h.askY == y));  // asked at the target square
        }
    // Without an asker nothing promotes by choice.
    CShogiBoard board;
    test::UserMove(board, Arrange(board, "sGI44")[0], 43);
    EXPECT_EQ(Describe(board), "sGI43");
}

// The question runs a nested event loop in which a peer message may start a
// new game or take the piece: the answer (promote) is dropped, no move reported.
TEST(UserMove, BoardChangedWhileAsking) {
    for (bool reset : {true, false}) {
        test::Hosted h;
        // The rook leaves the zone for its own starting square, where a reset
        // puts it again: only the new game tells them apart.
        const int i = Arrange(h.board, reset ? "sHI22" : "sGI44 gKI55")[0];
        h.meddle = [&] {
            reset ? h.board.Reset() : void(h.board.ApplyMove(Move(GOTE, 5, 5, 4, 3, PT_KIN), true));
        };
        EXPECT_EQ(test::UserMove(h.board, i, reset ? 28 : 43), 0);
        EXPECT_EQ(h.board.pieces[i].promoted, 0);
        EXPECT_EQ(h.asked, 1);
    }
}

// Positions as SFEN set the table up and read back the same; pieces a
// position does not name are out of play; text the table cannot hold
// leaves the board as it was.
TEST(PieceTable, SfenPositions) {
    // clang-format off
    const std::pair<const char*, int> rows[] = {  // the SFEN, pieces out of play (-1: refused)
        {"lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1", 0},
        {"lnsgkgsnl/9/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1", 2},  // 二枚落ち: 上手 (gote) moves first
        {"8l/4R+B2k/7p1/6s2/9/9/9/9/9 b rb4g3s4n3l17p 1", 1},  // a mate problem: the rest in gote's hand, no sente king
        {"4k4/9/9/9/9/9/9/9/4K4 b 2P 1", 36}, {"+l+n+s+pk4/9/9/9/9/9/9/9/4K4 w - 9", 34},
        {"4k4/9/9/9/9/9/9/9/4K4 b 19P 1", -1}, {"4k4/9/9/9/9/9/9/9/4K4 b K 1", -1}, {"4+g4/9/9/9/9/9/9/9/4K4 b - 1", -1},
        {"4k4/9/9/9/9/9/9/9/4K5 b - 1", -1}, {"4k4/9/9/9/9/9/9/9 b - 1", -1}, {"4k4/9/9/9/9/9/9/9/4K4 x - 1", -1},
        {"kkk6/9/9/9/9/9/9/9/9 b - 1", -1}, {"ppppppppp/ppppppppp/p8/9/9/9/9/9/9 b - 1", -1}, {"", -1},
    };
    // clang-format on
    for (const auto& [sfen, outOfPlay] : rows) {
        CShogiBoard board;
        Arrange(board, "sFU55");
        int side = -1;
        ASSERT_EQ(SetUpSfen(board, sfen, &side), outOfPlay >= 0) << sfen;
        if (outOfPlay < 0) {
            EXPECT_EQ(Describe(board), "sFU55");
            continue;
        }
        const std::string text = sfen;
        EXPECT_EQ(BoardSfen(board, side, std::stoi(text.substr(text.rfind(' ') + 1))), text);
        EXPECT_EQ(std::count_if(board.pieces.begin(), board.pieces.end(),
                                [](const KomaRec& p) { return p.state == KS_NONE; }),
                  outOfPlay)
            << sfen;
    }
}

// Strict rules: a move is legal when one of the legal moves has its
// squares, type and promotion (the rules themselves: legal_moves_test.cpp).
TEST(StrictRules, IsLegalMove) {
    CShogiBoard board;
    Arrange(board, "sFU52 sGY99 gOU19");
    EXPECT_FALSE(IsLegalMove(board, SENTE, Move(SENTE, 5, 2, 5, 1, PT_FU)));  // the last rank unpromoted
    EXPECT_TRUE(IsLegalMove(board, SENTE, Move(SENTE, 5, 2, 5, 1, PT_FU, 1, MS_PROMOTE)));
}

// The fourth time a position stands ends the game: a draw, or a loss for a
// side that gave check with every move since the position first stood.
TEST(StrictRules, FourfoldRepetition) {
    // Both kings step out and back: the start stands again every four moves.
    CShogiBoard board;
    CRepetitionCounter counter;
    counter.Start(PositionKey(board, SENTE));
    const MoveRec cycle[] = {Move(SENTE, 5, 9, 5, 8, PT_GYOKU), Move(GOTE, 5, 1, 5, 2, PT_OU),
                             Move(SENTE, 5, 8, 5, 9, PT_GYOKU), Move(GOTE, 5, 2, 5, 1, PT_OU)};
    std::string results;
    for (int ply = 0; ply < 12; ++ply) {
        const MoveRec& m = cycle[ply % 4];
        board.ApplyMove(m, true);
        results += "0DSG"[int(counter.Record(PositionKey(board, m.side ^ 1), m.side, false))];
    }
    EXPECT_EQ(results, "00000000000D");
    // Sente checks with every move of the cycle (one break: a draw).
    for (bool everyTime : {true, false}) {
        counter.Start("A");
        Repetition last = Repetition::None;
        for (int cycles = 0; cycles < 3; ++cycles)
            for (const char* key : {"B", "C", "D", "A"}) {
                const int mover = *key == 'B' || *key == 'D' ? SENTE : GOTE;
                last = counter.Record(key, mover, mover == SENTE && (everyTime || cycles != 1));
            }
        EXPECT_EQ(last, everyTime ? Repetition::SenteLoses : Repetition::Draw);
    }
}

// Under strict rules the board input takes a held piece only to a square a
// legal move reaches, and marks only those; free games keep the movement.
TEST(StrictJudge, BoardInputTakesOnlyLegalSquares) {
    const struct {
        const char* position;  // the held piece is marked "*"
        int file, rank;
        bool strict, free;
    } rows[] = {
        {"sGY59 sGI58* gHI52 gOU51", 5, 7, true, true},   // the pinned silver stays on its file
        {"sGY59 sGI58* gHI52 gOU51", 4, 7, false, true},  // and may not leave it
        {"sGY59* gKI57 gOU51", 4, 9, true, true},
        {"sGY59* gKI57 gOU51", 4, 8, false, true},        // the king may not step into the gold's reach
        {"sGY59 sFU00* gKA37 gOU51", 4, 8, true, true},   // a drop that blocks the check
        {"sGY59 sFU00* gKA37 gOU51", 2, 5, false, true},  // and one that leaves it
    };
    const CStrictJudge judge;
    for (const auto& r : rows)
        for (bool strict : {true, false}) {
            test::Hosted h;
            test::Arrange(h.board, r.position);
            const int held = h.board.HeldPiece();
            h.board.SetMoveJudge(strict ? &judge : nullptr);
            int x = 0, y = 0;
            test::Centre(h.board, r.file, r.rank, x, y);
            EXPECT_EQ(h.board.DropHeld(held, x, y) == 1, strict ? r.strict : r.free)
                << r.position << " " << strict;
        }
    // The marks of the pinned silver: only the square on the rook's file.
    test::Hosted h;
    const std::vector<int> placed = test::Arrange(h.board, "sGY59 sGI58 gHI52 gOU51");
    h.board.SetMoveJudge(&judge);
    h.board.ComputeAttacks(SENTE);
    EXPECT_EQ(h.board.MarkList(0, placed[1]).size(), 1u);
}

}  // namespace
}  // namespace ravu
