// The clocks under each time control, hostile figures, and the 持ち時間 text
// of a time control both ways.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "game/clock.h"

namespace ravu {
namespace {

constexpr int64_t SEC = 1000, MIN = 60 * SEC, HOUR = 60 * MIN;
constexpr int64_t BIG = std::numeric_limits<int64_t>::max(), SMALL = std::numeric_limits<int64_t>::min();

// Moves are spent in order, each with the answer Spend must give; then the
// clock of `side` is looked at after `running` on its next move.
TEST(GameClock, SpendAndShowUnderEachControl) {
    struct Spent {
        int side;
        int64_t ms;
        bool inTime;
    };
    const TimeControl none, sudden{TimeKind::SuddenDeath, MIN},
        byoyomi{TimeKind::Byoyomi, 10 * SEC, 30 * SEC}, fischer{TimeKind::Increment, MIN, 0, 10 * SEC};
    const struct {
        const char* what;
        TimeControl control;
        std::vector<Spent> moves;
        int side;
        int64_t running;
        ClockShow show;
        int64_t spentTotal;
        // clang-format off
    } rows[] = {
        {"none never times out", none, {{0, HOUR, true}, {0, BIG, true}}, 0, BIG, {0, 0, false, false}, CLOCK_MAX_MS},
        {"sudden: the last ms is in time", sudden, {{0, 59 * SEC, true}}, 0, SEC, {0, 0, false, false}, 59 * SEC},
        {"sudden: one ms more is not", sudden, {{0, 59 * SEC, true}}, 0, SEC + 1, {0, 0, false, true}, 59 * SEC},
        {"sudden: a move that overran", sudden, {{1, MIN + 1, false}}, 1, 0, {0, 0, false, false}, MIN + 1},
        {"sudden: sides apart", sudden, {{0, 20 * SEC, true}, {1, 5 * SEC, true}}, 1, 5 * SEC, {50 * SEC, 0, false, false}, 5 * SEC},
        {"byoyomi: main time running", byoyomi, {}, 0, 4 * SEC, {6 * SEC, 30 * SEC, false, false}, 0},
        {"byoyomi: main time used up, byoyomi runs", byoyomi, {}, 0, 25 * SEC, {0, 15 * SEC, true, false}, 0},
        {"byoyomi: main time and the whole byoyomi", byoyomi, {{0, 40 * SEC, true}}, 0, 30 * SEC, {0, 0, true, false}, 40 * SEC},
        {"byoyomi: one ms past it", byoyomi, {{0, 40 * SEC + 1, false}}, 0, 0, {0, 30 * SEC, true, false}, 40 * SEC + 1},
        {"byoyomi: afresh with every move", byoyomi, {{0, 39 * SEC, true}, {0, 30 * SEC, true}, {0, 30 * SEC, true}}, 0,
         30 * SEC + 1, {0, 0, true, true}, 99 * SEC},
        {"byoyomi: used main time stays used", byoyomi, {{0, 6 * SEC, true}}, 0, 34 * SEC, {0, 0, true, false}, 6 * SEC},
        {"increment after each move", fischer, {{0, 5 * SEC, true}, {0, 65 * SEC, true}}, 0, 10 * SEC, {0, 0, false, false}, 70 * SEC},
        {"increment: no credit for an overrun", fischer, {{0, MIN + 1, false}}, 0, 1, {0, 0, false, true}, MIN + 1},
        {"increment: capped", {TimeKind::Increment, BIG, 0, BIG}, {{1, 0, true}, {1, 0, true}}, 1, 0, {CLOCK_MAX_MS, 0, false, false}, 0},
        {"negative figures count as 0", sudden, {{0, -5, true}, {0, SMALL, true}}, 0, SMALL, {MIN, 0, false, false}, 0},
        {"a huge move loses", sudden, {{0, BIG, false}}, 0, 0, {0, 0, false, false}, CLOCK_MAX_MS},
        {"a negative control is none of it", {TimeKind::Byoyomi, -MIN, SMALL}, {}, 0, 1, {0, 0, true, true}, 0},
        {"no clock for other sides", sudden, {{2, BIG, true}, {-1, BIG, true}}, 2, BIG, {0, 0, false, false}, 0},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        CGameClock clock;
        clock.Start(r.control);
        for (const Spent& m : r.moves)
            EXPECT_EQ(clock.Spend(m.side, m.ms), m.inTime) << m.ms;
        EXPECT_EQ(clock.Show(r.side, r.running), r.show);
        EXPECT_EQ(clock.TimedOut(r.side, r.running), r.show.timedOut);
        EXPECT_EQ(clock.SpentTotal(r.side), r.spentTotal);
    }
}

// A spectator takes over a player's figures; a new game starts afresh.
TEST(GameClock, TakeOverAndRestart) {
    CGameClock clock;
    clock.Start({TimeKind::Byoyomi, 10 * MIN, 30 * SEC});
    clock.Spend(1, 2 * MIN);
    clock.SetMainLeft(0, 3 * SEC);
    EXPECT_EQ(clock.Show(0, 4 * SEC), (ClockShow{0, 29 * SEC, true, false}));
    EXPECT_EQ(clock.MainLeft(1), 8 * MIN);
    clock.SetMainLeft(1, -1);
    EXPECT_EQ(clock.MainLeft(1), 0);
    clock.SetMainLeft(1, BIG);
    EXPECT_EQ(clock.MainLeft(1), CLOCK_MAX_MS);
    clock.Start({TimeKind::SuddenDeath, 5 * MIN});
    EXPECT_EQ(clock.MainLeft(0) + clock.MainLeft(1), 10 * MIN);
    EXPECT_EQ(clock.SpentTotal(1), 0);
}

// The text each control is written as reads back as the same control; the
// forms other programs write read too.
TEST(GameClock, TimeControlText) {
    const std::pair<TimeControl, const char*> rows[] = {
        {{TimeKind::SuddenDeath, 10 * MIN}, "各10分"},
        {{TimeKind::SuddenDeath, 6 * HOUR}, "各6時間"},
        {{TimeKind::SuddenDeath, HOUR + 30 * MIN + 5 * SEC}, "各1時間30分5秒"},
        {{TimeKind::SuddenDeath, 0}, "各0分"},
        {{TimeKind::Byoyomi, 10 * MIN, 30 * SEC}, "10分+30秒"},
        {{TimeKind::Byoyomi, 0, 10 * SEC}, "0分+10秒"},
        {{TimeKind::Byoyomi, 3 * HOUR, MIN}, "3時間+1分"},
        {{TimeKind::Increment, 10 * MIN, 0, 10 * SEC}, "10分+10秒/手"},
        {{TimeKind::Increment, 45 * SEC, 0, 0}, "45秒+0分/手"},
    };
    for (const auto& [control, text] : rows) {
        EXPECT_EQ(TimeControlText(control), text);
        TimeControl back;
        EXPECT_TRUE(ReadTimeControl(text, back) && back == control) << text;
    }
    EXPECT_EQ(TimeControlText({}), "");
    // Milliseconds below a second are not written.
    EXPECT_EQ(TimeControlText({TimeKind::Byoyomi, 61 * SEC + 999, 999}), "1分1秒+0分");
    // Forms of other programs' files, and text that is no time control.
    const std::pair<const char*, TimeControl> read[] = {
        {"各８時間", {TimeKind::SuddenDeath, 8 * HOUR}},
        {"5分+30秒", {TimeKind::Byoyomi, 5 * MIN, 30 * SEC}},
        {" 各10分＋３０秒　", {TimeKind::Byoyomi, 10 * MIN, 30 * SEC}},
        {"25分切れ負け", {TimeKind::SuddenDeath, 25 * MIN}},
        {"99999999999999999999時間", {TimeKind::SuddenDeath, CLOCK_MAX_MS}},
    };
    for (const auto& [text, control] : read) {
        TimeControl back;
        EXPECT_TRUE(ReadTimeControl(text, back) && back == control) << text;
    }
    for (const char* text :
         {"", "なし", "30+0+5", "10秒5分", "1時間2時間", "10分+", "10分+30秒/", "各", "10"}) {
        TimeControl back{TimeKind::Increment, 1, 2, 3};
        EXPECT_FALSE(ReadTimeControl(text, back)) << text;
        EXPECT_EQ(back, (TimeControl{TimeKind::Increment, 1, 2, 3})) << text;
    }
}

}  // namespace
}  // namespace ravu
