// Speed of the legal-move generator: every line of 4 and 5 moves from the
// even game, counted (719,731 and 19,861,490 lines are known for shogi).
#include <benchmark/benchmark.h>

#include <string>

#include "game/board.h"
#include "game/position.h"

namespace ravu {
namespace {

void BM_PerftEvenGame(benchmark::State& state) {
    const int depth = int(state.range(0));
    const uint64_t known = depth == 4 ? 719'731 : 19'861'490;
    const Position even(CShogiBoard(), SENTE);
    uint64_t nodes = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(nodes = Perft(even, depth));
    state.SetLabel(std::to_string(nodes) + " nodes");
    if (nodes != known)
        state.SkipWithError("wrong node count");
    state.counters["nodes/s"] =
        benchmark::Counter(double(nodes), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PerftEvenGame)->Arg(4)->Arg(5)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ravu
