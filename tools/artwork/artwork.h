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
    QString mincho;       // IPAMincho: piece kanji
    QString gothic;       // IPAGothic: labels, buttons
    QString latinGothic;  // IPAPGothic: the same face with proportional Latin letters
};
bool LoadFonts(Fonts* fonts, QString* error);
const Fonts& CurrentFonts();

// Colours shared by several pictures.
inline const QColor BOARD_WOOD(224, 180, 98);     // kaya board
inline const QColor STAND_WOOD(148, 92, 44);      // piece stands (komadai)
inline const QColor STRIP_WOOD(92, 58, 30);       // control strip
inline const QColor GRID(24, 16, 8);              // grid lines and star points
inline const QColor BALLOON_BACK(232, 224, 200);  // around the balloon, character and buttons

// The words drawn into the pictures, in one language.  Every language goes
// through the same drawing; only these words and their face differ.
struct Captions {
    bool latin;               // drawn in the proportional face
    const char* buttons[11];  // the control strip, left to right
    const char* sente;        // the turn labels
    const char* gote;
    const char* check;  // the check label
    const char* yes;    // the balloon's buttons
    const char* no;
};
extern const Captions JAPANESE;
extern const Captions ENGLISH;

// The face of a caption in words' language.
QString CaptionFace(const Captions& words);

// Every picture is drawn at 1x (the sizes the program's pixel positions
// use) and at 2x for screens of device pixel ratio 2: the same drawing, each
// 1x pixel covered by scale x scale pixels.  Positions below are 1x pixels
// unless they say otherwise.

// A rectangle of 1x pixels in the pixels of a picture drawn scale times larger.
inline QRect Scaled(const QRect& r, int scale) { return QRect(r.topLeft() * scale, r.size() * scale); }

// Sets the scale x scale pixels that stand for the 1x pixel at.
void Dot(QImage* image, QPoint at, QRgb colour, int scale);

// Deterministic wood grain: base colour, grain along x (horizontal == true)
// or along y, seed picks the pattern.  area is in 1x pixels; the grain is
// the same at every scale, only finer.
void FillWood(QImage* image, const QRect& area, const QColor& base, bool horizontal, quint32 seed,
              double contrast = 1.0, int scale = 1);

// A raised or sunken bevel one 1x pixel wide just inside rect (1x pixels).
void Bevel(QImage* image, const QRect& rect, bool raised, int strength = 48, int scale = 1);

// Pure white is the transparent colour: keep it out of opaque artwork.
void AvoidPureWhite(QImage* image);

// The pictures; sizes at scale 1, scale 2 gives twice the width and height.
QImage DrawFrame(int scale = 1);      // Waku.bmp, 620 x 300 (normal, flipped)
QImage DrawPieces(int scale = 1);     // Koma01.bmp, 32 cells of 30 x 30
QImage DrawMarks(int scale = 1);      // bitmap 165, 128 x 32
QImage DrawBalloon(int scale = 1);    // bitmap 168, 260 x 180
QImage DrawCharacter(int scale = 1);  // bitmap 169, four 32 x 32 frames
QImage DrawCursor(int scale = 1);     // cursor 145, 32 x 32 with alpha, hot spot (11, 1)
QImage DrawIcon(int size = 32);       // icon 128, 32 x 32 with alpha; other sizes for the desktop
// Those with words, in the language of words:
// BackBmp.bmp, 568 x 410;
QImage DrawBackground(int scale = 1, const Captions& words = JAPANESE);
// bitmap 143, five 38 x 24 cells;
QImage DrawLabels(int scale = 1, const Captions& words = JAPANESE);
// bitmaps 172 / 173, three 58 x 58 cells.
QImage DrawYesNo(bool yes, int scale = 1, const Captions& words = JAPANESE);

// One piece drawn into a 30 x 30 cell, pointing up, on white.
// kind: 0..15 as the cells of Koma01.bmp.
QImage DrawPieceCell(int kind, int scale = 1);

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
