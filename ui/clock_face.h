// What the main window shows of a game clock, and when it beeps: a side's
// clock as a short text for its plate beside the turn label, and the second
// of the count-down warning in the last ten seconds of a move's time.
#pragma once

#include <QString>

#include "game/clock.h"

namespace ravu {

// Seconds of a move's time that are counted down with a beep each.
constexpr int WARNING_SECONDS = 10;

// The main time as "m:ss" (minutes beyond an hour stay minutes: "90:00"),
// and in byoyomi the seconds left of the move ("25秒").  Parts of a second
// count as a whole one, so "0:00" and "0秒" appear only once time is out.
QString ClockText(const ClockShow& show);

// The second (WARNING_SECONDS .. 1) the side's time is in when it is among
// the last ones that end its game: of the byoyomi once it runs, of the main
// time under sudden death and increment.  0 otherwise (the main time of a
// byoyomi game runs out into the byoyomi, and a clock out of time is silent).
int WarningSecond(const ClockShow& show, TimeKind kind);

}  // namespace ravu
