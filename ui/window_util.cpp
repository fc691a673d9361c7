#include "ui/window_util.h"

#include <QAccessible>
#include <QAccessibleEvent>
#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

#include <utility>

#include "app/shogi_app.h"
#include "app/textcodec.h"
#include "net/packet.h"
#include "ui/skin.h"

namespace ravu {

QFont TemplateFont(const char* family, int pointSize) {
    QFont f{QString::fromLatin1(family)};
    f.setPointSize(pointSize);
    f.setStyleStrategy(QFont::PreferDefault);
    return f;
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics fm(font);
    static const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    baseX = (fm.horizontalAdvance(alphabet) / 26 + 1) / 2;
    baseY = fm.height();
    if (baseX < 1)
        baseX = 1;
    if (baseY < 1)
        baseY = 1;
}

namespace {

// Sizes of the built-in pictures: one cell times the number of cells.
QSize PictureSize(int id) {
    switch (id) {
        case 128: return {32, 32};
        case 168: return {260, 180};
        case 169: return {32 * 4, 32};
        case 172:
        case 173: return {58 * 3, 58};
        default: return {32, 32};
    }
}

// Drawn only when the resource file is missing from the build.
QPixmap PlainPicture(int id) {
    const QSize size = PictureSize(id);
    QPixmap pm(size);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (id == 168) {
        p.setBrush(Qt::white);
        p.setPen(QPen(Qt::black, 2));
        p.drawRoundedRect(QRectF(4, 4, 252, 104), 24, 24);
    } else if (id == 172 || id == 173) {
        const QColor fills[3] = {QColor(230, 230, 230), QColor(255, 240, 180), QColor(200, 200, 200)};
        for (int cell = 0; cell < 3; ++cell) {
            p.setBrush(fills[cell]);
            p.setPen(Qt::black);
            p.drawEllipse(QRect(cell * 58 + 3, 3, 52, 52));
            p.drawText(QRect(cell * 58, 0, 58, 58), Qt::AlignCenter,
                       id == 172 ? QStringLiteral("はい") : QStringLiteral("いいえ"));
        }
    } else if (id == 169) {
        for (int cell = 0; cell < 4; ++cell) {
            p.setBrush(QColor(250, 200, 120));
            p.setPen(Qt::black);
            p.drawEllipse(QRect(cell * 32 + 4, 4 + (cell % 2), 24, 24));
        }
    }
    return pm;
}

}  // namespace

QPixmap BuiltinPicture(int id, qreal devicePixelRatio) {
    static const bool registered = (InitResources(), true);
    (void)registered;
    const QString names[] = {
        QStringLiteral(":/res/bmp%1.bmp").arg(id),
        QStringLiteral(":/res/icon%1.png").arg(id),
    };
    for (const QString& name : names) {
        const QImage picture = LoadPicture(LanguagePicturePath(name), ArtScale(devicePixelRatio));
        if (!picture.isNull())
            return QPixmap::fromImage(picture);
    }
    return PlainPicture(id);
}

QString DisplayText(const QString& text, bool keepLineBreaks) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (keepLineBreaks && c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            out += u'\n';
            ++i;
        } else if (keepLineBreaks && c == u'\n') {
            out += u'\n';
        } else if (c == u'\t') {
            out += u' ';
        } else if (c < 0x20) {
            out += QChar(char16_t(0x2400 + c));  // the control picture: ␀ ␁ … ␟
        } else if (c == 0x7f) {
            out += QChar(char16_t(0x2421));  // ␡
        } else {
            out += QChar(c);
        }
    }
    return out;
}

QString DisplayText(const std::string& sjis, bool keepLineBreaks) {
    return DisplayText(QString::fromUtf8(SjisToUtf8(sjis)), keepLineBreaks);
}

QString DisplayName(const std::string& sjisName) { return DisplayText(ShownName(sjisName)); }

std::string ToModelText(const QString& text) { return Utf8ToSjis(text.toUtf8().toStdString()); }

QLabel* PlainLabel(QWidget* parent, const QString& text, const QRect& rect) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(rect);
    return label;
}

bool SwallowEnterAndEscape(QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape: e->accept(); return true;
        default: return false;
    }
}

namespace {
AnnouncementListener announcementListener = nullptr;
}  // namespace

AnnouncementListener SetAnnouncementListener(AnnouncementListener listener) {
    return std::exchange(announcementListener, listener);
}

namespace {
void Describe(QWidget* widget, const QString& text) {
    widget->setAccessibleDescription(text);
    QAccessibleEvent changed(widget, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
}
}  // namespace

void Announce(QWidget* widget, const QString& text) {
    Describe(widget, text);
    // A screen reader reads the changes of the control it presents, the one
    // with the keyboard focus (the move field, the chat input): it is told too.
    if (QWidget* focused = QApplication::focusWidget(); focused && focused != widget)
        Describe(focused, text);
    if (announcementListener)
        announcementListener(widget, text);
}

}  // namespace ravu
