// The window background with the piece stands and the control strip, and the
// board frame in its normal and flipped view.
#include <QPainter>
#include <QPainterPath>

#include <cmath>

#include "artwork.h"

namespace art {

namespace {

// Client geometry of the main window.
const QRect UPPER_STAND(0, 0, 126, 136);
const QRect BOARD(129, 0, 310, 300);
const QRect LOWER_STAND(442, 164, 126, 136);
const QRect STRIP(0, 310, 568, 100);
const QRect STRIP_INSIDE(21, 315, 529, 92);  // (21, 315)-(550, 407): no drag starts here
constexpr int BUTTON_COUNT = 11;
QRect ButtonRect(int i) { return QRect(33 + 42 * i, 320, 40, 40); }

// Board frame: lines at x = 11 + 31 i, y = 10 + 31 j inside the 310 x 300 image.
constexpr int GRID_X0 = 11, GRID_Y0 = 10, PITCH = 31;

const char* const BUTTON_CAPTIONS[BUTTON_COUNT] = {
    "先頭", "戻る", "進む", "再生", "停止", "開く", "保存", "接続", "対局", "投了", "設定",
};

QPainterPath Triangle(double x, double cy, double w, double h, bool right) {
    QPainterPath t;
    if (right) {
        t.moveTo(x, cy - h / 2);
        t.lineTo(x + w, cy);
        t.lineTo(x, cy + h / 2);
    } else {
        t.moveTo(x + w, cy - h / 2);
        t.lineTo(x, cy);
        t.lineTo(x + w, cy + h / 2);
    }
    t.closeSubpath();
    return t;
}

// The pictogram of control strip button i in a 40 x 40 box at the origin;
// its upper 26 pixels hold the symbol, the caption goes below.
void PaintButtonSymbol(QPainter& p, int i) {
    const QColor ink(44, 30, 18);
    const double cy = 13;
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    switch (i) {
        case 0:  // to the start: bar and two triangles pointing back
            p.drawRect(QRectF(9, cy - 6, 2.5, 12));
            p.drawPath(Triangle(11.5, cy, 9, 12, false));
            p.drawPath(Triangle(20.5, cy, 9, 12, false));
            break;
        case 1:  // one move back
            p.drawPath(Triangle(14, cy, 11, 13, false));
            break;
        case 2:  // one move forward
            p.drawPath(Triangle(15, cy, 11, 13, true));
            break;
        case 3: {  // automatic replay: a play sign in a circle
            p.setPen(QPen(ink, 2));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(20, cy), 8.5, 8.5);
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            p.drawPath(Triangle(17, cy, 8, 9, true));
            break;
        }
        case 4:  // stop the replay
            p.drawRect(QRectF(14.5, cy - 5.5, 11, 11));
            break;
        case 5: {  // open a file: a folder with its lid up
            QPainterPath back;
            back.moveTo(8, cy + 7);
            back.lineTo(8, cy - 6);
            back.lineTo(15, cy - 6);
            back.lineTo(17, cy - 4);
            back.lineTo(29, cy - 4);
            back.lineTo(29, cy + 7);
            back.closeSubpath();
            p.drawPath(back);
            QPainterPath lid;
            lid.moveTo(8, cy + 7);
            lid.lineTo(12, cy - 1);
            lid.lineTo(33, cy - 1);
            lid.lineTo(29, cy + 7);
            lid.closeSubpath();
            p.setBrush(QColor(214, 170, 72));
            p.setPen(QPen(ink, 1.2));
            p.drawPath(lid);
            break;
        }
        case 6: {  // save a file: a diskette
            p.drawRoundedRect(QRectF(11, cy - 8, 18, 17), 1.5, 1.5);
            p.setBrush(QColor(226, 220, 200));
            p.drawRect(QRectF(14, cy - 8, 11, 6));  // shutter
            p.drawRect(QRectF(14, cy + 1, 12, 7));  // label
            p.setBrush(ink);
            p.drawRect(QRectF(21, cy - 7, 2.5, 4));
            break;
        }
        case 7: {  // connect: a plug about to enter its socket
            p.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(QPointF(4, cy), QPointF(10, cy));
            p.drawLine(QPointF(30, cy), QPointF(36, cy));
            p.setPen(Qt::NoPen);
            QPainterPath plug;
            plug.addRoundedRect(QRectF(9, cy - 5.5, 9, 11), 3, 3);
            plug.addRect(QRectF(13, cy - 5.5, 5, 11));
            plug.setFillRule(Qt::WindingFill);
            p.drawPath(plug.simplified());
            p.drawRect(QRectF(18, cy - 3.8, 4, 1.8));  // prongs
            p.drawRect(QRectF(18, cy + 2.0, 4, 1.8));
            QPainterPath socket;
            socket.addRoundedRect(QRectF(23, cy - 5.5, 8, 11), 3, 3);
            socket.addRect(QRectF(23, cy - 5.5, 4, 11));
            socket.setFillRule(Qt::WindingFill);
            p.drawPath(socket.simplified());
            break;
        }
        case 8: {  // start a game: two pieces facing each other
            auto piece = [&](double cx, double base, double dir) {
                QPainterPath path;
                path.moveTo(cx, base - dir * 12);
                path.lineTo(cx + 4.5, base - dir * 9);
                path.lineTo(cx + 5.5, base);
                path.lineTo(cx - 5.5, base);
                path.lineTo(cx - 4.5, base - dir * 9);
                path.closeSubpath();
                return path;
            };
            p.setPen(QPen(ink, 1.2));
            p.setBrush(QColor(236, 206, 140));
            p.drawPath(piece(13, cy + 7, 1));
            p.drawPath(piece(27, cy - 7, -1));
            break;
        }
        case 9: {  // resign: a white flag on its pole
            p.setPen(QPen(ink, 2));
            p.drawLine(QPointF(12, cy - 9), QPointF(12, cy + 9));
            p.setPen(QPen(ink, 1.2));
            p.setBrush(QColor(250, 248, 240));
            QPainterPath flag;
            flag.moveTo(13, cy - 9);
            flag.cubicTo(18, cy - 12, 23, cy - 6, 29, cy - 8);
            flag.lineTo(29, cy);
            flag.cubicTo(23, cy + 2, 18, cy - 4, 13, cy - 1);
            flag.closeSubpath();
            p.drawPath(flag);
            break;
        }
        case 10: {  // settings: a gear wheel
            QPainterPath gear;
            const double pi = 3.14159265358979323846;
            const int teeth = 8;
            for (int k = 0; k < teeth * 4; ++k) {
                double a = (k - 0.5) * 2 * pi / (teeth * 4);
                double r = (k % 4 < 2) ? 9.5 : 7.0;
                QPointF pt(20 + r * std::cos(a), cy + r * std::sin(a));
                if (k == 0)
                    gear.moveTo(pt);
                else
                    gear.lineTo(pt);
            }
            gear.closeSubpath();
            gear.addEllipse(QPointF(20, cy), 3.2, 3.2);
            gear.setFillRule(Qt::OddEvenFill);
            p.drawPath(gear);
            break;
        }
    }
}

// A painter on image that takes 1x pixels.
void ScalePainter(QPainter& p, int scale) {
    if (scale != 1)
        p.scale(scale, scale);
}

// The outline of r one 1x pixel wide, inside r.
void Outline(QPainter& p, const QRect& r, const QColor& colour) {
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), colour);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), colour);
    p.fillRect(QRect(r.left(), r.top() + 1, 1, r.height() - 2), colour);
    p.fillRect(QRect(r.right(), r.top() + 1, 1, r.height() - 2), colour);
}

void PaintButton(QImage* image, int i, int scale) {
    const QRect r = ButtonRect(i);
    // Face: light wood, raised.
    FillWood(image, r, QColor(226, 200, 150), true, 500 + i, 0.6, scale);
    Bevel(image, r, true, 60, scale);
    Bevel(image, r.adjusted(1, 1, -1, -1), true, 24, scale);
    QPainter p(image);
    p.setRenderHint(QPainter::Antialiasing);
    ScalePainter(p, scale);
    p.translate(r.topLeft());
    PaintButtonSymbol(p, i);
    QFont font(CurrentFonts().gothic);
    font.setPixelSize(10);
    font.setHintingPreference(QFont::PreferFullHinting);
    p.setFont(font);
    p.setPen(QColor(44, 30, 18));
    p.drawText(QRect(0, 26, 40, 12), Qt::AlignHCenter | Qt::AlignVCenter,
               QString::fromUtf8(BUTTON_CAPTIONS[i]));
}

void PaintStand(QImage* image, const QRect& r, quint32 seed, int scale) {
    FillWood(image, r, STAND_WOOD, true, seed, 1.2, scale);
    Bevel(image, r, true, 50, scale);
    Bevel(image, r.adjusted(3, 3, -3, -3), false, 30, scale);
}

// Full-width digits and kanji numerals of the board's edges.
const char* const FILE_DIGITS[9] = {"1", "2", "3", "4", "5", "6", "7", "8", "9"};
const char* const RANK_KANJI[9] = {"一", "二", "三", "四", "五", "六", "七", "八", "九"};

void PaintBoardFace(QImage* image, const QRect& r, bool flipped, int scale) {
    FillWood(image, r, BOARD_WOOD, false, 101, 1.0, scale);
    Bevel(image, r, true, 40, scale);
    QPainter p(image);
    ScalePainter(p, scale);
    p.translate(r.topLeft());
    // Grid: nine squares of 31 pixels; the outer lines are doubled.  Lines
    // are whole 1x pixels, so that they sit on the squares' pixel positions
    // at every scale.
    for (int k = 0; k <= 9; ++k) {
        int x = GRID_X0 + PITCH * k;
        int y = GRID_Y0 + PITCH * k;
        p.fillRect(QRect(x, GRID_Y0, 1, 9 * PITCH + 1), GRID);
        p.fillRect(QRect(GRID_X0, y, 9 * PITCH + 1, 1), GRID);
    }
    Outline(p, QRect(GRID_X0 - 1, GRID_Y0 - 1, 9 * PITCH + 3, 9 * PITCH + 3), GRID);
    // Star points where the 3rd and 6th lines cross.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(GRID);
    for (int a : {3, 6})
        for (int b : {3, 6})
            p.drawEllipse(QPointF(GRID_X0 + PITCH * a + 0.5, GRID_Y0 + PITCH * b + 0.5), 2.3, 2.3);

    // Coordinates: files along the top, ranks down the right edge.
    QFont digits(CurrentFonts().gothic);
    digits.setPixelSize(9);
    digits.setHintingPreference(QFont::PreferFullHinting);
    QFont kanji(CurrentFonts().mincho);
    kanji.setPixelSize(12);
    kanji.setHintingPreference(QFont::PreferFullHinting);
    p.setPen(QColor(70, 44, 18));
    for (int k = 0; k < 9; ++k) {
        int column = flipped ? k : 8 - k;  // column of file k + 1, from the left
        int row = flipped ? 8 - k : k;     // row of rank k + 1, from the top
        p.setFont(digits);
        p.drawText(QRect(GRID_X0 + PITCH * column, 0, PITCH, GRID_Y0), Qt::AlignCenter,
                   QString::fromLatin1(FILE_DIGITS[k]));
        p.setFont(kanji);
        p.drawText(
            QRect(GRID_X0 + 9 * PITCH + 2, GRID_Y0 + PITCH * row, 310 - (GRID_X0 + 9 * PITCH + 2), PITCH),
            Qt::AlignCenter, QString::fromUtf8(RANK_KANJI[k]));
    }
}

}  // namespace

QImage DrawBackground(int scale) {
    QImage image(568 * scale, 410 * scale, QImage::Format_RGB32);
    // Outside the window's shape: never shown, a quiet dark tone.
    image.fill(QColor(60, 40, 24));
    PaintStand(&image, UPPER_STAND, 11, scale);
    PaintStand(&image, LOWER_STAND, 12, scale);
    // Under the frame picture (it covers this area completely).
    PaintBoardFace(&image, BOARD, false, scale);

    // Control strip: dark wood with a grip border, the inside a shade lighter.
    FillWood(&image, STRIP, STRIP_WOOD.darker(125), true, 21, 1.3, scale);
    Bevel(&image, STRIP, true, 50, scale);
    // Grip: rows of small dimples in the drag margin.
    for (int y = STRIP.top() + 3; y < STRIP.bottom() - 1; y += 4)
        for (int x = 4; x < 568 - 3; x += 4) {
            QPoint pt(x + ((y / 4) % 2) * 2, y);
            if (STRIP_INSIDE.adjusted(-2, -2, 2, 2).contains(pt))
                continue;
            Dot(&image, pt, qRgb(40, 24, 12), scale);
            Dot(&image, pt + QPoint(1, 1), qRgb(140, 100, 64), scale);
        }
    FillWood(&image, STRIP_INSIDE, STRIP_WOOD, true, 22, 1.0, scale);
    Bevel(&image, STRIP_INSIDE, false, 50, scale);
    for (int i = 0; i < BUTTON_COUNT; ++i)
        PaintButton(&image, i, scale);
    // A groove under the button row where the chat input sits.
    const QRect groove(33, 366, 460, 32);
    FillWood(&image, groove, STRIP_WOOD.darker(115), true, 23, 0.8, scale);
    Bevel(&image, groove, false, 36, scale);
    AvoidPureWhite(&image);
    return image;
}

QImage DrawFrame(int scale) {
    QImage image(620 * scale, 300 * scale, QImage::Format_RGB32);
    PaintBoardFace(&image, QRect(0, 0, 310, 300), false, scale);
    PaintBoardFace(&image, QRect(310, 0, 310, 300), true, scale);
    AvoidPureWhite(&image);
    return image;
}

}  // namespace art
