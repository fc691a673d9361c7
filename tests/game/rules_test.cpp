// The move judge on what the movement reference does not reach: garbage
// pieces, held blockers, drops, promotion, and DropHeld, the user's path.
#include <gtest/gtest.h>

#include <climits>

#include "tests/game/position.h"

namespace ravu {
namespace {

using namespace test;

TEST(CanMove, RefusesNonPiecesAndGarbage) {
    CShogiBoard board;
    Arrange(board, "sKI55");
    const KomaRec p = board.pieces[board.PieceAt(5, 5)];
    EXPECT_EQ(board.CanMove(p, 5, 5), 0);  // no displacement
    struct Garbage {
        int type, promoted, owner, file, rank, toFile, toRank;
    } cases[] = {
        {PT_KIN, 1, SENTE, 5, 5, 5, 4},  // promoted gold, king: no such piece
        {PT_OU, 1, SENTE, 5, 5, 5, 4},        {PT_GYOKU, 1, SENTE, 5, 5, 5, 4},
        {PT_KIN, 0, SENTE, 5, 5, 5, 10},      {PT_KIN, 0, SENTE, 5, 5, INT_MIN, 4},
        {PT_KIN, 0, SENTE, INT_MAX, 5, 5, 4}, {PT_KIN, 0, SENTE, 5, -1, 5, 4},
        {PT_KIN, 0, 7, 5, 5, 5, 4},           {99, 0, SENTE, 5, 5, 5, 4},
        {-1, 0, SENTE, 5, 5, 5, 4},           {PT_KIN, INT_MAX, SENTE, 5, 5, 5, 4},
        {PT_KIN, -1, SENTE, 5, 5, 5, 4},      {PT_HI, 0, SENTE, 5, 5, 5, INT_MIN},
    };
    for (const Garbage& g : cases) {
        KomaRec q = p;
        q.type = g.type;
        q.promoted = g.promoted;
        q.owner = g.owner;
        q.file = g.file;
        q.rank = g.rank;
        EXPECT_EQ(board.CanMove(q, g.toFile, g.toRank), 0) << g.type << " " << g.promoted << " " << g.file;
        EXPECT_EQ(board.PathClearFile(q, g.toFile, g.toRank),
                  g.toFile == 5 && OnBoard(g.file, g.rank) && OnBoard(g.toFile, g.toRank));
        board.PathClearRank(q, g.toFile, g.toRank);
        board.PathClearDiag(q, g.toFile, g.toRank);
    }
}

TEST(CanMove, HeldPiecesDoNotBlock) {
    CShogiBoard board;
    Arrange(board, "sHI55 sKA11 gFU33");
    const int bishop = board.PieceAt(1, 1);
    EXPECT_EQ(board.CanMove(board.pieces[bishop], 4, 4), 0);
    board.PickUp(board.PieceAt(3, 3), 0, 0);
    EXPECT_EQ(board.CanMove(board.pieces[bishop], 4, 4), 1);
    EXPECT_EQ(board.CanMove(board.pieces[bishop], 9, 9), 0);  // the rook on 5五 still blocks
}

TEST(CanDrop, PawnsKnightsLances) {
    struct Case {
        const char* position;  // the first piece in hand is dropped
        int file, rank, allowed;
    } cases[] = {
        {"sFU00 sFU57", 5, 5, 0},   {"sFU00 sFU57", 4, 5, 1},
        {"sFU00 s+FU57", 5, 5, 1},  // a promoted pawn does not count
        {"sFU00 gFU53", 5, 5, 1},   // nor the other side's pawn
        {"gFU00 gFU53", 5, 7, 0},   {"sKE00", 5, 1, 0}, {"sKE00", 5, 2, 0}, {"sKE00", 5, 3, 1},
        {"gKE00", 5, 9, 0}, {"gKE00", 5, 8, 0}, {"gKE00", 5, 7, 1}, {"gKE00", 5, 1, 1},
        {"sKY00", 5, 1, 0}, {"sKY00", 5, 2, 1}, {"sFU00", 5, 1, 0}, {"sFU00", 5, 2, 1},
        {"gKY00", 5, 9, 0}, {"gKY00", 5, 8, 1}, {"gFU00", 5, 9, 0}, {"gFU00", 5, 1, 1},
        {"sKI00", 5, 1, 1}, {"gGI00", 5, 9, 1}, {"sHI00", 1, 1, 1},
        {"sFU00", 0, 5, 0}, {"sFU00", 5, 10, 0}, {"sFU00", INT_MIN, 5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.position << " " << c.file << c.rank);
        CShogiBoard board;
        Arrange(board, c.position);
        const int inHand = At(board, 0, 0);
        EXPECT_EQ(board.CanDrop(inHand, c.file, c.rank), c.allowed);
        // Through the pointer the same answer; a refused piece stays in hand.
        if (OnBoard(c.file, c.rank)) {
            EXPECT_EQ(UserMove(board, inHand, c.file, c.rank), c.allowed);
            EXPECT_EQ(board.pieces[inHand].state, c.allowed ? KS_BOARD : KS_HAND);
        }
    }
    CShogiBoard board;
    EXPECT_EQ(board.CanDrop(-1, 5, 5), 0);
    EXPECT_EQ(board.CanDrop(40, 5, 5), 0);
    EXPECT_EQ(board.TwoPawns(INT_MIN, 5), 0);
    EXPECT_EQ(board.TwoPawns(0, 7), 1);   // the sente pawn on 7七
    EXPECT_EQ(board.TwoPawns(18, 7), 0);  // a lance is never a second pawn
    EXPECT_EQ(board.TwoPawns(0, INT_MAX), 0);
}

TEST(Promotion, WhenAskedAndWhenForced) {
    struct Case {
        const char* position;
        int fromFile, fromRank, toFile, toRank;
        int answer;  // what the user answers if asked
        bool asked;
        int promoted, status;
    } cases[] = {
        // forced on the last rank(s), unless promoted already
        {"sFU52", 5, 2, 5, 1, 2, false, 1, MS_PROMOTE},  {"s+FU52", 5, 2, 5, 1, 2, false, 1, MS_MOVE},
        {"sKE34", 3, 4, 2, 2, 2, false, 1, MS_PROMOTE},  {"sKY55", 5, 5, 5, 1, 2, false, 1, MS_PROMOTE},
        {"gFU58", 5, 8, 5, 9, 2, false, 1, MS_PROMOTE},  {"gKE56", 5, 6, 4, 8, 2, false, 1, MS_PROMOTE},
        // asked on entering, inside or leaving the zone; 0 = dialog closed
        {"sFU54", 5, 4, 5, 3, 1, true, 1, MS_PROMOTE},   {"sFU54", 5, 4, 5, 3, 2, true, 0, MS_MOVE},
        {"sFU54", 5, 4, 5, 3, 0, true, 0, MS_MOVE},      {"sHI52", 5, 2, 5, 6, 1, true, 1, MS_PROMOTE},
        {"sKE35", 3, 5, 2, 3, 1, true, 1, MS_PROMOTE},   {"sKY55", 5, 5, 5, 2, 2, true, 0, MS_MOVE},
        {"sGI33", 3, 3, 4, 4, 1, true, 1, MS_PROMOTE},   {"sKA99", 9, 9, 3, 3, 1, true, 1, MS_PROMOTE},
        {"gKE55", 5, 5, 4, 7, 2, true, 0, MS_MOVE},      {"gGI66", 6, 6, 6, 7, 1, true, 1, MS_PROMOTE},
        {"gHI48", 4, 8, 4, 4, 1, true, 1, MS_PROMOTE},
        // not asked: outside the zone (sente's zone is not gote's), promoted, gold, king
        {"sFU55", 5, 5, 5, 4, 1, false, 0, MS_MOVE},     {"gHI15", 1, 5, 1, 2, 1, false, 0, MS_MOVE},
        {"s+HI52", 5, 2, 5, 6, 2, false, 1, MS_MOVE},    {"s+GI44", 4, 4, 4, 3, 2, false, 1, MS_MOVE},
        {"sKI44", 4, 4, 4, 3, 1, false, 0, MS_MOVE},     {"sGY52", 5, 2, 5, 1, 1, false, 0, MS_MOVE},
        {"gOU58", 5, 8, 5, 9, 1, false, 0, MS_MOVE},
    };
    for (int flip = 0; flip <= 1; ++flip) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.position << "->" << c.toFile << c.toRank << " answer " << c.answer
                                            << " flip " << flip);
            CShogiBoard board;
            FakeAsker asker;
            asker.answer = c.answer;
            board.SetPromotionAsker(&asker);
            Arrange(board, c.position);
            board.SetFlip(flip);
            const int i = board.PieceAt(c.fromFile, c.fromRank);
            ASSERT_EQ(UserMove(board, i, c.toFile, c.toRank), 1);
            const KomaRec& p = board.pieces[i];
            EXPECT_EQ(asker.calls, c.asked ? 1 : 0);
            EXPECT_TRUE(p.promoted == c.promoted && p.moveStatus == c.status);
            EXPECT_EQ(p.image, CShogiBoard::ImageCell(p.type, p.promoted, p.owner, flip));
            int x = 0, y = 0;
            Centre(board, c.toFile, c.toRank, x, y);
            if (c.asked) {  // the question is shown at the target square
                EXPECT_TRUE(asker.lastX == x && asker.lastY == y);
            }
        }
    }
    // Without an asker nothing promotes by choice.
    CShogiBoard board;
    Arrange(board, "sGI44");
    ASSERT_EQ(UserMove(board, board.PieceAt(4, 4), 4, 3), 1);
    EXPECT_EQ(board.pieces[board.PieceAt(4, 3)].promoted, 0);
    board.DecidePromotion(-1);
    board.DecidePromotion(INT_MAX);
}

// The promotion question runs a nested event loop: a peer message handled
// there may start a new game or take the piece.  The answer must then not be
// written into the new position, and the move is not reported as made.
TEST(Promotion, BoardChangedWhileAsking) {
    struct MeddlingAsker : FakeAsker {
        CShogiBoard* board = nullptr;
        void (*meddle)(CShogiBoard&) = nullptr;
        int AskPromotion(int x, int y) override {
            meddle(*board);
            return FakeAsker::AskPromotion(x, y);
        }
    };
    struct Case {
        const char* what;
        const char* position;
        int fromFile, fromRank, toFile, toRank;
        void (*meddle)(CShogiBoard&);
        int result;
    } cases[] = {
        {"nothing happens", "sHI22", 2, 2, 2, 8, [](CShogiBoard&) {}, 1},
        // The rook leaves the zone for its own starting square, and a reset puts
        // the same rook back there: only the new game tells them apart.
        {"new game", "sHI22", 2, 2, 2, 8, [](CShogiBoard& b) { b.Reset(); }, 0},
        {"piece taken", "sGI44 gKI55", 4, 4, 4, 3,
         [](CShogiBoard& b) { b.ApplyMove(Move(GOTE, 5, 5, 4, 3, PT_KIN), true); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CShogiBoard board;
        MeddlingAsker asker;
        asker.board = &board;
        asker.meddle = c.meddle;
        board.SetPromotionAsker(&asker);
        Arrange(board, c.position);
        const int i = board.PieceAt(c.fromFile, c.fromRank);
        EXPECT_EQ(UserMove(board, i, c.toFile, c.toRank), c.result);
        EXPECT_EQ(asker.calls, 1);
        EXPECT_EQ(board.pieces[i].promoted, c.result);  // the answer was 1: promote
    }
}

TEST(DropHeld, RefusalsPutThePieceBack) {
    struct Case {
        const char* what;
        const char* position;
        int fromFile, fromRank;  // 0 0: the first piece in hand
        int toFile, toRank;      // 0: a point off the squares
    } cases[] = {
        {"own piece on the target", "sHI28 sFU27", 2, 8, 2, 7},
        {"illegal geometry", "sHI28", 2, 8, 3, 7},
        {"blocked", "sHI28 gFU26 gFU25", 2, 8, 2, 5},
        {"drop on an occupied square", "sKI00 gFU55", 0, 0, 5, 5},
        {"drop onto an illegal rank", "sFU00", 0, 0, 5, 1},
        {"back onto its own square", "sHI28", 2, 8, 2, 8},
        {"outside the squares", "sHI28", 2, 8, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Hosted h;
        Arrange(h.board, c.position);
        const int i = At(h.board, c.fromFile, c.fromRank);
        const KomaRec before = h.board.pieces[i];
        h.board.PickUp(i, 300, 150);
        int x = 135, y = 150;  // inside the board image, left of the squares
        if (c.toFile)
            Centre(h.board, c.toFile, c.toRank, x, y);
        EXPECT_EQ(h.board.DropHeld(i, x, y), 0);
        const KomaRec& p = h.board.pieces[i];
        EXPECT_TRUE(p.state == before.state && p.file == before.file && p.rank == before.rank &&
                    p.promoted == before.promoted);
        if (p.state == KS_BOARD) {
            EXPECT_TRUE(p.x == before.x && p.y == before.y);
        }
        EXPECT_EQ(h.board.HeldPiece(), -1);
        EXPECT_EQ(h.sound.plays, 0);
    }
    // Only a held piece can be dropped.
    CShogiBoard board;
    int x = 0, y = 0;
    Centre(board, 7, 6, x, y);
    EXPECT_EQ(board.DropHeld(6, x, y), 0);
    EXPECT_EQ(board.pieces[6].rank, 7);
    EXPECT_EQ(board.pieces[6].prevState, 0);  // no ReturnHeld/RestoreState happened
    for (int i : {-1, 40, INT_MIN})
        EXPECT_EQ(board.DropHeld(i, x, y), 0);
    board.PickUp(6, 0, 0);
    EXPECT_EQ(board.DropHeld(6, INT_MIN, INT_MAX), 0);
    EXPECT_EQ(board.pieces[6].state, KS_BOARD);
}

TEST(DropHeld, TakingTheKingEndsWithoutMoving) {
    Hosted h;
    Arrange(h.board, "sHI55 gOU51 sGY59");
    const int rook = h.board.PieceAt(5, 5), king = h.board.PieceAt(5, 1);
    ASSERT_EQ(UserMove(h.board, rook, 5, 1), 1);
    const KomaRec& p = h.board.pieces[rook];
    EXPECT_EQ(p.moveStatus, MS_KINGTAKEN);
    EXPECT_EQ(p.file * 1000 + p.rank * 100 + p.prevFile * 10 + p.prevRank, 5555);
    EXPECT_TRUE(p.state == KS_BOARD && p.promoted == 0);
    EXPECT_TRUE(h.board.pieces[king].owner == GOTE && h.board.PieceAt(5, 1) == king);
    EXPECT_EQ(h.sound.plays + h.asker.calls, 0);
}

TEST(DropHeld, CapturesAndDropsWithSound) {
    Hosted h;
    CShogiBoard& board = h.board;
    // Moving the gold away leaves sente's own king open to the rook: accepted.
    Arrange(board, "sGY59 sKI58 gHI52 gGI48");
    const int gold = board.PieceAt(5, 8), silver = board.PieceAt(4, 8);
    ASSERT_EQ(UserMove(board, gold, 4, 8), 1);
    EXPECT_EQ(board.PieceAt(4, 8), gold);
    EXPECT_EQ(board.pieces[gold].prevFile * 10 + board.pieces[gold].prevRank, 58);
    EXPECT_TRUE(board.pieces[silver].state == KS_HAND && board.pieces[silver].owner == SENTE);
    EXPECT_EQ(h.sound.plays, 1);
    EXPECT_EQ(board.ComputeAttacks(SENTE), 1);
    // The silver just taken is dropped into the zone without a question.
    ASSERT_EQ(UserMove(board, silver, 5, 3), 1);
    EXPECT_TRUE(board.PieceAt(5, 3) == silver && board.pieces[silver].prevFile == 0);
    EXPECT_EQ(h.asker.calls, 0);
    EXPECT_EQ(h.sound.plays, 2);
    // A promoted piece taken is dropped unpromoted, even before any hand layout.
    Arrange(board, "g+HI55 sKI56");
    const int rook = board.PieceAt(5, 5);
    ASSERT_EQ(UserMove(board, board.PieceAt(5, 6), 5, 5), 1);
    ASSERT_EQ(UserMove(board, rook, 1, 1), 1);
    const KomaRec& r = board.pieces[rook];
    EXPECT_TRUE(r.promoted == 0 && r.image == PT_HI && r.moveStatus == MS_MOVE);
}

}  // namespace
}  // namespace ravu
