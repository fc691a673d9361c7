// Moves and games for the record tests and benchmarks: the fields of a move
// as one array, random games on a real board.
#pragma once

#include <array>
#include <random>

#include "game/board.h"

namespace ravu::test {

inline std::array<int32_t, 11> Fields(const MoveRec& m) {
    return {m.side,     m.number,   m.toFile, m.toRank,  m.type,        m.promoted,
            m.fromFile, m.fromRank, m.status, m.seconds, m.totalSeconds};
}

// Plays a random move of `side` on the board (no rule check is needed for
// replay, only a piece on the source or in hand) and returns the index of the
// piece that moved (-1 if the board refused it).  Kings are neither moved nor captured.
inline int RandomMove(CShogiBoard& b, int side, std::mt19937& rng) {
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    for (;;) {
        const KomaRec& p = b.GetPiece(pick(PIECE_COUNT));
        const int f = 1 + pick(9), r = 1 + pick(9), there = b.PieceAt(f, r);
        if (p.owner != side || IsKing(p.type) || (p.state == KS_HAND && there >= 0) ||
            (there >= 0 && (b.GetPiece(there).owner == side || IsKing(b.GetPiece(there).type))))
            continue;
        MoveRec m;
        m.side = side, m.type = p.type, m.toFile = f, m.toRank = r;
        if (p.state == KS_BOARD) {
            m.fromFile = p.file, m.fromRank = p.rank, m.promoted = p.promoted;
            if (!p.promoted && p.type != PT_KIN && pick(5) == 0)
                m.promoted = 1, m.status = MS_PROMOTE;
        }
        return b.ApplyMove(m, true) == 1 ? b.PieceAt(f, r) : -1;
    }
}

}  // namespace ravu::test
