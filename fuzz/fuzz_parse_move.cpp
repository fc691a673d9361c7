// Fuzz target: move text as it arrives from a peer or a file line.  The text
// is parsed, rendered back in every layout, and recorded as a received move.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "record/kifu.h"
#include "record/notation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace ravu;
    if (size < 2)
        return 0;
    // The first two bytes choose the reference square of 同 (any value).
    const int32_t refFile = int8_t(data[0]);
    const int32_t refRank = int8_t(data[1]);
    const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);

    MoveRec m;
    const int plus = ParseMoveText(m, text, refFile, refRank);
    if (plus != 0 && plus != 1)
        __builtin_trap();
    KifuNode prev, entry;
    MoveRec prevMove;
    prevMove.toFile = refFile;
    prevMove.toRank = refRank;
    prev.move = &prevMove;
    entry.move = &m;
    entry.prev = &prev;
    for (int mode : {FMT_TREE, FMT_LIST, FMT_KIF})
        (void)FormatMove(entry, mode);

    // The same text received twice from a peer, with a chat line between.
    CKifuControl rec;
    rec.RecordMoveText(text);
    rec.AddComment(text);
    rec.RecordMoveText(text);
    std::string all;
    rec.GetMainLineText(all);
    (void)rec.KifText("fuzz.kif");
    return 0;
}
