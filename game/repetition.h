// Fourfold repetition (千日手) for games with a referee: the same position,
// with the same pieces in hand and the same side to move, for the fourth
// time ends the game as a draw, unless one side gave check with every one
// of its moves since the position first stood: that side loses.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace ravu {

class CShogiBoard;

enum class Repetition {
    None,        // play on
    Draw,        // 千日手
    SenteLoses,  // sente checked without a break
    GoteLoses,   // gote checked without a break
};

// The position as a key: the board and hands as SFEN and the side to move.
std::string PositionKey(const CShogiBoard& board, int sideToMove);

class CRepetitionCounter {
public:
    // The start of the game (or of the record being followed).
    void Start(const std::string& key);
    // The position after a move of `mover`, and whether the move gave check.
    Repetition Record(const std::string& key, int mover, bool gaveCheck);

private:
    struct Ply {
        int mover;
        bool gaveCheck;
    };
    std::unordered_map<std::string, std::vector<std::size_t>>
        seen;  // key -> indices into plies (0: the start)
    std::vector<Ply> plies;
};

}  // namespace ravu
