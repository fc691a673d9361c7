// The piece table, the initial position and ApplyMove, including everything
// a peer or a file could send that must be refused.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "game/board.h"
#include "tests/game/fakes.h"
#include "tests/game/position.h"

namespace ravu {
namespace {

using test::Arrange;

bool SameTable(const CShogiBoard& a, const CShogiBoard& b) {
    return std::memcmp(a.pieces.data(), b.pieces.data(), sizeof(KomaRec) * PIECE_COUNT) == 0;
}

MoveRec Move(int side, int fromFile, int fromRank, int toFile, int toRank, int type, int promoted = 0,
             int status = MS_MOVE) {
    MoveRec m;
    m.side = side;
    m.fromFile = fromFile;
    m.fromRank = fromRank;
    m.toFile = toFile;
    m.toRank = toRank;
    m.type = type;
    m.promoted = promoted;
    m.status = status;
    return m;
}

TEST(InitialPosition, KnownSquares) {
    CShogiBoard board;
    struct Case {
        int file, rank, index, owner, type;
    } cases[] = {
        {5, 9, 38, SENTE, PT_GYOKU}, {5, 1, 39, GOTE, PT_OU},  {8, 8, 34, SENTE, PT_KAKU},
        {2, 2, 35, GOTE, PT_KAKU},   {2, 8, 36, SENTE, PT_HI}, {8, 2, 37, GOTE, PT_HI},
        {7, 7, 6, SENTE, PT_FU},     {1, 3, 9, GOTE, PT_FU},   {9, 9, 19, SENTE, PT_KYO},
        {8, 1, 25, GOTE, PT_KEI},    {3, 9, 26, SENTE, PT_GIN}, {6, 1, 33, GOTE, PT_KIN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.file << c.rank);
        ASSERT_EQ(board.PieceAt(c.file, c.rank), c.index);
        EXPECT_EQ(board.pieces[c.index].owner, c.owner);
        EXPECT_EQ(board.pieces[c.index].type, c.type);
    }
    EXPECT_EQ(board.PieceAt(5, 5), -1);
}

// Each sente piece has a gote twin on the square turned by 180 degrees, and
// the two kings are the two king types.
TEST(InitialPosition, PointSymmetricAndComplete) {
    CShogiBoard board;
    int perType[PT_COUNT] = {};
    for (int i = 0; i < PIECE_COUNT; ++i) {
        const KomaRec& p = board.pieces[i];
        EXPECT_EQ(p.state, KS_BOARD);
        EXPECT_EQ(p.promoted, 0);
        EXPECT_EQ(board.PieceAt(p.file, p.rank), i) << "two pieces on one square";
        ++perType[p.type];
        const int twin = board.PieceAt(10 - p.file, 10 - p.rank);
        ASSERT_NE(twin, -1) << i;
        EXPECT_EQ(board.pieces[twin].owner, p.owner ^ 1);
        const int twinType = p.type == PT_OU ? PT_GYOKU : p.type == PT_GYOKU ? PT_OU : p.type;
        EXPECT_EQ(board.pieces[twin].type, twinType);
        if (p.type == PT_GYOKU) {
            EXPECT_EQ(p.owner, SENTE);
        }
    }
    const int expected[PT_COUNT] = {1, 2, 2, 4, 4, 4, 4, 18, 1};
    for (int t = 0; t < PT_COUNT; ++t)
        EXPECT_EQ(perType[t], expected[t]) << t;
}

TEST(InitialPosition, ResetRestoresEverything) {
    CShogiBoard fresh;
    CShogiBoard board;
    ASSERT_EQ(board.ApplyMove(Move(SENTE, 7, 7, 7, 6, PT_FU), true), 1);
    ASSERT_EQ(board.ApplyMove(Move(GOTE, 3, 3, 3, 4, PT_FU), true), 1);
    ASSERT_EQ(board.ApplyMove(Move(SENTE, 8, 8, 2, 2, PT_KAKU, 1, MS_PROMOTE), true), 1);
    board.boardRect = Rect{0, 0, 1, 1};
    ASSERT_FALSE(SameTable(board, fresh));
    board.Reset();
    EXPECT_TRUE(SameTable(board, fresh));
    EXPECT_EQ(board.boardRect.left, 129);
    EXPECT_EQ(board.boardRect.top, 0);
    EXPECT_EQ(board.boardRect.right, 439);
    EXPECT_EQ(board.boardRect.bottom, 300);
}

TEST(ApplyMove, PawnAdvanceOnceOnly) {
    CShogiBoard board;
    const MoveRec m = Move(SENTE, 7, 7, 7, 6, PT_FU);
    ASSERT_EQ(board.ApplyMove(m, true), 1);
    const KomaRec& p = board.pieces[6];
    EXPECT_EQ(board.PieceAt(7, 6), 6);
    EXPECT_EQ(board.PieceAt(7, 7), -1);
    EXPECT_EQ(p.prevFile, 7);
    EXPECT_EQ(p.prevRank, 7);
    EXPECT_EQ(p.state, KS_BOARD);
    EXPECT_EQ(p.moveStatus, MS_MOVE);
    EXPECT_EQ(p.x, 141 + 31 * 2);
    EXPECT_EQ(p.y, 11 + 31 * 5);
    EXPECT_EQ(board.ApplyMove(m, true), 0);
}

TEST(ApplyMove, CaptureThenDropFindsFirstInTableOrder) {
    CShogiBoard board;
    Arrange(board, "sHI25 gFU23 gFU24 sGY59 gOU51");
    // Rook takes 2四 then 2三: both gote pawns land in sente's hand.
    ASSERT_EQ(board.ApplyMove(Move(SENTE, 2, 5, 2, 4, PT_HI), true), 1);
    ASSERT_EQ(board.ApplyMove(Move(SENTE, 2, 4, 2, 3, PT_HI), true), 1);
    int inHand = 0;
    for (int i = 0; i < PIECE_COUNT; ++i) {
        const KomaRec& p = board.pieces[i];
        if (p.state != KS_HAND)
            continue;
        ++inHand;
        EXPECT_EQ(p.owner, SENTE);
        EXPECT_EQ(p.file, 0);
        EXPECT_EQ(p.rank, 0);
        EXPECT_EQ(p.type, PT_FU);
    }
    EXPECT_EQ(inHand, 2);
    // Setup placed gFU23 on index 0 and gFU24 on index 1: the drop takes index 0.
    EXPECT_EQ(board.FindInHand(SENTE, PT_FU), 0);
    EXPECT_EQ(board.FindInHand(GOTE, PT_FU), -1);
    ASSERT_EQ(board.ApplyMove(Move(SENTE, 0, 0, 5, 5, PT_FU), true), 1);
    EXPECT_EQ(board.PieceAt(5, 5), 0);
    EXPECT_EQ(board.pieces[0].prevFile, 0);
    EXPECT_EQ(board.FindInHand(SENTE, PT_FU), 1);
}

TEST(ApplyMove, CapturesWhateverStandsThereEvenOwnPiece) {
    CShogiBoard board;
    // No rule check on this path: sente's rook "takes" sente's own gold.
    Arrange(board, "sHI55 sKI53");
    const int gold = board.PieceAt(5, 3);
    ASSERT_EQ(board.ApplyMove(Move(SENTE, 5, 5, 5, 3, PT_HI), true), 1);
    EXPECT_EQ(board.pieces[gold].state, KS_HAND);
    EXPECT_EQ(board.pieces[gold].owner, SENTE);
    // A gote piece taken by a gote mover goes to gote, whatever the record's side says.
    Arrange(board, "gKA11 gGI33");
    const int silver = board.PieceAt(3, 3);
    ASSERT_EQ(board.ApplyMove(Move(SENTE, 1, 1, 3, 3, PT_KAKU), true), 1);
    EXPECT_EQ(board.pieces[silver].owner, GOTE);
}

TEST(ApplyMove, PromotionAndStatusComeFromTheRecord) {
    CShogiBoard board;
    Arrange(board, "sGI44 sFU00");
    const int silver = board.PieceAt(4, 4);
    ASSERT_EQ(board.ApplyMove(Move(SENTE, 4, 4, 4, 3, PT_GIN, 1, MS_PROMOTE), true), 1);
    EXPECT_EQ(board.pieces[silver].promoted, 1);
    EXPECT_EQ(board.pieces[silver].moveStatus, MS_PROMOTE);
    EXPECT_EQ(board.pieces[silver].image, PT_GIN + 8);
    // A drop takes its flag from the record too.
    ASSERT_EQ(board.ApplyMove(Move(SENTE, 0, 0, 9, 9, PT_FU, 1), true), 1);
    EXPECT_EQ(board.pieces[board.PieceAt(9, 9)].promoted, 1);
}

TEST(ApplyMove, EndEntriesAndGarbageChangeNothing) {
    struct Case {
        const char* what;
        MoveRec rec;
    };
    auto with = [](auto change) {
        MoveRec m = Move(SENTE, 7, 7, 7, 6, PT_FU);
        change(m);
        return m;
    };
    const Case cases[] = {
        {"resign", with([](MoveRec& m) { m.status = MS_RESIGN; })},
        {"king taken", with([](MoveRec& m) { m.status = MS_KINGTAKEN; })},
        {"mate", with([](MoveRec& m) { m.status = MS_MATE; })},
        {"abort", with([](MoveRec& m) { m.status = MS_ABORT; })},
        {"status -7", with([](MoveRec& m) { m.status = -7; })},
        {"status INT_MIN", with([](MoveRec& m) { m.status = INT_MIN; })},
        {"promoted 5", with([](MoveRec& m) { m.promoted = 5; })},
        {"promoted INT_MIN", with([](MoveRec& m) { m.promoted = INT_MIN; })},
        {"toFile 0", with([](MoveRec& m) { m.toFile = 0; })},
        {"toFile 10", with([](MoveRec& m) { m.toFile = 10; })},
        {"toRank -1", with([](MoveRec& m) { m.toRank = -1; })},
        {"toFile INT_MIN", with([](MoveRec& m) { m.toFile = INT_MIN; })},
        {"toRank INT_MAX", with([](MoveRec& m) { m.toRank = INT_MAX; })},
        {"fromFile 10", with([](MoveRec& m) { m.fromFile = 10; })},
        {"fromRank INT_MIN", with([](MoveRec& m) { m.fromRank = INT_MIN; })},
        {"fromFile -3", with([](MoveRec& m) { m.fromFile = -3; })},
        {"empty source", with([](MoveRec& m) { m.fromRank = 5; })},
        {"source is target", with([](MoveRec& m) { m.toRank = 7; })},
        {"drop, nothing in hand", with([](MoveRec& m) { m.fromFile = m.fromRank = 0; })},
        {"drop, type 99", with([](MoveRec& m) { m.fromFile = m.fromRank = 0; m.type = 99; })},
        {"drop, type -1", with([](MoveRec& m) { m.fromFile = m.fromRank = 0; m.type = -1; })},
        {"drop, side -1", with([](MoveRec& m) { m.fromFile = m.fromRank = 0; m.type = PT_KAKU; m.side = -1; })},
        {"drop, side INT_MAX", with([](MoveRec& m) { m.fromFile = m.fromRank = 0; m.type = PT_KAKU; m.side = INT_MAX; })},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CShogiBoard board;
        // Something in sente's hand so that drops have a candidate of another type.
        ASSERT_EQ(board.ApplyMove(Move(SENTE, 8, 8, 2, 2, PT_KAKU, 1, MS_PROMOTE), true), 1);
        const CShogiBoard before = board;
        EXPECT_EQ(board.ApplyMove(c.rec, false), 0);
        EXPECT_TRUE(SameTable(board, before));
    }
    // The same drop with a sound side and type is accepted: the refusals above
    // come from the garbage field alone.
    CShogiBoard board;
    ASSERT_EQ(board.ApplyMove(Move(SENTE, 8, 8, 2, 2, PT_KAKU, 1, MS_PROMOTE), true), 1);
    EXPECT_EQ(board.ApplyMove(Move(SENTE, 0, 0, 7, 6, PT_KAKU), true), 1);
}

TEST(ApplyMove, SoundOnlyWhenAskedForAndSwitchedOn) {
    struct Case {
        bool quiet, settingOn, available, attachSound, attachSetting;
        int plays;
    } cases[] = {
        {false, true, true, true, true, 1},
        {true, true, true, true, true, 0},
        {false, false, true, true, true, 0},
        {false, true, false, true, true, 1},  // missing resource: tried, silent, move stands
        {false, true, true, false, true, 0},
        {false, true, true, true, false, 0},
    };
    for (const Case& c : cases) {
        CShogiBoard board;
        test::FakeSound sound;
        test::FakeSetting setting;
        sound.available = c.available;
        setting.on = c.settingOn;
        if (c.attachSound)
            board.SetPieceSound(&sound);
        if (c.attachSetting)
            board.SetSoundSetting(&setting);
        EXPECT_EQ(board.ApplyMove(Move(SENTE, 7, 7, 7, 6, PT_FU), c.quiet), 1);
        EXPECT_EQ(sound.plays, c.plays);
    }
}

TEST(PieceTable, CaptureOnlyFromTheBoard) {
    CShogiBoard board;
    board.ComputeAttacks(SENTE);
    ASSERT_EQ(board.pieces[6].dest[0].reachable, 1);
    board.Capture(6, GOTE);
    const KomaRec& p = board.pieces[6];
    EXPECT_EQ(p.owner, GOTE);
    EXPECT_EQ(p.state, KS_HAND);
    EXPECT_EQ(p.prevState, KS_BOARD);
    EXPECT_EQ(p.file, 0);
    EXPECT_EQ(p.prevFile, 7);
    bool allZero = true;
    for (const DestEntry& e : p.dest)
        allZero = allZero && e.reachable == 0 && e.file == 0 && e.rank == 0 && e.occupied == 0 && e.occupant == 0;
    EXPECT_TRUE(allZero);
    // A second capture of a piece in hand does nothing.
    board.Capture(6, SENTE);
    EXPECT_EQ(p.owner, GOTE);
    EXPECT_EQ(p.prevState, KS_BOARD);
}

TEST(PieceTable, GarbageIndicesAndSquaresAreRefused) {
    CShogiBoard board;
    const CShogiBoard before = board;
    const int badIndices[] = {-1, 40, 41, INT_MIN, INT_MAX, -40};
    for (int i : badIndices) {
        SCOPED_TRACE(i);
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
    const int badCoords[] = {-1, 0, 10, INT_MIN, INT_MAX};
    for (int c : badCoords) {
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

}  // namespace
}  // namespace ravu
