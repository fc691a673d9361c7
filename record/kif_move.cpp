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

constexpr std::string_view FULL_DIGITS = "０１２３４５６７８９";
constexpr std::string_view KANJI_DIGITS = "〇一二三四五六七八九";

bool Takes(std::string_view& text, std::string_view prefix) {
    if (text.substr(0, prefix.size()) != prefix)
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

// A digit 1..9 written in ASCII, full width or (kanji == true) as a kanji
// numeral; 0 when there is none.
int32_t TakeDigit(std::string_view& text, bool kanji) {
    if (!text.empty() && text[0] >= '1' && text[0] <= '9') {
        const int32_t d = text[0] - '0';
        text.remove_prefix(1);
        return d;
    }
    for (int32_t d = 1; d <= 9; ++d) {
        const std::size_t at = std::size_t(2 * d);
        if (Takes(text, FULL_DIGITS.substr(at, 2)) || (kanji && Takes(text, KANJI_DIGITS.substr(at, 2))))
            return d;
    }
    return 0;
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

    std::size_t wordLength = 0;
    if (const int32_t end = EndStatusAt(t, &wordLength)) {
        m.status = end;
        return plus;
    }

    if (Takes(t, "同")) {
        Takes(t, FULL_BLANK);
        m.toFile = refFile;
        m.toRank = refRank;
    } else {
        m.toFile = TakeDigit(t, false);
        m.toRank = TakeDigit(t, true);
        if (m.toFile == 0 || m.toRank == 0)
            return 0;
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
    return plus;
}

}  // namespace ravu
