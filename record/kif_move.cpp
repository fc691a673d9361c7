// Reading a KIF move line by its parts instead of by byte columns.
// Literals here are compiled to Shift-JIS: every Japanese character is two bytes.
#include "record/kif_move.h"

#include "record/notation.h"

namespace ravu {

namespace {

constexpr std::string_view FULL_BLANK = "　";

// Piece names in use, the longer ones first so that 成銀 is not read as 成.
struct PieceName {
    std::string_view text;
    int32_t type, promoted;
};
constexpr PieceName PIECE_NAMES[] = {
    {"成銀", PT_GIN, 1}, {"成桂", PT_KEI, 1}, {"成香", PT_KYO, 1}, {"歩", PT_FU, 0},   {"香", PT_KYO, 0},
    {"桂", PT_KEI, 0},   {"銀", PT_GIN, 0},   {"金", PT_KIN, 0},   {"角", PT_KAKU, 0}, {"飛", PT_HI, 0},
    {"玉", PT_GYOKU, 0}, {"王", PT_OU, 0},    {"と", PT_FU, 1},    {"杏", PT_KYO, 1},  {"圭", PT_KEI, 1},
    {"全", PT_GIN, 1},   {"馬", PT_KAKU, 1},  {"龍", PT_HI, 1},    {"竜", PT_HI, 1},
};

// Compares the characters at the front without a library call for the
// first byte: reading a file compares a handful of them per line.
bool Takes(std::string_view& text, std::string_view prefix) {
    if (text.size() < prefix.size() || text[0] != prefix[0] || text.compare(0, prefix.size(), prefix) != 0)
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

void SkipBlanks(std::string_view& text) {
    for (;;) {
        if (!text.empty() && (text[0] == ' ' || text[0] == '\t'))
            text.remove_prefix(1);
        else if (!Takes(text, FULL_BLANK))
            return;
    }
}

// The Shift-JIS code of the two-byte character at the front, 0 when there is none.
unsigned FrontCode(std::string_view text) {
    return text.size() >= 2 ? unsigned(uint8_t(text[0])) << 8 | uint8_t(text[1]) : 0;
}

// A digit 1..9 written in ASCII, full width (１-９ are 8250-8258) or, with
// kanji == true, as a kanji numeral; 0 when there is none.
int32_t TakeDigit(std::string_view& text, bool kanji) {
    if (!text.empty() && text[0] >= '1' && text[0] <= '9') {
        const int32_t d = text[0] - '0';
        text.remove_prefix(1);
        return d;
    }
    // 一 二 三 四 五 六 七 八 九
    constexpr unsigned KANJI[10] = {0,      0x88EA, 0x93F1, 0x8E4F, 0x8E6C,
                                    0x8CDC, 0x985A, 0x8EB5, 0x94AA, 0x8BE3};
    const unsigned code = FrontCode(text);
    int32_t d = code >= 0x8250 && code <= 0x8258 ? int32_t(code - 0x824F) : 0;
    for (int32_t k = 1; kanji && k <= 9 && d == 0; ++k)
        d = KANJI[k] == code ? k : 0;
    if (d)
        text.remove_prefix(2);
    return d;
}

}  // namespace

bool KifMoveNumber(std::string_view line, int32_t* number, std::size_t* moveAt) {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    const std::size_t digits = i;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9')
        ++i;
    if (i == digits)
        return false;
    *number = DecimalValue(line.substr(digits, i - digits));
    *moveAt = i;
    return true;
}

int ReadKifMoveLine(MoveRec& m, std::string_view line, int32_t refFile, int32_t refRank) {
    int32_t number = 0;
    std::size_t at = 0;
    if (!KifMoveNumber(line, &number, &at))
        return 0;
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    const int plus = !line.empty() && line.back() == '+' ? 2 : 1;
    std::string_view t = line.substr(at);
    SkipBlanks(t);
    m.number = number;
    m.side = (number & 1) ? SENTE : GOTE;

    if (Takes(t, "同")) {
        Takes(t, FULL_BLANK);
        m.toFile = refFile;
        m.toRank = refRank;
    } else {
        m.toFile = TakeDigit(t, false);
        m.toRank = m.toFile ? TakeDigit(t, true) : 0;
        if (m.toRank == 0) {
            // Not a square: an end line, or no move at all.
            m.toFile = 0;
            std::size_t wordLength = 0;
            m.status = EndStatusAt(t, &wordLength);
            return m.status ? plus : 0;
        }
    }
    const PieceName* piece = nullptr;
    for (const PieceName& p : PIECE_NAMES)
        if (Takes(t, p.text)) {
            piece = &p;
            break;
        }
    if (!piece)
        return 0;
    m.type = piece->type;
    m.promoted = piece->promoted;
    if (Takes(t, "成")) {
        m.promoted = 1;
        m.status = MS_PROMOTE;
    } else {
        Takes(t, "不成") || Takes(t, "生");
    }
    const bool drop = Takes(t, "打");
    if (!drop && t.size() >= 4 && t[0] == '(' && t[3] == ')') {
        std::string_view square = t.substr(1, 2);
        m.fromFile = TakeDigit(square, false);
        m.fromRank = TakeDigit(square, false);
        if (m.fromFile == 0 || m.fromRank == 0)
            return 0;
        t.remove_prefix(4);
    } else if (!drop) {
        return 0;  // a board move names its source square
    }
    m.seconds = TimeFieldSeconds(t);
    m.totalSeconds = TimeFieldTotalSeconds(t);
    return plus;
}

bool KifTakeText(std::string_view& text, std::string_view prefix) { return Takes(text, prefix); }

void KifSkipBlanks(std::string_view& text) { SkipBlanks(text); }

int32_t KifTakeDigit(std::string_view& text, bool kanji) { return TakeDigit(text, kanji); }

bool KifTakePiece(std::string_view& text, int32_t* type, int32_t* promoted) {
    for (const PieceName& p : PIECE_NAMES)
        if (Takes(text, p.text)) {
            *type = p.type;
            *promoted = p.promoted;
            return true;
        }
    return false;
}

}  // namespace ravu
