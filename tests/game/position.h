// Builds test positions from short text: "sFU77 g+HI55 sKI00" places a sente
// pawn on 7七, a gote dragon on 5五 and a gold in sente's hand.  s/g is the
// owner, an optional + promotes, two letters name the type (OU GY HI KA KI GI
// KE KY FU), two digits give file and rank, "00" meaning the hand.  Each token
// takes the first unused table index of that type, so indices stay those of a
// real set; every piece not named is left out of play (KS_NONE).
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "game/board.h"

namespace ravu::test {

inline int TypeFromCode(const std::string& code) {
    static const char* const names[PT_COUNT] = {"OU", "HI", "KA", "KI", "GI", "KE", "KY", "FU", "GY"};
    for (int t = 0; t < PT_COUNT; ++t)
        if (code == names[t])
            return t;
    return -1;
}

// Takes every piece off the board: no piece is on a square or in a hand.
inline void ClearBoard(CShogiBoard& board) {
    for (KomaRec& p : board.pieces) {
        p.state = KS_NONE;
        p.prevState = KS_NONE;
        p.file = p.rank = 0;
        p.promoted = 0;
        p.moveStatus = 0;
        for (DestEntry& e : p.dest)
            e = DestEntry{};
    }
}

// Places one piece; answers its table index, or -1 (with a test failure)
// when the token is malformed or the set has no unused piece of that type.
inline int Put(CShogiBoard& board, const std::string& token) {
    if (token.size() < 5 || (token[0] != 's' && token[0] != 'g')) {
        ADD_FAILURE() << "bad token " << token;
        return -1;
    }
    const int owner = token[0] == 's' ? SENTE : GOTE;
    size_t pos = 1;
    int promoted = 0;
    if (token[pos] == '+') {
        promoted = 1;
        ++pos;
    }
    if (token.size() != pos + 4) {
        ADD_FAILURE() << "bad token " << token;
        return -1;
    }
    const int type = TypeFromCode(token.substr(pos, 2));
    const int file = token[pos + 2] - '0', rank = token[pos + 3] - '0';
    if (type < 0) {
        ADD_FAILURE() << "bad type in " << token;
        return -1;
    }
    for (int i = 0; i < PIECE_COUNT; ++i) {
        KomaRec& p = board.pieces[i];
        if (p.type != type || p.state != KS_NONE)
            continue;
        p.owner = owner;
        p.promoted = promoted;
        p.file = file;
        p.rank = rank;
        p.state = (file == 0 && rank == 0) ? KS_HAND : KS_BOARD;
        p.prevState = p.state;
        p.prevFile = p.file;
        p.prevRank = p.rank;
        board.UpdateImage(i);
        board.SquareToPixel(p);
        return i;
    }
    ADD_FAILURE() << "no unused piece for " << token;
    return -1;
}

// Clears the board and places every token of the text.
inline void Arrange(CShogiBoard& board, const std::string& text) {
    ClearBoard(board);
    std::istringstream in(text);
    std::string token;
    while (in >> token)
        Put(board, token);
}

}  // namespace ravu::test
