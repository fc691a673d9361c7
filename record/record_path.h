// Entries of the record tree named by the way to them from the start: at
// each ply, the index of the entry in its alternative chain (0 is the line's
// own next entry, 1 its first alternative, ...).  The empty path is the start
// position.  Alternatives are only ever added at the end of a chain and lines
// only extended at their end, so a path keeps naming the same entry while a
// record grows; copies that make the same changes name entries alike.
// Standard library only.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "record/kifu.h"

namespace ravu {

using RecordPath = std::vector<int>;

// Longest path a text may name and largest index in a chain: far beyond
// what a record of KIF_MAX_BYTES can hold.
constexpr int PATH_PLIES_MAX = 4096;
constexpr int PATH_INDEX_MAX = 4096;

// The path of a filled entry of the record (or of a copy of one in the
// displayed line); the empty path for none; nothing for an entry that is not
// in the record's tree.
std::optional<RecordPath> PathOf(const CKifu& kifu, const KifuNode* entry);
// The filled entry the path names; null for the empty path and for a path
// that leads past the end of a line or outside a chain.
KifuNode* EntryAt(const CKifu& kifu, const RecordPath& path);

// The same move, whichever way the record names a king (end entries never are).
bool SameMove(const MoveRec& a, const MoveRec& b);
// Puts the move after `at` (null: the start): the entry that holds it
// already, else the empty end of the line filled, else a new last
// alternative.  Returns its index in the chain; `changed` is set when the
// record grew.
int PlaceMove(CKifu& kifu, KifuNode* at, const MoveRec& move, bool& changed);

// Text form: "-" for the start; otherwise the indices from the first ply,
// separated by ".", a run of equal indices written once with "*" and its
// length ("0*34.1.0*6": 34 plies along the main line, the first alternative,
// then 6 plies along its line).
std::string PathText(const RecordPath& path);
// Reads the text form (runs need not be merged); false for anything else and
// for paths beyond the limits above.
bool ParsePath(std::string_view text, RecordPath& out);

}  // namespace ravu
