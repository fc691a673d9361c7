// Fuzz target: the bytes of a SFEN file, read by the SFEN reader whatever
// they start with.  The record read is replayed on a board, written as KIF
// and that text is loaded again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "game/board.h"
#include "record/kifu.h"
#include "record/sfen_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace ravu;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (size > KIF_MAX_BYTES)
        return 0;
    (void)LooksLikeSfen(bytes);
    CKifuControl rec;
    LoadReport report;
    if (ReadSfen(rec.kifu, bytes, "fuzz.sfen", report) == 0)
        return 0;
    if (report.stopLine < 0 || report.stopText.size() > size)
        __builtin_trap();
    CShogiBoard board;
    rec.GoTo(board, 1 << 20, 0, nullptr);
    const std::string text = rec.KifText("fuzz.kif");
    if (text.size() <= KIF_MAX_BYTES) {
        CKifuControl again;
        if (!again.LoadKifFromBuffer(text, "fuzz.kif"))
            __builtin_trap();
    }
    return 0;
}
