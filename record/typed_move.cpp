// Typed moves.  Literals here are compiled to Shift-JIS: every Japanese
// character is two bytes.
#include "record/typed_move.h"

#include "game/board.h"
#include "game/legal_moves.h"
#include "game/sjis.h"
#include "record/csa_reader.h"
#include "record/ki2_reader.h"
#include "record/kif_move.h"
#include "record/move_tracker.h"

namespace ravu {

namespace {

enum class Promo { Unsaid, Yes, No };

// What the text says, whatever its form.
struct Said {
    int mark = -1;  // side of a side mark, -1 when none
    int32_t toFile = 0, toRank = 0;
    bool hasType = false;
    int32_t type = 0, promoted = 0;  // the piece before the move
    bool csaAfter = false;           // CSA names the piece after the move: promoted says so
    bool hasFrom = false;
    int32_t fromFile = 0, fromRank = 0;
    bool drop = false;
    bool mayImplyDrop = false;  // Japanese: no board piece can go there, so a piece from the hand
    Promo promo = Promo::Unsaid;
    Ki2Parts parts;  // Japanese: the relative words
    bool japanese = false;
};

// The text without blanks (ASCII, tabs, full-width) and with the side mark
// at its front taken off into `mark`.
std::string Compact(std::string_view text, int* mark) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const uint8_t b = uint8_t(text[i]);
        if (b == ' ' || b == '\t' || b == '\r' || b == '\n')
            continue;
        if (IsSjisLead(b) && i + 1 < text.size()) {
            if (text.compare(i, 2, "　") != 0)
                out.append(text.substr(i, 2));
            ++i;
            continue;
        }
        out.push_back(char(b));
    }
    std::string_view t = out;
    *mark = -1;
    if (KifTakeText(t, "▲") || KifTakeText(t, "&#x2617;"))
        *mark = SENTE;
    else if (KifTakeText(t, "△") || KifTakeText(t, "▽") || KifTakeText(t, "&#x2616;"))
        *mark = GOTE;
    return std::string(t);
}

int32_t FileDigit(char c) { return c >= '1' && c <= '9' ? c - '0' : 0; }
// A rank as a letter a..i or a digit 1..9.
int32_t RankChar(char c) {
    if (c >= 'a' && c <= 'i')
        return c - 'a' + 1;
    return FileDigit(c);
}

bool ReadUsi(std::string_view t, Said* s) {
    UsiSquares u;
    if (!ParseUsiMove(t, &u))
        return false;
    s->toFile = u.toFile;
    s->toRank = u.toRank;
    if (u.fromFile == 0) {
        s->drop = true;
        s->hasType = true;
        s->type = u.dropType;
    } else {
        s->hasFrom = true;
        s->fromFile = u.fromFile;
        s->fromRank = u.fromRank;
        s->promo = u.promote ? Promo::Yes : Promo::No;
    }
    return true;
}

bool ReadCsa(std::string_view t, Said* s) {
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        s->mark = t[0] == '+' ? SENTE : GOTE;
        t.remove_prefix(1);
    }
    if (t.size() != 6)
        return false;
    const bool drop = t[0] == '0' && t[1] == '0';
    s->toFile = FileDigit(t[2]);
    s->toRank = FileDigit(t[3]);
    if (!s->toFile || !s->toRank)
        return false;
    if (!CsaPieceName(t.substr(4), &s->type, &s->promoted))
        return false;
    s->hasType = true;
    if (drop) {
        s->drop = true;
        return !s->promoted;
    }
    s->fromFile = FileDigit(t[0]);
    s->fromRank = FileDigit(t[1]);
    s->hasFrom = s->csaAfter = true;
    return s->fromFile && s->fromRank;
}

bool ReadWestern(std::string_view t, Said* s) {
    static constexpr std::string_view LETTERS = "PLNSGBRK";
    static constexpr int32_t TYPES[] = {PT_FU, PT_KYO, PT_KEI, PT_GIN, PT_KIN, PT_KAKU, PT_HI, PT_OU};
    std::size_t i = 0;
    if (i < t.size() && t[i] == '+') {
        s->promoted = 1;
        ++i;
    }
    if (i >= t.size() || LETTERS.find(t[i]) == std::string_view::npos)
        return false;
    s->hasType = true;
    s->type = TYPES[LETTERS.find(t[i])];
    ++i;
    if (i + 2 < t.size() && FileDigit(t[i]) && RankChar(t[i + 1])) {
        s->hasFrom = true;
        s->fromFile = FileDigit(t[i]);
        s->fromRank = RankChar(t[i + 1]);
        i += 2;
    }
    if (i >= t.size() || (t[i] != '-' && t[i] != 'x' && t[i] != '*'))
        return false;
    s->drop = t[i] == '*';
    ++i;
    if (i + 2 > t.size() || !FileDigit(t[i]) || !RankChar(t[i + 1]))
        return false;
    s->toFile = FileDigit(t[i]);
    s->toRank = RankChar(t[i + 1]);
    i += 2;
    if (i < t.size() && (t[i] == '+' || t[i] == '=')) {
        s->promo = t[i] == '+' ? Promo::Yes : Promo::No;
        ++i;
    }
    if (s->drop && (s->hasFrom || s->promoted))
        return false;
    return i == t.size();
}

bool ReadJapanese(std::string_view t, int32_t lastFile, int32_t lastRank, Said* s) {
    if (!ReadKi2Parts(t, lastFile, lastRank, &s->parts))
        return false;
    const Ki2Parts& p = s->parts;
    s->japanese = true;
    s->toFile = p.toFile;
    s->toRank = p.toRank;
    s->hasType = true;
    s->type = p.type;
    s->promoted = p.promoted;
    s->drop = p.drop;
    s->mayImplyDrop = !p.words && !p.promote && !p.promoted;
    s->promo = p.promote ? Promo::Yes : p.decline ? Promo::No : Promo::Unsaid;
    // The KIF form names the origin: "７六歩(77)".
    if (t.size() == 4 && t[0] == '(' && t[3] == ')' && FileDigit(t[1]) && FileDigit(t[2]) && !p.drop) {
        s->hasFrom = true;
        s->fromFile = FileDigit(t[1]);
        s->fromRank = FileDigit(t[2]);
        t.remove_prefix(4);
    }
    return t.empty();
}

TypedMove Fail(TypedError e, TypedIllegal why = TypedIllegal::None) {
    TypedMove r;
    r.error = e;
    r.illegal = why;
    return r;
}

TypedMove Drop(const CShogiBoard& b, int side, const Said& s, bool strict) {
    if (s.promo == Promo::Yes)
        return Fail(TypedError::Illegal, TypedIllegal::CannotPromote);
    const int i = b.FindInHand(side, s.type);
    if (i < 0 || s.promoted)
        return Fail(TypedError::Illegal, TypedIllegal::NotInHand);
    if (b.PieceAt(s.toFile, s.toRank) >= 0)
        return Fail(TypedError::Illegal, TypedIllegal::DropOccupied);
    if (b.TwoPawns(i, s.toFile))
        return Fail(TypedError::Illegal, TypedIllegal::TwoPawns);
    if (!b.CanDrop(i, s.toFile, s.toRank))
        return Fail(TypedError::Illegal, TypedIllegal::DeadPiece);
    TypedMove r;
    r.move.side = side;
    r.move.toFile = s.toFile;
    r.move.toRank = s.toRank;
    r.move.type = s.type;
    if (strict && !IsLegalMove(b, side, r.move))
        return Fail(TypedError::Illegal, TypedIllegal::StrictRules);
    r.error = TypedError::None;
    r.piece = i;
    return r;
}

TypedMove BoardMove(const CShogiBoard& b, int side, int index, const Said& s, bool strict) {
    const KomaRec& p = b.pieces[index];
    Promo promo = s.promo;
    if (s.csaAfter)  // CSA names the piece after the move
        promo = s.promoted && !p.promoted ? Promo::Yes : Promo::No;
    const bool promotable = !p.promoted && p.type != PT_KIN && !IsKing(p.type);
    const bool zone = CShogiBoard::InZone(side, s.toRank) || CShogiBoard::InZone(side, p.rank);
    const bool canPromote = promotable && zone;
    // The board promotes these by itself.
    const bool forced = canPromote && MustPromote(p.type, s.toRank);
    bool promote = false;
    if (promo == Promo::Yes) {
        if (!canPromote)
            return Fail(TypedError::Illegal, TypedIllegal::CannotPromote);
        promote = true;
    } else if (forced) {
        if (promo == Promo::No)
            return Fail(TypedError::Illegal, TypedIllegal::MustPromote);
        promote = true;
    } else if (canPromote && promo == Promo::Unsaid) {
        return Fail(TypedError::ChoosePromotion);
    }
    TypedMove r;
    r.move.side = side;
    r.move.toFile = s.toFile;
    r.move.toRank = s.toRank;
    r.move.fromFile = p.file;
    r.move.fromRank = p.rank;
    r.move.type = p.type;
    r.move.promoted = p.promoted || promote ? 1 : 0;
    r.move.status = promote ? MS_PROMOTE : MS_MOVE;
    if (strict && !IsLegalMove(b, side, r.move))
        return Fail(TypedError::Illegal, TypedIllegal::StrictRules);
    r.error = TypedError::None;
    r.piece = index;
    return r;
}

}  // namespace

TypedMove ReadTypedMove(const CShogiBoard& b, int side, int32_t lastFile, int32_t lastRank, bool strict,
                        std::string_view text) {
    Said s;
    const std::string t = Compact(text, &s.mark);
    const int mark = s.mark;
    if (t.empty() || !(ReadUsi(t, &s) || (s = Said{}, ReadCsa(t, &s)) || (s = Said{}, ReadWestern(t, &s)) ||
                       (s = Said{}, ReadJapanese(t, lastFile, lastRank, &s))))
        return Fail(TypedError::Unreadable);
    if (s.mark < 0)
        s.mark = mark;
    else if (mark >= 0 && mark != s.mark)
        return Fail(TypedError::Unreadable);
    if (s.mark >= 0 && s.mark != side)
        return Fail(TypedError::NotYourTurn);
    if (!OnBoard(s.toFile, s.toRank))
        return Fail(TypedError::Unreadable);  // 同 before any move
    const int there = b.PieceAt(s.toFile, s.toRank);
    if (there >= 0 && b.pieces[there].owner == side)
        return Fail(TypedError::Illegal, TypedIllegal::OwnPieceThere);

    if (s.drop)
        return Drop(b, side, s, strict);
    if (s.hasFrom) {
        const int i = b.PieceAt(s.fromFile, s.fromRank);
        if (i < 0)
            return Fail(TypedError::NoPiece);
        const KomaRec& p = b.pieces[i];
        if (p.owner != side)
            return Fail(TypedError::NotYourPiece);
        const bool kindFits =
            !s.hasType ||
            (SameKind(p.type, s.type) && (s.csaAfter ? s.promoted >= p.promoted : s.promoted == p.promoted));
        if (!kindFits || !b.CanMove(p, s.toFile, s.toRank))
            return Fail(TypedError::NoPiece);
        return BoardMove(b, side, i, s, strict);
    }
    Ki2Parts parts = s.parts;
    parts.toFile = s.toFile;
    parts.toRank = s.toRank;
    parts.type = s.type;
    parts.promoted = s.promoted;
    const std::vector<int> movers = Ki2Movers(b, side, parts, false);
    if (movers.empty()) {
        if (s.japanese && s.mayImplyDrop && b.FindInHand(side, s.type) >= 0)
            return Drop(b, side, s, strict);
        return Fail(TypedError::NoPiece);
    }
    const std::vector<int> cand = Ki2Movers(b, side, parts, true);
    if (cand.empty())
        return Fail(TypedError::NoPiece);
    if (cand.size() > 1) {
        TypedMove r = Fail(TypedError::Ambiguous);
        for (const int i : cand) {
            r.origins.push_back(b.pieces[i].file * 10 + b.pieces[i].rank);
            r.words.push_back(Ki2WordsFor(b, side, s.toFile, s.toRank, movers, i));
        }
        return r;
    }
    return BoardMove(b, side, cand[0], s, strict);
}

}  // namespace ravu
