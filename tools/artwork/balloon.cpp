// The question balloon, its character, the はい and いいえ buttons and the
// own-piece cursor.
#include <QPainter>
#include <QPainterPath>

#include "artwork.h"

namespace art {

namespace {

const QColor OUTLINE(60, 44, 30);
const QColor BALLOON_INSIDE(255, 255, 255);  // the question's text is drawn on white

// Drawn SUPER times larger than the picture's own scale, then reduced with
// smoothing.
constexpr int SUPER = 4;

QImage Reduce(const QImage& big, int w, int h) {
    return big.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

// The character: a small pawn piece with a face.  frame 0..3: it bobs and
// talks.
// S: pixels of the drawing per 1x pixel.
void PaintCharacter(QPainter& p, int frame, int S) {
    static const int LIFT[4] = {0, 1, 2, 1};
    static const bool MOUTH_OPEN[4] = {false, true, false, true};
    const double lift = LIFT[frame] * S;
    const double cx = 16 * S, bottom = 31 * S - lift, w = 23 * S, h = 27 * S;
    const double top = bottom - h;
    // Shadow on the ground stays put while the body bobs.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawEllipse(QPointF(cx, 31 * S), (11 - LIFT[frame]) * S, 1.2 * S);
    QPainterPath body;
    body.moveTo(cx, top);
    body.lineTo(cx + w * 0.40, top + h * 0.24);
    body.lineTo(cx + w * 0.5, bottom);
    body.lineTo(cx - w * 0.5, bottom);
    body.lineTo(cx - w * 0.40, top + h * 0.24);
    body.closeSubpath();
    QLinearGradient grad(0, top, 0, bottom);
    grad.setColorAt(0, QColor(248, 226, 168));
    grad.setColorAt(1, QColor(224, 186, 112));
    p.setBrush(grad);
    p.setPen(QPen(OUTLINE, 1.0 * S));
    p.drawPath(body);
    // Eyes, cheeks, mouth.
    const double eyeY = top + h * 0.50;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 20, 12));
    p.drawEllipse(QPointF(cx - 4.5 * S, eyeY), 1.3 * S, 1.7 * S);
    p.drawEllipse(QPointF(cx + 4.5 * S, eyeY), 1.3 * S, 1.7 * S);
    p.setBrush(QColor(240, 120, 110, 150));
    p.drawEllipse(QPointF(cx - 7.5 * S, eyeY + 3.2 * S), 1.8 * S, 1.1 * S);
    p.drawEllipse(QPointF(cx + 7.5 * S, eyeY + 3.2 * S), 1.8 * S, 1.1 * S);
    if (MOUTH_OPEN[frame]) {
        p.setBrush(QColor(150, 40, 30));
        p.drawEllipse(QPointF(cx, eyeY + 4.5 * S), 1.8 * S, 1.6 * S);
    } else {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(60, 30, 20), 0.9 * S, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(cx - 2 * S, eyeY + 2 * S, 4 * S, 3 * S), 200 * 16, 140 * 16);
    }
    // A small red と on its belly: it is a promoted pawn.
    QFont font(CurrentFonts().mincho);
    font.setPixelSize(int(7 * S));
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(196, 18, 16));
    p.drawText(QRectF(cx - 5 * S, eyeY + 5.5 * S, 10 * S, 8 * S), Qt::AlignCenter, QString::fromUtf8("と"));
}

void PaintButtonCell(QPainter& p, const QString& text, int state, int S) {
    // state: 0 normal, 1 pointer over it, 2 pressed.
    const double c = 29 * S;
    const double shift = state == 2 ? 1.5 * S : 0;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    if (state != 2)
        p.drawEllipse(QPointF(c + 1.5 * S, c + 2 * S), 25 * S, 25 * S);
    QRadialGradient face(QPointF(c - 8 * S + shift, c - 10 * S + shift), 34 * S);
    if (state == 1) {
        face.setColorAt(0, QColor(255, 250, 214));
        face.setColorAt(1, QColor(246, 196, 92));
    } else if (state == 2) {
        face.setColorAt(0, QColor(226, 200, 150));
        face.setColorAt(1, QColor(176, 132, 70));
    } else {
        face.setColorAt(0, QColor(252, 244, 224));
        face.setColorAt(1, QColor(222, 192, 136));
    }
    p.setBrush(face);
    p.setPen(QPen(state == 1 ? QColor(178, 90, 10) : OUTLINE, (state == 1 ? 2.2 : 1.6) * S));
    p.drawEllipse(QPointF(c + shift, c + shift), 25 * S, 25 * S);
    QFont font(CurrentFonts().gothic);
    font.setPixelSize(text.size() > 2 ? 13 * S : 15 * S);
    font.setBold(true);
    p.setFont(font);
    p.setPen(state == 1 ? QColor(150, 20, 10) : QColor(40, 28, 18));
    p.drawText(QRectF(shift, shift, 58 * S, 58 * S), Qt::AlignCenter, text);
}

}  // namespace

QImage DrawBalloon(int scale) {
    const int S = SUPER * scale;
    QImage big(260 * S, 180 * S, QImage::Format_RGB32);
    big.fill(BALLOON_BACK);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(S, S);
        // Frame of the whole picture: the window has no border of its own.
        p.setPen(QPen(OUTLINE, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(1, 1, 258, 178));
        // The speech balloon: room for six centred lines between x 22 and
        // 224, its tail pointing at the character at (216, 103).
        QPainterPath balloon;
        balloon.addRoundedRect(QRectF(7, 6, 246, 96), 34, 30);
        QPainterPath tail;
        tail.moveTo(186, 96);
        tail.quadTo(200, 106, 213, 114);
        tail.quadTo(206, 102, 208, 94);
        tail.closeSubpath();
        balloon = balloon.united(tail);
        p.setBrush(QColor(0, 0, 0, 40));
        p.setPen(Qt::NoPen);
        p.drawPath(balloon.translated(2, 2.5));
        p.setBrush(BALLOON_INSIDE);
        p.setPen(QPen(OUTLINE, 1.6));
        p.drawPath(balloon);
    }
    QImage out = Reduce(big, 260 * scale, 180 * scale);
    // The inside must stay pure white where the text goes, so that the
    // text's own white background does not show; only the surroundings are
    // kept off pure white.
    return out;
}

QImage DrawCharacter(int scale) {
    const int S = SUPER * scale, cell = 32 * scale;
    QImage strip(cell * 4, cell, QImage::Format_RGB32);
    QPainter out(&strip);
    for (int frame = 0; frame < 4; ++frame) {
        QImage big(32 * S, 32 * S, QImage::Format_RGB32);
        big.fill(BALLOON_BACK);
        {
            QPainter p(&big);
            p.setRenderHint(QPainter::Antialiasing);
            PaintCharacter(p, frame, S);
        }
        out.drawImage(cell * frame, 0, Reduce(big, cell, cell));
    }
    return strip;
}

QImage DrawYesNo(bool yes, int scale) {
    const QString text = QString::fromUtf8(yes ? "はい" : "いいえ");
    const int S = SUPER * scale, cell = 58 * scale;
    QImage strip(cell * 3, cell, QImage::Format_RGB32);
    QPainter out(&strip);
    for (int state = 0; state < 3; ++state) {
        QImage big(58 * S, 58 * S, QImage::Format_RGB32);
        big.fill(BALLOON_BACK);
        {
            QPainter p(&big);
            p.setRenderHint(QPainter::Antialiasing);
            PaintButtonCell(p, text, state, S);
        }
        out.drawImage(cell * state, 0, Reduce(big, cell, cell));
    }
    return strip;
}

QImage DrawCursor(int scale) {
    // A pointing hand whose fingertip is the hot spot (11, 1).
    const int S = SUPER * scale;
    QImage big(32 * S, 32 * S, QImage::Format_ARGB32_Premultiplied);
    big.fill(Qt::transparent);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(S, S);
        QPainterPath hand;
        hand.addRoundedRect(QRectF(8.6, 0.8, 5, 15), 2.5, 2.5);  // index finger
        hand.addRoundedRect(QRectF(13, 8, 4.6, 9), 2.3, 2.3);    // middle finger
        hand.addRoundedRect(QRectF(17, 9, 4.4, 8.5), 2.2, 2.2);  // ring finger
        hand.addRoundedRect(QRectF(21, 10.5, 4, 8), 2, 2);       // little finger
        hand.addRoundedRect(QRectF(8.6, 12, 16.8, 13), 4, 4);    // palm
        QPainterPath thumb;
        thumb.moveTo(9.5, 15);
        thumb.lineTo(5, 11.5);
        thumb.quadTo(2.5, 12, 3.5, 15);
        thumb.lineTo(9.5, 23);
        thumb.closeSubpath();
        hand.addPath(thumb);
        hand.addRect(QRectF(11, 24, 13, 6));  // cuff
        hand.setFillRule(Qt::WindingFill);
        hand = hand.simplified();
        p.setPen(QPen(Qt::black, 1.3));
        p.setBrush(QColor(255, 255, 255));
        p.drawPath(hand);
        p.setPen(QPen(Qt::black, 0.8));
        p.drawLine(QPointF(13, 12.5), QPointF(13, 16.5));
        p.drawLine(QPointF(17.2, 13), QPointF(17.2, 17));
        p.drawLine(QPointF(21.2, 13.5), QPointF(21.2, 17.5));
    }
    return big.scaled(32 * scale, 32 * scale, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32);
}

}  // namespace art
