// Where the user clicks in the main window (client pixels), for the window
// tests in this process and for copies driven from outside alike.
#pragma once

#include <QPoint>

namespace ravu::test {

// The centre of a square (file, rank 1..9) as the user sees the board:
// unflipped sente at the bottom, flipped gote.
inline QPoint SquarePoint(int file, int rank, int flipped = 0) {
    return QPoint(141 + 31 * (flipped ? file - 1 : 9 - file) + 15,
                  11 + 31 * (flipped ? 9 - rank : rank - 1) + 15);
}

// The centre of control strip button i (0..10): 40 x 40 at x = 33 + 42 i, y = 320.
inline QPoint StripPoint(int i) { return QPoint(33 + 42 * i + 20, 340); }

}  // namespace ravu::test
