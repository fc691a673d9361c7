// KI2 reader.  Literals here are compiled to Shift-JIS: every Japanese
// character is two bytes.
#include "record/ki2_reader.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <vector>

#include "game/legal_moves.h"
#include "game/sjis.h"
#include "record/kif_move.h"
#include "record/kif_reader.h"
#include "record/kifu.h"
#include "record/move_tracker.h"
#include "record/notation.h"
#include "record/record_lines.h"
#include "record/start_position.h"

namespace ravu {

namespace {

// Every this many moves of a line the reader keeps the position, so that a
// variation section is set up by replaying at most this many moves.
constexpr int32_t CHECKPOINT_MOVES = 64;

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The side of the mark at the front (taken off the text), -1 when there is
// none.  The shogi piece signs U+2617 (sente) and U+2616 (gote) have no
// Shift-JIS code: a file read from UTF-8 holds them
// as character references.
int TakeMark(std::string_view& text) {
    if (KifTakeText(text, "▲") || KifTakeText(text, "&#x2617;"))
        return SENTE;
    if (KifTakeText(text, "△") || KifTakeText(text, "▽") || KifTakeText(text, "&#x2616;"))
        return GOTE;
    return -1;
}

// Whether the word occurs in the text starting on a character boundary.
bool HasWord(std::string_view text, std::string_view word) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, word.size(), word) == 0)
            return true;
        if (IsSjisLead(uint8_t(text[i])))
            ++i;
    }
    return false;
}

// The first side named in the text (先手 下手: sente, 後手 上手: gote), -1 when none.
int NamedSide(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string_view at = text.substr(i, 4);
        if (at == "先手" || at == "下手")
            return SENTE;
        if (at == "後手" || at == "上手")
            return GOTE;
        if (IsSjisLead(uint8_t(text[i])))
            ++i;
    }
    return -1;
}

// The end entry that the summary line after "まで" stands for, told from the
// side to move (the side whose entry it is); 0 when it names no end the
// record can hold ("先手の勝ち" with sente to move does not say why).
int32_t SummaryStatus(std::string_view text, int toMove) {
    if (HasWord(text, "千日手"))
        return MS_SENNICHITE;
    if (HasWord(text, "持将棋"))
        return MS_JISHOGI;
    if (HasWord(text, "中断"))
        return MS_ABORT;
    if (HasWord(text, "封じ手"))
        return MS_SEALED;
    if (HasWord(text, "不詰"))
        return MS_NO_MATE;
    if (HasWord(text, "詰"))
        return MS_MATE;
    const int named = NamedSide(text);
    if (named < 0)
        return 0;
    const bool toMoveNamed = named == toMove;
    if (HasWord(text, "反則勝ち"))
        return toMoveNamed ? MS_ILLEGAL_WIN : MS_ILLEGAL_LOSS;
    if (HasWord(text, "反則負け"))
        return toMoveNamed ? MS_ILLEGAL_LOSS : MS_ILLEGAL_WIN;
    if (HasWord(text, "不戦勝"))
        return toMoveNamed ? MS_DEFAULT_WIN : MS_DEFAULT_LOSS;
    if (HasWord(text, "不戦敗"))
        return toMoveNamed ? MS_DEFAULT_LOSS : MS_DEFAULT_WIN;
    if (HasWord(text, "入玉勝ち"))
        return toMoveNamed ? MS_ENTERING_WIN : 0;
    if (HasWord(text, "切れ負け"))
        return toMoveNamed ? MS_TIME_UP : 0;
    if (HasWord(text, "勝ち"))  // also "時間切れにより後手の勝ち"
        return toMoveNamed ? 0 : HasWord(text, "時間切れ") ? MS_TIME_UP : MS_RESIGN;
    if (HasWord(text, "負け"))
        return toMoveNamed ? MS_RESIGN : 0;
    return 0;
}

unsigned TakeWords(std::string_view& text) {
    unsigned words = 0;
    for (;;) {
        if (KifTakeText(text, "右"))
            words |= KI2_RIGHT;
        else if (KifTakeText(text, "左"))
            words |= KI2_LEFT;
        else if (KifTakeText(text, "直"))
            words |= KI2_STRAIGHT;
        else if (KifTakeText(text, "上") || KifTakeText(text, "行"))
            words |= KI2_UP;
        else if (KifTakeText(text, "引"))
            words |= KI2_BACK;
        else if (KifTakeText(text, "寄"))
            words |= KI2_SIDEWAYS;
        else
            return words;
    }
}

// Narrows the pieces that can make the move by the words, seen from the
// mover: 上 引 寄 by the direction of the step, 直 straight forward, 右 左
// the piece furthest to the mover's right or left among those left.
void Narrow(const CShogiBoard& b, int side, int toFile, int toRank, unsigned words, std::vector<int>& cand) {
    const auto forward = [&](const KomaRec& p) { return side == SENTE ? p.rank - toRank : toRank - p.rank; };
    const auto rightward = [&](const KomaRec& p) { return side == SENTE ? -p.file : p.file; };
    const auto keep = [&](auto pred) {
        std::vector<int> out;
        for (int i : cand)
            if (pred(b.pieces[i]))
                out.push_back(i);
        cand.swap(out);
    };
    if (words & KI2_UP)
        keep([&](const KomaRec& p) { return forward(p) > 0; });
    if (words & KI2_BACK)
        keep([&](const KomaRec& p) { return forward(p) < 0; });
    if (words & KI2_SIDEWAYS)
        keep([&](const KomaRec& p) { return forward(p) == 0; });
    if (words & KI2_STRAIGHT)
        keep([&](const KomaRec& p) { return p.file == toFile && forward(p) > 0; });
    for (const unsigned w : {KI2_RIGHT, KI2_LEFT}) {
        if (!(words & w) || cand.empty())
            continue;
        int best = rightward(b.pieces[cand[0]]);
        for (int i : cand)
            best = w == KI2_RIGHT ? std::max(best, rightward(b.pieces[i]))
                                  : std::min(best, rightward(b.pieces[i]));
        keep([&](const KomaRec& p) { return rightward(p) == best; });
    }
}

}  // namespace

bool ReadKi2Parts(std::string_view& text, int32_t lastFile, int32_t lastRank, Ki2Parts* out) {
    std::string_view t = text;
    Ki2Parts parts;
    if (KifTakeText(t, "同")) {
        KifTakeText(t, "　");
        parts.toFile = lastFile;
        parts.toRank = lastRank;
    } else {
        parts.toFile = KifTakeDigit(t, false);
        parts.toRank = parts.toFile ? KifTakeDigit(t, true) : 0;
    }
    if (parts.toFile == 0 || parts.toRank == 0 || !KifTakePiece(t, &parts.type, &parts.promoted))
        return false;
    parts.words = TakeWords(t);
    parts.promote = KifTakeText(t, "成");
    if (!parts.promote)
        parts.decline = KifTakeText(t, "不成") || KifTakeText(t, "生");
    parts.drop = KifTakeText(t, "打");
    *out = parts;
    text = t;
    return true;
}

namespace {

// Whether the piece's move to the square (promoting or not) leaves its own
// king unattacked and breaks no other rule of a strict game.
bool MayLawfullyGo(const CShogiBoard& b, int side, const KomaRec& p, int32_t toFile, int32_t toRank) {
    MoveRec m;
    m.side = side;
    m.fromFile = p.file;
    m.fromRank = p.rank;
    m.toFile = toFile;
    m.toRank = toRank;
    m.type = p.type;
    m.promoted = p.promoted;
    m.status = MS_MOVE;
    if (IsLegalMove(b, side, m))
        return true;
    m.promoted = 1;
    m.status = MS_PROMOTE;
    return !p.promoted && IsLegalMove(b, side, m);
}

}  // namespace

std::vector<int> Ki2Movers(const CShogiBoard& b, int side, const Ki2Parts& parts, bool narrow) {
    std::vector<int> cand;
    for (int i = 0; i < PIECE_COUNT && !parts.drop; ++i) {
        const KomaRec& p = b.pieces[i];
        if (p.state == KS_BOARD && p.owner == side && SameKind(p.type, parts.type) &&
            p.promoted == parts.promoted && b.CanMove(p, parts.toFile, parts.toRank))
            cand.push_back(i);
    }
    if (narrow && !cand.empty())
        Narrow(b, side, parts.toFile, parts.toRank, parts.words, cand);
    if (narrow && cand.size() > 1) {
        // Records name a piece among those that may lawfully go: a pinned one,
        // whose move would leave its king attacked, needs no word to be told
        // apart.  When none may, the record's own (free) game decides.
        std::vector<int> lawful;
        for (const int i : cand)
            if (MayLawfullyGo(b, side, b.pieces[i], parts.toFile, parts.toRank))
                lawful.push_back(i);
        if (!lawful.empty())
            cand = std::move(lawful);
    }
    return cand;
}

std::string Ki2WordsFor(const CShogiBoard& b, int side, int32_t toFile, int32_t toRank,
                        const std::vector<int>& movers, int index) {
    static constexpr struct {
        unsigned words;
        const char* text;
    } CHOICES[] = {
        {KI2_UP, "上"},
        {KI2_BACK, "引"},
        {KI2_SIDEWAYS, "寄"},
        {KI2_STRAIGHT, "直"},
        {KI2_RIGHT, "右"},
        {KI2_LEFT, "左"},
        {KI2_RIGHT | KI2_UP, "右上"},
        {KI2_LEFT | KI2_UP, "左上"},
        {KI2_RIGHT | KI2_BACK, "右引"},
        {KI2_LEFT | KI2_BACK, "左引"},
        {KI2_RIGHT | KI2_SIDEWAYS, "右寄"},
        {KI2_LEFT | KI2_SIDEWAYS, "左寄"},
    };
    for (const auto& c : CHOICES) {
        std::vector<int> cand = movers;
        Narrow(b, side, toFile, toRank, c.words, cand);
        if (cand.size() == 1 && cand[0] == index)
            return c.text;
    }
    return {};
}

Ki2Move ReadKi2Move(CMoveTracker& tracker, std::string_view& text, MoveRec* move) {
    std::string_view t = text;
    const int side = TakeMark(t);
    if (side < 0)
        return Ki2Move::None;
    Ki2Parts parts;
    if (side != tracker.SideToMove() || !ReadKi2Parts(t, tracker.LastFile(), tracker.LastRank(), &parts))
        return Ki2Move::Bad;

    const CShogiBoard& b = tracker.Board();
    const int there = b.PieceAt(parts.toFile, parts.toRank);
    if (there >= 0 && b.pieces[there].owner == side)
        return Ki2Move::Bad;
    const std::vector<int> movers = Ki2Movers(b, side, parts, false);
    bool played = false;
    if (movers.empty()) {
        // A drop: written with 打, or no piece on the board can go there.
        played = !parts.words && !parts.promote && !parts.promoted &&
                 tracker.Play(0, 0, parts.toFile, parts.toRank, parts.type, false, move);
    } else {
        const std::vector<int> cand = Ki2Movers(b, side, parts, true);
        if (cand.size() == 1) {
            const KomaRec& p = b.pieces[cand[0]];
            const bool mayPromote =
                CShogiBoard::InZone(side, parts.toRank) || CShogiBoard::InZone(side, p.rank);
            played = (!parts.promote || mayPromote) &&
                     tracker.Play(p.file, p.rank, parts.toFile, parts.toRank, 0, parts.promote, move);
        }
    }
    if (!played)
        return Ki2Move::Bad;
    text = t;
    return Ki2Move::Played;
}

bool LooksLikeKi2(std::string_view sjis) {
    bool marks = false;
    const bool numbered = ForEachLine(sjis, [&](std::string_view line) {
                              int32_t number = 0;
                              std::size_t at = 0;
                              if (KifMoveNumber(line, &number, &at))
                                  return false;
                              marks = marks || TakeMark(line) >= 0;
                              return true;
                          }) != 0;
    return marks && !numbered;
}

namespace {

class CKi2Reader {
public:
    explicit CKi2Reader(CKifu& record) : k(record), cursor(record.Root()) {}

    // Handles one line; false stops the reading.
    bool Line(std::string_view ln) {
        std::string_view front = ln;
        if (TakeMark(front) >= 0)
            return Moves(ln);
        if (ln.empty() || ln[0] == '#')
            return true;
        if (StartsWith(ln, "まで"))
            return Summary(ln.substr(4));
        if (StartsWith(ln, "変化"))
            return Section(ln.substr(4));
        if (ln[0] == '*') {
            if (cursor)
                ++read;
            k.AddNodeComment(cursor, ln.substr(1));
            return true;
        }
        Header(ln);
        return true;
    }

    int read = 0;  // header fields, moves and comments read

private:
    bool Moves(std::string_view ln) {
        if (!cursor && !branch)
            return true;  // a section that found no move to branch from: dropped
        if (!tracker) {
            // A handicap named in the header starts the game from its position.
            if (k.header.startSfen.empty())
                k.header.startSfen = HandicapSfen(k.header.handicap);
            start = k.header.startSfen;
            tracker.emplace();
            if (!tracker->Start(start))
                return false;
        }
        for (;;) {
            KifSkipBlanks(ln);
            if (ln.empty())
                return true;
            MoveRec m;
            if (ended || ReadKi2Move(*tracker, ln, &m) != Ki2Move::Played)
                return false;
            if (!cursor) {
                // The first move of a section: only now the alternative, so
                // that a section that reads nothing leaves none behind.
                KifuNode* last = branch;
                while (last->alt)
                    last = last->alt;
                cursor = k.AddAlternative(last, *last->move)->alt;
                branch = nullptr;
            }
            cursor = lastEntry = k.Append(cursor, m);
            if (m.number % CHECKPOINT_MOVES == 0)
                checkpoints.insert_or_assign(cursor, *tracker);
            ++read;
        }
    }

    // "まで77手で先手の勝ち": the end of the line, when it names one.
    bool Summary(std::string_view rest) {
        if (!cursor || !tracker || ended)
            return true;
        ended = true;
        if (const int32_t status = SummaryStatus(rest, tracker->SideToMove())) {
            cursor = lastEntry = k.Append(cursor, tracker->End(status));
            ++read;
        }
        return true;
    }

    // "変化：N手": the moves from move N of another line, an alternative to
    // move N of the line read last (or of the lines it branches from).
    bool Section(std::string_view rest) {
        while (!rest.empty() && (rest[0] == ' ' || rest[0] == ':' || StartsWith(rest, "：")))
            rest.remove_prefix(rest[0] == ' ' || rest[0] == ':' ? 1 : 2);
        const int32_t number = DecimalValue(rest.substr(0, rest.find("手")));
        cursor = nullptr;
        ended = false;
        KifuNode* at = lastEntry;
        while (at && at->move->number > number)
            at = at->prev;
        branch = at && at->move->number == number && PositionBefore(at) ? at : nullptr;
        return true;
    }

    // The tracker at the position before `entry`: from the nearest kept
    // position on its line, or from the start.
    bool PositionBefore(const KifuNode* entry) {
        std::vector<const KifuNode*> path;
        const KifuNode* e = entry->prev;
        for (; e && !checkpoints.count(e); e = e->prev)
            path.push_back(e);
        if (e)
            tracker = checkpoints.at(e);
        else if (!tracker.emplace().Start(start))
            return false;
        MoveRec m;
        for (auto p = path.rbegin(); p != path.rend(); ++p) {
            const MoveRec& r = *(*p)->move;
            if (!tracker->Play(r.fromFile, r.fromRank, r.toFile, r.toRank, r.type, r.status == MS_PROMOTE,
                               &m))
                return false;
        }
        return true;
    }

    // A header line; "先手: A / 後手: B" holds several fields, cut at each
    // " / " that a field follows.
    void Header(std::string_view ln) {
        std::vector<std::size_t> separators;
        for (std::size_t i = 0; i < ln.size(); ++i) {
            if (ln.compare(i, 3, " / ") == 0)
                separators.push_back(i);
            else if (IsSjisLead(uint8_t(ln[i])))
                ++i;
        }
        std::size_t from = 0;
        for (std::size_t s = 0; s < separators.size(); ++s) {
            const std::size_t at = separators[s] + 3;
            const std::size_t to = s + 1 < separators.size() ? separators[s + 1] : ln.size();
            KifuHeader probe;
            if (ParseHeaderLine(probe, Value(ln.substr(at, to - at)))) {
                read += ReadHeaderLine(k.header, Value(ln.substr(from, separators[s] - from)));
                from = at;
            }
        }
        read += ReadHeaderLine(k.header, Value(ln.substr(from)));
    }

    // The line without the blanks after an ASCII colon ("先手: A").
    static std::string Value(std::string_view ln) {
        std::string out(ln);
        const std::size_t colon = out.find(':');
        if (colon != std::string::npos)
            out.erase(colon + 1, out.find_first_not_of(' ', colon + 1) - colon - 1);
        return out;
    }

    CKifu& k;
    KifuNode* cursor;               // the entry the next move follows; none in a dropped section
    KifuNode* lastEntry = nullptr;  // the entry read last
    KifuNode* branch =
        nullptr;  // the entry the section being read is an alternative to, until its first move
    std::optional<CMoveTracker> tracker;
    std::string start;   // the start position of every line
    bool ended = false;  // the current line has had its summary
    std::unordered_map<const KifuNode*, CMoveTracker> checkpoints;
};

}  // namespace

int ReadKi2(CKifu& k, std::string_view sjis, const std::string& title, LoadReport& report) {
    BeginReading(k, title, report);
    CKi2Reader reader(k);
    ReadUntilRefused(sjis, reader, report);
    ShowMainLine(k);
    return reader.read;
}

}  // namespace ravu
