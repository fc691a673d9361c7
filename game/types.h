// Shared types of the game model: sides, piece types and states, move status,
// the piece record and the move record.  Plain structs of integers.
#pragma once

#include <cstdint>
#include <string>

namespace ravu {

// Sides.  The other side of s is s ^ 1.
constexpr int SENTE = 0;  // moves first, starts on ranks 7-9, forward is towards rank 1
constexpr int GOTE = 1;   // starts on ranks 1-3, forward is towards rank 9

// Piece types; the codes index the piece-name table of the notation.
constexpr int PT_OU = 0;     // king that starts on 5-1 (gote's)
constexpr int PT_HI = 1;     // rook
constexpr int PT_KAKU = 2;   // bishop
constexpr int PT_KIN = 3;    // gold
constexpr int PT_GIN = 4;    // silver
constexpr int PT_KEI = 5;    // knight
constexpr int PT_KYO = 6;    // lance
constexpr int PT_FU = 7;     // pawn
constexpr int PT_GYOKU = 8;  // king that starts on 5-9 (sente's)
constexpr int PT_COUNT = 9;

// Piece states.
constexpr int KS_NONE = 0;   // never set up
constexpr int KS_BOARD = 1;  // on (file, rank)
constexpr int KS_HAND = 2;   // in the hand of owner, square (0, 0)
constexpr int KS_HELD = 3;   // picked up by the pointer; prevState says from where

// Move status (MoveRec::status, KomaRec::moveStatus).  2 and above are end
// entries, not board moves.
constexpr int MS_MOVE = 0;
constexpr int MS_PROMOTE = 1;
constexpr int MS_RESIGN = 2;
constexpr int MS_KINGTAKEN = 3;
constexpr int MS_MATE = 4;
constexpr int MS_ABORT = 5;
// End entries that only records from other programs hold: a game is never
// ended this way here, but a record read from a file keeps what it says.
constexpr int MS_SENNICHITE = 6;     // 千日手, fourfold repetition
constexpr int MS_JISHOGI = 7;        // 持将棋, impasse
constexpr int MS_TIME_UP = 8;        // 切れ負け, lost on time
constexpr int MS_ILLEGAL_WIN = 9;    // 反則勝ち, won by the opponent's illegal move
constexpr int MS_ILLEGAL_LOSS = 10;  // 反則負け, lost by an illegal move
constexpr int MS_ENTERING_WIN = 11;  // 入玉勝ち, won by entering king declaration
constexpr int MS_NO_MATE = 12;       // 不詰, a mate problem without mate
constexpr int MS_SEALED = 13;        // 封じ手, the game adjourned with a sealed move
constexpr int MS_DEFAULT_WIN = 14;   // 不戦勝
constexpr int MS_DEFAULT_LOSS = 15;  // 不戦敗
constexpr int MS_END_LAST = 15;

constexpr int PIECE_COUNT = 40;  // fixed table of every physical piece
constexpr int DEST_COUNT = 20;   // destination list entries per piece

struct DestEntry {
    int32_t reachable;  // 1 if the piece may go there
    int32_t file;
    int32_t rank;
    int32_t occupied;  // 1 if a piece stands there
    int32_t occupant;  // table index of that piece, 0 when empty
};

struct KomaRec {
    int32_t file;      // 1..9, 0 in hand
    int32_t rank;      // 1..9, 0 in hand
    int32_t prevFile;  // before the last MoveTo
    int32_t prevRank;
    int32_t x;           // left pixel of the piece image in the main window
    int32_t y;           // top pixel
    int32_t state;       // KS_...
    int32_t prevState;   // state before the last SetState
    int32_t image;       // cell of the piece image list
    int32_t owner;       // side
    int32_t type;        // PT_...
    int32_t promoted;    // 0/1
    int32_t moveStatus;  // MS_... of the move just made; cleared by the record
    DestEntry dest[DEST_COUNT];
};

// The unit the record stores, the notation renders and the protocol carries
// as text.
struct MoveRec {
    int32_t side = 0;    // side that made the move (side to move in an empty entry)
    int32_t number = 0;  // 1-based move number
    int32_t toFile = 0;
    int32_t toRank = 0;
    int32_t type = 0;      // PT_...
    int32_t promoted = 0;  // 1 if promoted after the move
    int32_t fromFile = 0;  // 0 for a drop
    int32_t fromRank = 0;
    int32_t status = 0;        // MS_...
    int32_t seconds = 0;       // time spent on the move; only KIF files supply it
    int32_t totalSeconds = 0;  // the mover's time up to this move, as the file or the clock says
    int32_t treeItem = 0;      // handle of the entry's item in the record tree, 0 = none
    std::string comment;       // lines each ending in CR LF, without the leading '*'; empty = none
};

}  // namespace ravu
