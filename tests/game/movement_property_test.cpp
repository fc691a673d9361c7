// Movement of every piece, promoted and not, for both sides, on every square,
// checked against a reference written independently of the board's rules:
// each piece is drawn as a 5 x 5 diagram seen from its owner (top = forward).
// 'o' is a square it steps to, '*' a direction it slides in, 'P' the piece.  The move judge
// (CanMove), the destination lists, the check indicator and the pointer path
// (DropHeld) must all agree with it.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>

#include "tests/game/position.h"

namespace ravu {
namespace {

struct Kind {
    const char* name;
    int type, promoted;
    const char* diagram;  // 5 rows of 5
};

const char* const GOLD = "....." ".ooo." ".oPo." "..o.." ".....";
const char* const KING = "....." ".ooo." ".oPo." ".ooo." ".....";
const Kind KINDS[] = {
    {"FU", PT_FU, 0, "....." "..o.." "..P.." "....." "....."},
    {"KY", PT_KYO, 0, "....." "..*.." "..P.." "....." "....."},
    {"KE", PT_KEI, 0, ".o.o." "....." "..P.." "....." "....."},
    {"GI", PT_GIN, 0, "....." ".ooo." "..P.." ".o.o." "....."},
    {"KI", PT_KIN, 0, GOLD},
    {"KA", PT_KAKU, 0, "....." ".*.*." "..P.." ".*.*." "....."},
    {"HI", PT_HI, 0, "....." "..*.." ".*P*." "..*.." "....."},
    {"OU", PT_OU, 0, KING},
    {"GY", PT_GYOKU, 0, KING},
    {"TO", PT_FU, 1, GOLD},
    {"NY", PT_KYO, 1, GOLD},
    {"NK", PT_KEI, 1, GOLD},
    {"NG", PT_GIN, 1, GOLD},
    {"UM", PT_KAKU, 1, "....." ".*o*." ".oPo." ".*o*." "....."},
    {"RY", PT_HI, 1, "....." ".o*o." ".*P*." ".o*o." "....."},
};

using Square = std::pair<int, int>;

// Steps wherever they land on the board; slides up to and including the
// first occupied square.
std::set<Square> Reference(const CShogiBoard& board, const Kind& kind, int owner, int file, int rank) {
    std::set<Square> out;
    for (int cell = 0; kind.diagram[cell]; ++cell) {
        const char mark = kind.diagram[cell];
        if (mark != 'o' && mark != '*')
            continue;
        // Seen from sente, the left of a diagram is the higher file and its
        // top the lower rank; gote sees the board turned round.
        const int sign = owner == GOTE ? -1 : 1;
        const int df = sign * (2 - cell % 5), dr = sign * (cell / 5 - 2);
        for (int f = file + df, r = rank + dr; OnBoard(f, r); f += df, r += dr) {
            out.insert({f, r});
            if (mark == 'o' || board.PieceAt(f, r) != -1)
                break;
        }
    }
    return out;
}

const Kind& KindOf(const KomaRec& p) {
    for (const Kind& k : KINDS)
        if (k.type == p.type && k.promoted == p.promoted)
            return k;
    return KINDS[0];
}

void CheckPiece(CShogiBoard& board, int index) {
    const KomaRec& p = board.pieces[index];
    const Kind& kind = KindOf(p);
    const std::set<Square> expected = Reference(board, kind, p.owner, p.file, p.rank);
    for (int f = 1; f <= 9; ++f)
        for (int r = 1; r <= 9; ++r)
            ASSERT_EQ(board.CanMove(p, f, r), expected.count({f, r}))
                << kind.name << " owner " << p.owner << " on " << p.file << p.rank << " to " << f << r;
    // The destination list: the same squares, each entry describing its
    // occupant, all within the part of the list the marks read.
    board.GenerateDest(index);
    std::set<Square> listed;
    for (int k = 0; k < DEST_COUNT; ++k) {
        const DestEntry& e = p.dest[k];
        if (e.reachable == 0 && e.occupied == 0) {
            EXPECT_TRUE(e.file == 0 && e.rank == 0);
            continue;
        }
        ASSERT_LT(k, CShogiBoard::DestListSize(p.type)) << kind.name;
        EXPECT_TRUE(listed.insert({e.file, e.rank}).second) << "square listed twice";
        const int t = board.PieceAt(e.file, e.rank);
        EXPECT_EQ(e.occupied, t != -1);
        EXPECT_EQ(e.occupant, t != -1 ? t : 0);
        EXPECT_EQ(e.reachable, t == -1 || board.pieces[t].owner != p.owner);
    }
    EXPECT_EQ(listed, expected) << kind.name << " owner " << p.owner << " on " << p.file << p.rank;
}

// One piece alone on the board; the first of its type in the table.
int Alone(CShogiBoard& board, const Kind& kind, int owner, int file, int rank) {
    test::ClearBoard(board);
    int index = 0;
    while (board.pieces[index].type != kind.type)
        ++index;
    KomaRec& p = board.pieces[index];
    p.state = KS_BOARD;
    p.owner = owner;
    p.promoted = kind.promoted;
    p.file = file;
    p.rank = rank;
    return index;
}

// Alone on the board, every kind on every square; then the user's path in
// both views: DropHeld accepts exactly the reference squares, from any point
// inside the target square.
TEST(MovementProperty, EveryKindEverySquareEmptyBoard) {
    CShogiBoard board;
    for (const Kind& kind : KINDS)
        for (int owner = SENTE; owner <= GOTE; ++owner)
            for (int f = 1; f <= 9; ++f)
                for (int r = 1; r <= 9; ++r) {
                    const int index = Alone(board, kind, owner, f, r);
                    CheckPiece(board, index);
                    const std::set<Square> expected = Reference(board, kind, owner, f, r);
                    KomaRec& p = board.pieces[index];
                    for (int flip = 0; flip <= 1; ++flip) {
                        board.SetFlip(flip);
                        for (int tf = 1; tf <= 9; ++tf)
                            for (int tr = 1; tr <= 9; ++tr) {
                                p.promoted = kind.promoted;
                                p.file = f;
                                p.rank = r;
                                board.PickUp(index, 0, 0);
                                const int i = flip ? tf - 1 : 9 - tf, j = flip ? 9 - tr : tr - 1;
                                const int moved = board.DropHeld(index, 141 + 31 * i + 7, 11 + 31 * j + 29);
                                ASSERT_EQ(moved, expected.count({tf, tr}))
                                    << kind.name << " owner " << owner << " " << f << r << "->" << tf << tr
                                    << " flip " << flip;
                                ASSERT_EQ(p.state, KS_BOARD);
                                ASSERT_EQ(p.file * 10 + p.rank, moved ? tf * 10 + tr : f * 10 + r);
                            }
                    }
                    if (testing::Test::HasFatalFailure())
                        return;
                }
}

// Random middle-game-like positions: part of the set on random squares with
// random owners and promotions, some pieces in hand.
TEST(MovementProperty, RandomPositionsWithBlockersAndTheCheckIndicator) {
    std::mt19937 rng(20261206);
    std::uniform_int_distribution<int> percent(0, 99), square(1, 9);
    CShogiBoard board;
    for (int round = 0; round < 300; ++round) {
        test::ClearBoard(board);
        for (KomaRec& p : board.pieces) {
            const bool king = IsKing(p.type);
            if (!king && percent(rng) < 40)
                continue;
            p.owner = king ? (p.type == PT_GYOKU ? SENTE : GOTE) : percent(rng) % 2;
            p.promoted = p.type != PT_KIN && !king && percent(rng) < 25;
            if (!king && percent(rng) < 10) {
                p.state = KS_HAND;
                p.promoted = 0;
                continue;
            }
            do {
                p.file = square(rng);
                p.rank = square(rng);
            } while (board.PieceAt(p.file, p.rank) != -1);
            p.state = KS_BOARD;
        }
        int expectedKing = -1;  // the king reached by the latest piece in table order
        for (int i = 0; i < PIECE_COUNT; ++i) {
            const KomaRec& p = board.pieces[i];
            if (p.state != KS_BOARD)
                continue;
            CheckPiece(board, i);
            if (testing::Test::HasFatalFailure())
                return;
            for (const Square& s : Reference(board, KindOf(p), p.owner, p.file, p.rank)) {
                const int t = board.PieceAt(s.first, s.second);
                if (t != -1 && IsKing(board.pieces[t].type) && board.pieces[t].owner != p.owner)
                    expectedKing = t;
            }
        }
        for (int side = SENTE; side <= GOTE; ++side) {
            EXPECT_EQ(board.ComputeAttacks(side), expectedKing != -1 && board.pieces[expectedKing].owner == side);
            EXPECT_EQ(board.kingAttacked, expectedKing != -1) << round;
            if (expectedKing != -1) {
                EXPECT_EQ(board.attackedKing, expectedKing) << round;
            }
        }
    }
}

}  // namespace
}  // namespace ravu
