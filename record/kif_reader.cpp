// KIF file reader: LoadKif and the header lines.  Reads the program's own
// files and those of other programs: lines are recognised by their parts,
// not by byte columns.
// Literals here are compiled to Shift-JIS: every Japanese character is two bytes.
#include "record/kif_reader.h"

#include <ctime>
#include <fstream>

#include "game/sfen.h"
#include "game/sjis.h"
#include "record/csa_reader.h"
#include "record/ki2_reader.h"
#include "record/kif_move.h"
#include "record/kifu.h"
#include "record/notation.h"
#include "record/record_lines.h"
#include "record/sfen_reader.h"
#include "record/start_position.h"

namespace ravu {

namespace {

constexpr std::string_view FULL_COLON = "：";
constexpr std::string_view FULL_DIGITS = "０１２３４５６７８９";

// The earliest local time the record stores: the time type counts seconds
// from 1970, and a date before it is not stored as a valid time.
constexpr int EARLIEST_YEAR = 1970;

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Splits "key：value" (or "key:value") at the first colon, outside any
// two-byte character; false when the line has none.
bool SplitHeader(std::string_view line, std::string_view* key, std::string_view* value) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        const bool full = line.substr(i, 2) == FULL_COLON;
        if (full || line[i] == ':') {
            *key = line.substr(0, i);
            *value = line.substr(i + (full ? 2 : 1));
            while (!key->empty() && key->back() == ' ')
                key->remove_suffix(1);
            return true;
        }
        if (IsSjisLead(uint8_t(line[i])))
            ++i;
    }
    return false;
}

// Up to `count` numbers of a date, in ASCII or full-width digits, whatever
// stands between them ("2014/09/13(土) 14：59", "2014年9月13日 14時59分").
int ReadNumbers(std::string_view text, int32_t* out, int count) {
    int found = 0;
    bool inNumber = false;
    for (std::size_t i = 0; i < text.size() && found <= count; ++i) {
        int digit = -1;
        if (text[i] >= '0' && text[i] <= '9') {
            digit = text[i] - '0';
        } else if (IsSjisLead(uint8_t(text[i]))) {
            const std::size_t at = FULL_DIGITS.find(text.substr(i, 2));
            if (at != std::string_view::npos && at % 2 == 0)
                digit = int(at / 2);
            ++i;
        }
        if (digit < 0) {
            inNumber = false;
            continue;
        }
        if (!inNumber) {
            if (found == count)
                break;
            out[found++] = 0;
            inNumber = true;
        }
        if (out[found - 1] < 100000000)
            out[found - 1] = out[found - 1] * 10 + digit;
    }
    return found;
}

// Sets the time and its flag from a date text; the flag stays 0 when the
// date is out of range or cannot be stored.
int ReadDate(std::string_view text, std::time_t& stored, int32_t& flag) {
    flag = 0;
    int32_t v[6] = {};
    if (ReadNumbers(text, v, 6) < 3)
        return 0;
    const int32_t year = v[0], month = v[1], day = v[2];
    if (day < 1 || day > 31 || month < 1 || month > 12 || year < EARLIEST_YEAR)
        return 0;
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = v[3];
    tm.tm_min = v[4];
    tm.tm_sec = v[5];
    tm.tm_isdst = -1;  // daylight saving as the system decides
    const std::time_t t = std::mktime(&tm);
    if (t < 0)
        return 0;  // not representable, or before 1970 in UTC
    stored = t;
    flag = 1;
    return 1;
}

// Lines of a board diagram, and key lines the program does not use: kept in
// the record and written back after its own header lines.
bool IsKeptLine(std::string_view line, bool hasKey) {
    return hasKey || StartsWith(line, "|") || StartsWith(line, "+-") || StartsWith(line, "  ９") ||
           StartsWith(line, "手数＝") || StartsWith(line, "先手番") || StartsWith(line, "後手番") ||
           StartsWith(line, "下手番") || StartsWith(line, "上手番");
}

}  // namespace

int ParseHeaderLine(KifuHeader& h, std::string_view line) {
    std::string_view key, value;
    if (!SplitHeader(line, &key, &value))
        return 0;
    if (key == "開始日時")
        return ReadDate(value, h.startTime, h.hasStartTime);
    if (key == "終了日時")
        return ReadDate(value, h.endTime, h.hasEndTime);
    std::string* field = key == "手合割"                  ? &h.handicap
                         : key == "先手" || key == "下手" ? &h.senteName
                         : key == "後手" || key == "上手" ? &h.goteName
                                                          : nullptr;
    if (!field)
        return 0;
    field->assign(value);
    return 1;
}

int ReadHeaderLine(KifuHeader& h, std::string_view line) {
    if (ParseHeaderLine(h, line))
        return 1;
    std::string_view key, value;
    if (IsKeptLine(line, SplitHeader(line, &key, &value)) && !StartsWith(line, "手数-"))
        h.otherLines.append(line).append("\r\n");
    return 0;
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

// The reading of one file into a record that nothing else sees yet.
class CKifReader {
public:
    CKifReader(CKifu& record) : k(record), mainCursor(record.Root()) {}

    // Handles one line; false stops the reading.
    bool Line(std::string_view ln) {
        if (ln.empty() || ln[0] == '#' || ln[0] == '&' || StartsWith(ln, "まで"))
            return true;
        if (StartsWith(ln, "変化"))
            return Section(ln.substr(4));
        if (ln[0] == '*') {
            KifuNode* to = inVariations ? varCursor : mainCursor;
            if (to)
                ++linesRead;
            k.AddNodeComment(to, ln.substr(1));
            return true;
        }
        int32_t n = 0;
        std::size_t at = 0;
        if (KifMoveNumber(ln, &n, &at))
            return Move(ln, n);
        if (!startFixed && diagram.Take(ln))
            return true;
        linesRead += ReadHeaderLine(k.header, ln);
        return true;
    }

    // After the last line: a file without moves still gets its start.
    void Finish() {
        FixStart();
        if (!k.Root()->filled)
            k.Root()->move->side = firstSide;  // the side to move
    }

    int linesRead = 0;  // lines that gave something: a header field, a move, a comment, a diagram

private:
    // The start is known once the header is over (at the first move, or at
    // the end of a file without moves): a board diagram, else the handicap
    // named by 手合割, else the even game.  A diagram that cannot be read
    // stays in the kept header lines.
    void FixStart() {
        if (startFixed)
            return;
        startFixed = true;
        std::string sfen = diagram.Sfen();
        if (!sfen.empty()) {
            ++linesRead;
            if (sfen == EVEN_SFEN)
                sfen.clear();
        } else {
            k.header.otherLines += diagram.Lines();
            sfen = HandicapSfen(k.header.handicap);
        }
        k.header.startSfen = sfen;
        firstSide = sfen.find(" w ") != std::string::npos ? GOTE : SENTE;
        const std::size_t blank = sfen.find_last_of(' ');
        startNumber = sfen.empty() ? 1 : DecimalValue(std::string_view(sfen).substr(blank + 1));
    }

    // The side that makes move n: the start's side to move makes its first move.
    int SideOf(int32_t n) const { return firstSide ^ int((int64_t(n) - startNumber) & 1); }

    // "変化：N手": the section is an alternative to move N.
    bool Section(std::string_view rest) {
        while (!rest.empty() && (rest[0] == ' ' || StartsWith(rest, FULL_COLON) || rest[0] == ':'))
            rest.remove_prefix(rest[0] == ' ' || rest[0] == ':' ? 1 : 2);
        const int32_t number = DecimalValue(rest.substr(0, rest.find("手")));
        inVariations = true;
        // The alternative left pending by a "+" on that move, found as the
        // program's own files place them (later branch points first).
        varCursor = k.FindPending(number, &taken);
        if (!varCursor) {
            // Written without "+" marks: the move of that number on the line
            // read last, or on the lines it branches from, gets a new alternative.
            for (KifuNode* e = lastEntry; e && !varCursor; e = e->prev)
                if (e->filled && e->move->number == number) {
                    KifuNode* last = e;
                    while (last->alt)
                        last = last->alt;
                    varCursor = k.AddAlternative(last, *last->move)->alt;
                }
        }
        // A section takes its pending entry even when it holds no move (an
        // empty section is written for a "+" without moves), so that a later
        // section of the same number does not land there.
        if (varCursor)
            taken.insert(varCursor);
        return true;
    }

    bool Move(std::string_view ln, int32_t n) {
        if (n <= 0)
            return true;
        FixStart();
        if (!inVariations && n <= lastNumber)
            return false;  // numbering starts again: the rest is not this record
        KifuNode*& cursor = inVariations ? varCursor : mainCursor;
        if (!cursor)
            return true;  // a section that found no move to branch from: dropped
        // 同 is the square of the move before: the cursor's, or for an empty
        // entry (the root, a pending alternative) the one before it.
        const MoveRec* ref = cursor->move;
        if (ref->toFile == 0 && ref->toRank == 0 && cursor->prev)
            ref = cursor->prev->move;
        MoveRec m;
        const int read = ReadKifMoveLine(m, ln, ref->toFile, ref->toRank);
        if (read == 0 && !IsOwnLayout(ln))
            return false;  // not a move this reader knows: the rest is not read
        m.side = SideOf(m.number);
        if (read == 0) {
            cursor = k.AddMoveLine(cursor, ln);  // the column reading of the program's own lines
            // Its side by the start's side to move, also on the entries it hung on.
            const int side = SideOf(cursor->move->number);
            cursor->move->side = side;
            for (KifuNode* a = cursor->alt; a; a = a->alt)
                if (!a->filled)
                    a->move->side = side;
            if (cursor->next)
                cursor->next->move->side = side ^ 1;
        } else {
            KifuNode* f = k.Append(cursor, m);
            if (read == 2)
                k.AddAlternative(f, m);
            cursor = f;
        }
        ++linesRead;
        lastNumber = n;
        lastEntry = cursor;
        return true;
    }

    // The number right-aligned in four columns and a blank: a line as the
    // program itself writes it, read by columns whatever it holds.
    static bool IsOwnLayout(std::string_view ln) {
        return ln.size() > 5 && ln[4] == ' ' && ln[3] >= '0' && ln[3] <= '9';
    }

    CKifu& k;
    KifuNode* mainCursor;
    KifuNode* varCursor = nullptr;
    KifuNode* lastEntry = nullptr;  // the entry of the move line read last
    bool inVariations = false;
    int32_t lastNumber = 0;
    std::unordered_set<const KifuNode*> taken;
    CBoardDiagram diagram;
    bool startFixed = false;
    int firstSide = SENTE;
    int32_t startNumber = 1;
};

// Reads the file's bytes into `k`; returns the number of lines that gave something.
int ReadKif(CKifu& k, std::string_view bytes, const std::string& title, LoadReport& report) {
    BeginReading(k, title, report);
    CKifReader reader(k);
    ReadUntilRefused(bytes, reader, report);
    reader.Finish();
    ShowMainLine(k);
    return reader.linesRead;
}

}  // namespace

bool CKifuControl::LoadKifFromBuffer(std::string_view bytes, const std::string& title, LoadReport* report) {
    if (bytes.size() > KIF_MAX_BYTES)
        return false;
    // The file is read into a record of its own first: a file from which
    // nothing can be read (not a record at all) leaves this one untouched.
    CKifu scratch;
    LoadReport unused;
    LoadReport& r = report ? *report : unused;
    // The format is told by the text itself, whatever the file is called.
    const int read = LooksLikeCsa(bytes)    ? ReadCsa(scratch, bytes, title, r)
                     : LooksLikeSfen(bytes) ? ReadSfen(scratch, bytes, title, r)
                     : LooksLikeKi2(bytes)  ? ReadKi2(scratch, bytes, title, r)
                                            : ReadKif(scratch, bytes, title, r);
    if (read == 0)
        return false;
    kifu.TakeOver(scratch);
    return true;
}

}  // namespace ravu
