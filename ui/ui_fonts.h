// Fonts and dialog units of the windows.  The Japanese Windows fonts the
// program was laid out with are replaced by the IPA fonts of the same style.
#pragma once

#include <QFont>
#include <QPoint>
#include <QSize>

namespace ravu {

// "ＭＳ Ｐゴシック" (proportional gothic), the dialogs' font.
QFont PGothicFont(int pointSize);
// "ＭＳ ゴシック" (fixed-pitch gothic).
QFont GothicFont(int pointSize);
// "ＭＳ 明朝" (mincho).
QFont MinchoFont(int pointSize);

// Dialog units of a template in the 9-point dialog font: one horizontal unit
// is a quarter of the font's average character width, one vertical unit an
// eighth of its height.  Fixed at the values of the font the layout was made
// for (7 x 12 pixels), so that window sizes do not depend on which fonts a
// machine has installed.
constexpr int DluToPixelsX(int dlu) { return (dlu * 7 + 2) / 4; }
constexpr int DluToPixelsY(int dlu) { return (dlu * 12 + 4) / 8; }
inline QSize DluSize(int w, int h) { return QSize(DluToPixelsX(w), DluToPixelsY(h)); }
inline QPoint DluPoint(int x, int y) { return QPoint(DluToPixelsX(x), DluToPixelsY(y)); }

}  // namespace ravu
