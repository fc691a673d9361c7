// A position for searching moves quickly: the 81 squares as a mailbox inside
// a wall, the pieces in hand and the side to move, with the strict rules of
// refereed games on it (no own king left attacked, no second unpromoted pawn
// of a side on a file, no mate by a dropped pawn, no piece where it could
// never move again).  The board keeps its 40 physical pieces for the
// windows; a position is built from it once and then played on directly.
#pragma once

#include <array>
#include <cstdint>

#include "game/types.h"

namespace ravu {

class CShogiBoard;

// Squares: file * 12 + rank + 1.  Every step of a piece from a square of the
// board (at most one file and two ranks) stays inside the array, and lands
// on the wall when it leaves the board.
constexpr int SQUARE_COUNT = 133;
constexpr int SquareOf(int file, int rank) { return file * 12 + rank + 1; }
constexpr int FileOf(int sq) { return (sq - 1) / 12; }
constexpr int RankOf(int sq) { return (sq - 1) % 12; }

// A square's content: the type (PT_...) in the low four bits, PROMOTED, and
// the bit of the owner.  The wall carries both owners' bits, so neither side
// may enter it.
using Piece = uint8_t;
constexpr Piece NO_PIECE = 0;
constexpr Piece PROMOTED = 0x10;
constexpr Piece SENTE_PIECE = 0x40;
constexpr Piece GOTE_PIECE = 0x80;
constexpr Piece WALL = SENTE_PIECE | GOTE_PIECE;
constexpr Piece OwnerBit(int side) { return side == SENTE ? SENTE_PIECE : GOTE_PIECE; }
constexpr Piece MakePiece(int side, int type, bool promoted) {
    return Piece(OwnerBit(side) | (promoted ? PROMOTED : 0) | type);
}
constexpr int TypeOf(Piece p) { return p & 0x0F; }

// One side's moves never exceed 40 pieces with 16 squares each, listed
// promoting and plain, and 7 kinds of drop on 81 squares.
constexpr int MAX_MOVES = 40 * 16 * 2 + 7 * 81;

class Position {
public:
    struct Move {
        uint8_t from;     // square, 0 for a drop
        uint8_t to;       // square
        uint8_t type;     // PT_... of the piece moved or dropped
        uint8_t promote;  // 1 if the piece promotes with this move
    };

    struct MoveList {
        std::array<Move, MAX_MOVES> moves;
        int size = 0;
        const Move* begin() const { return moves.data(); }
        const Move* end() const { return moves.data() + size; }
    };

    Position();  // an empty board, empty hands, sente to move
    // The KS_BOARD and KS_HAND pieces of the table; a piece the board's own
    // operations cannot produce (owner, type or promotion flag out of range)
    // is left out.  The king a side must guard is its first in table order.
    Position(const CShogiBoard& board, int sideToMove);

    int SideToMove() const { return side; }
    Piece At(int sq) const { return board[sq]; }
    int InHand(int owner, int type) const { return hands[owner][type]; }

    // Whether a piece of `by` reaches the square, whatever stands on it.
    bool Attacked(int sq, int by) const;
    // Whether the king of the side to move is attacked (false without a king).
    bool InCheck() const;

    // Every legal move of the side to move, each once.
    void LegalMoves(MoveList& list) const;
    // Plays a move of LegalMoves; the other side moves next.
    void Play(const Move& m);

    bool operator==(const Position&) const = default;

private:
    void Generate(MoveList& list);
    void AddBoardMoves(MoveList& list, int from, int to, Piece p, bool checked);
    bool KingSafeAfter(int from, int to, Piece p);
    bool MatesByDroppedPawn(int to, bool theyWereChecked) const;

    std::array<Piece, SQUARE_COUNT> board;
    std::array<std::array<uint8_t, 16>, 2> hands{};  // by owner and type
    std::array<uint8_t, 2> kings{};                  // each side's king square, 0 without one
    uint8_t side = SENTE;
};

// Every line of legal moves `depth` plies deep, counted.
uint64_t Perft(const Position& pos, int depth);

}  // namespace ravu
