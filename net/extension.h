// RavuOne's own protocol extension: what two copies say to each other beyond
// the basic protocol, and only once both have announced it.  A copy announces
// itself right after its hello; refereed games (strict rules, handicaps,
// clocks) and round-trip measurements then use packet types the basic
// protocol never sends, so a peer without the extension sees nothing new.
// Payloads are short ASCII texts (the start position is SFEN) of words
// separated by ';' or blanks; words a copy does not know are ignored, so
// later versions can add to them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "game/clock.h"

namespace ravu {

// The first word of an announcement and the version this copy speaks.
inline constexpr std::string_view EXT_MAGIC = "RAVU";
constexpr int EXT_VERSION = 1;

// What a copy announced.  A copy that announced nothing has version 0.
struct Capabilities {
    int version = 0;
    bool rules = false;     // strict rules and automatic endings
    bool clock = false;     // time controls, thinking times, clocks for spectators
    bool handicap = false;  // handicap starts
    bool ping = false;      // round-trip measurement
    bool resume = false;    // a game cut off by a lost connection can be resumed
    bool review = false;    // a finished game reviewed together (感想戦)

    bool Any() const { return version > 0; }
};

// This copy's announcement ("RAVU 1 rules clock handicap ping resume review").
std::string CapsPayload();
// An announcement of the given abilities.
std::string CapsPayload(const Capabilities& caps);
// An announcement as received; anything that does not start with the magic
// word and a version of 1 or more announces nothing.
Capabilities ParseCaps(std::string_view payload);
// What both announced.
Capabilities Shared(const Capabilities& a, const Capabilities& b);

enum class Rules { Free, Strict };

// The settings of a game, proposed by the guest and shown to the host.
struct GameSettings {
    Rules rules = Rules::Free;
    std::string startSfen;  // empty: the even game; otherwise a handicap start (上手 moves first)
    TimeControl time;

    bool operator==(const GameSettings&) const = default;
};

// Whether the settings use only what both copies announced.
bool Playable(const GameSettings& settings, const Capabilities& shared);

// "rules=strict;start=<sfen>;time=byoyomi;main=600;byoyomi=30;increment=0"
// (times in whole seconds; start left out for the even game).
std::string GamePayload(const GameSettings& settings);
// False for settings that cannot be played: a start that is not a known
// handicap, a time control without time, times beyond a day.
bool ParseGame(std::string_view payload, GameSettings& out);
// The settings as lines of the host's question and of notices (Shift-JIS,
// each line beginning with a blank and ending with CR LF).
std::string SettingsText(const GameSettings& settings);

// A move's thinking time and the clocks as the sender sees them after the
// move: "think=<ms>;sente=<ms>;gote=<ms>".  Missing figures are -1.
struct ClockReport {
    int64_t thinkMs = -1;
    int64_t senteMs = -1;
    int64_t goteMs = -1;
};
std::string ClockPayload(const ClockReport& report);
ClockReport ParseClock(std::string_view payload);

// The thinking time the receiver charges for a move: the mover's own figure
// when it is no more than the time seen between the own last send and the
// move's arrival, and no less than that minus the measured round trip and
// some slack for jitter; otherwise the receiver's own estimate.
int64_t ChargedThinkMs(int64_t claimedMs, int64_t seenMs, int64_t roundTripMs);
// Jitter allowed beyond the measured round trip.
constexpr int64_t THINK_SLACK_MS = 500;

// Packets of the extension (type bytes the basic protocol does not use).
constexpr uint8_t PKT_EXT_CAPS = 0x60;    // '`': the announcement
constexpr uint8_t PKT_EXT_GAME = 0x61;    // 'a': game settings
constexpr uint8_t PKT_EXT_CLOCK = 0x62;   // 'b': thinking time and clocks
constexpr uint8_t PKT_EXT_PING = 0x63;    // 'c': any text, answered by a pong with the same text
constexpr uint8_t PKT_EXT_PONG = 0x64;    // 'd'
constexpr uint8_t PKT_EXT_RESUME = 0x65;  // 'e': a game's resume token, a request to resume, the answer
constexpr uint8_t PKT_EXT_REVIEW = 0x66;  // 'f': reviewing a game together: the record, requests, orders

}  // namespace ravu
