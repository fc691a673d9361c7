// Move notation: FormatMove, ParseMoveText, ExtractBetween.
// Literals here are compiled to Shift-JIS: every Japanese character is two bytes.
#include "record/notation.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "record/kifu.h"

namespace ravu {

namespace {

constexpr const char* FILE_CHARS[10] = {"同", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
constexpr const char* RANK_CHARS[10] = {"　", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
constexpr int PIECE_CHAR_COUNT = 14;
constexpr const char* PIECE_CHARS[PIECE_CHAR_COUNT] = {"王", "飛", "角", "金", "銀", "桂", "香",
                                                       "歩", "玉", "龍", "馬", "と", "成", "打"};
constexpr int PC_RYU = 9, PC_UMA = 10, PC_TO = 11, PC_NARI = 12, PC_UCHI = 13;

// Words of the end lines, by status (the まで line is built apart).
constexpr const char* END_WORDS[MS_END_LAST + 1] = {
    "",         "",         "投了",     "",         "詰み", "中断",   "千日手", "持将棋",
    "切れ負け", "反則勝ち", "反則負け", "入玉勝ち", "不詰", "封じ手", "不戦勝", "不戦敗"};

// Shown where a field holds a value that no table covers (garbage from a peer).
constexpr const char* UNKNOWN_CHAR = "？";

const char* TableChar(const char* const* table, int size, int32_t index) {
    return index >= 0 && index < size ? table[index] : UNKNOWN_CHAR;
}

// Piece name as rendered: promoted pieces that change their name, the
// promotion on this move, and kings/gold that have no promoted name.
std::string PieceName(const MoveRec& m) {
    if (m.type < 0 || m.type >= PT_COUNT)
        return UNKNOWN_CHAR;
    if (!m.promoted)
        return PIECE_CHARS[m.type];
    if (m.status == MS_PROMOTE)
        return std::string(PIECE_CHARS[m.type]) + PIECE_CHARS[PC_NARI];
    switch (m.type) {
        case PT_HI: return PIECE_CHARS[PC_RYU];
        case PT_KAKU: return PIECE_CHARS[PC_UMA];
        case PT_FU: return PIECE_CHARS[PC_TO];
        case PT_GIN:
        case PT_KEI:
        case PT_KYO: return std::string(PIECE_CHARS[PC_NARI]) + PIECE_CHARS[m.type];
        default: return "";  // kings and gold never promote
    }
}

// "    %d", of which the last four characters remain.
std::string NumberField(int32_t number) {
    char buf[32];
    int len = std::snprintf(buf, sizeof buf, "    %d", number);
    return std::string(buf + len - 4, 4);
}

std::string SourceField(const MoveRec& m) {
    if (m.fromFile == 0)
        return PIECE_CHARS[PC_UCHI];
    char buf[32];
    std::snprintf(buf, sizeof buf, "(%d%d)", m.fromFile, m.fromRank);
    return buf;
}

// Index of the two bytes at text[pos] in the table, -1 when absent.
int FindChar(const char* const* table, int size, std::string_view text, std::size_t pos) {
    if (pos + 2 > text.size())
        return -1;
    std::string_view c = text.substr(pos, 2);
    for (int i = 0; i < size; ++i)
        if (c == table[i])
            return i;
    return -1;
}

bool CharAt(std::string_view text, std::size_t pos, const char* c) {
    return pos + 2 <= text.size() && text.substr(pos, 2) == c;
}

int DigitAt(std::string_view text, std::size_t pos) {
    if (pos >= text.size() || text[pos] < '0' || text[pos] > '9')
        return 0;
    return text[pos] - '0';
}

}  // namespace

int32_t DecimalValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int64_t value = 0;
    constexpr int64_t LIMIT = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (value < LIMIT)
            value = value * 10 + (text[i] - '0');
    if (value > LIMIT)
        value = LIMIT;
    value = negative ? -value : value;
    if (value > std::numeric_limits<int32_t>::max())
        value = std::numeric_limits<int32_t>::max();
    return int32_t(value);
}

std::string SquareText(int32_t file, int32_t rank) {
    return std::string(TableChar(FILE_CHARS, 10, file)) + TableChar(RANK_CHARS, 10, rank);
}

std::string KifMoveText(const MoveRec& m, bool sameSquare) {
    const std::string dest =
        sameSquare ? std::string(FILE_CHARS[0]) + RANK_CHARS[0] : SquareText(m.toFile, m.toRank);
    return dest + PieceName(m) + SourceField(m);
}

std::string FormatMove(const KifuNode& entry, int mode) {
    std::string out;
    if (!entry.move)
        return out;
    const MoveRec& m = *entry.move;
    const std::string number = NumberField(m.number);

    switch (m.status) {
        case MS_KINGTAKEN: {
            char buf[64];
            std::snprintf(buf, sizeof buf, "まで%d手で%sの勝ち", m.number, m.side == 0 ? "先手" : "後手");
            out = buf;
            break;
        }
        default: {
            if (IsEndStatus(m.status)) {
                out = number + " " + END_WORDS[m.status];
                break;
            }
            // The empty entry at the end of every line has no text.
            if (m.status == MS_MOVE && int64_t(m.toFile) + m.toRank == 0)
                break;
            const std::string moveText =
                KifMoveText(m, entry.prev && entry.prev->move && entry.prev->move->toFile == m.toFile &&
                                   entry.prev->move->toRank == m.toRank);
            if (mode == FMT_TREE) {
                out = number + " " + (m.side == 0 ? "▲" : "▽") + " " + moveText;
            } else if (mode == FMT_LIST) {
                out = number + " " + moveText + " ";
            } else {
                out = number + " " + moveText + "        ";
                out.resize(std::min<std::size_t>(out.size(), KIF_MOVE_COLUMNS));
                // The mover's total as hours:minutes:seconds; a negative one
                // (garbage) is written as none.
                const int32_t total = std::max(0, m.totalSeconds);
                char buf[96];
                std::snprintf(buf, sizeof buf, "(%2d:%02d/%02d:%02d:%02d)", m.seconds / 60, m.seconds % 60,
                              total / 3600, total / 60 % 60, total % 60);
                out += buf;
            }
            break;
        }
    }
    if (entry.alt)
        out += "+";
    return out;
}

std::string_view EndWord(int32_t status) { return IsEndStatus(status) ? END_WORDS[status] : ""; }

int32_t EndStatusAt(std::string_view text, std::size_t* length) {
    // Other words for the same ends, as some servers write them.
    constexpr std::pair<std::string_view, int32_t> OTHER_WORDS[] = {{"Time-up", MS_TIME_UP},
                                                                    {"時間切れ", MS_TIME_UP}};
    for (const auto& [word, status] : OTHER_WORDS)
        if (text.substr(0, word.size()) == word) {
            if (length)
                *length = word.size();
            return status;
        }
    for (int32_t status = MS_RESIGN; status <= MS_END_LAST; ++status) {
        const std::string_view word = END_WORDS[status];
        if (!word.empty() && text.substr(0, word.size()) == word) {
            if (length)
                *length = word.size();
            return status;
        }
    }
    return 0;
}

namespace {

// The time field's text between its brackets, cut to TIME_FIELD_MAX bytes;
// false when there is no "(".
bool TimeField(std::string& field, std::string_view text) {
    if (!ExtractBetween(field, text, "(", ")"))
        return false;
    if (field.size() > TIME_FIELD_MAX)
        field.resize(TIME_FIELD_MAX);
    return true;
}

// "m:s" or "h:m:s" in seconds, saturated to 32 bits; 0 without a colon.
int32_t ClockSeconds(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return 0;
    int64_t s = 60 * int64_t(DecimalValue(text.substr(0, colon)));
    const std::string_view rest = text.substr(colon + 1);
    const std::size_t second = rest.find(':');
    if (second == std::string_view::npos)
        s += DecimalValue(rest);
    else  // hours:minutes:seconds
        s = 60 * (s + DecimalValue(rest.substr(0, second))) + DecimalValue(rest.substr(second + 1));
    return int32_t(
        std::clamp<int64_t>(s, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

int32_t TimeFieldSeconds(std::string_view text) {
    std::string field;
    if (!TimeField(field, text))
        return 0;
    return ClockSeconds(std::string_view(field).substr(0, field.find('/')));
}

int32_t TimeFieldTotalSeconds(std::string_view text) {
    std::string field;
    if (!TimeField(field, text))
        return 0;
    const std::size_t slash = field.find('/');
    return slash == std::string::npos ? 0
                                      : std::max(0, ClockSeconds(std::string_view(field).substr(slash + 1)));
}

bool ExtractBetween(std::string& out, std::string_view text, std::string_view open, std::string_view close) {
    std::size_t start = text.find(open);
    if (start == std::string_view::npos)
        return false;
    std::string_view rest = text.substr(start + open.size());
    std::size_t end = rest.find(close);
    if (end == std::string_view::npos)
        out.clear();
    else
        out.assign(rest.substr(0, end));
    return true;
}

int ParseMoveText(MoveRec& m, std::string_view t, int32_t refFile, int32_t refRank) {
    const int32_t n = DecimalValue(t.substr(0, 4));
    if (n == 0) {
        if (t.substr(0, 4) == "まで") {
            m.status = MS_KINGTAKEN;
            std::string_view rest = t.substr(4);
            std::size_t te = rest.find("手");
            m.number = DecimalValue(rest.substr(0, te));
            // The winner named by this system's まで line is the side that
            // made move `number`: odd numbers are sente's moves.
            m.side = (m.number & 1) ? SENTE : GOTE;
        }
        return 0;
    }
    m.number = n;
    m.side = (n & 1) ? SENTE : GOTE;

    const int plus = !t.empty() && t.back() == '+' ? 1 : 0;
    int file = FindChar(FILE_CHARS, 10, t, 5);
    m.toFile = file < 0 ? 0 : file;
    // An end line with an alternative carries "+" like any move line; it is
    // reported so that the alternative's section finds its entry again.
    if (CharAt(t, 5, "投")) {
        m.status = MS_RESIGN;
        return plus;
    }
    // The end words of refereed games and of other programs' records.
    for (int32_t status = MS_SENNICHITE; status <= MS_END_LAST; ++status)
        if (t.size() > 5 && t.substr(5).starts_with(END_WORDS[status])) {
            m.status = status;
            return plus;
        }
    if (CharAt(t, 5, "詰")) {
        m.status = MS_MATE;
        return plus;
    }
    if (CharAt(t, 5, "中")) {
        m.status = MS_ABORT;
        return plus;
    }
    int rank = FindChar(RANK_CHARS, 10, t, 7);
    m.toRank = rank < 0 ? 0 : rank;
    if (m.toFile == 0) {
        m.toFile = refFile;
        m.toRank = refRank;
    }

    int piece = FindChar(PIECE_CHARS, PC_NARI + 1, t, 9);
    m.type = piece < 0 ? 0 : piece;
    std::size_t p = 11;
    if (piece == PC_RYU) {
        m.type = PT_HI;
        m.promoted = 1;
    } else if (piece == PC_UMA) {
        m.type = PT_KAKU;
        m.promoted = 1;
    } else if (piece == PC_TO) {
        m.type = PT_FU;
        m.promoted = 1;
    } else if (piece == PC_NARI) {
        m.type = PT_FU;
        m.promoted = 1;
        if (CharAt(t, 11, "銀"))
            m.type = PT_GIN;
        else if (CharAt(t, 11, "桂"))
            m.type = PT_KEI;
        else if (CharAt(t, 11, "香"))
            m.type = PT_KYO;
        p = 13;
    }
    if (CharAt(t, p, "成")) {
        m.status = MS_PROMOTE;
        m.promoted = 1;
        p += 2;
    }
    if (p < t.size() && t[p] == '(') {
        m.fromFile = DigitAt(t, p + 1);
        m.fromRank = DigitAt(t, p + 2);
    }

    if (t.size() > KIF_MOVE_COLUMNS) {
        m.seconds = TimeFieldSeconds(t.substr(KIF_MOVE_COLUMNS));
        m.totalSeconds = TimeFieldTotalSeconds(t.substr(KIF_MOVE_COLUMNS));
    }
    return plus;
}

}  // namespace ravu
