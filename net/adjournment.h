// Games cut off by a lost connection: what two copies say to resume one, and
// what a copy keeps on disk so that it can resume one after a restart.
//
// When both players' copies announced "resume", the host hands its opponent
// a token as the game starts.  A guest that lost its host in mid-game comes
// back with that token, the number of moves it holds and digests of its
// moves; the host takes it back as its opponent when the token is the
// game's and the two records agree.  At most one move can be in flight when
// a link dies (only the side to move sends one), so the records may differ
// by one move at the end: the copy that has it sends it again.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/types.h"
#include "net/extension.h"

namespace ravu {

// A new token: 16 hexadecimal digits from the system's random source.
std::string NewResumeToken();
// Whether a text can be a token (1 to 32 hexadecimal digits).
bool IsResumeToken(std::string_view text);

// A digest of the first `count` moves of a game (16 hexadecimal digits): who
// moved what from where to where, promotion and end status.  Texts and
// thinking times are left out; they may differ between the two copies.
std::string MovesDigest(const std::vector<const MoveRec*>& moves, size_t count);

// The payloads of PKT_EXT_RESUME:
//   host to its opponent at the start of a game: "token=<hex>"; the
//     opponent sends the same back once it holds it (until then the game
//     could not be resumed on both sides, so the host does not adjourn it)
//   guest to host, before its hello: "token=<hex>;moves=<n>;digest=<d>;prev=<d of n-1>"
//   host to guest, after its acceptance: "ok;moves=<n>" (the host's count)
//   host to guest, before its refusal: "no"
//   either player, before closing the link on purpose: "bye" (the game is over)
struct ResumeRequest {
    std::string token;
    int moves = -1;
    std::string digest;
    std::string prevDigest;  // of the moves but the last; empty for no move
};
std::string TokenPayload(const std::string& token);
std::string RequestPayload(const ResumeRequest& request);
std::string OkPayload(int moves);
inline constexpr std::string_view RESUME_NO = "no";
inline constexpr std::string_view RESUME_BYE = "bye";
// Any of the payloads as received; missing or malformed fields stay empty / -1.
ResumeRequest ParseResume(std::string_view payload);

// A guest's request for the game with the token and its moves.
ResumeRequest RequestFor(const std::string& token, const std::vector<const MoveRec*>& moves);

// How the host compares a guest's request with its own moves.
enum class Reconcile {
    Same,        // the same moves
    HostAhead,   // the host has one move more: it sends that move again
    GuestAhead,  // the guest has one move more: it sends that move again
    Differ,      // not the same game
};
Reconcile Compare(const ResumeRequest& guest, const std::vector<const MoveRec*>& own);

// A game in progress as kept on disk, so that it can be resumed after the
// program was restarted.  Written as "key=value" lines.
struct Adjournment {
    bool host = false;  // this copy hosted the game
    std::string token;
    int mySide = 0;
    GameSettings settings;
    Capabilities caps;     // shared with the opponent
    int64_t senteMs = -1;  // main time left, -1 for a game without clocks
    int64_t goteMs = -1;
    int64_t thinkMs = 0;     // how long the side to move had been thinking
    std::string address;     // guest: where it reached its host ("[::1]:9149", a name)
    std::string opponent;    // the opponent's handle name (Shift-JIS, no line breaks)
    std::string recordPath;  // the file the game's record is kept in (UTF-8)
};
std::string AdjournmentText(const Adjournment& a);
// False when the text is not a kept game (no valid token, no record path).
bool ParseAdjournment(std::string_view text, Adjournment& out);

}  // namespace ravu
