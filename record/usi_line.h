// USI text between the record and an engine: moves as USI words, the
// "position" command for the position after any entry of the record, the
// "info" and "bestmove" lines an engine prints, and an engine's line of play
// (its pv) turned back into record moves.  Standard library only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/types.h"

namespace ravu {

class CKifu;
class CMoveTracker;
struct KifuNode;

// Plies of a mate whose length the engine does not tell ("score mate +").
constexpr int32_t MATE_UNKNOWN_PLIES = 10000;

// Longest pv kept from an info line; an engine may print more.
constexpr std::size_t PV_MAX_WORDS = 64;

// Whether the move is one a board can play (not an end entry, fields in range).
bool IsBoardMove(const MoveRec& m);

// A square as USI writes it: file digit, rank letter ("7g").
std::string UsiSquare(int32_t file, int32_t rank);

// The upper-case letter of a piece type (a valid one): "P" for a pawn.
char UsiLetter(int32_t type);

// "7g7f", "8h2b+", "P*5e".
std::string UsiMove(const MoveRec& m);

// The words of a line, split at blanks and tabs.
std::vector<std::string_view> UsiWords(std::string_view line);

// The board part of an SFEN: nine ranks between eight slashes.
bool IsSfenBoardWord(std::string_view word);

// Reads the position that words[*at] on name ("[position] startpos" or
// "[position] [sfen] BOARD SIDE HANDS [NUMBER]") and starts the tracker
// there; *at is left on the word after it.  False when they name none.
bool StartUsiPosition(const std::vector<std::string_view>& words, std::size_t* at, CMoveTracker* tracker);

// Sets the tracker (strict rules on) to the position of a whole command:
// the position and its moves.  False when it names no position or a move
// of it is not legal.
bool TrackPositionCommand(std::string_view command, CMoveTracker* tracker);

// "position startpos moves 7g7f 3c3d" (or "position sfen <start> moves
// ...") for the position after `entry`, any entry of the record on the main
// line or a variation: the moves along the path from the record's start to
// it.  The start itself when entry is null.  No line end.
std::string PositionCommand(const CKifu& k, const KifuNode* entry);

// Sets the tracker (strict rules on) to the position after `entry` (the
// start when null).  False when a move on the path is not legal there.
bool TrackTo(const CKifu& k, const KifuNode* entry, CMoveTracker* tracker);

// Score bounds of an info line.
constexpr int BOUND_EXACT = 0;
constexpr int BOUND_LOWER = 1;
constexpr int BOUND_UPPER = 2;

// What one "info" line says; fields it does not name keep these values.
struct UsiInfo {
    int32_t depth = -1;
    int32_t multipv = 1;
    bool hasScore = false;
    bool mate = false;  // score is plies to mate, positive when the side to move mates
    int32_t score = 0;  // centipawns from the side to move's view, or plies (MATE_UNKNOWN_PLIES: "+"/"-")
    int bound = BOUND_EXACT;
    std::vector<std::string> pv;  // USI words as printed, at most PV_MAX_WORDS
};

// Reads an "info" line; false when it is not one.  Fields with values that
// are not numbers are left out; "string" ends the line's fields.
bool ParseInfo(std::string_view line, UsiInfo* info);

// Reads a "bestmove" line: the move word ("resign" and "win" too) and the
// ponder move (empty when none).  False when it is not one.
bool ParseBestMove(std::string_view line, std::string* move, std::string* ponder);

// The record moves of the pv words played from the tracker's position
// under strict rules, up to the first word that is not a legal move there.
std::vector<MoveRec> PvMoves(const CMoveTracker& from, const std::vector<std::string>& words);

}  // namespace ravu
