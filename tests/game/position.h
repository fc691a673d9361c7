// Test helpers for the board: positions from short text, and stand-ins for
// the program around the board.
//
// "sFU77 g+HI55 sKI00" places a sente pawn on 7七, a gote dragon on 5五 and a
// gold in sente's hand: s/g owner, optional + promoted, type (OU GY HI KA KI
// GI KE KY FU), file and rank ("00" = hand).  Each token takes the first
// unused table index of its type, so indices stay those of a real set; pieces
// not named are out of play (KS_NONE).
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "game/board.h"

namespace ravu::test {

inline void ClearBoard(CShogiBoard& board) {
    for (KomaRec& p : board.pieces) {
        const int type = p.type;
        p = KomaRec{};
        p.type = type;
    }
}

// Places one piece and answers its table index (-1 with a failure on a bad token).
inline int Put(CShogiBoard& board, const std::string& token) {
    static const std::string names = "OUHIKAKIGIKEKYFUGY";
    const size_t pos = token.size() > 1 && token[1] == '+' ? 2 : 1;
    const size_t t = token.size() == pos + 4 ? names.find(token.substr(pos, 2)) : std::string::npos;
    if ((token[0] != 's' && token[0] != 'g') || t == std::string::npos || t % 2) {
        ADD_FAILURE() << "bad token " << token;
        return -1;
    }
    for (int i = 0; i < PIECE_COUNT; ++i) {
        KomaRec& p = board.pieces[i];
        if (p.type != int(t / 2) || p.state != KS_NONE)
            continue;
        p.owner = token[0] == 's' ? SENTE : GOTE;
        p.promoted = pos == 2;
        p.prevFile = p.file = token[pos + 2] - '0';
        p.prevRank = p.rank = token[pos + 3] - '0';
        p.prevState = p.state = p.file == 0 ? KS_HAND : KS_BOARD;
        board.UpdateImage(i);
        board.SquareToPixel(p);
        return i;
    }
    ADD_FAILURE() << "no unused piece for " << token;
    return -1;
}

inline void Arrange(CShogiBoard& board, const std::string& text) {
    ClearBoard(board);
    std::istringstream in(text);
    for (std::string token; in >> token;)
        Put(board, token);
}

// The piece on a square, or the first piece in a hand for "00".
inline int At(const CShogiBoard& board, int file, int rank) {
    if (file)
        return board.PieceAt(file, rank);
    for (int i = 0; i < PIECE_COUNT; ++i)
        if (board.pieces[i].state == KS_HAND)
            return i;
    return -1;
}

// Centre pixel of a square in the current view.
inline void Centre(const CShogiBoard& board, int file, int rank, int& x, int& y) {
    x = 141 + 31 * (board.flip ? file - 1 : 9 - file) + 15;
    y = 11 + 31 * (board.flip ? 9 - rank : rank - 1) + 15;
}

// Picks the piece up and puts it down on the square with the pointer.
inline int UserMove(CShogiBoard& board, int index, int toFile, int toRank) {
    board.PickUp(index, 0, 0);
    int x = 0, y = 0;
    Centre(board, toFile, toRank, x, y);
    return board.DropHeld(index, x, y);
}

inline MoveRec Move(int side, int fromFile, int fromRank, int toFile, int toRank, int type, int promoted = 0,
                    int status = MS_MOVE) {
    return MoveRec{side, 0, toFile, toRank, type, promoted, fromFile, fromRank, status, 0, 0, {}};
}

struct FakeAsker : IPromotionAsker {
    int answer = 1, calls = 0, lastX = 0, lastY = 0;
    int AskPromotion(int x, int y) override { return ++calls, lastX = x, lastY = y, answer; }
};

struct FakeSound : IPieceSound {
    bool available = true;  // false: the sound resource is missing
    int plays = 0;
    bool PlayPieceSound() override { return ++plays, available; }
};

struct FakeSetting : ISoundSetting {
    bool on = true;
    bool IsSoundOn() const override { return on; }
};

struct FakeMessages : IBoardMessages {
    std::vector<std::string> shown;
    void ShowInternalError(const std::string& text) override { shown.push_back(text); }
};

// A board with every stand-in attached.
struct Hosted {
    CShogiBoard board;
    FakeAsker asker;
    FakeSound sound;
    FakeSetting setting;
    FakeMessages messages;
    Hosted() {
        board.SetPromotionAsker(&asker);
        board.SetPieceSound(&sound);
        board.SetSoundSetting(&setting);
        board.SetMessages(&messages);
    }
};

}  // namespace ravu::test
