#include "ui/image_button.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/window_util.h"

namespace ravu {

CImageButton::CImageButton(int bitmapId) : CImageButton(QPixmap()) {
    cells = BuiltinPicture(bitmapId, devicePixelRatioF());
}

CImageButton::CImageButton(const QPixmap& cells) : cells(cells) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    hide();
}

bool CImageButton::Create(QWidget* parent, int id, int x, int y) {
    setParent(parent);
    commandId = id;
    setGeometry(x, y, CELL, CELL);
    hovering = pressed = 0;
    shownCell = CELL_NORMAL;
    show();
    return true;
}

void CImageButton::ShowCell(int cell) {
    shownCell = cell;
    update();
}

void CImageButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The cell in the strip's own pixels; smooth where the strip's ratio is
    // not the screen's.
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const int s = qRound(cells.devicePixelRatio());
    p.drawPixmap(QRect(0, 0, CELL, CELL), cells, QRect(shownCell * CELL * s, 0, CELL * s, CELL * s));
}

namespace {
// Press and release count on the button's rectangle including its far edge.
bool OnButton(const QPoint& pt) {
    return pt.x() >= 0 && pt.x() <= CImageButton::CELL && pt.y() >= 0 && pt.y() <= CImageButton::CELL;
}
}  // namespace

void CImageButton::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !OnButton(e->position().toPoint()))
        return;
    ShowCell(CELL_PRESSED);
    pressed = 1;
}

void CImageButton::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !OnButton(e->position().toPoint()))
        return;
    ShowCell(CELL_HOVER);
    if (pressed) {
        // Posted: the parent sees the command after this mouse event returns.
        const int id = commandId;
        QMetaObject::invokeMethod(
            this, [this, id] { emit command(id); }, Qt::QueuedConnection);
    }
    pressed = 0;
}

void CImageButton::PointerLeft() {
    ShowCell(CELL_NORMAL);
    if (mouseGrabber() == this)
        releaseMouse();
    hovering = pressed = 0;
}

void CImageButton::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    if (hovering) {
        if (pt.x() >= 0 && pt.x() < CELL + 1 && pt.y() >= 0 && pt.y() < CELL + 1)
            return;
        PointerLeft();
    } else {
        ShowCell(CELL_HOVER);
        grabMouse();
        hovering = 1;
    }
}

// Platforms that do not route moves outside a grabbing widget still report
// the pointer leaving; it means the same as a move off the button.
void CImageButton::leaveEvent(QEvent*) {
    if (hovering)
        PointerLeft();
}

}  // namespace ravu
