#include "ui/board_view.h"

#include <QPainter>
#include <QWidget>
#include <tuple>

#include "ui/ui_fonts.h"

namespace ravu {

namespace {

// A plate with its shadow: the rectangle joined with one whose corners are
// rounded by one pixel, offset by two, as the turn labels have them.
QRegion PlateRegion(const QRect& r) {
    QRegion region(r);
    region += QRegion(r.x() + 3, r.y() + 2, r.width() - 2, r.height());
    region += QRegion(r.x() + 2, r.y() + 3, r.width(), r.height() - 2);
    return region;
}

// The colours of the turn label cells: plain (cream) and lit (red) plates
// with their darker left and bottom edges, the text, and the common shadow.
const QColor PLATE_FILL(0xec, 0xe2, 0xc8), PLATE_EDGE(0x6e, 0x54, 0x36), PLATE_TEXT(0x31, 0x29, 0x1f);
const QColor LIT_FILL(0xc8, 0x1c, 0x18), LIT_EDGE(0x78, 0x0a, 0x08), LIT_TEXT(0xfe, 0xf1, 0xd2);
const QColor PLATE_SHADOW(0x34, 0x28, 0x1e);
constexpr int CLOCK_FONT_PIXELS = 12;

}  // namespace

CBoardView::CBoardView(QWidget& target) : target(target) {}

void CBoardView::Load(const QString& skinDir, QSize clientSize, qreal devicePixelRatio) {
    scale = ArtScale(devicePixelRatio);
    skin.Load(skinDir, scale);
    // A skin folder without a 2x background: its 1x picture, each pixel
    // doubled, so that the background always has the buffer's pixels.
    if (!skin.background.isNull() && qRound(skin.background.devicePixelRatio()) != scale) {
        skin.background = skin.background.scaled(skin.background.size() * scale);
        skin.background.setDevicePixelRatio(scale);
    }
    background = skin.background.isNull() ? QImage(clientSize * scale, QImage::Format_RGB32)
                                          : skin.background.convertToFormat(QImage::Format_RGB32);
    background.setDevicePixelRatio(scale);
    if (skin.background.isNull())
        background.fill(Qt::white);
    buffer = QImage(clientSize * scale, QImage::Format_ARGB32_Premultiplied);
    buffer.setDevicePixelRatio(scale);
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

QRegion CBoardView::ClockRegion() { return PlateRegion(LEFT_CLOCK_PLATE) + PlateRegion(RIGHT_CLOCK_PLATE); }

void CBoardView::DrawClock(const QRect& plate, const ClockFace* face) {
    const QRect area = PlateRegion(plate).boundingRect();
    QPainter buf(&buffer);
    buf.setCompositionMode(QPainter::CompositionMode_Source);
    buf.drawImage(area, background, Pixels(area));
    buf.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (!face)
        return;
    for (const QRect& r : PlateRegion(plate.translated(2, 2)))
        buf.fillRect(r, PLATE_SHADOW);
    buf.fillRect(plate, face->running ? LIT_FILL : PLATE_FILL);
    // The left and bottom edges, one logical pixel wide at any scale.
    const QColor edge = face->running ? LIT_EDGE : PLATE_EDGE;
    buf.fillRect(QRect(plate.left(), plate.top(), 1, plate.height()), edge);
    buf.fillRect(QRect(plate.left(), plate.bottom(), plate.width(), 1), edge);
    QFont font = PGothicFont(9);
    font.setPixelSize(CLOCK_FONT_PIXELS);
    font.setBold(true);
    buf.setFont(font);
    buf.setPen(face->running ? LIT_TEXT : PLATE_TEXT);
    buf.drawText(plate.adjusted(1, 0, 0, -1), Qt::AlignCenter, face->text);
}

void CBoardView::SetClocks(const ClockFace& right, const ClockFace& left) {
    const bool all = !clocksShown;
    clocksShown = true;
    for (auto [plate, face, shown] : {std::tuple{RIGHT_CLOCK_PLATE, &right, &rightClock},
                                      std::tuple{LEFT_CLOCK_PLATE, &left, &leftClock}}) {
        if (!all && *face == *shown)
            continue;
        *shown = *face;
        DrawClock(plate, face);
        Repaint(PlateRegion(plate).boundingRect());
    }
}

void CBoardView::HideClocks() {
    if (!clocksShown)
        return;
    clocksShown = false;
    for (const QRect& plate : {RIGHT_CLOCK_PLATE, LEFT_CLOCK_PLATE}) {
        DrawClock(plate, nullptr);
        Repaint(PlateRegion(plate).boundingRect());
    }
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
                bg.drawImage(at, skin.background, Pixels(QRect(at, QSize(CSkin::LABEL_W, CSkin::LABEL_H))));
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
    if (clocksShown) {
        DrawClock(RIGHT_CLOCK_PLATE, &rightClock);
        DrawClock(LEFT_CLOCK_PLATE, &leftClock);
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
    if (painter.device()->devicePixelRatio() == scale) {
        // Pixel for pixel.
        painter.drawImage(area, buffer, Pixels(area));
    } else {
        // A screen of another ratio (1.5, say): the whole buffer scaled
        // smoothly and clipped to the area, so that a partial repaint shows
        // the same pixels as a full one.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.save();
        painter.setClipRect(area, Qt::IntersectClip);
        painter.drawImage(QPoint(0, 0), buffer);
        painter.restore();
    }
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
