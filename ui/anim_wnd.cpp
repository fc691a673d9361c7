#include "ui/anim_wnd.h"

#include <QPainter>
#include <QTimerEvent>

#include "ui/window_util.h"

namespace ravu {

CAnimWnd::CAnimWnd() : cells_(BuiltinPicture(169))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
}

CAnimWnd::~CAnimWnd()
{
    timer_.stop();
}

bool CAnimWnd::Create(QWidget* parent, int x, int y)
{
    setParent(parent);
    setWindowTitle(QStringLiteral("RavuAnima"));
    setGeometry(x, y, CELL, CELL);
    frame_ = 0;
    shownCell_ = 0;
    show();
    timer_.start(FRAME_MS, this);
    return true;
}

void CAnimWnd::Destroy()
{
    timer_.stop();
    hide();
    setParent(nullptr);
}

void CAnimWnd::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != timer_.timerId()) {
        QWidget::timerEvent(e);
        return;
    }
    if (frame_ >= FRAMES) frame_ = 0;
    shownCell_ = frame_;
    update();
    ++frame_;
}

void CAnimWnd::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawPixmap(0, 0, cells_, shownCell_ * CELL, 0, CELL, CELL);
}

}  // namespace ravu
