// The pictures the main window draws with: the three skin files read from
// the current directory and the built-in turn labels and marks, each cut
// into cells with pure white made transparent, once, at load.  On a screen
// of device pixel ratio above 1 each picture comes from its twice-as-large
// "@2x" file when there is one, marked with device pixel ratio 2, so that
// every position and size stays in the window's own (logical) pixels.
#pragma once

#include <QImage>
#include <QString>
#include <vector>

namespace ravu {

// The scale of the artwork drawn on a screen of devicePixelRatio: 2 for any
// ratio above 1, else 1.  On ratios between 1 and 2 the 2x pictures are
// scaled down: that keeps more of their detail than scaling 1x ones up.
int ArtScale(qreal devicePixelRatio);

// "dir/name@2x.ext" beside "dir/name.ext".
QString TwiceSizePath(const QString& path);

// The picture at path as drawn at scale: at scale 2 its "@2x" file, with
// device pixel ratio 2, when that file holds a picture of exactly twice the
// size of the 1x one; otherwise (and at scale 1) the 1x file.  Null when the
// 1x file cannot be read.
QImage LoadPicture(const QString& path, int scale);

// Pure white (255, 255, 255) becomes fully transparent; every other pixel
// keeps its colour and is opaque.
QImage WhiteToTransparent(const QImage& image);

// Cells of w x h cut from left to right from the top row of a strip.  A strip
// narrower than one cell gives no cells.  w and h are logical pixels: a
// strip of device pixel ratio 2 gives cells of 2w x 2h pixels, of ratio 2.
std::vector<QImage> CutCells(const QImage& strip, int w, int h);

struct CSkin {
    static constexpr int FRAME_W = 310, FRAME_H = 300;  // Waku.bmp: normal, flipped
    static constexpr int PIECE_SIZE = 30;               // Koma01.bmp
    static constexpr int LABEL_W = 38, LABEL_H = 24;    // turn labels (先手, 後手, lit and plain, 王手)
    static constexpr int MARK_SIZE = 32;                // the reach marks drawn on squares

    QImage background;           // "BackBmp.bmp", opaque
    std::vector<QImage> frames;  // 2 cells, white transparent
    std::vector<QImage> pieces;  // 32 cells, white transparent
    std::vector<QImage> labels;  // 5 cells: 先手, 先手 lit, 後手, 後手 lit, 王手
    std::vector<QImage> marks;   // 4 cells

    // Reads the skin files from dir and the built-in pictures from the
    // resources, for artwork scale 1 or 2 (see LoadPicture).  A file that
    // cannot be read leaves its cells empty: the window then draws nothing
    // for them and still works.
    void Load(const QString& dir, int scale = 1);

    // Draw helpers that accept any cell number: a number without a cell draws nothing.
    static const QImage* Cell(const std::vector<QImage>& cells, int index);
};

}  // namespace ravu
