// The piece table, the initial position and ApplyMove, including everything
// a peer or a file could send that must be refused.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "tests/game/position.h"

namespace ravu {
namespace {

using namespace test;

bool SameTable(const CShogiBoard& a, const CShogiBoard& b) {
    return std::memcmp(a.pieces.data(), b.pieces.data(), sizeof(KomaRec) * PIECE_COUNT) == 0;
}

TEST(InitialPosition, KnownSquaresAndPointSymmetry) {
    CShogiBoard board;
    struct Case {
        int file, rank, index, owner, type;
    } cases[] = {
        {5, 9, 38, SENTE, PT_GYOKU}, {5, 1, 39, GOTE, PT_OU},   {8, 8, 34, SENTE, PT_KAKU}, {2, 2, 35, GOTE, PT_KAKU},
        {2, 8, 36, SENTE, PT_HI},    {8, 2, 37, GOTE, PT_HI},   {7, 7, 6, SENTE, PT_FU},    {1, 3, 9, GOTE, PT_FU},
        {9, 9, 19, SENTE, PT_KYO},   {8, 1, 25, GOTE, PT_KEI},  {3, 9, 26, SENTE, PT_GIN},  {6, 1, 33, GOTE, PT_KIN},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(board.PieceAt(c.file, c.rank), c.index) << c.file << c.rank;
        EXPECT_TRUE(board.pieces[c.index].owner == c.owner && board.pieces[c.index].type == c.type) << c.index;
    }
    // Every piece has a twin of the other side on the square turned by 180 degrees.
    int perType[PT_COUNT] = {};
    for (int i = 0; i < PIECE_COUNT; ++i) {
        const KomaRec& p = board.pieces[i];
        EXPECT_TRUE(p.state == KS_BOARD && p.promoted == 0);
        EXPECT_EQ(board.PieceAt(p.file, p.rank), i) << "two pieces on one square";
        ++perType[p.type];
        const int twin = board.PieceAt(10 - p.file, 10 - p.rank);
        ASSERT_NE(twin, -1) << i;
        EXPECT_EQ(board.pieces[twin].owner, p.owner ^ 1);
        EXPECT_EQ(board.pieces[twin].type, p.type == PT_OU ? PT_GYOKU : p.type == PT_GYOKU ? PT_OU : p.type);
    }
    const int expected[PT_COUNT] = {1, 2, 2, 4, 4, 4, 4, 18, 1};
    for (int t = 0; t < PT_COUNT; ++t)
        EXPECT_EQ(perType[t], expected[t]) << t;
    // The destination lists are filled: the pawn on 7七 reaches 7六; the gote
    // knight on 2一 finds its own pawn on 3三.
    EXPECT_EQ(board.ComputeAttacks(SENTE), 0);
    const DestEntry pawn = board.pieces[6].dest[0], knight = board.pieces[24].dest[0];
    EXPECT_TRUE(pawn.reachable && pawn.file == 7 && pawn.rank == 6);
    EXPECT_TRUE(!knight.reachable && knight.occupied && knight.occupant == board.PieceAt(3, 3));
}

TEST(InitialPosition, ResetRestoresEverything) {
    CShogiBoard fresh, board;
    ASSERT_EQ(board.ApplyMove(Move(SENTE, 7, 7, 7, 6, PT_FU), true), 1);
    ASSERT_EQ(board.ApplyMove(Move(SENTE, 8, 8, 2, 2, PT_KAKU, 1, MS_PROMOTE), true), 1);
    board.boardRect = Rect{0, 0, 1, 1};
    board.Reset();
    EXPECT_TRUE(SameTable(board, fresh));
    EXPECT_EQ(std::memcmp(&board.boardRect, &BOARD_RECT, sizeof(Rect)), 0);
}

TEST(ApplyMove, MovesOnceAndSetsEveryField) {
    CShogiBoard board;
    const MoveRec m = Move(SENTE, 7, 7, 7, 6, PT_FU);
    ASSERT_EQ(board.ApplyMove(m, true), 1);
    const KomaRec& p = board.pieces[6];
    EXPECT_TRUE(board.PieceAt(7, 6) == 6 && board.PieceAt(7, 7) == -1);
    EXPECT_TRUE(p.prevFile == 7 && p.prevRank == 7 && p.state == KS_BOARD && p.moveStatus == MS_MOVE);
    EXPECT_TRUE(p.x == 141 + 31 * 2 && p.y == 11 + 31 * 5);
    EXPECT_EQ(board.ApplyMove(m, true), 0);
}

TEST(ApplyMove, CapturesThenDropsFirstInTableOrder) {
    CShogiBoard board;
    Arrange(board, "sHI25 gFU23 gFU24 sGY59 gOU51");  // the pawns take indices 0 and 1
    ASSERT_EQ(board.ApplyMove(Move(SENTE, 2, 5, 2, 4, PT_HI), true), 1);
    ASSERT_EQ(board.ApplyMove(Move(SENTE, 2, 4, 2, 3, PT_HI), true), 1);
    for (int i : {0, 1}) {
        const KomaRec& p = board.pieces[i];
        EXPECT_TRUE(p.state == KS_HAND && p.owner == SENTE && p.file == 0 && p.rank == 0) << i;
    }
    EXPECT_EQ(board.FindInHand(GOTE, PT_FU), -1);
    ASSERT_EQ(board.ApplyMove(Move(SENTE, 0, 0, 5, 5, PT_FU), true), 1);
    EXPECT_EQ(board.PieceAt(5, 5), 0);
    EXPECT_EQ(board.pieces[0].prevFile, 0);
    EXPECT_EQ(board.FindInHand(SENTE, PT_FU), 1);
    // No rule check here: a rook "takes" its own gold, which stays with sente;
    // a gote mover's capture goes to gote whatever the record's side says.
    Arrange(board, "sHI55 sKI53 gKA11 gGI33");
    ASSERT_EQ(board.ApplyMove(Move(SENTE, 5, 5, 5, 3, PT_HI), true), 1);
    ASSERT_EQ(board.ApplyMove(Move(SENTE, 1, 1, 3, 3, PT_KAKU), true), 1);
    EXPECT_NE(board.FindInHand(SENTE, PT_KIN), -1);
    EXPECT_NE(board.FindInHand(GOTE, PT_GIN), -1);
}

TEST(ApplyMove, PromotionAndStatusComeFromTheRecord) {
    CShogiBoard board;
    Arrange(board, "sGI44 sFU00");
    const int silver = board.PieceAt(4, 4);
    ASSERT_EQ(board.ApplyMove(Move(SENTE, 4, 4, 4, 3, PT_GIN, 1, MS_PROMOTE), true), 1);
    const KomaRec& p = board.pieces[silver];
    EXPECT_TRUE(p.promoted == 1 && p.moveStatus == MS_PROMOTE && p.image == PT_GIN + 8);
    ASSERT_EQ(board.ApplyMove(Move(SENTE, 0, 0, 9, 9, PT_FU, 1), true), 1);
    EXPECT_EQ(board.pieces[board.PieceAt(9, 9)].promoted, 1);
}

// End entries and garbage records change nothing.  The board holds a bishop
// in sente's hand, so drops have a candidate of another type.
TEST(ApplyMove, EndEntriesAndGarbageChangeNothing) {
    const MoveRec cases[] = {
        Move(SENTE, 7, 7, 7, 6, PT_FU, 0, MS_RESIGN),   Move(SENTE, 7, 7, 7, 6, PT_FU, 0, MS_KINGTAKEN),
        Move(SENTE, 7, 7, 7, 6, PT_FU, 0, MS_MATE),     Move(SENTE, 7, 7, 7, 6, PT_FU, 0, MS_ABORT),
        Move(SENTE, 7, 7, 7, 6, PT_FU, 0, -7),          Move(SENTE, 7, 7, 7, 6, PT_FU, 0, INT_MIN),
        Move(SENTE, 7, 7, 7, 6, PT_FU, 5),              Move(SENTE, 7, 7, 7, 6, PT_FU, INT_MIN),
        Move(SENTE, 7, 7, 0, 6, PT_FU),                 Move(SENTE, 7, 7, 10, 6, PT_FU),
        Move(SENTE, 7, 7, 7, -1, PT_FU),                Move(SENTE, 7, 7, INT_MIN, 6, PT_FU),
        Move(SENTE, 7, 7, 7, INT_MAX, PT_FU),           Move(SENTE, 10, 7, 7, 6, PT_FU),
        Move(SENTE, 7, INT_MIN, 7, 6, PT_FU),           Move(SENTE, -3, 7, 7, 6, PT_FU),
        Move(SENTE, 7, 5, 7, 6, PT_FU),  /* empty source */  Move(SENTE, 7, 7, 7, 7, PT_FU),  // source is target
        Move(SENTE, 0, 0, 7, 6, PT_FU),  /* none in hand */  Move(SENTE, 0, 0, 7, 6, 99),
        Move(SENTE, 0, 0, 7, 6, -1),                    Move(-1, 0, 0, 7, 6, PT_KAKU),
        Move(INT_MAX, 0, 0, 7, 6, PT_KAKU),
    };
    for (const MoveRec& m : cases) {
        CShogiBoard board;
        ASSERT_EQ(board.ApplyMove(Move(SENTE, 8, 8, 2, 2, PT_KAKU, 1, MS_PROMOTE), true), 1);
        const CShogiBoard before = board;
        EXPECT_EQ(board.ApplyMove(m, false), 0) << &m - cases;
        EXPECT_TRUE(SameTable(board, before)) << &m - cases;
        // The same drop with a sound side and type is accepted.
        EXPECT_EQ(board.ApplyMove(Move(SENTE, 0, 0, 7, 6, PT_KAKU), true), 1);
    }
}

TEST(ApplyMove, SoundOnlyWhenAskedForAndSwitchedOn) {
    struct Case {
        bool quiet, settingOn, available, attachSound, attachSetting;
        int plays;
    } cases[] = {
        {false, true, true, true, true, 1},  {true, true, true, true, true, 0},
        {false, false, true, true, true, 0}, {false, true, false, true, true, 1},  // missing resource: move stands
        {false, true, true, false, true, 0}, {false, true, true, true, false, 0},
    };
    for (const Case& c : cases) {
        CShogiBoard board;
        FakeSound sound;
        FakeSetting setting;
        sound.available = c.available;
        setting.on = c.settingOn;
        board.SetPieceSound(c.attachSound ? &sound : nullptr);
        board.SetSoundSetting(c.attachSetting ? &setting : nullptr);
        EXPECT_EQ(board.ApplyMove(Move(SENTE, 7, 7, 7, 6, PT_FU), c.quiet), 1);
        EXPECT_EQ(sound.plays, c.plays);
    }
}

TEST(PieceTable, CaptureOnlyFromTheBoard) {
    CShogiBoard board;
    ASSERT_EQ(board.pieces[6].dest[0].reachable, 1);
    board.Capture(6, GOTE);
    const KomaRec& p = board.pieces[6];
    EXPECT_TRUE(p.owner == GOTE && p.state == KS_HAND && p.prevState == KS_BOARD);
    EXPECT_EQ(p.file, 0);
    EXPECT_EQ(p.prevFile, 7);
    const DestEntry zero{};
    for (const DestEntry& e : p.dest)
        EXPECT_EQ(std::memcmp(&e, &zero, sizeof e), 0);
    board.Capture(6, SENTE);  // a piece in hand is not captured again
    EXPECT_EQ(p.owner, GOTE);
    EXPECT_EQ(p.prevState, KS_BOARD);
}

TEST(PieceTable, GarbageIndicesAndSquaresAreRefused) {
    CShogiBoard board;
    const CShogiBoard before = board;
    for (int i : {-1, 40, 41, INT_MIN, INT_MAX, -40}) {
        EXPECT_FALSE(board.IsOwner(i, SENTE));
        board.MoveTo(i, 5, 5);
        board.SetState(i, KS_HELD);
        board.RestoreState(i);
        board.Capture(i, GOTE);
        KomaRec& spare = board.GetPiece(i);
        EXPECT_EQ(spare.state, KS_NONE);
        spare.state = KS_BOARD;
        spare.file = spare.rank = 5;
        EXPECT_EQ(board.GetPiece(i).state, KS_NONE) << "spare record must not keep writes";
        EXPECT_EQ(board.PieceAt(5, 5), -1);
    }
    for (int c : {-1, 0, 10, INT_MIN, INT_MAX}) {
        EXPECT_EQ(board.PieceAt(c, 5), -1);
        EXPECT_EQ(board.PieceAt(5, c), -1);
        board.MoveTo(6, c, 5);
        board.MoveTo(6, 5, c);
    }
    board.Capture(6, -1);
    board.Capture(6, 2);
    EXPECT_EQ(board.FindInHand(INT_MIN, PT_FU), -1);
    EXPECT_EQ(board.FindInHand(SENTE, INT_MAX), -1);
    EXPECT_TRUE(SameTable(board, before));
}

// A peer's move arrives while the user holds a piece.
TEST(PieceTable, PeerMoveWhileAPieceIsHeld) {
    CShogiBoard board;
    board.PickUp(6, 0, 0);  // sente holds 7七; gote's "move" lands there
    ASSERT_EQ(board.ApplyMove(Move(GOTE, 7, 3, 7, 7, PT_FU), true), 1);
    EXPECT_EQ(board.HeldPiece(), -1);
    EXPECT_TRUE(board.pieces[6].state == KS_HAND && board.pieces[6].owner == GOTE);  // back on its square, then taken
    EXPECT_EQ(board.PieceAt(7, 7), 15);
    board.PickUp(7, 0, 0);  // a refused record leaves the held piece held
    EXPECT_EQ(board.ApplyMove(Move(GOTE, 5, 5, 7, 7, PT_FU), true), 0);
    EXPECT_EQ(board.HeldPiece(), 7);
}

}  // namespace
}  // namespace ravu
