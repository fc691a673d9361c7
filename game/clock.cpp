// The clocks of a refereed game and the 持ち時間 text of a time control.
// Literals here are compiled to Shift-JIS: every Japanese character is two bytes.
#include "game/clock.h"

#include <algorithm>

namespace ravu {

namespace {

int64_t Clamp(int64_t ms) { return std::clamp<int64_t>(ms, 0, CLOCK_MAX_MS); }

constexpr int64_t MS_PER_SECOND = 1000;

// The units of a 持ち時間 text, largest first, in milliseconds.
struct Unit {
    std::string_view text;
    int64_t ms;
};
constexpr Unit UNITS[] = {{"時間", 3600 * MS_PER_SECOND}, {"分", 60 * MS_PER_SECOND}, {"秒", MS_PER_SECOND}};

constexpr std::string_view EACH = "各";
constexpr std::string_view PER_MOVE = "/手";
constexpr std::string_view SUDDEN_DEATH = "切れ負け";
constexpr std::string_view FULL_DIGITS = "０１２３４５６７８９";
constexpr std::string_view FULL_BLANK = "　";
constexpr std::string_view FULL_PLUS = "＋";

// "1時間30分", "30秒"; whole seconds only, "0分" for nothing.
std::string DurationText(int64_t ms) {
    std::string out;
    int64_t left = Clamp(ms) / MS_PER_SECOND * MS_PER_SECOND;
    for (const Unit& u : UNITS) {
        if (left >= u.ms)
            out += std::to_string(left / u.ms) + std::string(u.text);
        left %= u.ms;
    }
    return out.empty() ? "0分" : out;
}

bool Take(std::string_view& text, std::string_view prefix) {
    if (text.substr(0, prefix.size()) != prefix)
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

// Decimal digits, ASCII or full width; false when there are none.  Values
// beyond a hundred years of hours are cut there.
bool TakeNumber(std::string_view& text, int64_t& value) {
    value = 0;
    bool any = false;
    for (;;) {
        int digit = -1;
        if (!text.empty() && text[0] >= '0' && text[0] <= '9') {
            digit = text[0] - '0';
            text.remove_prefix(1);
        } else if (text.size() >= 2) {
            const std::size_t at = FULL_DIGITS.find(text.substr(0, 2));
            if (at != std::string_view::npos && at % 2 == 0) {
                digit = int(at / 2);
                text.remove_prefix(2);
            }
        }
        if (digit < 0)
            return any;
        any = true;
        value = std::min(value * 10 + digit, CLOCK_MAX_MS);
    }
}

// Numbers with units, each unit at most once and the larger first; false
// when the text does not start so.
bool TakeDuration(std::string_view& text, int64_t& ms) {
    ms = 0;
    bool any = false;
    std::size_t next = 0;  // the first unit still allowed
    for (;;) {
        std::string_view rest = text;
        int64_t value = 0;
        if (!TakeNumber(rest, value))
            return any;
        std::size_t u = next;
        while (u < std::size(UNITS) && !Take(rest, UNITS[u].text))
            ++u;
        if (u == std::size(UNITS))
            return any;
        ms = Clamp(ms + std::min(value, CLOCK_MAX_MS / UNITS[u].ms) * UNITS[u].ms);
        text = rest;
        any = true;
        next = u + 1;
    }
}

void TrimBlanks(std::string_view& text) {
    for (bool more = true; more;) {
        more = false;
        if (!text.empty() && (text[0] == ' ' || text[0] == '\t'))
            text.remove_prefix(1), more = true;
        else if (Take(text, FULL_BLANK))
            more = true;
        if (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
            text.remove_suffix(1), more = true;
        else if (text.size() >= 2 && text.substr(text.size() - 2) == FULL_BLANK)
            text.remove_suffix(2), more = true;
    }
}

}  // namespace

void CGameClock::Start(const TimeControl& tc) {
    control = tc;
    control.mainMs = Clamp(tc.mainMs);
    control.byoyomiMs = Clamp(tc.byoyomiMs);
    control.incrementMs = Clamp(tc.incrementMs);
    mainLeft = {control.mainMs, control.mainMs};
    spent = {0, 0};
}

bool CGameClock::Spend(int side, int64_t ms) {
    if (!Valid(side))
        return true;
    ms = Clamp(ms);
    spent[side] = Clamp(spent[side] + ms);
    const bool overran = Show(side, ms).timedOut;
    int64_t& left = mainLeft[side];
    left = overran ? 0 : std::max<int64_t>(0, left - ms);
    if (control.kind == TimeKind::Increment && !overran)
        left = Clamp(left + control.incrementMs);
    return !overran;
}

ClockShow CGameClock::Show(int side, int64_t runningMs) const {
    ClockShow show;
    if (!Valid(side))
        return show;
    const int64_t running = Clamp(runningMs), left = mainLeft[side];
    show.mainLeftMs = left;
    if (control.kind == TimeKind::None)
        return show;
    show.mainLeftMs = std::max<int64_t>(0, left - running);
    if (control.kind != TimeKind::Byoyomi) {
        show.timedOut = running > left;
        return show;
    }
    // The byoyomi starts once the main time is used up, afresh on every move.
    show.inByoyomi = running >= left;
    const int64_t intoByoyomi = std::max<int64_t>(0, running - left);
    show.byoyomiLeftMs = std::max<int64_t>(0, control.byoyomiMs - intoByoyomi);
    show.timedOut = intoByoyomi > control.byoyomiMs;
    return show;
}

int64_t CGameClock::SpentTotal(int side) const { return Valid(side) ? spent[side] : 0; }

void CGameClock::SetSpentTotal(int side, int64_t ms) {
    if (Valid(side))
        spent[side] = Clamp(ms);
}

int64_t CGameClock::MainLeft(int side) const { return Valid(side) ? mainLeft[side] : 0; }

void CGameClock::SetMainLeft(int side, int64_t ms) {
    if (Valid(side))
        mainLeft[side] = Clamp(ms);
}

std::string TimeControlText(const TimeControl& tc) {
    switch (tc.kind) {
        case TimeKind::SuddenDeath: return std::string(EACH) + DurationText(tc.mainMs);
        case TimeKind::Byoyomi: return DurationText(tc.mainMs) + "+" + DurationText(tc.byoyomiMs);
        case TimeKind::Increment:
            return DurationText(tc.mainMs) + "+" + DurationText(tc.incrementMs) + std::string(PER_MOVE);
        case TimeKind::None: break;
    }
    return "";
}

bool ReadTimeControl(std::string_view text, TimeControl& out) {
    TrimBlanks(text);
    Take(text, EACH);
    TimeControl tc;
    if (!TakeDuration(text, tc.mainMs))
        return false;
    if (Take(text, "+") || Take(text, FULL_PLUS)) {
        int64_t extra = 0;
        if (!TakeDuration(text, extra))
            return false;
        if (Take(text, PER_MOVE)) {
            tc.kind = TimeKind::Increment;
            tc.incrementMs = extra;
        } else {
            tc.kind = TimeKind::Byoyomi;
            tc.byoyomiMs = extra;
        }
    } else {
        Take(text, SUDDEN_DEATH);
        tc.kind = TimeKind::SuddenDeath;
    }
    if (!text.empty())
        return false;
    out = tc;
    return true;
}

}  // namespace ravu
