#include "ui/skin.h"

#include <QDir>
#include <QFileInfo>

#include "app/resources.h"

namespace ravu {

int ArtScale(qreal devicePixelRatio) { return devicePixelRatio > 1.0 ? 2 : 1; }

QString TwiceSizePath(const QString& path) {
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString stem = suffix.isEmpty() ? path : path.chopped(suffix.size() + 1);
    return suffix.isEmpty() ? stem + QStringLiteral("@2x") : stem + QStringLiteral("@2x.") + suffix;
}

QImage LoadPicture(const QString& path, int scale) {
    QImage normal(path);
    normal.setDevicePixelRatio(1);
    if (scale < 2 || normal.isNull())
        return normal;
    QImage twice(TwiceSizePath(path));
    // A picture of any other size would not fit the cells and positions.
    if (twice.size() != normal.size() * 2)
        return normal;
    twice.setDevicePixelRatio(2);
    return twice;
}

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
    const int s = qRound(strip.devicePixelRatio());
    const int pw = w * s, ph = h * s;
    if (strip.isNull() || w <= 0 || h <= 0 || strip.height() < ph)
        return cells;
    for (int x = 0; x + pw <= strip.width(); x += pw) {
        cells.push_back(strip.copy(x, 0, pw, ph));
        cells.back().setDevicePixelRatio(s);
    }
    return cells;
}

const QImage* CSkin::Cell(const std::vector<QImage>& cells, int index) {
    if (index < 0 || static_cast<size_t>(index) >= cells.size())
        return nullptr;
    return &cells[static_cast<size_t>(index)];
}

void CSkin::Load(const QString& dir, int scale) {
    const QDir d(dir);
    auto picture = [scale](const QString& path) { return LoadPicture(path, scale); };
    background = picture(d.filePath("BackBmp.bmp")).convertToFormat(QImage::Format_RGB32);
    frames = CutCells(WhiteToTransparent(picture(d.filePath("Waku.bmp"))), FRAME_W, FRAME_H);
    pieces = CutCells(WhiteToTransparent(picture(d.filePath("Koma01.bmp"))), PIECE_SIZE, PIECE_SIZE);
    labels = CutCells(WhiteToTransparent(picture(QString::fromLatin1(RES_BMP_LABELS))), LABEL_W, LABEL_H);
    marks = CutCells(WhiteToTransparent(picture(QString::fromLatin1(RES_BMP_MARKS))), MARK_SIZE, MARK_SIZE);
}

}  // namespace ravu
