// The move judge: CanMove, CanDrop, TwoPawns, DecidePromotion, and DropHeld,
// the user's path through them.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>

#include "game/board.h"
#include "tests/game/fakes.h"
#include "tests/game/position.h"

namespace ravu {
namespace {

using test::Arrange;

// Centre pixel of a square in the current view.
void Centre(const CShogiBoard& board, int file, int rank, int& x, int& y) {
    const int i = board.flip ? file - 1 : 9 - file;
    const int j = board.flip ? 9 - rank : rank - 1;
    x = 141 + 31 * i + 15;
    y = 11 + 31 * j + 15;
}

// Picks up the piece on (or in the hand of) the given square and puts it down
// on the target square with the pointer.
int UserMove(CShogiBoard& board, int index, int toFile, int toRank) {
    board.PickUp(index, 0, 0);
    int x = 0, y = 0;
    Centre(board, toFile, toRank, x, y);
    return board.DropHeld(index, x, y);
}

struct MoveCase {
    const char* position;
    int fromFile, fromRank, toFile, toRank;
    int allowed;
};

void CheckCanMove(const MoveCase* cases, size_t n) {
    CShogiBoard board;
    for (size_t k = 0; k < n; ++k) {
        const MoveCase& c = cases[k];
        SCOPED_TRACE(testing::Message() << c.position << " " << c.fromFile << c.fromRank << "->" << c.toFile
                                        << c.toRank);
        if (c.position[0])
            Arrange(board, c.position);
        else
            board.Reset();
        const int i = board.PieceAt(c.fromFile, c.fromRank);
        ASSERT_NE(i, -1);
        EXPECT_EQ(board.CanMove(board.pieces[i], c.toFile, c.toRank), c.allowed);
    }
}

TEST(CanMove, InitialPositionBlocking) {
    const MoveCase cases[] = {
        {"", 7, 7, 7, 6, 1},  // pawn one step
        {"", 7, 7, 7, 5, 0},  // not two
        {"", 2, 8, 2, 3, 0},  // rook blocked by its own pawn on 2七
        {"", 2, 8, 3, 8, 1},  // rook sideways to an empty square
        {"", 2, 8, 7, 8, 1},  // along the empty eighth rank
        {"", 2, 8, 9, 8, 0},  // the bishop on 8八 is in the way
        {"", 8, 8, 6, 6, 0},  // bishop blocked by 7七
        {"", 8, 8, 7, 7, 1},  // occupant is not looked at
        {"", 1, 9, 1, 8, 1},  // lance one step
        {"", 1, 9, 1, 6, 0},  // lance blocked by 1七
        {"", 5, 3, 5, 4, 1},  // gote pawn forward is +1 rank
        {"", 5, 3, 5, 2, 0},
    };
    CheckCanMove(cases, std::size(cases));
}

TEST(CanMove, StepPiecesBothSides) {
    const MoveCase cases[] = {
        {"sKE29", 2, 9, 1, 7, 1}, {"sKE29", 2, 9, 3, 7, 1}, {"sKE29", 2, 9, 2, 7, 0}, {"sKE29", 2, 9, 1, 8, 0},
        {"gKE21", 2, 1, 1, 3, 1}, {"gKE21", 2, 1, 3, 3, 1}, {"gKE21", 2, 1, 1, 9, 0},
        // silver: no straight back, no sideways
        {"sGI55", 5, 5, 4, 4, 1}, {"sGI55", 5, 5, 5, 4, 1}, {"sGI55", 5, 5, 6, 4, 1},
        {"sGI55", 5, 5, 4, 6, 1}, {"sGI55", 5, 5, 6, 6, 1}, {"sGI55", 5, 5, 5, 6, 0},
        {"sGI55", 5, 5, 4, 5, 0}, {"sGI55", 5, 5, 6, 5, 0}, {"sGI55", 5, 5, 5, 3, 0},
        {"gGI55", 5, 5, 5, 6, 1}, {"gGI55", 5, 5, 5, 4, 0}, {"gGI55", 5, 5, 4, 4, 1},
        // gold: no diagonal back
        {"sKI55", 5, 5, 4, 4, 1}, {"sKI55", 5, 5, 4, 5, 1}, {"sKI55", 5, 5, 5, 6, 1},
        {"sKI55", 5, 5, 4, 6, 0}, {"sKI55", 5, 5, 6, 6, 0},
        {"gKI55", 5, 5, 4, 4, 0}, {"gKI55", 5, 5, 4, 6, 1},
        // promoted pieces move as gold
        {"s+FU55", 5, 5, 4, 6, 0}, {"s+FU55", 5, 5, 6, 5, 1}, {"s+KE55", 5, 5, 4, 3, 0},
        {"g+KY55", 5, 5, 5, 4, 1}, {"g+GI55", 5, 5, 4, 4, 0},
        // kings
        {"sGY55", 5, 5, 4, 6, 1}, {"gOU55", 5, 5, 6, 4, 1}, {"gOU55", 5, 5, 5, 3, 0},
        // dragon and horse
        {"s+HI55", 5, 5, 4, 4, 1}, {"s+HI55", 5, 5, 3, 3, 0}, {"s+HI55", 5, 5, 5, 1, 1},
        {"s+KA55", 5, 5, 5, 4, 1}, {"s+KA55", 5, 5, 5, 3, 0}, {"s+KA55", 5, 5, 1, 1, 1},
        // lance and pawn never go back
        {"sKY55", 5, 5, 5, 6, 0}, {"gKY55", 5, 5, 5, 9, 1}, {"gFU55", 5, 5, 5, 4, 0},
    };
    CheckCanMove(cases, std::size(cases));
}

TEST(CanMove, RefusesNonPiecesAndGarbage) {
    CShogiBoard board;
    Arrange(board, "sKI55");
    KomaRec p = board.pieces[board.PieceAt(5, 5)];
    EXPECT_EQ(board.CanMove(p, 5, 5), 0);  // no displacement
    struct Garbage {
        int type, promoted, owner, file, rank, toFile, toRank;
    } cases[] = {
        {PT_KIN, 1, SENTE, 5, 5, 5, 4},         // promoted gold: no such piece
        {PT_OU, 1, SENTE, 5, 5, 5, 4},          // promoted king
        {PT_GYOKU, 1, SENTE, 5, 5, 5, 4},
        {PT_KIN, 0, SENTE, 5, 5, 5, 10},
        {PT_KIN, 0, SENTE, 5, 5, INT_MIN, 4},
        {PT_KIN, 0, SENTE, INT_MAX, 5, 5, 4},
        {PT_KIN, 0, SENTE, 5, -1, 5, 4},
        {PT_KIN, 0, 7, 5, 5, 5, 4},             // owner of no side
        {99, 0, SENTE, 5, 5, 5, 4},
        {-1, 0, SENTE, 5, 5, 5, 4},
        {PT_KIN, INT_MAX, SENTE, 5, 5, 5, 4},   // 10 * promoted must not overflow
        {PT_KIN, -1, SENTE, 5, 5, 5, 4},
        {PT_HI, 0, SENTE, 5, 5, 5, INT_MIN},
    };
    for (const Garbage& g : cases) {
        KomaRec q = p;
        q.type = g.type;
        q.promoted = g.promoted;
        q.owner = g.owner;
        q.file = g.file;
        q.rank = g.rank;
        EXPECT_EQ(board.CanMove(q, g.toFile, g.toRank), 0) << g.type << " " << g.promoted << " " << g.file;
        EXPECT_EQ(board.PathClearFile(q, g.toFile, g.toRank), g.toFile == 5 && OnBoard(g.file, g.rank) &&
                                                                      OnBoard(g.toFile, g.toRank));
        board.PathClearRank(q, g.toFile, g.toRank);
        board.PathClearDiag(q, g.toFile, g.toRank);
    }
}

TEST(PathClear, StrictlyBetweenAndHeldPiecesDoNotBlock) {
    CShogiBoard board;
    Arrange(board, "sHI55 sFU53 sKA11 gFU33");
    const KomaRec& rook = board.pieces[board.PieceAt(5, 5)];
    EXPECT_EQ(board.PathClearFile(rook, 5, 4), 1);  // adjacent
    EXPECT_EQ(board.PathClearFile(rook, 5, 3), 1);  // the target itself is not between
    EXPECT_EQ(board.PathClearFile(rook, 5, 2), 0);
    EXPECT_EQ(board.PathClearRank(rook, 1, 5), 1);
    const int bishop = board.PieceAt(1, 1);
    EXPECT_EQ(board.PathClearDiag(board.pieces[bishop], 3, 3), 1);
    EXPECT_EQ(board.PathClearDiag(board.pieces[bishop], 4, 4), 0);
    // Picked up, the gote pawn on 3三 no longer blocks.
    board.PickUp(board.PieceAt(3, 3), 0, 0);
    EXPECT_EQ(board.PathClearDiag(board.pieces[bishop], 4, 4), 1);
    EXPECT_EQ(board.CanMove(board.pieces[bishop], 4, 4), 1);
    EXPECT_EQ(board.CanMove(board.pieces[bishop], 9, 9), 0);  // the rook on 5五 still blocks
}

TEST(CanDrop, PawnsKnightsLances) {
    struct Case {
        const char* position;  // the first token is the piece in hand
        int file, rank, allowed;
    } cases[] = {
        {"sFU00 sFU57", 5, 5, 0},   // two pawns on a file
        {"sFU00 sFU57", 4, 5, 1},
        {"sFU00 s+FU57", 5, 5, 1},  // a promoted pawn does not count
        {"sFU00 gFU53", 5, 5, 1},   // nor the other side's pawn
        {"gFU00 gFU53", 5, 7, 0},
        {"sKE00", 5, 1, 0}, {"sKE00", 5, 2, 0}, {"sKE00", 5, 3, 1},
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
        int inHand = -1;
        for (int i = 0; i < PIECE_COUNT && inHand < 0; ++i)
            if (board.pieces[i].state == KS_HAND)
                inHand = i;
        ASSERT_NE(inHand, -1);
        EXPECT_EQ(board.CanDrop(inHand, c.file, c.rank), c.allowed);
        // Through the pointer the same answer, and a refused piece stays in hand.
        if (OnBoard(c.file, c.rank)) {
            EXPECT_EQ(UserMove(board, inHand, c.file, c.rank), c.allowed);
            EXPECT_EQ(board.pieces[inHand].state, c.allowed ? KS_BOARD : KS_HAND);
        }
    }
    CShogiBoard board;
    EXPECT_EQ(board.CanDrop(-1, 5, 5), 0);
    EXPECT_EQ(board.CanDrop(40, 5, 5), 0);
    EXPECT_EQ(board.TwoPawns(INT_MIN, 5), 0);
    EXPECT_EQ(board.TwoPawns(0, 7), 1);   // sente pawn on 7七 blocks a second sente pawn there
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
        {"sFU52", 5, 2, 5, 1, 1, false, 1, MS_PROMOTE},   // last rank: forced
        {"sFU52", 5, 2, 5, 1, 2, false, 1, MS_PROMOTE},
        {"s+FU52", 5, 2, 5, 1, 2, false, 1, MS_MOVE},     // forced, but promoted already
        {"s+KE43", 4, 3, 4, 2, 2, false, 1, MS_MOVE},
        {"sFU54", 5, 4, 5, 3, 1, true, 1, MS_PROMOTE},
        {"sFU54", 5, 4, 5, 3, 2, true, 0, MS_MOVE},
        {"sFU54", 5, 4, 5, 3, 0, true, 0, MS_MOVE},       // closed dialog
        {"sFU55", 5, 5, 5, 4, 1, false, 0, MS_MOVE},      // outside the zone
        {"sHI52", 5, 2, 5, 6, 1, true, 1, MS_PROMOTE},    // leaving the zone
        {"sHI56", 5, 6, 5, 5, 1, false, 0, MS_MOVE},
        {"s+HI52", 5, 2, 5, 6, 2, false, 1, MS_MOVE},     // already promoted: stays
        {"s+GI44", 4, 4, 4, 3, 2, false, 1, MS_MOVE},
        {"sKI44", 4, 4, 4, 3, 1, false, 0, MS_MOVE},      // gold never promotes
        {"sGY52", 5, 2, 5, 1, 1, false, 0, MS_MOVE},      // nor a king
        {"gOU58", 5, 8, 5, 9, 1, false, 0, MS_MOVE},
        {"sKE35", 3, 5, 2, 3, 1, true, 1, MS_PROMOTE},
        {"sKE34", 3, 4, 2, 2, 2, false, 1, MS_PROMOTE},   // knight on the last two ranks
        {"sKY55", 5, 5, 5, 1, 2, false, 1, MS_PROMOTE},
        {"sKY55", 5, 5, 5, 2, 2, true, 0, MS_MOVE},
        {"sGI33", 3, 3, 4, 4, 1, true, 1, MS_PROMOTE},    // diagonal back out of the zone
        {"sKA99", 9, 9, 3, 3, 1, true, 1, MS_PROMOTE},
        {"gFU58", 5, 8, 5, 9, 2, false, 1, MS_PROMOTE},
        {"gKE56", 5, 6, 4, 8, 2, false, 1, MS_PROMOTE},
        {"gKE55", 5, 5, 4, 7, 2, true, 0, MS_MOVE},
        {"gGI66", 6, 6, 6, 7, 1, true, 1, MS_PROMOTE},
        {"gHI48", 4, 8, 4, 4, 1, true, 1, MS_PROMOTE},
        {"gHI15", 1, 5, 1, 2, 1, false, 0, MS_MOVE},      // sente's zone is not gote's
    };
    for (int flip = 0; flip <= 1; ++flip) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.position << " " << c.toFile << c.toRank << " answer " << c.answer
                                            << " flip " << flip);
            CShogiBoard board;
            test::FakeAsker asker;
            asker.answer = c.answer;
            board.SetPromotionAsker(&asker);
            Arrange(board, c.position);
            board.SetFlip(flip);
            const int i = board.PieceAt(c.fromFile, c.fromRank);
            ASSERT_NE(i, -1);
            ASSERT_EQ(UserMove(board, i, c.toFile, c.toRank), 1);
            const KomaRec& p = board.pieces[i];
            EXPECT_EQ(asker.calls, c.asked ? 1 : 0);
            EXPECT_EQ(p.promoted, c.promoted);
            EXPECT_EQ(p.moveStatus, c.status);
            EXPECT_EQ(p.image, CShogiBoard::ImageCell(p.type, p.promoted, p.owner, flip));
            if (c.asked) {
                int x = 0, y = 0;
                Centre(board, c.toFile, c.toRank, x, y);
                EXPECT_EQ(asker.lastX, x);
                EXPECT_EQ(asker.lastY, y);
            }
        }
    }
}

TEST(Promotion, NoAskerMeansNoPromotion) {
    CShogiBoard board;
    Arrange(board, "sGI44");
    const int i = board.PieceAt(4, 4);
    ASSERT_EQ(UserMove(board, i, 4, 3), 1);
    EXPECT_EQ(board.pieces[i].promoted, 0);
    EXPECT_EQ(board.pieces[i].moveStatus, MS_MOVE);
    board.DecidePromotion(-1);
    board.DecidePromotion(INT_MAX);
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
        CShogiBoard board;
        test::FakeSound sound;
        test::FakeSetting setting;
        board.SetPieceSound(&sound);
        board.SetSoundSetting(&setting);
        Arrange(board, c.position);
        int i = c.fromFile ? board.PieceAt(c.fromFile, c.fromRank) : -1;
        for (int k = 0; k < PIECE_COUNT && i < 0; ++k)
            if (board.pieces[k].state == KS_HAND)
                i = k;
        ASSERT_NE(i, -1);
        const KomaRec before = board.pieces[i];
        board.PickUp(i, 300, 150);
        int x = 135, y = 150;  // inside the board image, left of the squares
        if (c.toFile)
            Centre(board, c.toFile, c.toRank, x, y);
        EXPECT_EQ(board.DropHeld(i, x, y), 0);
        const KomaRec& p = board.pieces[i];
        EXPECT_EQ(p.state, before.state);
        EXPECT_EQ(p.file, before.file);
        EXPECT_EQ(p.rank, before.rank);
        EXPECT_EQ(p.promoted, before.promoted);
        if (p.state == KS_BOARD) {
            EXPECT_EQ(p.x, before.x);
            EXPECT_EQ(p.y, before.y);
        }
        EXPECT_EQ(board.HeldPiece(), -1);
        EXPECT_EQ(sound.plays, 0);
    }
}

TEST(DropHeld, OnlyAHeldPieceCanBeDropped) {
    CShogiBoard board;
    int x = 0, y = 0;
    Centre(board, 7, 6, x, y);
    EXPECT_EQ(board.DropHeld(6, x, y), 0);  // on the board, not held
    EXPECT_EQ(board.pieces[6].rank, 7);
    EXPECT_EQ(board.pieces[6].state, KS_BOARD);
    EXPECT_EQ(board.pieces[6].prevState, 0);  // no ReturnHeld/RestoreState happened
    EXPECT_EQ(board.DropHeld(-1, x, y), 0);
    EXPECT_EQ(board.DropHeld(40, x, y), 0);
    EXPECT_EQ(board.DropHeld(INT_MIN, INT_MIN, INT_MAX), 0);
    board.PickUp(6, 0, 0);
    EXPECT_EQ(board.DropHeld(6, INT_MIN, INT_MAX), 0);
    EXPECT_EQ(board.pieces[6].state, KS_BOARD);
}

TEST(DropHeld, TakingTheKingEndsWithoutMoving) {
    CShogiBoard board;
    test::FakeSound sound;
    test::FakeSetting setting;
    test::FakeAsker asker;
    board.SetPieceSound(&sound);
    board.SetSoundSetting(&setting);
    board.SetPromotionAsker(&asker);
    Arrange(board, "sHI55 gOU51 sGY59");
    const int rook = board.PieceAt(5, 5), king = board.PieceAt(5, 1);
    ASSERT_EQ(UserMove(board, rook, 5, 1), 1);
    const KomaRec& p = board.pieces[rook];
    EXPECT_EQ(p.moveStatus, MS_KINGTAKEN);
    EXPECT_EQ(p.file, 5);
    EXPECT_EQ(p.rank, 5);
    EXPECT_EQ(p.prevFile, 5);
    EXPECT_EQ(p.prevRank, 5);
    EXPECT_EQ(p.state, KS_BOARD);
    EXPECT_EQ(p.promoted, 0);
    EXPECT_EQ(board.pieces[king].state, KS_BOARD);
    EXPECT_EQ(board.pieces[king].owner, GOTE);
    EXPECT_EQ(board.PieceAt(5, 1), king);
    EXPECT_EQ(sound.plays, 0);
    EXPECT_EQ(asker.calls, 0);
}

TEST(DropHeld, CapturesAndMovesWithSound) {
    CShogiBoard board;
    test::FakeSound sound;
    test::FakeSetting setting;
    board.SetPieceSound(&sound);
    board.SetSoundSetting(&setting);
    // Moving the gold away leaves sente's own king open to the rook: accepted.
    Arrange(board, "sGY59 sKI58 gHI52 gGI48");
    const int gold = board.PieceAt(5, 8), silver = board.PieceAt(4, 8);
    ASSERT_EQ(UserMove(board, gold, 4, 8), 1);
    EXPECT_EQ(board.PieceAt(4, 8), gold);
    EXPECT_EQ(board.pieces[gold].prevFile, 5);
    EXPECT_EQ(board.pieces[gold].prevRank, 8);
    EXPECT_EQ(board.pieces[silver].state, KS_HAND);
    EXPECT_EQ(board.pieces[silver].owner, SENTE);
    EXPECT_EQ(sound.plays, 1);
    EXPECT_EQ(board.ComputeAttacks(SENTE), 1);
    // The silver just taken is dropped back without a question.
    test::FakeAsker asker;
    board.SetPromotionAsker(&asker);
    ASSERT_EQ(UserMove(board, silver, 5, 3), 1);
    EXPECT_EQ(board.PieceAt(5, 3), silver);
    EXPECT_EQ(board.pieces[silver].prevFile, 0);
    EXPECT_EQ(asker.calls, 0);
    EXPECT_EQ(sound.plays, 2);
}

TEST(DropHeld, PromotedCaptureIsDroppedUnpromoted) {
    CShogiBoard board;
    Arrange(board, "g+HI55 sKI56");
    const int rook = board.PieceAt(5, 5), gold = board.PieceAt(5, 6);
    ASSERT_EQ(UserMove(board, gold, 5, 5), 1);
    ASSERT_EQ(board.pieces[rook].state, KS_HAND);
    // Picked up straight away, before any hand layout has run.
    ASSERT_EQ(UserMove(board, rook, 1, 1), 1);
    EXPECT_EQ(board.pieces[rook].promoted, 0);
    EXPECT_EQ(board.pieces[rook].image, PT_HI);
    EXPECT_EQ(board.pieces[rook].moveStatus, MS_MOVE);
}

// The promotion question runs a nested event loop: a peer message handled
// there may start a new game or take the piece.  The answer must then not be
// written into the new position, and the move is not reported as made.
struct MeddlingAsker : test::FakeAsker {
    CShogiBoard* board = nullptr;
    std::function<void(CShogiBoard&)> meddle;
    int AskPromotion(int x, int y) override {
        meddle(*board);
        return FakeAsker::AskPromotion(x, y);
    }
};

TEST(Promotion, BoardChangedWhileAsking) {
    struct Case {
        const char* what;
        const char* position;
        int fromFile, fromRank, toFile, toRank;
        std::function<void(CShogiBoard&)> meddle;
        int result;
    } cases[] = {
        {"nothing happens", "sHI22", 2, 2, 2, 8, [](CShogiBoard&) {}, 1},
        // The rook leaves the zone for its own starting square, and a reset puts
        // the same rook back there: only the new game tells them apart.
        {"new game", "sHI22", 2, 2, 2, 8, [](CShogiBoard& b) { b.Reset(); }, 0},
        {"piece taken", "sGI44 gKI55", 4, 4, 4, 3,
         [](CShogiBoard& b) {
             MoveRec m;
             m.side = GOTE;
             m.fromFile = 5;
             m.fromRank = 5;
             m.toFile = 4;
             m.toRank = 3;
             m.type = PT_KIN;
             b.ApplyMove(m, true);
         },
         0},
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
        ASSERT_NE(i, -1);
        EXPECT_EQ(UserMove(board, i, c.toFile, c.toRank), c.result);
        EXPECT_EQ(asker.calls, 1);
        EXPECT_EQ(board.pieces[i].promoted, c.result);  // the answer was 1: promote
    }
}

}  // namespace
}  // namespace ravu
