// The pictures the main window draws with: the three skin files read from
// the current directory and the built-in turn labels and marks, each cut
// into cells with pure white made transparent, once, at load.
#pragma once

#include <QImage>
#include <QString>
#include <vector>

namespace ravu {

// Pure white (255, 255, 255) becomes fully transparent; every other pixel
// keeps its colour and is opaque.
QImage WhiteToTransparent(const QImage& image);

// Cells of w x h cut from left to right from the top row of a strip.  A strip
// narrower than one cell gives no cells.
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
    // resources.  A file that cannot be read leaves its cells empty: the
    // window then draws nothing for them and still works.
    void Load(const QString& dir);

    // Draw helpers that accept any cell number: a number without a cell draws nothing.
    static const QImage* Cell(const std::vector<QImage>& cells, int index);
};

}  // namespace ravu
