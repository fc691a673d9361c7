#include "ui/clock_face.h"

#include <QCoreApplication>

namespace ravu {

namespace {

constexpr int64_t MS_PER_SECOND = 1000;

// Whole seconds, a started second counted in full.
int64_t CeilSeconds(int64_t ms) { return ms <= 0 ? 0 : (ms + MS_PER_SECOND - 1) / MS_PER_SECOND; }

}  // namespace

QString ClockText(const ClockShow& show) {
    if (show.inByoyomi)
        return QCoreApplication::translate("ClockFace", "%1秒").arg(CeilSeconds(show.byoyomiLeftMs));
    const int64_t s = CeilSeconds(show.mainLeftMs);
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

int WarningSecond(const ClockShow& show, TimeKind kind) {
    if (show.timedOut)
        return 0;
    int64_t leftMs = 0;
    if (kind == TimeKind::Byoyomi && show.inByoyomi)
        leftMs = show.byoyomiLeftMs;
    else if (kind == TimeKind::SuddenDeath || kind == TimeKind::Increment)
        leftMs = show.mainLeftMs;
    const int64_t s = CeilSeconds(leftMs);
    return s >= 1 && s <= WARNING_SECONDS ? static_cast<int>(s) : 0;
}

}  // namespace ravu
