// CSA records read into the record tree.  The moves name squares and the
// piece after the move, so the game is followed on a board of its own
// (CMoveTracker) to learn the moving piece and whether it promotes.
// Literals here are compiled to Shift-JIS: every Japanese character is two bytes.
#include "record/csa_reader.h"

#include <algorithm>
#include <cstdint>

#include "game/board.h"
#include "game/sfen.h"
#include "record/kif_reader.h"
#include "record/kifu.h"
#include "record/move_tracker.h"
#include "record/notation.h"
#include "record/record_lines.h"

namespace ravu {

namespace {

// CSA piece names; the first eight are unpromoted (their "base").
constexpr std::string_view NAMES[] = {"FU", "KY", "KE", "GI", "KI", "KA", "HI",
                                      "OU", "TO", "NY", "NK", "NG", "UM", "RY"};
constexpr int NAME_COUNT = 14;
constexpr int KING = 7;  // base of OU
// Base of each promoted name (TO .. RY).
constexpr int PROMOTED_BASE[] = {0, 1, 2, 3, 5, 6};
// By base: the record's piece type, the SFEN letter, how many a set holds.
constexpr int BASE_TYPE[] = {PT_FU, PT_KYO, PT_KEI, PT_GIN, PT_KIN, PT_KAKU, PT_HI, PT_GYOKU};
constexpr std::string_view SFEN_LETTERS = "PLNSGBRK";
constexpr int SET_COUNT[] = {18, 4, 4, 4, 4, 2, 2, 2};

int NameCode(std::string_view name) {
    for (int c = 0; c < NAME_COUNT; ++c)
        if (NAMES[c] == name)
            return c;
    return -1;
}
int Base(int code) { return code < 8 ? code : PROMOTED_BASE[code - 8]; }
bool IsPromotedName(int code) { return code >= 8; }

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// "+7776FU": sign, source square (00 for a drop), destination, piece name.
bool IsMoveStatement(std::string_view s) {
    return s.size() >= 7 && (s[0] == '+' || s[0] == '-') && IsDigit(s[1]) && IsDigit(s[2]) && IsDigit(s[3]) &&
           IsDigit(s[4]) && IsUpper(s[5]) && IsUpper(s[6]);
}

// The end words, what the record makes of each and, where the record has no
// status of the same meaning, a comment that keeps what the file said.
// ILLEGAL_ACTION names the side that broke the rules; it is turned into the
// side to move's view below.
struct Ending {
    std::string_view word;
    int32_t status;
    std::string_view comment;
};
constexpr Ending ENDINGS[] = {
    {"%TORYO", MS_RESIGN, ""},
    {"%CHUDAN", MS_ABORT, ""},
    {"%SENNICHITE", MS_SENNICHITE, ""},
    {"%JISHOGI", MS_JISHOGI, ""},
    {"%TIME_UP", MS_TIME_UP, ""},            // the side to move ran out of time
    {"%ILLEGAL_MOVE", MS_ILLEGAL_LOSS, ""},  // the side to move loses by a foul
    {"%+ILLEGAL_ACTION", MS_ILLEGAL_LOSS, "先手の反則により後手の勝ち"},
    {"%-ILLEGAL_ACTION", MS_ILLEGAL_LOSS, "後手の反則により先手の勝ち"},
    {"%KACHI", MS_ENTERING_WIN, ""},
    {"%TSUMI", MS_MATE, ""},
    {"%FUZUMI", MS_NO_MATE, ""},
    // A draw declared by entering kings: an impasse in the record.
    {"%HIKIWAKE", MS_JISHOGI, "入玉による引き分けの宣言"},
    // A take-back request ends the game as written; the record calls it interrupted.
    {"%MATTA", MS_ABORT, "待った"},
};

// "HH:MM+SS" of $TIME_LIMIT as a KIF time text ("25分", "1時間+30秒").
std::string TimeLimitText(std::string_view v) {
    if (v.size() < 5 || !IsDigit(v[0]) || !IsDigit(v[1]) || v[2] != ':' || !IsDigit(v[3]) || !IsDigit(v[4]))
        return std::string(v);
    const int32_t hours = DecimalValue(v.substr(0, 2)), minutes = DecimalValue(v.substr(3, 2));
    const std::size_t plus = v.find('+');
    const int32_t seconds = plus == std::string_view::npos ? 0 : DecimalValue(v.substr(plus + 1));
    std::string out;
    if (hours)
        out += std::to_string(hours) + "時間";
    if (minutes || !hours)
        out += std::to_string(minutes) + "分";
    if (seconds)
        out += "+" + std::to_string(seconds) + "秒";
    return out;
}

class CCsaReader {
public:
    explicit CCsaReader(CKifu& record) : k(record), cursor(record.Root()) {}

    // Handles one line; false stops the reading.
    bool Line(std::string_view ln) {
        ln = TrimBlanks(ln);
        if (ln.empty())
            return true;
        if (ln[0] == '\'') {
            // The file's own encoding note says nothing once the text is converted.
            if (!started && (StartsWith(ln, "'encoding=") || StartsWith(ln, "'CSA encoding=")))
                return true;
            k.AddNodeComment(cursor, ln.substr(1));
            ++read;
            return true;
        }
        if (ln[0] == 'N' || ln[0] == '$')
            return Information(ln);
        // Several statements may share a line, separated by commas.
        for (std::size_t start = 0; start <= ln.size();) {
            std::size_t comma = ln.find(',', start);
            if (comma == std::string_view::npos)
                comma = ln.size();
            const std::string_view s = TrimBlanks(ln.substr(start, comma - start));
            if (!s.empty() && !Statement(s))
                return false;
            start = comma + 1;
        }
        return true;
    }

    // After the last line: a file that ends before its first move still
    // has its position.
    bool Finish() { return started || StartGame(); }

    int read = 0;

private:
    bool Information(std::string_view ln) {
        if (StartsWith(ln, "N+") || StartsWith(ln, "N-")) {
            (ln[1] == '+' ? k.header.senteName : k.header.goteName).assign(TrimBlanks(ln.substr(2)));
            ++read;
            return true;
        }
        if (ln[0] != '$')
            return true;  // not a statement of this format: passed over
        const std::size_t colon = ln.find(':');
        const std::string_view key = ln.substr(1, colon == std::string_view::npos ? colon : colon - 1);
        const std::string_view value =
            colon == std::string_view::npos ? std::string_view() : TrimBlanks(ln.substr(colon + 1));
        if (value.empty())
            return true;
        ++read;
        std::string kept;
        if (key == "START_TIME" || key == "START" || key == "END_TIME") {
            const std::string line =
                std::string(key == "END_TIME" ? "終了日時：" : "開始日時：") + std::string(value);
            if (ParseHeaderLine(k.header, line))
                return true;
            kept = line;  // a time without its date: kept as written
        } else if (key == "EVENT") {
            kept = "棋戦：" + std::string(value);
        } else if (key == "SITE") {
            kept = "場所：" + std::string(value);
        } else if (key == "TIME_LIMIT") {
            kept = "持ち時間：" + TimeLimitText(value);
        } else if (key == "TIME") {
            kept = "持ち時間：" + std::string(value);
        } else if (key == "OPENING") {
            kept = "戦型：" + std::string(value);
        } else {
            kept = std::string(ln);  // a key of another program's own: kept as it stands
        }
        k.header.otherLines.append(kept).append("\r\n");
        return true;
    }

    bool Statement(std::string_view s) {
        if (s[0] == 'V')
            return true;  // version
        if (s[0] == 'P')
            return Position(s);
        if (s == "+" || s == "-") {
            if (started)
                return false;  // a second position after the moves: another record
            first = s == "+" ? SENTE : GOTE;
            ++read;
            return StartGame();
        }
        if (IsMoveStatement(s))
            return Move(s);
        if (s[0] == 'T') {
            if (cursor->filled)
                cursor->move->seconds = std::max<int32_t>(0, DecimalValue(s.substr(1)));
            return true;
        }
        if (s[0] == '%')
            return End(s);
        if (s == "/")
            return false;  // the next record of a file that holds several
        return true;       // unknown statement: passed over
    }

    // PI (the even game less the pieces named), P1..P9 (one rank each),
    // P+ / P- (pieces added on squares or in hand, 00AL: all the others).
    bool Position(std::string_view s) {
        if (started)
            return false;
        if (!positionGiven) {
            positionGiven = true;
            for (auto& file : grid)
                for (Cell& c : file)
                    c = Cell{};
        }
        ++read;
        if (StartsWith(s, "PI")) {
            SetEven();
            for (std::size_t i = 2; i + 4 <= s.size(); i += 4) {
                const int file = s[i] - '0', rank = s[i + 1] - '0';
                const int code = NameCode(s.substr(i + 2, 2));
                if (!OnBoard(file, rank) || code < 0 || grid[file][rank].code != code)
                    return false;
                grid[file][rank] = Cell{};
            }
            return true;
        }
        if (s.size() >= 2 && s[1] >= '1' && s[1] <= '9') {
            const int rank = s[1] - '0';
            // Nine cells of three bytes from file 9; a short line leaves the rest empty.
            for (int n = 0; n < 9; ++n) {
                const std::size_t at = 2 + 3 * std::size_t(n);
                const std::string_view cell = at < s.size() ? s.substr(at, 3) : std::string_view();
                grid[9 - n][rank] = Cell{};
                if (cell.empty() || (cell[0] != '+' && cell[0] != '-'))
                    continue;
                const int code = NameCode(cell.substr(1, 2));
                if (code < 0)
                    return false;
                grid[9 - n][rank] = Cell{cell[0] == '+' ? SENTE : GOTE, code};
            }
            return true;
        }
        if (s.size() < 2 || (s[1] != '+' && s[1] != '-'))
            return true;  // not a position statement: passed over
        const int owner = s[1] == '+' ? SENTE : GOTE;
        for (std::size_t i = 2; i + 4 <= s.size(); i += 4) {
            const int file = s[i] - '0', rank = s[i + 1] - '0';
            const std::string_view name = s.substr(i + 2, 2);
            if (file == 0 && rank == 0 && name == "AL") {
                restTo = owner;
                continue;
            }
            const int code = NameCode(name);
            if (code < 0)
                return false;
            if (file == 0 && rank == 0) {
                if (IsPromotedName(code) || code == KING)
                    return false;
                hands[owner][code] = std::min(hands[owner][code] + 1, 99);
            } else if (OnBoard(file, rank) && grid[file][rank].owner < 0) {
                grid[file][rank] = Cell{owner, code};
            } else {
                return false;
            }
        }
        return true;
    }

    // Starts the game on the position read (the even game when none was).
    bool StartGame() {
        started = true;
        if (!positionGiven)
            return tracker.Start();
        if (restTo >= 0) {
            int used[8] = {};
            for (int f = 1; f <= 9; ++f)
                for (int r = 1; r <= 9; ++r)
                    if (grid[f][r].owner >= 0)
                        ++used[Base(grid[f][r].code)];
            for (int b = 0; b < KING; ++b)
                hands[restTo][b] += std::max(0, SET_COUNT[b] - used[b] - hands[SENTE][b] - hands[GOTE][b]);
        }
        if (!tracker.Start(Sfen()))
            return false;
        const std::string start = BoardSfen(tracker.Board(), tracker.SideToMove(), 1);
        if (start != EVEN_SFEN)
            k.header.startSfen = start;
        return true;
    }

    std::string Sfen() const {
        std::string out;
        for (int r = 1; r <= 9; ++r) {
            int empty = 0;
            for (int f = 9; f >= 1; --f) {
                const Cell& c = grid[f][r];
                if (c.owner < 0) {
                    ++empty;
                    continue;
                }
                if (empty)
                    out += char('0' + empty);
                empty = 0;
                if (IsPromotedName(c.code))
                    out += '+';
                const char letter = SFEN_LETTERS[std::size_t(Base(c.code))];
                out += c.owner == GOTE ? char(letter - 'A' + 'a') : letter;
            }
            if (empty)
                out += char('0' + empty);
            if (r < 9)
                out += '/';
        }
        out += first == GOTE ? " w " : " b ";
        std::string inHand;
        for (int owner : {SENTE, GOTE})
            for (int b = 0; b < KING; ++b)
                if (hands[owner][b] > 0) {
                    inHand += std::to_string(hands[owner][b]);
                    const char letter = SFEN_LETTERS[std::size_t(b)];
                    inHand += owner == GOTE ? char(letter - 'A' + 'a') : letter;
                }
        return out + (inHand.empty() ? "-" : inHand) + " 1";
    }

    void SetEven() {
        constexpr int BACK[] = {0, 1, 2, 3, 4, 7, 4, 3, 2, 1};  // base by file: KY KE GI KI OU KI GI KE KY
        for (int f = 1; f <= 9; ++f) {
            grid[f][1] = Cell{GOTE, BACK[f]};
            grid[f][9] = Cell{SENTE, BACK[f]};
            grid[f][3] = Cell{GOTE, 0};
            grid[f][7] = Cell{SENTE, 0};
            for (int r : {2, 4, 5, 6, 8})
                grid[f][r] = Cell{};
        }
        grid[8][2] = Cell{GOTE, 6};
        grid[2][2] = Cell{GOTE, 5};
        grid[8][8] = Cell{SENTE, 5};
        grid[2][8] = Cell{SENTE, 6};
    }

    bool Move(std::string_view s) {
        const int side = s[0] == '+' ? SENTE : GOTE;
        if (!started) {
            first = side;  // no side-to-move line: the first move tells
            if (!StartGame())
                return false;
        }
        const int code = NameCode(s.substr(5, 2));
        if (ended || code < 0 || side != tracker.SideToMove())
            return false;
        const int fromFile = s[1] - '0', fromRank = s[2] - '0', toFile = s[3] - '0', toRank = s[4] - '0';
        bool promote = false;
        int dropType = 0;
        if (fromFile == 0 && fromRank == 0) {
            if (IsPromotedName(code) || code == KING)
                return false;
            dropType = BASE_TYPE[code];
        } else {
            const int i = tracker.Board().PieceAt(fromFile, fromRank);
            if (i < 0)
                return false;
            const KomaRec& p = tracker.Board().pieces[i];
            const int type = BASE_TYPE[Base(code)];
            if (type != p.type && !(IsKing(type) && IsKing(p.type)))
                return false;
            if (p.promoted && !IsPromotedName(code))
                return false;  // a promoted piece cannot turn back
            // The name is the piece after the move: promoted now, not before.
            promote = IsPromotedName(code) && !p.promoted;
        }
        MoveRec m;
        if (!tracker.Play(fromFile, fromRank, toFile, toRank, dropType, promote, &m))
            return false;
        cursor = k.Append(cursor, m);
        ++read;
        return true;
    }

    bool End(std::string_view s) {
        if (!started && !StartGame())
            return false;
        if (ended)
            return true;
        int32_t status = MS_ABORT;
        std::string comment(s);  // an ending of a later version: interrupted, with its word
        for (const Ending& e : ENDINGS)
            if (e.word == s) {
                status = e.status;
                comment = e.comment;
                // The side named by ILLEGAL_ACTION loses: from the view of the
                // side to move, whose entry this is, a loss or a win.
                const int offender = s == "%+ILLEGAL_ACTION" ? SENTE : s == "%-ILLEGAL_ACTION" ? GOTE : -1;
                if (offender >= 0 && offender != tracker.SideToMove())
                    status = MS_ILLEGAL_WIN;
            }
        cursor = k.Append(cursor, tracker.End(status));
        if (!comment.empty())
            k.AddNodeComment(cursor, comment);
        ended = true;
        ++read;
        return true;
    }

    struct Cell {
        int owner = -1;  // side, -1 for an empty square
        int code = 0;    // index into NAMES
    };

    CKifu& k;
    KifuNode* cursor;
    CMoveTracker tracker;
    Cell grid[10][10];  // [file][rank], 1..9
    int hands[2][KING] = {};
    int restTo = -1;  // side that takes the pieces 00AL leaves
    int first = SENTE;
    bool positionGiven = false, started = false, ended = false;
};

std::string_view FirstStatementLine(std::string_view text) {
    std::string_view first;
    ForEachLine(text, [&](std::string_view line) {
        line = TrimBlanks(line);
        if (line.empty() || line[0] == '\'')
            return true;
        first = line;
        return false;
    });
    return first;
}

}  // namespace

bool LooksLikeCsa(std::string_view sjis) {
    const std::string_view s = FirstStatementLine(sjis);
    if (s.size() < 2)
        return s == "+" || s == "-";
    switch (s[0]) {
        case 'V': return IsDigit(s[1]);
        case 'N': return s[1] == '+' || s[1] == '-';
        case '$':
        case '%': return IsUpper(s[1]) || s[1] == '+' || s[1] == '-';
        case 'P': return s[1] == 'I' || s[1] == '+' || s[1] == '-' || (s[1] >= '1' && s[1] <= '9');
        case '+':
        case '-': return IsMoveStatement(s);
        default: return false;
    }
}

int ReadCsa(CKifu& k, std::string_view sjis, const std::string& title, LoadReport& report) {
    BeginReading(k, title, report);
    CCsaReader reader(k);
    int32_t lineNumber = 0;
    std::string_view line;
    const bool stopped = ForEachLine(sjis, [&](std::string_view l) {
                             line = l;
                             ++lineNumber;
                             return reader.Line(l);
                         }) != 0;
    // A refused line, or a position without moves that no board can hold:
    // the last line read says so.
    if (stopped || !reader.Finish()) {
        report.stopLine = lineNumber;
        report.stopText.assign(line);
    }
    ShowMainLine(k);
    return reader.read;
}

bool CsaPieceName(std::string_view name, int32_t* type, int32_t* promoted) {
    const int code = NameCode(name);
    if (code < 0)
        return false;
    *type = BASE_TYPE[Base(code)];
    *promoted = IsPromotedName(code) ? 1 : 0;
    return true;
}

}  // namespace ravu
