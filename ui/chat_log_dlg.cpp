#include "ui/chat_log_dlg.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <algorithm>

#include "app/textcodec.h"
#include "net/packet.h"
#include "ui/window_util.h"

namespace ravu {

namespace {
// A rectangle from a hand-edited settings file may be anything; the window
// is kept to a size a screen can hold (and a backing store can allocate).
constexpr int MIN_SIDE = 40;
constexpr int MAX_SIDE = 4096;
constexpr int MAX_POS = 16384;
}  // namespace

CChatLogDlg::CChatLogDlg(ChatLogRect* rect, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint), rect(rect) {
    setWindowTitle(tr("チャットログ"));
    setObjectName(QStringLiteral("chatLog"));
    setFont(TemplateFont(FONT_GOTHIC, 10));
    setSizeGripEnabled(false);
    const DialogUnits du(font());
    logEdit = new QPlainTextEdit(this);
    logEdit->setObjectName(QStringLiteral("logEdit"));
    logEdit->setReadOnly(true);
    logEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    logEdit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    logEdit->setMaximumBlockCount(MAX_LINES);
    logEdit->setStyleSheet(QStringLiteral("QPlainTextEdit { background: white; }"));
    logEdit->setGeometry(du.Rect(0, 0, 319, 92));
    resize(du.X(320), du.Y(92));
    ready = 1;
}

QString CChatLogDlg::AddLine(const QString& text) {
    lastLine = text;
    logEdit->appendPlainText(DisplayText(lastLine));
    QScrollBar* bar = logEdit->verticalScrollBar();
    bar->setValue(bar->maximum());
    return lastLine;
}

void CChatLogDlg::AddLine(const std::string& sjisLine) { AddLine(QString::fromUtf8(SjisToUtf8(sjisLine))); }

// Every show puts the window back where the rectangle says, before the
// platform window appears.
void CChatLogDlg::setVisible(bool visible) {
    if (visible && !isVisible())
        RestoreRect();
    QDialog::setVisible(visible);
}

void CChatLogDlg::RestoreRect() {
    if (!ready || !rect)
        return;
    // 64-bit differences: the fields may hold any 32-bit values.
    const int w =
        static_cast<int>(std::clamp<int64_t>(int64_t(rect->right) - rect->left, MIN_SIDE, MAX_SIDE));
    const int h =
        static_cast<int>(std::clamp<int64_t>(int64_t(rect->bottom) - rect->top, MIN_SIDE, MAX_SIDE));
    const int x = std::clamp(rect->left, -MAX_POS, MAX_POS);
    const int y = std::clamp(rect->top, -MAX_POS, MAX_POS);
    move(x, y);
    resize(w, h);
}

// The rectangle is the window's position and size, so that restoring it
// with move and resize gives back the same window.
void CChatLogDlg::StoreRect() {
    if (!ready || !rect)
        return;
    rect->left = x();
    rect->top = y();
    rect->right = x() + width();
    rect->bottom = y() + height();
}

void CChatLogDlg::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    if (logEdit)
        logEdit->setGeometry(0, 0, width(), height());
    StoreRect();
}

void CChatLogDlg::moveEvent(QMoveEvent* e) {
    QDialog::moveEvent(e);
    StoreRect();
}

// Only the main window's menu hides the log (there is no close button).
void CChatLogDlg::closeEvent(QCloseEvent* e) { e->ignore(); }

void CChatLogDlg::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        return;
    QDialog::keyPressEvent(e);
}

CChatInput::CChatInput(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("chatInput"));
    connect(this, &QLineEdit::returnPressed, this, &CChatInput::OnReturn);
}

void CChatInput::OnReturn() {
    const QString line = text();
    if (line.isEmpty())
        return;
    clear();
    emit lineEntered(line);
}

CChatLineLimit::CChatLineLimit(std::function<std::string()> handleName, QObject* parent)
    : QValidator(parent), handleName(std::move(handleName)) {}

QValidator::State CChatLineLimit::validate(QString& input, int&) const {
    const std::string name = handleName ? handleName() : std::string();
    return ToModelText(input).size() <= ChatTextRoom(name) ? Acceptable : Invalid;
}

}  // namespace ravu
