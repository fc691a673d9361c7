// The monotonic clock that thinking times and clocks are measured on in the
// running program (tests give the protocol a clock of their own).
#pragma once

#include <QDeadlineTimer>

#include <cstdint>

namespace ravu {

inline int64_t MonotonicMs() { return QDeadlineTimer::current(Qt::PreciseTimer).deadline(); }

}  // namespace ravu
