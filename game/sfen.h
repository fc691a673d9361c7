// Positions as SFEN text ("lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1"):
// the nine ranks from rank 1, each from file 9 to file 1 (upper case sente,
// lower case gote, "+" promoted, digits empty squares), the side to move,
// the pieces in hand ("-" none) and the move number.  A record that starts
// from any other position than the even game keeps its start this way.
#pragma once

#include <string>
#include <string_view>

namespace ravu {

class CShogiBoard;

inline constexpr std::string_view EVEN_SFEN =
    "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1";

// Sets the board up from the SFEN: every piece it names takes a piece of its
// kind from the 40-piece table, and the pieces it does not name are out of
// play (neither on the board nor in a hand).  `sideToMove` gets the side
// that moves first.  False, with the board untouched, for text that is not a
// position the table can hold.
bool SetUpSfen(CShogiBoard& board, std::string_view sfen, int* sideToMove = nullptr);

// The board as SFEN with the side to move and the move number.
std::string BoardSfen(const CShogiBoard& board, int sideToMove, int moveNumber);

}  // namespace ravu
