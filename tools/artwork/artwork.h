// The artwork generator: every picture, the cursor, the icon and the piece
// sound of the program, drawn with QPainter from fixed fonts and fixed
// seeds, so that every run writes the same bytes.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <utility>
#include <vector>

namespace art {

// Fonts loaded from the installed IPA font files (the stand-ins for the
// Windows "ＭＳ 明朝" and "ＭＳ ゴシック" faces).
struct Fonts {
    QString mincho;  // IPAMincho: piece kanji
    QString gothic;  // IPAGothic: labels, buttons
};
bool LoadFonts(Fonts* fonts, QString* error);
const Fonts& CurrentFonts();

// Colours shared by several pictures.
inline const QColor BOARD_WOOD(224, 180, 98);     // kaya board
inline const QColor STAND_WOOD(148, 92, 44);      // piece stands (komadai)
inline const QColor STRIP_WOOD(92, 58, 30);       // control strip
inline const QColor GRID(24, 16, 8);              // grid lines and star points
inline const QColor BALLOON_BACK(232, 224, 200);  // around the balloon, character and buttons

// Deterministic wood grain: base colour, grain along x (horizontal == true)
// or along y, seed picks the pattern.
void FillWood(QImage* image, const QRect& area, const QColor& base, bool horizontal, quint32 seed,
              double contrast = 1.0);

// A raised or sunken one-pixel bevel just inside rect.
void Bevel(QImage* image, const QRect& rect, bool raised, int strength = 48);

// Pure white is the transparent colour: keep it out of opaque artwork.
void AvoidPureWhite(QImage* image);

// The pictures.
QImage DrawBackground();         // BackBmp.bmp, 568 x 410
QImage DrawFrame();              // Waku.bmp, 620 x 300 (normal, flipped)
QImage DrawPieces();             // Koma01.bmp, 32 cells of 30 x 30
QImage DrawLabels();             // bitmap 143, five 38 x 24 cells
QImage DrawMarks();              // bitmap 165, 128 x 32
QImage DrawBalloon();            // bitmap 168, 260 x 180
QImage DrawCharacter();          // bitmap 169, four 32 x 32 frames
QImage DrawYesNo(bool yes);      // bitmaps 172 / 173, three 58 x 58 cells
QImage DrawCursor();             // cursor 145, 32 x 32 with alpha, hot spot (11, 1)
QImage DrawIcon(int size = 32);  // icon 128, 32 x 32 with alpha; other sizes for the desktop

// One piece drawn into a 30 x 30 cell, pointing up, on white.
// kind: 0..15 as the cells of Koma01.bmp.
QImage DrawPieceCell(int kind);

// The desktop icons (icons.cpp): the window icon at every hicolor size, as
// (path under the output folder, PNG bytes):
// icons/hicolor/<N>x<N>/apps/ravuone.png for N = 16 24 32 48 64 128 256.
std::vector<std::pair<QString, QByteArray>> AppIcons();

// File formats.
QByteArray EncodeBmp24(const QImage& image);  // uncompressed, bottom-up, 24 bits
QByteArray EncodePng(const QImage& image);
QByteArray MakePieceSound();  // WAV: PCM, mono, 22050 Hz, 8 bits, 290 samples

// The main window as the program composes it in the opening position, for
// looking at the artwork (not a file of the program).
QImage ComposePreview();
// The pieces, labels, balloon with its character and buttons, cursor and
// icon, enlarged three times.
QImage ComposeCloseUps();

}  // namespace art
