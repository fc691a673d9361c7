// The main window in the opening position, composed the way the program
// composes it: background, turn labels, frame, pieces, white transparent.
#include <QPainter>

#include "artwork.h"

namespace art {

namespace {

QImage Cell(const QImage& strip, int index, int w, int h) {
    QImage cell = strip.copy(index * w, 0, w, h).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((cell.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF)
                cell.setPixel(x, y, 0);
    return cell;
}

QPoint Square(int file, int rank) { return QPoint(141 + 31 * (9 - file), 11 + 31 * (rank - 1)); }

}  // namespace

QImage ComposePreview() {
    const QImage back = DrawBackground();
    const QImage frame = DrawFrame();
    const QImage pieces = DrawPieces();
    const QImage labels = DrawLabels();
    const QImage marks = DrawMarks();
    QImage image = back.convertToFormat(QImage::Format_RGB32);
    QPainter p(&image);
    p.drawImage(486, 138, Cell(labels, 1, 38, 24));  // sente, at the bottom, to move
    p.drawImage(44, 138, Cell(labels, 2, 38, 24));
    p.drawImage(129, 0, Cell(frame, 0, 310, 300));
    // Opening position; cell = type (+16 for the side shown at the top).
    const int backRank[9] = {6, 5, 4, 3, 8, 3, 4, 5, 6};  // files 9..1, sente
    for (int i = 0; i < 9; ++i) {
        int file = 9 - i;
        p.drawImage(Square(file, 9), Cell(pieces, backRank[i], 30, 30));
        p.drawImage(Square(file, 7), Cell(pieces, 7, 30, 30));
        p.drawImage(Square(file, 1), Cell(pieces, 16 + (backRank[i] == 8 ? 0 : backRank[i]), 30, 30));
        p.drawImage(Square(file, 3), Cell(pieces, 16 + 7, 30, 30));
    }
    p.drawImage(Square(2, 8), Cell(pieces, 1, 30, 30));
    p.drawImage(Square(8, 8), Cell(pieces, 2, 30, 30));
    p.drawImage(Square(8, 2), Cell(pieces, 17, 30, 30));
    p.drawImage(Square(2, 2), Cell(pieces, 18, 30, 30));
    // A few promoted pieces and pieces in hand, to see every kind of cell.
    p.drawImage(Square(5, 5), Cell(pieces, 9, 30, 30));
    p.drawImage(Square(4, 5), Cell(pieces, 15, 30, 30));
    p.drawImage(Square(6, 5), Cell(pieces, 16 + 10, 30, 30));
    p.drawImage(Square(5, 4), Cell(pieces, 16 + 12, 30, 30));
    p.drawImage(Square(6, 4), Cell(pieces, 13, 30, 30));
    p.drawImage(Square(4, 4), Cell(pieces, 16 + 14, 30, 30));
    p.drawImage(QPoint(443, 167), Cell(pieces, 1, 30, 30));
    p.drawImage(QPoint(507, 167), Cell(pieces, 2, 30, 30));
    p.drawImage(QPoint(443, 199), Cell(pieces, 3, 30, 30));
    for (int k = 0; k < 5; ++k)
        p.drawImage(QPoint(443 + 18 * k, 263), Cell(pieces, 7, 30, 30));
    p.drawImage(QPoint(2, 100), Cell(pieces, 16 + 1, 30, 30));
    p.drawImage(QPoint(2, 68), Cell(pieces, 16 + 4, 30, 30));
    p.drawImage(QPoint(2, 4), Cell(pieces, 16 + 7, 30, 30));
    p.drawImage(QPoint(33, 4), Cell(pieces, 16 + 7, 30, 30));
    // Destination marks of the pawn on 7七 and the check label.
    p.drawImage(Square(7, 6), Cell(marks, 0, 32, 32));
    p.drawImage(Square(3, 6), Cell(marks, 2, 32, 32));
    p.drawImage(262, 138, Cell(labels, 4, 38, 24));
    return image;
}

QImage ComposeCloseUps() {
    const int Z = 3;
    QImage sheet(1000 * Z / 1, 260 * Z, QImage::Format_RGB32);
    sheet.fill(QColor(90, 90, 90));
    QPainter p(&sheet);
    auto put = [&](int x, int y, const QImage& img) {
        p.drawImage(QRect(x * Z, y * Z, img.width() * Z, img.height() * Z), img);
    };
    QImage wood(960, 30, QImage::Format_RGB32);
    FillWood(&wood, wood.rect(), BOARD_WOOD, false, 101);
    put(0, 0, wood);
    QImage pieces = DrawPieces();
    for (int i = 0; i < 32; ++i)
        put(30 * i, 0, Cell(pieces, i, 30, 30));
    put(0, 34, DrawLabels());
    put(200, 34, DrawMarks());
    put(0, 64, DrawBalloon());
    put(216, 64 + 103, DrawCharacter().copy(0, 0, 32, 32));
    put(58, 64 + 115, DrawYesNo(true).copy(0, 0, 58, 58));
    put(122, 64 + 115, DrawYesNo(false).copy(58, 0, 58, 58));
    put(270, 64, DrawCharacter());
    put(270, 100, DrawYesNo(true));
    put(270, 160, DrawYesNo(false));
    put(460, 64, DrawCursor());
    put(500, 64, DrawIcon());
    return sheet;
}

}  // namespace art
