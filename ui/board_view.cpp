#include "ui/board_view.h"

#include <QPainter>
#include <QWidget>

namespace ravu {

CBoardView::CBoardView(QWidget& target) : target(target) {}

void CBoardView::Load(const QString& skinDir, QSize clientSize) {
    skin.Load(skinDir);
    background = skin.background.isNull() ? QImage(clientSize, QImage::Format_RGB32)
                                          : skin.background.convertToFormat(QImage::Format_RGB32);
    if (skin.background.isNull())
        background.fill(Qt::white);
    buffer = QImage(clientSize, QImage::Format_ARGB32_Premultiplied);
    buffer.fill(Qt::white);
}

QRegion CBoardView::WindowRegion() {
    // A label with its shadow: the rectangle joined with a rectangle whose
    // corners are rounded by one pixel, offset by two.
    auto label = [](int x, int y) {
        QRegion r(x, y, 30, 16);
        r += QRegion(x + 3, y + 2, 28, 16);
        r += QRegion(x + 2, y + 3, 30, 14);
        return r;
    };
    QRegion region(TOP_HAND_AREA);
    region += QRegion(BOARD_AREA);
    region += QRegion(BOTTOM_HAND_AREA);
    region += label(LEFT_LABEL_CLICK.left(), LEFT_LABEL_CLICK.top());
    region += label(RIGHT_LABEL_CLICK.left(), RIGHT_LABEL_CLICK.top());
    region += QRegion(CONTROL_STRIP);
    return region;
}

void CBoardView::DrawCells(QPainter& painter, const std::vector<QImage>& cells,
                           const std::vector<CellPlacement>& list) {
    for (const CellPlacement& c : list)
        if (const QImage* img = CSkin::Cell(cells, c.cell))
            painter.drawImage(c.x, c.y, *img);
}

void CBoardView::Compose(LabelChoice labels, bool flipped, const std::vector<CellPlacement>& pieces,
                         const QRect& area) {
    reachMarks.clear();
    checkShown = false;
    heldShown = false;
    {
        // The labels go into the in-memory copy of the background.  Their
        // cells are transparent where white, so the places are first given
        // back their original pixels: a plain label drawn over a lit one
        // must not keep the lit one's colour there.
        QPainter bg(&background);
        if (!skin.background.isNull()) {
            bg.setCompositionMode(QPainter::CompositionMode_Source);
            for (QPoint at : {RIGHT_LABEL_POS, LEFT_LABEL_POS})
                bg.drawImage(at, skin.background, QRect(at, QSize(CSkin::LABEL_W, CSkin::LABEL_H)));
            bg.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        if (const QImage* img = CSkin::Cell(skin.labels, labels.right))
            bg.drawImage(RIGHT_LABEL_POS, *img);
        if (const QImage* img = CSkin::Cell(skin.labels, labels.left))
            bg.drawImage(LEFT_LABEL_POS, *img);
    }
    {
        QPainter buf(&buffer);
        buf.setCompositionMode(QPainter::CompositionMode_Source);
        buf.drawImage(0, 0, background);
        buf.setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (const QImage* img = CSkin::Cell(skin.frames, flipped ? 1 : 0))
            buf.drawImage(FRAME_POS, *img);
        DrawCells(buf, skin.pieces, pieces);
    }
    Repaint(area);
}

void CBoardView::DrawIntoBuffer(const std::vector<CellPlacement>& marks) {
    QPainter buf(&buffer);
    DrawCells(buf, skin.marks, marks);
}

void CBoardView::ShowReach(const std::vector<CellPlacement>& marks) {
    reachMarks = marks;
    Repaint(BOARD_BAND);
}

void CBoardView::ShowCheckLabel() {
    checkShown = true;
    Repaint(QRect(CHECK_LABEL_POS, QSize(CSkin::LABEL_W, CSkin::LABEL_H)));
}

void CBoardView::MoveHeld(const DragStep& step) {
    Repaint(QRect(step.eraseX, step.eraseY, PIECE_CELL, PIECE_CELL));
    heldShown = true;
    heldCell = CellPlacement{step.cell, step.x, step.y};
    Repaint(QRect(step.x, step.y, PIECE_CELL, PIECE_CELL));
}

void CBoardView::Repaint(const QRect& r) {
    repaintLog.push_back(r);
    target.update(r);
}

std::vector<QRect> CBoardView::TakeRepaintLog() {
    std::vector<QRect> out;
    out.swap(repaintLog);
    return out;
}

void CBoardView::PaintOverlays(QPainter& painter) const {
    DrawCells(painter, skin.marks, reachMarks);
    if (checkShown)
        if (const QImage* img = CSkin::Cell(skin.labels, LABEL_CHECK))
            painter.drawImage(CHECK_LABEL_POS, *img);
    if (heldShown)
        if (const QImage* img = CSkin::Cell(skin.pieces, heldCell.cell))
            painter.drawImage(heldCell.x, heldCell.y, *img);
}

void CBoardView::Paint(QPainter& painter, const QRect& area) const {
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(area, buffer, area);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    PaintOverlays(painter);
}

QImage CBoardView::ScreenImage() const {
    QImage out = buffer.copy();
    QPainter p(&out);
    PaintOverlays(p);
    p.end();
    return out;
}

}  // namespace ravu
