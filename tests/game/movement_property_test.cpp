// Movement of every piece, promoted and not, for both sides, on every square,
// checked against a reference written independently of the board's rules:
// each piece is drawn as a 5 x 5 diagram seen from its owner (top = forward).
// 'o' is a square it steps to, '*' a direction it slides in, 'P' the piece.
// The move judge (CanMove) and the destination lists must both agree with it.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>

#include "game/board.h"
#include "tests/game/position.h"

namespace ravu {
namespace {

struct Kind {
    const char* name;
    int type, promoted;
    const char* diagram[5];
};

const Kind KINDS[] = {
    {"FU", PT_FU, 0, {".....", "..o..", "..P..", ".....", "....."}},
    {"KY", PT_KYO, 0, {".....", "..*..", "..P..", ".....", "....."}},
    {"KE", PT_KEI, 0, {".o.o.", ".....", "..P..", ".....", "....."}},
    {"GI", PT_GIN, 0, {".....", ".ooo.", "..P..", ".o.o.", "....."}},
    {"KI", PT_KIN, 0, {".....", ".ooo.", ".oPo.", "..o..", "....."}},
    {"KA", PT_KAKU, 0, {".....", ".*.*.", "..P..", ".*.*.", "....."}},
    {"HI", PT_HI, 0, {".....", "..*..", ".*P*.", "..*..", "....."}},
    {"OU", PT_OU, 0, {".....", ".ooo.", ".oPo.", ".ooo.", "....."}},
    {"GY", PT_GYOKU, 0, {".....", ".ooo.", ".oPo.", ".ooo.", "....."}},
    {"TO", PT_FU, 1, {".....", ".ooo.", ".oPo.", "..o..", "....."}},
    {"NY", PT_KYO, 1, {".....", ".ooo.", ".oPo.", "..o..", "....."}},
    {"NK", PT_KEI, 1, {".....", ".ooo.", ".oPo.", "..o..", "....."}},
    {"NG", PT_GIN, 1, {".....", ".ooo.", ".oPo.", "..o..", "....."}},
    {"UM", PT_KAKU, 1, {".....", ".*o*.", ".oPo.", ".*o*.", "....."}},
    {"RY", PT_HI, 1, {".....", ".o*o.", ".*P*.", ".o*o.", "....."}},
};

using Square = std::pair<int, int>;

// The squares the piece on (file, rank) may move to: steps wherever they land
// on the board, slides up to and including the first occupied square.
std::set<Square> Reference(const CShogiBoard& board, const Kind& kind, int owner, int file, int rank) {
    std::set<Square> out;
    for (int row = 0; row < 5; ++row) {
        for (int col = 0; col < 5; ++col) {
            const char mark = kind.diagram[row][col];
            if (mark != 'o' && mark != '*')
                continue;
            // Seen from sente, the left of a diagram is the higher file and
            // its top the lower rank; gote sees the board turned round.
            int df = 2 - col, dr = row - 2;
            if (owner == GOTE) {
                df = -df;
                dr = -dr;
            }
            if (mark == 'o') {
                if (OnBoard(file + df, rank + dr))
                    out.insert({file + df, rank + dr});
                continue;
            }
            for (int f = file + df, r = rank + dr; OnBoard(f, r); f += df, r += dr) {
                out.insert({f, r});
                if (board.PieceAt(f, r) != -1)
                    break;
            }
        }
    }
    return out;
}

// Index of the first piece of the type in the table (the piece the test moves).
int FirstOfType(int type) {
    CShogiBoard board;
    for (int i = 0; i < PIECE_COUNT; ++i)
        if (board.pieces[i].type == type)
            return i;
    return -1;
}

void CheckPiece(CShogiBoard& board, int index, const Kind& kind) {
    const KomaRec& p = board.pieces[index];
    const std::set<Square> expected = Reference(board, kind, p.owner, p.file, p.rank);
    // The move judge, square by square.
    for (int f = 1; f <= 9; ++f)
        for (int r = 1; r <= 9; ++r)
            ASSERT_EQ(board.CanMove(p, f, r), expected.count({f, r}) ? 1 : 0)
                << kind.name << " owner " << p.owner << " on " << p.file << p.rank << " to " << f << r;
    // The destination list: the same squares, each entry describing its occupant,
    // all within the part of the list the marks read.
    board.GenerateDest(index);
    std::set<Square> listed;
    const int n = CShogiBoard::DestListSize(p.type);
    for (int k = 0; k < DEST_COUNT; ++k) {
        const DestEntry& e = p.dest[k];
        if (e.reachable == 0 && e.occupied == 0) {
            EXPECT_EQ(e.file, 0);
            EXPECT_EQ(e.rank, 0);
            continue;
        }
        ASSERT_LT(k, n) << kind.name;
        ASSERT_TRUE(OnBoard(e.file, e.rank));
        EXPECT_TRUE(listed.insert({e.file, e.rank}).second) << "square listed twice";
        const int t = board.PieceAt(e.file, e.rank);
        EXPECT_EQ(e.occupied, t != -1 ? 1 : 0);
        EXPECT_EQ(e.occupant, t != -1 ? t : 0);
        EXPECT_EQ(e.reachable, (t == -1 || board.pieces[t].owner != p.owner) ? 1 : 0);
    }
    EXPECT_EQ(listed, expected) << kind.name << " owner " << p.owner << " on " << p.file << p.rank;
}

TEST(MovementProperty, EveryKindEverySquareEmptyBoard) {
    CShogiBoard board;
    for (const Kind& kind : KINDS) {
        const int index = FirstOfType(kind.type);
        for (int owner = SENTE; owner <= GOTE; ++owner) {
            for (int f = 1; f <= 9; ++f) {
                for (int r = 1; r <= 9; ++r) {
                    test::ClearBoard(board);
                    KomaRec& p = board.pieces[index];
                    p.state = KS_BOARD;
                    p.owner = owner;
                    p.promoted = kind.promoted;
                    p.file = f;
                    p.rank = r;
                    CheckPiece(board, index, kind);
                    if (testing::Test::HasFatalFailure())
                        return;
                }
            }
        }
    }
}

// Random middle-game-like positions: a random part of the set on random
// squares with random owners and promotions, some pieces in hand.
void RandomPosition(CShogiBoard& board, std::mt19937& rng) {
    test::ClearBoard(board);
    std::uniform_int_distribution<int> percent(0, 99), square(1, 9);
    for (int i = 0; i < PIECE_COUNT; ++i) {
        KomaRec& p = board.pieces[i];
        if (!IsKing(p.type) && percent(rng) < 40)
            continue;
        const int roll = percent(rng);
        p.owner = IsKing(p.type) ? (p.type == PT_GYOKU ? SENTE : GOTE) : roll % 2;
        const bool promotable = p.type != PT_KIN && !IsKing(p.type);
        p.promoted = promotable && percent(rng) < 25 ? 1 : 0;
        if (!IsKing(p.type) && percent(rng) < 10) {
            p.state = KS_HAND;
            p.promoted = 0;
            continue;
        }
        for (;;) {
            const int f = square(rng), r = square(rng);
            if (board.PieceAt(f, r) == -1) {
                p.file = f;
                p.rank = r;
                p.state = KS_BOARD;
                break;
            }
        }
    }
}

const Kind& KindOf(const KomaRec& p) {
    for (const Kind& k : KINDS)
        if (k.type == p.type && k.promoted == p.promoted)
            return k;
    return KINDS[0];
}

TEST(MovementProperty, RandomPositionsWithBlockers) {
    std::mt19937 rng(20261206);
    CShogiBoard board;
    for (int round = 0; round < 300; ++round) {
        RandomPosition(board, rng);
        for (int i = 0; i < PIECE_COUNT; ++i) {
            if (board.pieces[i].state != KS_BOARD)
                continue;
            CheckPiece(board, i, KindOf(board.pieces[i]));
            if (testing::Test::HasFatalFailure())
                return;
        }
        // The check indicator: the king reached by the latest piece in table order.
        int expectedKing = -1;
        for (int i = 0; i < PIECE_COUNT; ++i) {
            const KomaRec& p = board.pieces[i];
            if (p.state != KS_BOARD)
                continue;
            for (const Square& s : Reference(board, KindOf(p), p.owner, p.file, p.rank)) {
                const int t = board.PieceAt(s.first, s.second);
                if (t != -1 && IsKing(board.pieces[t].type) && board.pieces[t].owner != p.owner)
                    expectedKing = t;
            }
        }
        for (int side = SENTE; side <= GOTE; ++side) {
            const int answer = board.ComputeAttacks(side);
            EXPECT_EQ(board.kingAttacked, expectedKing != -1 ? 1 : 0) << round;
            if (expectedKing != -1) {
                EXPECT_EQ(board.attackedKing, expectedKing) << round;
            }
            EXPECT_EQ(answer, expectedKing != -1 && board.pieces[expectedKing].owner == side) << round;
        }
    }
}

// The user's path: pick the piece up and put it down with the pointer, in
// both views.  On an empty board DropHeld must accept exactly the reference
// squares.
TEST(MovementProperty, PointerPathBothViews) {
    CShogiBoard board;
    for (int flip = 0; flip <= 1; ++flip) {
        for (const Kind& kind : KINDS) {
            const int index = FirstOfType(kind.type);
            for (int owner = SENTE; owner <= GOTE; ++owner) {
                for (int f = 1; f <= 9; ++f) {
                    for (int r = 1; r <= 9; ++r) {
                        test::ClearBoard(board);
                        board.SetFlip(flip);
                        KomaRec& p = board.pieces[index];
                        p.state = KS_BOARD;
                        p.owner = owner;
                        p.file = f;
                        p.rank = r;
                        const std::set<Square> expected = Reference(board, kind, owner, f, r);
                        for (int tf = 1; tf <= 9; ++tf) {
                            for (int tr = 1; tr <= 9; ++tr) {
                                p.promoted = kind.promoted;
                                p.file = f;
                                p.rank = r;
                                p.state = KS_BOARD;
                                board.PickUp(index, 0, 0);
                                const int i = flip ? tf - 1 : 9 - tf, j = flip ? 9 - tr : tr - 1;
                                const int moved = board.DropHeld(index, 141 + 31 * i + 7, 11 + 31 * j + 29);
                                ASSERT_EQ(moved, expected.count({tf, tr}) ? 1 : 0)
                                    << kind.name << " owner " << owner << " " << f << r << "->" << tf << tr
                                    << " flip " << flip;
                                if (moved) {
                                    ASSERT_EQ(p.file, tf);
                                    ASSERT_EQ(p.rank, tr);
                                } else {
                                    ASSERT_EQ(p.file, f);
                                    ASSERT_EQ(p.state, KS_BOARD);
                                }
                            }
                        }
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace ravu
