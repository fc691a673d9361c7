// Record files as they come from and go to the disk.  Players keep records
// in Shift-JIS (code page 932) and in UTF-8; inside the program a record's
// text is always Shift-JIS.  Reading a file finds its encoding from its bytes
// and converts once, here; writing converts back by the file's extension.
#pragma once

#include <cstdint>
#include <string>

#include "record/kifu.h"

namespace ravu {

enum class RecordEncoding { Cp932, Utf8 };

// "cp932" or "utf-8".
const char* EncodingName(RecordEncoding encoding);

// What LoadRecordFile found.
struct RecordLoad {
    bool loaded = false;    // the record was replaced by the file
    bool tooLarge = false;  // refused: longer than KIF_MAX_BYTES
    RecordEncoding encoding = RecordEncoding::Cp932;
    // Characters that Shift-JIS cannot hold, kept as "&#xHHHH;" references.
    int substituted = 0;
    // Where a partly read file stopped (LoadReport): 0 when it was read to the end.
    int32_t stopLine = 0;
    std::string stopText;  // that line, Shift-JIS
};

// The encoding of a record file's bytes: UTF-8 when they start with the
// UTF-8 byte-order mark, or are UTF-8 and not code page 932 text; when they
// are both (pure ASCII always is), UTF-8 only when a "#KIF" line before the
// moves names it ("#KIF version=2.0 encoding=UTF-8"); otherwise code page 932.
RecordEncoding DetectEncoding(const std::string& bytes);

// Replaces the record by the file at `path` (in the file system's own
// encoding) when anything of it can be read; the title is the file's name.
// A missing or non-regular file, a file longer than KIF_MAX_BYTES and a
// file from which nothing can be read leave the record as it was.
bool LoadRecordFile(CKifuControl& record, const std::string& path, RecordLoad* result = nullptr);

// Writes the record to `path`, replacing the file only when the whole text
// was written.  A path ending in ".kifu" (any case) gets the KIF text in
// UTF-8 without byte-order mark, the kept references turned back into their
// characters; any other path gets exactly what CKifuControl::SaveKif writes.
// *error (when given) says what failed.
bool SaveRecordFile(const CKifuControl& record, const std::string& path, std::string* error = nullptr);

// Writes the record's main line as a CSA record (CsaText) in UTF-8, the
// kept references turned back into their characters, replacing the file
// only when the whole text was written.
bool SaveCsaFile(const CKifuControl& record, const std::string& path, std::string* error = nullptr);

// True when the record holds characters that only UTF-8 can hold (kept as
// references when it was read): saving it in Shift-JIS would show them as
// references.
bool RecordNeedsUnicode(const CKifuControl& record);

// The path's extension from the last '.' of its last component, in lower
// case (".kifu"); empty when it has none.
std::string PathExtension(const std::string& path);

// True when the path's extension is ".kifu", in any case.
bool IsKifuPath(const std::string& path);

}  // namespace ravu
