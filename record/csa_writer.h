// Writer of CSA records (version 2.2): the names, the start and end times,
// the start position, the main line's moves with their times, the comments
// and the end.  CSA records have no variations; only the main line is written.
#pragma once

#include <string>

namespace ravu {

class CKifu;

// The CSA text of the record, lines ending in CR LF.  The statements are
// ASCII; names and comments are the record's Shift-JIS text, which the
// caller converts together with the rest when it writes another encoding.
// The first line is the comment "'encoding=UTF-8": the file edge writes
// this text in UTF-8.
std::string CsaText(const CKifu& k);

}  // namespace ravu
