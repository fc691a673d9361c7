// Pixel geometry of the board in the main window's client area, and the
// cells of the piece and mark image strips.  All constants; the drawing
// layer and the board share them.
#pragma once

#include <cstdint>

namespace ravu {

struct Rect {
    int32_t left;
    int32_t top;
    int32_t right;   // exclusive
    int32_t bottom;  // exclusive

    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// The board image area: the frame image is drawn at its top-left corner.
constexpr Rect BOARD_RECT = {129, 0, 439, 300};

constexpr int SQUARE_PITCH = 31;   // both directions
constexpr int SQUARES_LEFT = 141;  // piece image of the top-left square
constexpr int SQUARES_TOP = 11;
constexpr int SQUARES_RIGHT = 420;   // exclusive: 141 + 9 * 31
constexpr int SQUARES_BOTTOM = 290;  // exclusive: 11 + 9 * 31

constexpr int PIECE_CELL = 30;  // piece image cells are 30 x 30
constexpr int PIECE_HALF = 15;  // the held piece's image is centred on the pointer
constexpr int PIECE_CELL_COUNT = 32;
constexpr int TOP_CELLS = 16;  // first cell of the pieces shown at the top (turned by 180 degrees)
constexpr int CELL_PROMOTED_OFFSET = 8;

constexpr int MARK_CELL = 32;  // mark image cells are 32 x 32
constexpr int MARK_CELL_COUNT = 4;
constexpr int MARK_REACH_0 = 0;    // yellow: reachable, mark side 0
constexpr int MARK_BLOCKED_0 = 1;  // magenta: own piece in the way, mark side 0
constexpr int MARK_REACH_1 = 2;    // cyan: reachable, mark side 1
constexpr int MARK_BLOCKED_1 = 3;  // green: own piece in the way, mark side 1

// Hand layout origins and row pitch.
constexpr int HAND_BOTTOM_X = 443;
constexpr int HAND_BOTTOM_Y = 167;
constexpr int HAND_TOP_X = 2;
constexpr int HAND_TOP_Y = 4;
constexpr int HAND_ROW_PITCH = 32;
constexpr int HAND_PITCH = 31;
constexpr int HAND_SECOND_COLUMN = 64;  // bishop, silver and lance start here

// The main window's drawn client area, and the part of it in which the held
// piece follows the pointer (below it lies the control strip).
constexpr int CLIENT_WIDTH = 568;
constexpr int CLIENT_HEIGHT = 300;
constexpr Rect DRAG_AREA = {0, 0, 568, 290};

// One image cell to draw at a position: a piece, or a destination mark.
struct CellPlacement {
    int32_t cell;
    int32_t x;
    int32_t y;
};

// One step of the held piece following the pointer: erase the 30 x 30 area
// at (eraseX, eraseY) by copying it from the back buffer, then draw the piece
// cell at (x, y) on the screen.
struct DragStep {
    int32_t eraseX;
    int32_t eraseY;
    int32_t cell;
    int32_t x;
    int32_t y;
};

}  // namespace ravu
