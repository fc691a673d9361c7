// The time control of a refereed game and the two players' clocks, and the
// time control as the value of a KIF 持ち時間 header line (Shift-JIS).
//
// Every figure is in milliseconds.  Figures may come from a peer: negative
// ones count as 0 and huge ones are cut to CLOCK_MAX_MS, so no sum overflows.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ravu {

enum class TimeKind {
    None,         // no clock: nobody loses on time
    SuddenDeath,  // 切れ負け: the main time only
    Byoyomi,      // 秒読み: the main time, then up to byoyomiMs for every move
    Increment,    // フィッシャー: incrementMs is added after every move
};

struct TimeControl {
    TimeKind kind = TimeKind::None;
    int64_t mainMs = 0;
    int64_t byoyomiMs = 0;
    int64_t incrementMs = 0;
    bool operator==(const TimeControl&) const = default;
};

// What one side's clock shows.
struct ClockShow {
    int64_t mainLeftMs = 0;     // main time left
    int64_t byoyomiLeftMs = 0;  // byoyomi left of the current move (Byoyomi only)
    bool inByoyomi = false;     // the main time is used up and the byoyomi runs
    bool timedOut = false;      // the side has lost on time
    bool operator==(const ClockShow&) const = default;
};

// A hundred years: more than any game lasts, and far from the int64_t limits.
constexpr int64_t CLOCK_MAX_MS = 100LL * 366 * 24 * 60 * 60 * 1000;

class CGameClock {
public:
    // Both sides get the main time; nothing is spent yet.
    void Start(const TimeControl& control);
    const TimeControl& Control() const { return control; }

    // The side finished a move that took `ms`: the time is deducted (and the
    // increment added).  False when the move overran the side's time, which
    // loses the game; its main time is then 0.
    bool Spend(int side, int64_t ms);
    // The side's clock after `runningMs` on its current move.
    ClockShow Show(int side, int64_t runningMs) const;
    bool TimedOut(int side, int64_t runningMs) const { return Show(side, runningMs).timedOut; }

    // Time the side has spent on its finished moves, for the record's totals.
    int64_t SpentTotal(int side) const;
    // A game taken up again after a restart: the time spent as its record says.
    void SetSpentTotal(int side, int64_t ms);
    // The main time left; a spectator takes over a player's figures here.
    int64_t MainLeft(int side) const;
    void SetMainLeft(int side, int64_t ms);

private:
    // A side outside 0..1 has no clock: Spend answers true, the rest 0.
    static bool Valid(int side) { return side == 0 || side == 1; }

    TimeControl control;
    std::array<int64_t, 2> mainLeft{};
    std::array<int64_t, 2> spent{};
};

// The 持ち時間 value of a time control, in the forms other programs write:
// "各10分" (sudden death), "10分+30秒" (byoyomi), "10分+10秒/手"
// (increment); "" for none.  Times are written in whole seconds as 時間,
// 分 and 秒; milliseconds below a second are dropped.
std::string TimeControlText(const TimeControl& control);
// Reads such a value back (also with full-width digits, and "切れ負け" after
// a sudden death); false, and `control` untouched, for any other text.
bool ReadTimeControl(std::string_view text, TimeControl& control);

}  // namespace ravu
