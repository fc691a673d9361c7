// Random games on a real board, for the replay tests and benchmarks.
#pragma once

#include <random>

#include "game/board.h"

namespace ravu::test {

// Plays a random move of `side` on the board (no rule check is needed for
// replay, only a piece on the source or in hand) and returns the index of the
// piece that moved (-1 if the board refused it).  Kings are neither moved nor captured.
inline int RandomMove(CShogiBoard& b, int side, std::mt19937& rng) {
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    for (;;) {
        MoveRec m;
        m.side = side;
        const int i = pick(PIECE_COUNT);
        const KomaRec& p = b.GetPiece(i);
        if (p.owner != side || IsKing(p.type))
            continue;
        const int f = 1 + pick(9), r = 1 + pick(9);
        const int there = b.PieceAt(f, r);
        if (there >= 0 && (b.GetPiece(there).owner == side || IsKing(b.GetPiece(there).type)))
            continue;
        if (p.state == KS_HAND) {
            if (there >= 0)
                continue;
            m.type = p.type;
        } else if (p.state == KS_BOARD) {
            m.type = p.type;
            m.fromFile = p.file;
            m.fromRank = p.rank;
            m.promoted = p.promoted;
            if (!p.promoted && p.type != PT_KIN && pick(5) == 0) {
                m.promoted = 1;
                m.status = MS_PROMOTE;
            }
        } else {
            continue;
        }
        m.toFile = f;
        m.toRank = r;
        if (b.ApplyMove(m, true) != 1)
            return -1;
        return b.PieceAt(f, r);
    }
}

}  // namespace ravu::test
