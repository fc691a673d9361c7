// Moves named by squares, completed on a board of the reader's own.
#include "record/move_tracker.h"

#include "game/legal_moves.h"
#include "game/sfen.h"

namespace ravu {

bool CMoveTracker::Start(std::string_view sfen) {
    int first = SENTE;
    if (sfen.empty())
        board.Reset();
    else if (!SetUpSfen(board, sfen, &first))
        return false;
    side = first;
    number = 1;
    lastFile = lastRank = 0;
    return true;
}

bool CMoveTracker::Play(int fromFile, int fromRank, int toFile, int toRank, int dropType, bool promote,
                        MoveRec* move) {
    if (!OnBoard(toFile, toRank))
        return false;
    MoveRec m;
    m.number = number;
    m.side = side;
    m.toFile = toFile;
    m.toRank = toRank;
    if (fromFile == 0) {
        const int i = board.FindInHand(side, dropType);
        if (i < 0 || promote || board.PieceAt(toFile, toRank) >= 0)
            return false;
        m.type = dropType;
    } else {
        const int i = board.PieceAt(fromFile, fromRank);
        if (i < 0 || board.pieces[i].owner != side)
            return false;
        const KomaRec& p = board.pieces[i];
        const int there = board.PieceAt(toFile, toRank);
        if (there >= 0 && board.pieces[there].owner == side)
            return false;
        if (promote && (p.promoted || p.type == PT_KIN || p.type == PT_OU || p.type == PT_GYOKU))
            return false;
        m.type = p.type;
        m.fromFile = fromFile;
        m.fromRank = fromRank;
        m.promoted = p.promoted || promote;
        m.status = promote ? MS_PROMOTE : MS_MOVE;
    }
    if ((strict && !IsLegalMove(board, side, m)) || !board.ApplyMove(m, true))
        return false;
    *move = m;
    side ^= 1;
    ++number;
    lastFile = toFile;
    lastRank = toRank;
    return true;
}

namespace {

// Drop letters of USI and the record's piece types.
constexpr std::string_view DROP_LETTERS = "PLNSGBR";
constexpr int DROP_TYPES[] = {PT_FU, PT_KYO, PT_KEI, PT_GIN, PT_KIN, PT_KAKU, PT_HI};

int UsiFile(char c) { return c >= '1' && c <= '9' ? c - '0' : 0; }
int UsiRank(char c) { return c >= 'a' && c <= 'i' ? c - 'a' + 1 : 0; }

}  // namespace

bool ParseUsiMove(std::string_view w, UsiSquares* out) {
    UsiSquares u;
    if (w.size() == 4 && w[1] == '*') {
        char letter = w[0];
        if (letter >= 'a' && letter <= 'z')
            letter = char(letter - 'a' + 'A');
        const std::size_t at = DROP_LETTERS.find(letter);
        if (at == std::string_view::npos)
            return false;
        u.dropType = DROP_TYPES[at];
    } else if (w.size() == 4 || (w.size() == 5 && w[4] == '+')) {
        u.fromFile = UsiFile(w[0]);
        u.fromRank = UsiRank(w[1]);
        u.promote = w.size() == 5;
        if (!u.fromFile || !u.fromRank)
            return false;
    } else {
        return false;
    }
    u.toFile = UsiFile(w[2]);
    u.toRank = UsiRank(w[3]);
    if (!u.toFile || !u.toRank)
        return false;
    *out = u;
    return true;
}

bool CMoveTracker::PlayUsi(std::string_view w, MoveRec* move) {
    UsiSquares u;
    return ParseUsiMove(w, &u) &&
           Play(u.fromFile, u.fromRank, u.toFile, u.toRank, u.dropType, u.promote, move);
}

MoveRec CMoveTracker::End(int32_t status) const {
    MoveRec m;
    m.number = number;
    m.side = side;
    m.status = status;
    return m;
}

}  // namespace ravu
