#include "ui/skin.h"

#include <QDir>

#include "app/resources.h"

namespace ravu {

QImage WhiteToTransparent(const QImage& image) {
    if (image.isNull())
        return {};
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] & 0x00FFFFFFu) == 0x00FFFFFFu)
                line[x] = 0;
    }
    // Premultiplied is what QPainter draws fastest.
    return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

std::vector<QImage> CutCells(const QImage& strip, int w, int h) {
    std::vector<QImage> cells;
    if (strip.isNull() || w <= 0 || h <= 0 || strip.height() < h)
        return cells;
    for (int x = 0; x + w <= strip.width(); x += w)
        cells.push_back(strip.copy(x, 0, w, h));
    return cells;
}

const QImage* CSkin::Cell(const std::vector<QImage>& cells, int index) {
    if (index < 0 || static_cast<size_t>(index) >= cells.size())
        return nullptr;
    return &cells[static_cast<size_t>(index)];
}

void CSkin::Load(const QString& dir) {
    const QDir d(dir);
    background = QImage(d.filePath("BackBmp.bmp")).convertToFormat(QImage::Format_RGB32);
    frames = CutCells(WhiteToTransparent(QImage(d.filePath("Waku.bmp"))), FRAME_W, FRAME_H);
    pieces = CutCells(WhiteToTransparent(QImage(d.filePath("Koma01.bmp"))), PIECE_SIZE, PIECE_SIZE);
    labels = CutCells(WhiteToTransparent(QImage(QString::fromLatin1(RES_BMP_LABELS))), LABEL_W, LABEL_H);
    marks = CutCells(WhiteToTransparent(QImage(QString::fromLatin1(RES_BMP_MARKS))), MARK_SIZE, MARK_SIZE);
}

}  // namespace ravu
