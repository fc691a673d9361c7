// Small helpers shared by the secondary windows: dialog-unit geometry, the
// Japanese fonts that stand in for the Windows ones, the built-in pictures,
// and the conversion of peer/file text for display.
#pragma once

#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <string>

class QKeyEvent;
class QLabel;
class QWidget;

namespace ravu {

// The Windows fonts of the dialog templates, mapped onto the IPA fonts.
inline constexpr const char* FONT_MINCHO = "IPAMincho";    // ＭＳ 明朝
inline constexpr const char* FONT_PGOTHIC = "IPAPGothic";  // ＭＳ Ｐゴシック
inline constexpr const char* FONT_GOTHIC = "IPAGothic";    // ＭＳ ゴシック

// A font of the given family and point size.
QFont TemplateFont(const char* family, int pointSize);

// Converts dialog units of a template into pixels with the template font's
// base units (average character width / 4 across, height / 8 down), the
// way the dialog manager lays out a template.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    int X(int dlu) const { return dlu * baseX / 4; }
    int Y(int dlu) const { return dlu * baseY / 8; }
    QRect Rect(int x, int y, int w, int h) const { return QRect(X(x), Y(y), X(w), Y(h)); }

private:
    int baseX;
    int baseY;
};

// A built-in picture by its resource number (128 icon, 168 balloon, 169
// character, 172/173 yes/no buttons), for a screen of devicePixelRatio: above
// 1 its 2x picture where there is one (a pixmap of device pixel ratio 2, of
// the same logical size).  When the resource is missing, a plain picture of
// the documented size is drawn instead so the windows still work.
QPixmap BuiltinPicture(int id, qreal devicePixelRatio = 1.0);

// Model text (Shift-JIS bytes) to a QString for display.  Control
// characters other than tab and line breaks become visible symbols so that a
// peer cannot hide or reshape text with them.
// With keepLineBreaks, CR LF / LF still break lines (comments); without it,
// they are shown as symbols too (a chat line is one line).
QString DisplayText(const std::string& sjis, bool keepLineBreaks = false);
QString DisplayText(const QString& text, bool keepLineBreaks = false);
std::string ToModelText(const QString& text);

// A handle name (Shift-JIS) for display: shortened with "…" when it is too
// long for the labels and the question balloon (ShownName), then as DisplayText.
QString DisplayName(const std::string& sjisName);

// A static text of a dialog: always plain text, whatever it shows.
QLabel* PlainLabel(QWidget* parent, const QString& text, const QRect& rect);

// Accepts Enter and Esc so that they neither close a dialog nor press its
// default button; true when the key was one of them.
bool SwallowEnterAndEscape(QKeyEvent* e);

// Tells screen readers something they should hear at once: the accessible
// description of the widget, and of the control that has the keyboard focus,
// becomes `text` and a DescriptionChanged event goes out for each (Orca
// reads the description of the object it presents when it changes).  Qt sends such events only while an
// assistive technology listens; the listener set here hears every announcement all the same.
using AnnouncementListener = void (*)(QWidget* widget, const QString& text);
AnnouncementListener SetAnnouncementListener(AnnouncementListener listener);
void Announce(QWidget* widget, const QString& text);

}  // namespace ravu
