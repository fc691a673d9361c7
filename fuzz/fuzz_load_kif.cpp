// Fuzz target: the bytes of a KIF file.  The file is loaded, shown in the
// record window's views, replayed on a board, written again, and the written
// text is loaded once more.
#include "fuzz/record_replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ravu::CKifuControl rec;
    if (rec.LoadKifFromBuffer(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.kif"))
        ravu::fuzz::ShowReplayAndReload(rec);
    return 0;
}
