// Fuzz target: the bytes of a KI2 record (Shift-JIS, as the file edge hands it
// on), read by the KI2 reader whatever they look like.  The record read is
// shown in the record window's views, replayed on a board, and written as
// KIF, which must load again.
#include "fuzz/record_replay.h"
#include "record/ki2_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return ravu::fuzz::ReadShowReplay(data, size, "fuzz.ki2", ravu::LooksLikeKi2, ravu::ReadKi2);
}
