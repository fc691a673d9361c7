// KIF file reader: LoadKif and the header lines.
#include "record/kif_reader.h"

#include <ctime>
#include <fstream>

#include "record/kifu.h"
#include "record/notation.h"

namespace ravu {

namespace {

// Bytes i..j of the text, shorter or empty when the text is shorter.
std::string_view Bytes(std::string_view text, std::size_t first, std::size_t last) {
    if (first >= text.size())
        return {};
    return text.substr(first, last - first + 1);
}

std::string_view From(std::string_view text, std::size_t first) {
    return first >= text.size() ? std::string_view{} : text.substr(first);
}

constexpr std::string_view HEADER_KEYS = "開始終了手合先手後手";
constexpr int KEY_START = 0, KEY_END = 1, KEY_HANDICAP = 2, KEY_SENTE = 3, KEY_GOTE = 4;

// The earliest local time the record stores: the time type counts seconds
// from 1970, and a date before it is not stored as a valid time.
constexpr int EARLIEST_YEAR = 1970;

}  // namespace

int ParseHeaderLine(KifuHeader& h, std::string_view line) {
    if (line.size() < 6)
        return 0;
    // Search by characters: every key character is two bytes.
    const std::string_view head = line.substr(0, 4);
    int key = -1;
    for (std::size_t off = 0; off + 4 <= HEADER_KEYS.size(); off += 2)
        if (HEADER_KEYS.substr(off, 4) == head) {
            key = int(off / 4);
            break;
        }
    if (key < 0)
        return 0;

    if (key == KEY_START || key == KEY_END) {
        int32_t& flag = key == KEY_START ? h.hasStartTime : h.hasEndTime;
        std::time_t& stored = key == KEY_START ? h.startTime : h.endTime;
        flag = 0;
        const int32_t year = DecimalValue(Bytes(line, 10, 13));
        const int32_t month = DecimalValue(Bytes(line, 15, 16));
        const int32_t day = DecimalValue(Bytes(line, 18, 19));
        const int32_t hour = DecimalValue(Bytes(line, 25, 26));
        const int32_t minute = DecimalValue(Bytes(line, 28, 29));
        const int32_t second = DecimalValue(Bytes(line, 31, 34));
        if (day < 1 || day > 31 || month < 1 || month > 12 || year < 1900)
            return 0;
        if (year < EARLIEST_YEAR)
            return 0;
        std::tm tm{};
        tm.tm_year = year - 1900;
        tm.tm_mon = month - 1;
        tm.tm_mday = day;
        tm.tm_hour = hour;
        tm.tm_min = minute;
        tm.tm_sec = second;
        tm.tm_isdst = -1;  // daylight saving as the system decides
        const std::time_t t = std::mktime(&tm);
        if (t < 0)
            return 0;  // not representable, or before 1970 in UTC
        stored = t;
        flag = 1;
        return 1;
    }
    std::string& field = key == KEY_HANDICAP ? h.handicap : key == KEY_SENTE ? h.senteName : h.goteName;
    field.assign(From(line, key == KEY_HANDICAP ? 8 : 6));
    return 1;
}

bool CKifuControl::LoadKif(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return LoadKif(path, slash == std::string::npos ? path : path.substr(slash + 1));
}

bool CKifuControl::LoadKif(const std::string& path, const std::string& title, LoadReport* report) {
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return false;
    f.seekg(0, std::ios::end);
    const std::streamoff size = f.tellg();
    if (size < 0 || std::size_t(size) > KIF_MAX_BYTES)
        return false;
    f.seekg(0, std::ios::beg);
    std::string bytes(std::size_t(size), '\0');
    if (size > 0 && !f.read(bytes.data(), size))
        return false;
    return LoadKifFromBuffer(bytes, title, report);
}

namespace {

// Reads the file's bytes into `k`, a record that nothing else sees yet.
// Returns the number of lines that gave something: a header field set, a
// move line recorded, a comment kept.
int ReadKif(CKifu& k, std::string_view bytes, const std::string& title, LoadReport& report) {
    report = LoadReport{};
    k.Clear();
    k.SetTitle(title);
    k.header.hasStartTime = 0;
    k.header.hasEndTime = 0;

    KifuNode* mainCursor = k.Root();
    KifuNode* varCursor = nullptr;
    bool inVariations = false;
    int32_t lastNumber = 0;
    std::unordered_set<const KifuNode*> taken;
    int linesRead = 0;

    // Handles one line; false stops the reading.
    auto handle = [&](std::string_view ln) -> bool {
        if (!ln.empty() && ln[0] == '#')
            return true;
        if (ln.substr(0, 4) == "変化") {
            const std::string_view rest = From(ln, 6);
            varCursor = k.FindPending(DecimalValue(rest.substr(0, rest.find("手"))), &taken);
            // A section takes its pending entry even when it holds no move (an
            // empty section is written for a "+" without moves), so that a
            // later section of the same number does not land there.
            if (varCursor)
                taken.insert(varCursor);
            inVariations = true;
            return true;
        }
        if (!ln.empty() && ln[0] == ' ') {
            const int32_t n = DecimalValue(ln.substr(0, 4));
            if (n <= 0)
                return true;
            if (inVariations) {
                if (varCursor)
                    ++linesRead;
                varCursor = k.AddMoveLine(varCursor, ln);
                lastNumber = n;
                return true;
            }
            if (n <= lastNumber)
                return false;  // numbering starts again: the rest is not this record
            mainCursor = k.AddMoveLine(mainCursor, ln);
            ++linesRead;
            lastNumber = n;
            return true;
        }
        if (!ln.empty() && ln[0] == '*') {
            KifuNode* to = inVariations ? varCursor : mainCursor;
            if (to)
                ++linesRead;
            k.AddNodeComment(to, ln.substr(1));
            return true;
        }
        linesRead += ParseHeaderLine(k.header, ln);
        return true;
    };

    // A CR ends a line and the byte after it (its LF) is skipped; a LF that
    // does not follow a CR also ends a line.  Bytes after the last line end
    // are not read.
    std::size_t start = 0;
    int32_t lineNumber = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        ++lineNumber;
        if (!handle(bytes.substr(start, i - start))) {
            report.stopLine = lineNumber;
            report.stopText.assign(bytes.substr(start, i - start));
            break;
        }
        if (c == '\r')
            ++i;
        start = i + 1;
    }

    k.current = k.Root();
    k.lineIsVariation = 0;
    k.SetLine(CKifu::EndOfLine(k.Root()));
    return linesRead;
}

}  // namespace

bool CKifuControl::LoadKifFromBuffer(std::string_view bytes, const std::string& title, LoadReport* report) {
    if (bytes.size() > KIF_MAX_BYTES)
        return false;
    // The file is read into a record of its own first: a file from which
    // nothing can be read (not a record at all) leaves this one untouched.
    CKifu scratch;
    LoadReport unused;
    if (ReadKif(scratch, bytes, title, report ? *report : unused) == 0)
        return false;
    kifu.TakeOver(scratch);
    return true;
}

}  // namespace ravu
