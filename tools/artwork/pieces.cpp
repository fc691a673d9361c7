// Pieces, turn labels, destination marks and the window icon.
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "artwork.h"

namespace art {

namespace {

constexpr int CELL = 30;

struct PieceLook {
    const char* glyph;  // UTF-8 kanji, nullptr: no piece in this cell
    int width;          // of the pentagon's base
    int height;
    bool promoted;  // drawn in red
};

// Cell order of Koma01.bmp: 王 飛 角 金 銀 桂 香 歩 玉 龍 馬 (unused) 成銀 成桂 成香 と.
// Promoted silver, knight and lance use the usual single cursive forms.
const PieceLook LOOKS[16] = {
    {"王", 27, 29, false}, {"飛", 25, 27, false}, {"角", 25, 27, false}, {"金", 24, 26, false},
    {"銀", 24, 26, false}, {"桂", 23, 25, false}, {"香", 22, 25, false}, {"歩", 21, 24, false},
    {"玉", 27, 29, false}, {"龍", 25, 27, true},  {"馬", 25, 27, true},  {nullptr, 0, 0, false},
    {"全", 24, 26, true},  {"圭", 23, 25, true},  {"杏", 22, 25, true},  {"と", 21, 24, true},
};

const QColor FACE_TOP(246, 222, 160);
const QColor FACE_BOTTOM(226, 190, 118);
const QColor EDGE(96, 62, 26);
const QColor INK(18, 12, 6);
const QColor RED_INK(196, 18, 16);

// The pentagon of a piece standing on the cell's lower edge, pointing up.
QPainterPath Pentagon(double cx, double bottom, double w, double h) {
    const double top = bottom - h;
    QPainterPath path;
    path.moveTo(cx, top);
    path.lineTo(cx + w * 0.40, top + h * 0.24);
    path.lineTo(cx + w * 0.5, bottom);
    path.lineTo(cx - w * 0.5, bottom);
    path.lineTo(cx - w * 0.40, top + h * 0.24);
    path.closeSubpath();
    return path;
}

// The strokes of one glyph, scaled to fit a box and centred in it.
QPainterPath GlyphIn(const QString& text, const QString& family, const QRectF& box, bool bold) {
    QFont font(family);
    font.setPixelSize(64);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF b = path.boundingRect();
    const double scale = std::min(box.width() / b.width(), box.height() / b.height());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(scale, scale);
    t.translate(-b.center().x(), -b.center().y());
    return t.map(path);
}

// Opaque artwork anti-aliased against a mid-wood tone, then everything the
// shape covers less than half made pure white: the cell is drawn with white
// transparent, both on the board and on the darker piece stands.
QImage MaskToWhite(const QImage& argb) {
    const QColor under(196, 146, 76);
    QImage out(argb.size(), QImage::Format_RGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            QRgb c = src[x];  // premultiplied
            int a = qAlpha(c);
            if (a < 128) {
                dst[x] = qRgb(255, 255, 255);
                continue;
            }
            int r = qRed(c) + under.red() * (255 - a) / 255;
            int g = qGreen(c) + under.green() * (255 - a) / 255;
            int b = qBlue(c) + under.blue() * (255 - a) / 255;
            dst[x] = qRgb(qMin(r, 254), qMin(g, 254), qMin(b, 254));
        }
    }
    return out;
}

void PaintPiece(QPainter& p, const PieceLook& look, double cx, double bottom, double scale,
                const QString& family) {
    const double w = look.width * scale, h = look.height * scale;
    QPainterPath body = Pentagon(cx, bottom, w, h);
    // The piece's thickness: a darker band along its lower edge.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 104, 48));
    p.drawPath(body);
    QPainterPath face = Pentagon(cx, bottom - 1.6 * scale, w - 1.0 * scale, h - 1.6 * scale);
    QLinearGradient grad(0, bottom - h, 0, bottom);
    grad.setColorAt(0, FACE_TOP);
    grad.setColorAt(1, FACE_BOTTOM);
    p.setBrush(grad);
    p.drawPath(face);
    p.setPen(QPen(EDGE, 0.9 * scale));
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);

    const double top = bottom - h;
    const double glyphW = w * 0.70;
    const double glyphH = h * 0.58;
    QRectF box(cx - glyphW / 2, top + h * 0.30, glyphW, glyphH);
    QPainterPath glyph = GlyphIn(QString::fromUtf8(look.glyph), family, box, true);
    p.setPen(Qt::NoPen);
    p.setBrush(look.promoted ? RED_INK : INK);
    p.drawPath(glyph);
}

QImage LabelCell(const QString& text, const QString& face, const QColor& plate, const QColor& ink,
                 const QColor& border, int scale) {
    QImage cell(38 * scale, 24 * scale, QImage::Format_RGB32);
    cell.fill(Qt::white);
    QPainter p(&cell);
    if (scale != 1)
        p.scale(scale, scale);
    // Plate (3, 3)-(33, 19) and its shadow two pixels down and right: exactly
    // the parts of the label that the main window's shape lets through.
    p.fillRect(QRect(5, 5, 30, 16), QColor(52, 40, 30));
    p.fillRect(QRect(3, 3, 30, 16), plate);
    // Its border, one 1x pixel wide.
    p.fillRect(QRect(3, 3, 30, 1), border);
    p.fillRect(QRect(3, 18, 30, 1), border);
    p.fillRect(QRect(3, 4, 1, 14), border);
    p.fillRect(QRect(32, 4, 1, 14), border);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath glyphs = GlyphIn(text, face, QRectF(6, 5.5, 24, 11), false);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(glyphs);
    p.end();
    AvoidPureWhite(&cell);
    // Keep only the plate and the shadow; the rest is the transparent colour.
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 38; ++x) {
            bool plateArea = x >= 3 && x < 33 && y >= 3 && y < 19;
            bool shadowArea = x >= 5 && x < 35 && y >= 5 && y < 21;
            if (!plateArea && !shadowArea)
                Dot(&cell, QPoint(x, y), qRgb(255, 255, 255), scale);
        }
    return cell;
}

}  // namespace

QImage DrawPieceCell(int kind, int scale) {
    const int cellSize = CELL * scale;
    QImage cell(cellSize, cellSize, QImage::Format_RGB32);
    cell.fill(Qt::white);
    const PieceLook& look = LOOKS[kind & 15];
    if (!look.glyph)
        return cell;
    // Drawn four times larger, then reduced: smooth edges and strokes.
    const int S = 4 * scale;
    QImage big(CELL * S, CELL * S, QImage::Format_ARGB32_Premultiplied);
    big.fill(Qt::transparent);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing);
        PaintPiece(p, look, CELL * S / 2.0, (CELL - 1) * S, S, CurrentFonts().mincho);
    }
    QImage small = big.scaled(cellSize, cellSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return MaskToWhite(small.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

QImage DrawPieces(int scale) {
    const int cellSize = CELL * scale;
    QImage strip(cellSize * 32, cellSize, QImage::Format_RGB32);
    strip.fill(Qt::white);
    QPainter p(&strip);
    for (int kind = 0; kind < 16; ++kind) {
        QImage up = DrawPieceCell(kind, scale);
        p.drawImage(kind * cellSize, 0, up);
        // The side shown at the top: the same piece turned by 180 degrees.
        p.drawImage((16 + kind) * cellSize, 0, up.mirrored(true, true));
    }
    return strip;
}

QImage DrawLabels(int scale, const Captions& words) {
    QImage strip(38 * 5 * scale, 24 * scale, QImage::Format_RGB32);
    QPainter p(&strip);
    const QString sente = QString::fromUtf8(words.sente);
    const QString gote = QString::fromUtf8(words.gote);
    const QString face = CaptionFace(words);
    const QColor plain(236, 226, 200), plainInk(28, 20, 12), plainBorder(110, 84, 54);
    const QColor lit(200, 28, 24), litInk(255, 246, 214), litBorder(120, 10, 8);
    p.drawImage(0, 0, LabelCell(sente, face, plain, plainInk, plainBorder, scale));
    p.drawImage(38 * scale, 0, LabelCell(sente, face, lit, litInk, litBorder, scale));
    p.drawImage(76 * scale, 0, LabelCell(gote, face, plain, plainInk, plainBorder, scale));
    p.drawImage(114 * scale, 0, LabelCell(gote, face, lit, litInk, litBorder, scale));
    p.drawImage(152 * scale, 0,
                LabelCell(QString::fromUtf8(words.check), face, QColor(255, 214, 40), QColor(196, 10, 10),
                          QColor(196, 10, 10), scale));
    return strip;
}

QImage DrawMarks(int scale) {
    QImage strip(128 * scale, 32 * scale, QImage::Format_RGB32);
    strip.fill(Qt::white);
    struct Mark {
        QRgb colour;
        int from, to;  // outline extent inside the cell
    };
    const Mark marks[4] = {
        {qRgb(255, 255, 0), 1, 30},
        {qRgb(255, 0, 255), 1, 30},
        {qRgb(0, 255, 255), 2, 29},
        {qRgb(0, 255, 0), 2, 29},
    };
    for (int m = 0; m < 4; ++m) {
        const int ox = 32 * m;
        const Mark& k = marks[m];
        // A two-pixel square outline: visible over pieces and wood alike.
        for (int i = k.from; i <= k.to; ++i)
            for (int t = 0; t < 2; ++t) {
                Dot(&strip, QPoint(ox + i, k.from + t), k.colour, scale);
                Dot(&strip, QPoint(ox + i, k.to - t), k.colour, scale);
                Dot(&strip, QPoint(ox + k.from + t, i), k.colour, scale);
                Dot(&strip, QPoint(ox + k.to - t, i), k.colour, scale);
            }
    }
    return strip;
}

QImage DrawIcon(int size) {
    // Drawn at least eight times larger (32 at 8x, 256 at 2x), then scaled down.
    const int S = std::max(256, 2 * size) / 32;
    QImage big(32 * S, 32 * S, QImage::Format_ARGB32_Premultiplied);
    big.fill(Qt::transparent);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing);
        // Heavy strokes stay readable at 16 and 32 pixels.
        PieceLook king = {"王", 28, 31, false};
        PaintPiece(p, king, 16.0 * S, 31.5 * S, S, CurrentFonts().gothic);
    }
    return big.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32);
}

}  // namespace art
