// Record benchmarks: reading and writing a KIF file of 64 KiB with
// variations, the main-line text of a 300-move game for a spectator, a
// replay of the board to move 300, and the autosave of a 300-move game (its
// whole KIF written to the disk after a move).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "../../tests/record/record_gen.h"
#include "app/atomic_file.h"
#include "bench/record/record_gen.h"
#include "game/board.h"
#include "record/kifu.h"

namespace {

using namespace ravu;

// The text of a generated record with variations, as close under 64 KiB as
// the generator gets.
const std::string& BigKifText() {
    static const std::string text = [] {
        std::string best;
        for (uint32_t seed = 1; seed < 400; ++seed) {
            bench::RecordGen gen(seed);
            bench::GenOptions o;
            o.mainLength = 250;
            o.varLength = 20;
            o.maxDepth = 3;
            o.branchPercent = 10;
            CKifuControl rec;
            gen.Generate(rec.kifu, o);
            std::string t = rec.KifText("bench.kif");
            if (t.size() <= KIF_MAX_BYTES && t.size() > best.size())
                best = std::move(t);
            if (best.size() > KIF_MAX_BYTES - 2048)
                break;
        }
        return best;
    }();
    return text;
}

void BM_LoadKif64K(benchmark::State& state) {
    const std::string& text = BigKifText();
    CKifuControl rec;
    for (auto _ : state) {
        const bool ok = rec.LoadKifFromBuffer(text, "bench.kif");
        benchmark::DoNotOptimize(ok);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    state.counters["file_bytes"] = double(text.size());
}
BENCHMARK(BM_LoadKif64K);

void BM_KifText64K(benchmark::State& state) {
    CKifuControl rec;
    rec.LoadKifFromBuffer(BigKifText(), "bench.kif");
    for (auto _ : state) {
        std::string t = rec.KifText("bench.kif");
        benchmark::DoNotOptimize(t.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(BigKifText().size()));
}
BENCHMARK(BM_KifText64K);

void BM_SaveKif64K(benchmark::State& state) {
    CKifuControl rec;
    rec.LoadKifFromBuffer(BigKifText(), "bench.kif");
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("ravu_bench_record_" + std::to_string(::getpid()) + ".kif"))
                                 .string();
    for (auto _ : state) {
        const bool ok = rec.SaveKif(path);
        benchmark::DoNotOptimize(ok);
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_SaveKif64K);

// A 300-move game recorded as in play, and the position it came from.
struct Game300 {
    Game300() {
        std::mt19937 rng(300);
        CShogiBoard board;
        for (int k = 1; k <= 300; ++k) {
            const int moved = test::RandomMove(board, (k & 1) ? 0 : 1, rng);
            rec.RecordBoardMove(board.GetPiece(moved));
        }
    }
    CKifuControl rec;
};

void BM_GetMainLineText300(benchmark::State& state) {
    Game300 game;
    for (auto _ : state) {
        std::string text;
        game.rec.GetMainLineText(text);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_GetMainLineText300);

void BM_GoTo300(benchmark::State& state) {
    Game300 game;
    CShogiBoard board;
    for (auto _ : state) {
        board.Reset();
        game.rec.GoTo(board, 300, 0, nullptr);
        benchmark::DoNotOptimize(board.pieces.data());
    }
    if (game.rec.kifu.current->move->number != 301)
        state.SkipWithError("the replay did not reach move 300");
}
BENCHMARK(BM_GoTo300);

// What the window does after every move of a game: the whole record as KIF,
// written beside the file, flushed to the disk and renamed over it.
void BM_Autosave300(benchmark::State& state) {
    Game300 game;
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("ravu_bench_autosave_" + std::to_string(::getpid()) + ".kif"))
                                 .string();
    for (auto _ : state) {
        if (!WriteFileAtomic(path, game.rec.KifText(path))) {
            state.SkipWithError("the file could not be written");
            break;
        }
    }
    std::error_code ec;
    state.counters["file_bytes"] = double(std::filesystem::file_size(path, ec));
    std::filesystem::remove(path, ec);
}
BENCHMARK(BM_Autosave300)->Unit(benchmark::kMillisecond);

}  // namespace
