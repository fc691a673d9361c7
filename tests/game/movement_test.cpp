// Movement of every piece, promoted and not, for both sides, checked against a
// reference written independently of the board's rules: each piece is drawn
// as a 5 x 5 diagram seen from its owner (top = forward).  'o' is a square it
// steps to, '*' a direction it slides in, 'P' the piece.  The move judge
// (CanMove), the destination lists, the check indicator and the pointer path
// (DropHeld) must all agree with it.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <utility>

#include "tests/game/position.h"

namespace ravu {
namespace {

struct Kind {
    const char* token;    // as in Arrange
    const char* diagram;  // 5 rows of 5
};

// clang-format off
const char* const GOLD = "....." ".ooo." ".oPo." "..o.." ".....";
const char* const KING = "....." ".ooo." ".oPo." ".ooo." ".....";
const Kind KINDS[] = {
    {"FU", "....." "..o.." "..P.." "....." "....."}, {"KY", "....." "..*.." "..P.." "....." "....."},
    {"KE", ".o.o." "....." "..P.." "....." "....."}, {"GI", "....." ".ooo." "..P.." ".o.o." "....."},
    {"KI", GOLD}, {"OU", KING}, {"GY", KING}, {"+FU", GOLD}, {"+KY", GOLD}, {"+KE", GOLD}, {"+GI", GOLD},
    {"KA", "....." ".*.*." "..P.." ".*.*." "....."}, {"HI", "....." "..*.." ".*P*." "..*.." "....."},
    {"+KA", "....." ".*o*." ".oPo." ".*o*." "....."}, {"+HI", "....." ".o*o." ".*P*." ".o*o." "....."},
};
// clang-format on

using Square = std::pair<int, int>;

// Steps wherever they land on the board; slides up to and including the
// first occupied square.
std::set<Square> Reference(const CShogiBoard& board, const KomaRec& p) {
    const std::string token = std::string(p.promoted ? "+" : "") + test::NAMES.substr(2 * p.type, 2);
    const char* diagram = nullptr;
    for (const Kind& k : KINDS)
        diagram = token == k.token ? k.diagram : diagram;
    std::set<Square> out;
    for (int cell = 0; cell < 25; ++cell) {
        // Seen from sente, the left of a diagram is the higher file and its
        // top the lower rank; gote sees the board turned round.
        const int sign = p.owner == GOTE ? -1 : 1, df = sign * (2 - cell % 5), dr = sign * (cell / 5 - 2);
        for (int f = p.file + df, r = p.rank + dr; strchr("o*", diagram[cell]) && OnBoard(f, r);
             f += df, r += dr) {
            out.insert({f, r});
            if (diagram[cell] == 'o' || board.PieceAt(f, r) != -1)
                break;
        }
    }
    return out;
}

// CanMove and the destination list give the reference squares; each list
// entry describes its occupant, within the part of the list the marks read.
// Through the pointer, in both views, from any point inside a target square,
// DropHeld accepts the reference squares not held by an own piece.
void CheckPiece(CShogiBoard& board, int index) {
    const KomaRec& p = board.pieces[index];
    const std::set<Square> expected = Reference(board, p);
    SCOPED_TRACE(test::Describe(board) + " piece " + std::to_string(index));
    for (int f = 1; f <= 9; ++f)
        for (int r = 1; r <= 9; ++r) {
            ASSERT_EQ(board.CanMove(p, f, r), expected.count({f, r})) << f << r;
            // The pointer on the left and bottom edges of the square, then (turned view) the right and top.
            const int t = board.PieceAt(f, r);
            for (int flip = 0; flip <= 1 && board.HeldPiece() == -1; ++flip) {
                CShogiBoard copy = board;
                copy.SetFlip(flip);
                copy.PickUp(index, 0, 0);
                int x = 0, y = 0;
                test::Centre(copy, f, r, x, y);
                ASSERT_EQ(copy.DropHeld(index, x - 15 + 30 * flip, y + 15 - 30 * flip),
                          expected.count({f, r}) && (t == -1 || board.pieces[t].owner != p.owner))
                    << f << r << " flip " << flip;
            }
        }
    board.GenerateDest(index);
    std::set<Square> listed;
    for (int k = 0; k < DEST_COUNT; ++k) {
        const DestEntry& e = p.dest[k];
        if (e.reachable == 0 && e.occupied == 0) {
            EXPECT_TRUE(e.file == 0 && e.rank == 0);
            continue;
        }
        ASSERT_LT(k, CShogiBoard::DestListSize(p.type));
        const int t = board.PieceAt(e.file, e.rank);
        EXPECT_TRUE(listed.insert({e.file, e.rank}).second) << "square listed twice";
        EXPECT_EQ(e.occupied, t != -1);
        EXPECT_EQ(e.occupant, t != -1 ? t : 0);
        EXPECT_EQ(e.reachable, t == -1 || board.pieces[t].owner != p.owner);
    }
    EXPECT_EQ(listed, expected);
}

// Every kind alone on every square; then crowded positions, where lines end
// at the first piece and own pieces are listed as blocked.  The check
// indicator names the king reached by the latest piece in table order; a held
// piece counts from its square.
TEST(Movement, EveryKindEverySquareAndCrowdedPositions) {
    CShogiBoard board;
    for (const Kind& kind : KINDS)
        for (const char* owner : {"s", "g"})
            for (int square = 11; square <= 99; square += square % 10 == 9 ? 2 : 1)
                CheckPiece(board, test::Arrange(board, owner + (kind.token + std::to_string(square)))[0]);
    const struct {
        const char* position;  // "": the initial position
        int king;              // square of the king reported attacked, 0: none
        // clang-format off
    } rows[] = {
        {"", 0},
        {"sGY59 gOU51 s+HI52 gKA95 sFU57 g+KE58 sKI69 gGI47 sKY19 gKY11 s+KA33 gFU53 sKE55 g+GI44 gHI99 sFU00", 51},
        {"gOU55 sGY11 sHI15 sKA99 gKI45 gFU54 sKY53 s+FU64 gKE67 sGI46 g+HI22* g+KA88 sKE43 gKY59", 11},
        {"sGY99 gOU11 sKY93 sKA77 gFU22 gKI97", 0},  // the bishop's line ends at its own king
    };
    // clang-format on
    for (const auto& r : rows) {
        if (*r.position)
            test::Arrange(board, r.position);
        else
            board.Reset();
        for (int i = 0; i < PIECE_COUNT; ++i)
            if (board.pieces[i].state != KS_NONE && board.pieces[i].file != 0)
                CheckPiece(board, i);
        const int king = board.PieceAt(r.king / 10, r.king % 10);
        for (int side = SENTE; side <= GOTE; ++side)
            EXPECT_EQ(board.ComputeAttacks(side), king != -1 && board.pieces[king].owner == side) << r.king;
        EXPECT_EQ(board.kingAttacked ? board.attackedKing : -1, king);
    }
}

}  // namespace
}  // namespace ravu
