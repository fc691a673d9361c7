// Whole-file reads and writes for small files the program owns.
#pragma once

#include <cstddef>
#include <string>

namespace ravu {

// Reads at most maxBytes of the file at path into *out.  False when the file
// cannot be opened or read (then *out is empty).
bool ReadFileHead(const std::string& path, size_t maxBytes, std::string* out);

// Replaces the file at path with bytes: writes "<path>.tmp" beside it,
// flushes it to the disk and renames it over path.  On any failure the
// temporary file is removed, the old file at path is untouched, false is
// returned and *error (when given) says what failed.
bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string* error = nullptr);

}  // namespace ravu
