// Test helpers for the board: positions to and from short text, and stand-ins
// for the program around the board.
//
// "sFU77 g+HI55 sKI00" places a sente pawn on 7七, a gote dragon on 5五 and a
// gold in sente's hand: s/g owner, optional + promoted, type (OU HI KA KI GI
// KE KY FU GY), file and rank ("00" = hand).  Each token takes the first
// unused table index of its type, so indices stay those of a real set; pieces
// not named are out of play (KS_NONE).  A "*" after a token holds the piece.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "game/board.h"

namespace ravu::test {

inline const std::string NAMES = "OUHIKAKIGIKEKYFUGY";

// Places the pieces; answers their table indices in the order named.
inline std::vector<int> Arrange(CShogiBoard& board, const std::string& text) {
    for (KomaRec& p : board.pieces)
        p = KomaRec{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, p.type, 0, 0, {}};
    std::vector<int> placed;
    std::istringstream in(text);
    for (std::string token; in >> token;) {
        const size_t pos = token[1] == '+' ? 2 : 1, t = NAMES.find(token.substr(pos, 2));
        const bool held = token.back() == '*';
        int i = 0;
        while (i < PIECE_COUNT && (int(t / 2) != board.pieces[i].type || board.pieces[i].state != KS_NONE))
            ++i;
        if (t % 2 || i == PIECE_COUNT || token.size() != pos + 4 + held) {
            ADD_FAILURE() << "bad token " << token;
            break;
        }
        KomaRec& p = board.pieces[i];
        p.owner = token[0] == 'g' ? GOTE : SENTE;
        p.promoted = pos == 2;
        p.prevFile = p.file = token[pos + 2] - '0';
        p.prevRank = p.rank = token[pos + 3] - '0';
        p.prevState = p.state = p.file == 0 ? KS_HAND : KS_BOARD;
        board.UpdateImage(i);
        board.SquareToPixel(p);
        if (held)
            board.PickUp(i, 0, 0);
        placed.push_back(i);
    }
    return placed;
}

// Centre pixel of a square in the current view.
inline void Centre(const CShogiBoard& board, int file, int rank, int& x, int& y) {
    x = 141 + 31 * (board.flip ? file - 1 : 9 - file) + 15;
    y = 11 + 31 * (board.flip ? 9 - rank : rank - 1) + 15;
}

// The board in the notation of Arrange, in table order, with "*" after a held
// piece.  A board piece whose image cell or pixels do not match its square is
// marked "?", so every comparison of whole boards also checks the pictures.
inline std::string Describe(const CShogiBoard& board) {
    std::string out;
    for (const KomaRec& p : board.pieces) {
        if (p.state == KS_NONE)
            continue;
        KomaRec at = p;
        board.SquareToPixel(at);
        const bool wrong =
            p.state == KS_BOARD && (at.x != p.x || at.y != p.y ||
                                    p.image != board.ImageCell(p.type, p.promoted, p.owner, board.flip));
        out += std::string(out.empty() ? "" : " ") + (p.owner ? "g" : "s") + (p.promoted ? "+" : "") +
               NAMES.substr(2 * p.type, 2) + std::to_string(p.file) + std::to_string(p.rank) +
               (p.state == KS_HELD ? "*" : "") + (wrong ? "?" : "");
    }
    return out;
}

// Picks the piece up and puts it down on the square (file * 10 + rank) with the pointer.
inline int UserMove(CShogiBoard& board, int index, int square) {
    int x = 0, y = 0;
    Centre(board, square / 10, square % 10, x, y);
    board.PickUp(index, 0, 0);
    return board.DropHeld(index, x, y);
}

inline MoveRec Move(int side, int fromFile, int fromRank, int toFile, int toRank, int type, int promoted = 0,
                    int status = MS_MOVE) {
    return MoveRec{side, 0, toFile, toRank, type, promoted, fromFile, fromRank, status, 0, 0, 0, {}};
}

// Every stand-in of the program around the board, attached to a board.
struct Hosted : IPromotionAsker, IPieceSound, ISoundSetting, IBoardMessages {
    int answer = 1, asked = 0, askX = 0, askY = 0, plays = 0;
    bool soundOn = true;
    std::vector<std::string> shown;
    std::function<void()> meddle;  // runs while the promotion question is open
    CShogiBoard board;
    int AskPromotion(int x, int y) override {
        if (meddle)
            meddle();
        return ++asked, askX = x, askY = y, answer;
    }
    bool PlayPieceSound() override { return ++plays, false; }  // a missing sound: the move stands
    bool IsSoundOn() const override { return soundOn; }
    void ShowInternalError(const std::string& text) override { shown.push_back(text); }
    Hosted() {
        board.SetPromotionAsker(this);
        board.SetPieceSound(this);
        board.SetSoundSetting(this);
        board.SetMessages(this);
    }
};

}  // namespace ravu::test
