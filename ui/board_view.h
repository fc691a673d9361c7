// The main window's picture: the background with the turn labels drawn into
// it, the back buffer with the frame, the pieces and the clocks (in games
// with a time control), and the overlays shown
// over the back buffer until the next composition (reach marks, the check
// label, the held piece).  It knows nothing of the game: the window tells it
// which labels, which frame and which cells to draw.  Every area it asks the
// window to repaint is logged, so tests can see what a change repaints.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QString>
#include <vector>

#include "game/geometry.h"
#include "ui/skin.h"

class QPainter;
class QWidget;

namespace ravu {

// Client geometry (pixels; right and bottom exclusive).
constexpr QRect TOP_HAND_AREA(QPoint(0, 0), QPoint(125, 135));
constexpr QRect BOARD_AREA(QPoint(129, 0), QPoint(438, 299));
constexpr QRect BOTTOM_HAND_AREA(QPoint(442, 164), QPoint(567, 299));
constexpr QRect CONTROL_STRIP(QPoint(0, 310), QPoint(567, 409));
constexpr QRect STRIP_INSIDE(QPoint(21, 315), QPoint(549, 406));
constexpr QRect LEFT_LABEL_CLICK(QPoint(47, 141), QPoint(76, 156));
constexpr QRect RIGHT_LABEL_CLICK(QPoint(489, 141), QPoint(518, 156));
constexpr QPoint LEFT_LABEL_POS(44, 138);
constexpr QPoint RIGHT_LABEL_POS(486, 138);
constexpr QPoint CHECK_LABEL_POS(262, 138);
constexpr QPoint FRAME_POS(129, 0);
constexpr QRect BOARD_BAND(0, 0, 568, 300);  // what a partial redraw repaints
// The clock plates beside the turn labels, towards the board.
constexpr QRect LEFT_CLOCK_PLATE(83, 141, 38, 16);
constexpr QRect RIGHT_CLOCK_PLATE(446, 141, 38, 16);

// Label cells.
constexpr int LABEL_SENTE = 0, LABEL_SENTE_LIT = 1, LABEL_GOTE = 2, LABEL_GOTE_LIT = 3, LABEL_CHECK = 4;

// The turn label cells drawn at the right (the side shown at the bottom) and
// at the left.
struct LabelChoice {
    int right;
    int left;
};

// A clock as its plate shows it: the text, lit like the turn label of the
// side to move while its time runs.
struct ClockFace {
    QString text;
    bool running = false;
    bool operator==(const ClockFace&) const = default;
};

class CBoardView {
public:
    // target: the window the picture is painted on; it outlives the view.
    explicit CBoardView(QWidget& target);

    // Reads the skin pictures from skinDir and makes the background and the
    // back buffer of the client size (white where a picture is missing), for
    // a screen of devicePixelRatio: above 1 the 2x pictures are read where
    // there are any, and background and back buffer hold two pixels per
    // logical pixel each way (device pixel ratio 2).  Every position stays
    // in logical pixels.
    void Load(const QString& skinDir, QSize clientSize, qreal devicePixelRatio = 1.0);
    // 1 or 2: pixels of the back buffer per logical pixel, each way.
    int Scale() const { return scale; }

    // Composes the back buffer: the labels into the background, then the
    // background, the frame (the flipped one when flipped) and the pieces.
    // Removes every overlay and repaints `area`.
    void Compose(LabelChoice labels, bool flipped, const std::vector<CellPlacement>& pieces,
                 const QRect& area);
    // Draws marks into the back buffer itself, so that they stay while a
    // held piece is dragged over them (until the next composition).
    void DrawIntoBuffer(const std::vector<CellPlacement>& marks);
    // Overlays, each shown until the next composition.
    void ShowReach(const std::vector<CellPlacement>& marks);
    void ShowCheckLabel();
    // The held piece moved: its old area shows the back buffer again, the
    // piece is drawn at the new one.
    void MoveHeld(const DragStep& step);

    // Shows the two clocks (right: the side shown at the bottom) in the back
    // buffer, where they stay through later compositions; repaints only a
    // plate whose face changed.
    void SetClocks(const ClockFace& right, const ClockFace& left);
    // The plates' places show the background again.
    void HideClocks();
    bool ClocksShown() const { return clocksShown; }
    const ClockFace& Clock(bool right) const { return right ? rightClock : leftClock; }

    // Asks the window to repaint an area, and logs it.
    void Repaint(const QRect& r);
    // Paints the area of the window: back buffer, then the overlays.
    void Paint(QPainter& painter, const QRect& area) const;

    // The picture as it is on the screen: back buffer plus overlays.
    QImage ScreenImage() const;
    // The rectangles handed to the window's update() since the last call.
    std::vector<QRect> TakeRepaintLog();
    const QImage& BackBuffer() const { return buffer; }
    const QImage& Background() const { return background; }
    const CSkin& Skin() const { return skin; }

    // The mask the window is cut to: the hands, the board, the two labels
    // with their shadows and the control strip.
    static QRegion WindowRegion();
    // What the window's shape adds while the clocks are shown: the two
    // plates with their shadows.
    static QRegion ClockRegion();

private:
    void PaintOverlays(QPainter& painter) const;
    // Draws a plate into the back buffer (over the background when hidden).
    void DrawClock(const QRect& plate, const ClockFace* face);
    static void DrawCells(QPainter& painter, const std::vector<QImage>& cells,
                          const std::vector<CellPlacement>& list);

    // r (logical pixels) in the pixels of the background and the buffer.
    QRect Pixels(const QRect& r) const { return QRect(r.topLeft() * scale, r.size() * scale); }

    QWidget& target;
    int scale = 1;
    CSkin skin;
    QImage background;  // BackBmp.bmp with the labels drawn into it
    QImage buffer;      // back buffer of the client area

    std::vector<CellPlacement> reachMarks;
    bool checkShown = false;
    bool heldShown = false;
    CellPlacement heldCell{-1, 0, 0};
    bool clocksShown = false;
    ClockFace rightClock, leftClock;

    std::vector<QRect> repaintLog;
};

}  // namespace ravu
