#include "app/record_file.h"

#include <algorithm>

#include <filesystem>
#include <string_view>

#include "app/atomic_file.h"
#include "app/textcodec.h"
#include "record/csa_writer.h"

namespace ravu {

namespace {

constexpr std::string_view UTF8_BOM = "\xEF\xBB\xBF";

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool ContainsNoCase(std::string_view s, std::string_view lowerNeedle) {
    for (size_t i = 0; i + lowerNeedle.size() <= s.size(); ++i) {
        size_t k = 0;
        while (k < lowerNeedle.size() && Lower(s[i + k]) == lowerNeedle[k])
            ++k;
        if (k == lowerNeedle.size())
            return true;
    }
    return false;
}

// A "#KIF ... encoding=<name>" line anywhere in the file.  Only a hint:
// programs write it over text they then save in another encoding.
bool NamesEncoding(std::string_view bytes, std::string_view lowerName) {
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = bytes.size();
        const std::string_view line = bytes.substr(start, end - start);
        if (StartsWith(line, "#KIF") && ContainsNoCase(line, lowerName))
            return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

const char* EncodingName(RecordEncoding encoding) {
    return encoding == RecordEncoding::Utf8 ? "utf-8" : "cp932";
}

RecordEncoding DetectEncoding(const std::string& bytes) {
    if (StartsWith(bytes, UTF8_BOM))
        return RecordEncoding::Utf8;
    if (!IsValidUtf8(bytes))
        return RecordEncoding::Cp932;
    // ASCII reads the same either way: as code page 932, like the program's own files.
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return RecordEncoding::Cp932;
    // Bytes that are both: real Shift-JIS text, with its full-width digits
    // and kana, is almost never valid UTF-8, while a short UTF-8 text (the
    // names 先手 and 後手 alone) often passes as Shift-JIS.  UTF-8, unless
    // the file says it is Shift-JIS.
    if (!IsValidCp932(bytes))
        return RecordEncoding::Utf8;
    return NamesEncoding(bytes, "encoding=shift_jis") || NamesEncoding(bytes, "encoding=sjis") ||
                   NamesEncoding(bytes, "encoding=cp932")
               ? RecordEncoding::Cp932
               : RecordEncoding::Utf8;
}

std::string PathExtension(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot);
    for (char& c : ext)
        c = Lower(c);
    return ext;
}

bool IsKifuPath(const std::string& path) { return PathExtension(path) == ".kifu"; }

bool LoadRecordFile(CKifuControl& record, const std::string& path, RecordLoad* result) {
    namespace fs = std::filesystem;
    RecordLoad unused;
    RecordLoad& r = result ? *result : unused;
    r = RecordLoad{};
    std::error_code ec;
    if (!fs::is_regular_file(fs::status(path, ec)) || ec)
        return false;
    // One byte more than allowed tells a file that is too long, even one
    // that grew since it was looked at.
    std::string bytes;
    if (!ReadFileHead(path, KIF_MAX_BYTES + 1, &bytes))
        return false;
    if (bytes.size() > KIF_MAX_BYTES) {
        r.tooLarge = true;
        return false;
    }
    r.encoding = DetectEncoding(bytes);
    std::string sjis;
    if (r.encoding == RecordEncoding::Utf8) {
        std::string_view text = bytes;
        if (StartsWith(text, UTF8_BOM))
            text.remove_prefix(UTF8_BOM.size());
        sjis = Utf8ToSjisKeeping(text, &r.substituted);
    } else {
        sjis = std::move(bytes);
    }
    const size_t slash = path.find_last_of('/');
    const std::string title = Utf8ToSjis(slash == std::string::npos ? path : path.substr(slash + 1));
    LoadReport report;
    r.loaded = record.LoadKifFromBuffer(sjis, title, &report);
    if (r.loaded) {
        r.stopLine = report.stopLine;
        r.stopText = report.stopText;
    } else {
        r.substituted = 0;
    }
    return r.loaded;
}

bool SaveRecordFile(const CKifuControl& record, const std::string& path, std::string* error) {
    if (!IsKifuPath(path)) {
        if (record.SaveKif(path, Utf8ToSjis(path)))
            return true;
        if (error)
            *error = "cannot write " + path;
        return false;
    }
    return WriteFileAtomic(path, SjisToUtf8Restoring(record.KifText(Utf8ToSjisKeeping(path))), error);
}

bool SaveCsaFile(const CKifuControl& record, const std::string& path, std::string* error) {
    return WriteFileAtomic(path, SjisToUtf8Restoring(CsaText(record.kifu)), error);
}

bool RecordNeedsUnicode(const CKifuControl& record) {
    return HoldsKeptCharacter(record.KifText(std::string()));
}

}  // namespace ravu
