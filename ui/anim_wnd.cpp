#include "ui/anim_wnd.h"

#include <QPainter>
#include <QTimerEvent>

#include "ui/window_util.h"

namespace ravu {

CAnimWnd::CAnimWnd() : cells(BuiltinPicture(169, devicePixelRatioF())) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
}

CAnimWnd::~CAnimWnd() { timer.stop(); }

bool CAnimWnd::Create(QWidget* parent, int x, int y) {
    setParent(parent);
    setWindowTitle(QStringLiteral("RavuAnima"));
    setGeometry(x, y, CELL, CELL);
    frame = 0;
    shownCell = 0;
    show();
    timer.start(FRAME_MS, this);
    return true;
}

void CAnimWnd::Destroy() {
    timer.stop();
    hide();
    setParent(nullptr);
}

void CAnimWnd::timerEvent(QTimerEvent* e) {
    if (e->timerId() != timer.timerId()) {
        QWidget::timerEvent(e);
        return;
    }
    if (frame >= FRAMES)
        frame = 0;
    shownCell = frame;
    update();
    ++frame;
}

void CAnimWnd::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The cell in the strip's own pixels; smooth where the strip's ratio is
    // not the screen's.
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const int s = qRound(cells.devicePixelRatio());
    p.drawPixmap(QRect(0, 0, CELL, CELL), cells, QRect(shownCell * CELL * s, 0, CELL * s, CELL * s));
}

}  // namespace ravu
