// One move typed by the user, in any of the usual ways of writing it:
// Japanese ("76歩", "７六歩", "同　歩", "58金右", "22角不成", "55角打",
// "76歩(77)"), USI ("7g7f", "P*5e", "8h2b+"), Western ("P-7f", "Bx2b+",
// "G6i-5h", "+B-5e", "=" to decline promotion) and CSA ("7776FU",
// "+7776FU"), each with an optional side mark (▲ △ ▽, the shogi piece
// signs, "+"/"-" for CSA) and blanks anywhere.  The move is found on the
// board shown and judged by the same rules as a move made with the pointer.
// Text is Shift-JIS; standard library only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/types.h"

namespace ravu {

class CShogiBoard;

enum class TypedError {
    None,             // the move is made by `piece` as `move` says
    Unreadable,       // the text is no move in any of the forms
    NotYourTurn,      // a side mark of the side not to move
    NoPiece,          // no piece of that kind (or none on the origin) can go there
    NotYourPiece,     // the origin holds a piece of the other side
    Ambiguous,        // several pieces fit: `origins` and `words` tell them apart
    ChoosePromotion,  // the piece may promote or not, and the text says neither
    Illegal,          // refused by the rules: `illegal` says why
};

enum class TypedIllegal {
    None,
    OwnPieceThere,  // the destination holds a piece of the mover
    NotInHand,      // a drop of a kind the mover does not hold
    DropOccupied,   // a drop onto a piece
    TwoPawns,       // a second unpromoted pawn on the file
    DeadPiece,      // a drop where the piece could never move again
    CannotPromote,  // 成 / "+" on a move or piece that cannot promote
    MustPromote,    // promotion declined where the piece could never move again
    StrictRules,    // refused in a game with strict rules (own king left attacked, mate by a pawn drop ...)
};

struct TypedMove {
    TypedError error = TypedError::Unreadable;
    TypedIllegal illegal = TypedIllegal::None;
    // The move when there is no error: side, squares, type, promoted after
    // the move, status MS_PROMOTE when it promotes; number 0.
    MoveRec move;
    int piece = -1;  // table index of the moving piece (on the board or in hand)
    // Ambiguous: the origins (file * 10 + rank) of the pieces that fit, and
    // for each the Japanese relative words that single it out ("右", "左上";
    // empty when none do).
    std::vector<int32_t> origins;
    std::vector<std::string> words;
};

// Reads the text as a move of `side` (the side to move) on the board;
// (lastFile, lastRank) is the square of the last move, for 同; `strict`
// applies the rules of a refereed game.
TypedMove ReadTypedMove(const CShogiBoard& board, int side, int32_t lastFile, int32_t lastRank, bool strict,
                        std::string_view text);

}  // namespace ravu
