// Fuzz target: a move typed by the user.  The first byte picks the position
// (bits 0-1), the rules (bit 2: strict) and the square 同 stands for (bits
// 3-7, one of 32 squares); the rest is the text.  A move the reader makes
// must be one the board's rules allow from the piece it names; under strict
// rules also one of the legal moves.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "game/board.h"
#include "game/legal_moves.h"
#include "game/sfen.h"
#include "record/typed_move.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace ravu;
    if (size < 1)
        return 0;
    static constexpr const char* POSITIONS[] = {
        "",
        "ln1g1g1nl/1r1s1k1b1/p1ppppspp/1p4p2/9/2P4P1/PP1PPPP1P/1BS2S1R1/LN1GKG1NL b - 1",
        "8k/4P4/9/4+B4/9/4G4/5P3/9/K8 b GSNLPr 1",
        "4k4/9/9/9/4r4/9/9/4G4/4K4 w GPp 1",
    };
    const uint8_t head = data[0];
    CShogiBoard b;
    int side = SENTE;
    if (*POSITIONS[head & 3] == 0)
        b.Reset();
    else if (!SetUpSfen(b, POSITIONS[head & 3], &side))
        std::abort();
    const bool strict = (head & 4) != 0;
    const int square = head >> 3;  // 0..31
    const int32_t lastFile = square % 9 + 1, lastRank = square / 9 + 1;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const TypedMove t = ReadTypedMove(b, side, lastFile, lastRank, strict, text);
    if (t.error != TypedError::None)
        return 0;
    const KomaRec& p = b.GetPiece(t.piece);
    if (p.owner != side || p.type != t.move.type)
        std::abort();
    if (t.move.fromFile == 0) {
        if (p.state != KS_HAND || !b.CanDrop(t.piece, t.move.toFile, t.move.toRank))
            std::abort();
    } else if (p.state != KS_BOARD || p.file != t.move.fromFile || p.rank != t.move.fromRank ||
               !b.CanMove(p, t.move.toFile, t.move.toRank)) {
        std::abort();
    }
    if (strict && !IsLegalMove(b, side, t.move))
        std::abort();
    return 0;
}
