// Speed of the board: the move judge over a whole middle-game position, the
// destination lists of every piece, and replaying a 200-move game.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "game/board.h"

namespace ravu {
namespace {

bool Promotable(const KomaRec& p) { return p.promoted == 0 && p.type != PT_KIN && !IsKing(p.type); }

// A game of random moves that the board's own judge allows, never taking a
// king, from the initial position; fixed seed so every run replays the same.
std::vector<MoveRec> RandomGame(int length, unsigned seed) {
    std::mt19937 rng(seed);
    CShogiBoard board;
    std::vector<MoveRec> game;
    for (int n = 0; n < length; ++n) {
        const int side = n % 2;
        std::vector<MoveRec> candidates;
        for (int i = 0; i < PIECE_COUNT; ++i) {
            const KomaRec& p = board.pieces[i];
            if (p.owner != side)
                continue;
            for (int f = 1; f <= 9; ++f) {
                for (int r = 1; r <= 9; ++r) {
                    const int t = board.PieceAt(f, r);
                    MoveRec m;
                    m.side = side;
                    m.number = n + 1;
                    m.toFile = f;
                    m.toRank = r;
                    m.type = p.type;
                    if (p.state == KS_BOARD) {
                        if (t != -1 && (board.pieces[t].owner == side || IsKing(board.pieces[t].type)))
                            continue;
                        if (!board.CanMove(p, f, r))
                            continue;
                        m.fromFile = p.file;
                        m.fromRank = p.rank;
                        const bool zone = CShogiBoard::InZone(side, r) || CShogiBoard::InZone(side, p.rank);
                        m.promoted = p.promoted;
                        if (zone && Promotable(p)) {
                            m.promoted = 1;
                            m.status = MS_PROMOTE;
                        }
                    } else if (p.state == KS_HAND) {
                        if (t != -1 || !board.CanDrop(i, f, r) || board.FindInHand(side, p.type) != i)
                            continue;
                    } else {
                        continue;
                    }
                    candidates.push_back(m);
                }
            }
        }
        if (candidates.empty())
            break;
        // Prefer captures half of the time, so that hands fill as in a real game.
        std::vector<MoveRec> captures;
        for (const MoveRec& c : candidates)
            if (c.fromFile != 0 && board.PieceAt(c.toFile, c.toRank) != -1)
                captures.push_back(c);
        const std::vector<MoveRec>& pool = !captures.empty() && (rng() & 1) ? captures : candidates;
        const MoveRec m = pool[std::uniform_int_distribution<size_t>(0, pool.size() - 1)(rng)];
        board.ApplyMove(m, true);
        game.push_back(m);
    }
    return game;
}

CShogiBoard MiddleGame() {
    CShogiBoard board;
    for (const MoveRec& m : RandomGame(100, 7))
        board.ApplyMove(m, true);
    return board;
}

void BM_CanMoveWholePosition(benchmark::State& state) {
    const CShogiBoard board = MiddleGame();
    for (auto _ : state) {
        int allowed = 0;
        for (int i = 0; i < PIECE_COUNT; ++i) {
            if (board.pieces[i].state != KS_BOARD)
                continue;
            for (int f = 1; f <= 9; ++f)
                for (int r = 1; r <= 9; ++r)
                    allowed += board.CanMove(board.pieces[i], f, r);
        }
        benchmark::DoNotOptimize(allowed);
    }
    int onBoard = 0;
    for (const KomaRec& p : board.pieces)
        onBoard += p.state == KS_BOARD;
    state.counters["pieces"] = onBoard;
    state.SetItemsProcessed(state.iterations() * onBoard * 81);  // CanMove calls
}
BENCHMARK(BM_CanMoveWholePosition);

void BM_ComputeAttacks(benchmark::State& state) {
    CShogiBoard board = MiddleGame();
    int side = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(board.ComputeAttacks(side));
        side ^= 1;
    }
}
BENCHMARK(BM_ComputeAttacks);

void BM_Replay200Moves(benchmark::State& state) {
    const std::vector<MoveRec> game = RandomGame(200, 11);
    CShogiBoard board;
    for (auto _ : state) {
        board.Reset();
        int applied = 0;
        for (const MoveRec& m : game)
            applied += board.ApplyMove(m, true);
        if (applied != int(game.size()))
            state.SkipWithError("replay refused a move");
        benchmark::DoNotOptimize(applied);
    }
    state.counters["moves"] = double(game.size());
}
BENCHMARK(BM_Replay200Moves);

}  // namespace
}  // namespace ravu
