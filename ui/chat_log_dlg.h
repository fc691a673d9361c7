// The chat log: every chat line sent or received, newest at the bottom,
// scrolled to the end on every line.  Its position and size follow every
// move and resize into ChatLogRect and are restored on every show.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QString>
#include <QValidator>
#include <functional>
#include <string>

#include "app/settings.h"
#include "ui/main_parts.h"

class QPlainTextEdit;

namespace ravu {

class CChatLogDlg : public QDialog, public IChatLog {
    Q_OBJECT
public:
    // The log keeps this many lines; older ones are dropped so that a peer
    // flooding the chat cannot grow memory without bound.
    static constexpr int MAX_LINES = 10000;

    // rect: the settings' ChatLogRect, read on show and written on move/resize.
    explicit CChatLogDlg(ChatLogRect* rect, QWidget* parent = nullptr);

    // Appends a line, scrolls to the end and returns the stored line.
    QString AddLine(const QString& text);
    // The same with the model's Shift-JIS text.
    void AddLine(const std::string& sjisLine) override;
    QWidget* Window() override { return this; }
    void setVisible(bool visible) override;

    const QString& LastLine() const { return lastLine; }
    QPlainTextEdit* LogEdit() const { return logEdit; }

protected:
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void StoreRect();
    void RestoreRect();

    ChatLogRect* rect;
    int ready = 0;
    QString lastLine;
    QPlainTextEdit* logEdit = nullptr;
};

// The one-line chat input of the main window: Enter hands a non-empty line
// over and empties the input; an empty line does nothing.
class CChatInput : public QLineEdit {
    Q_OBJECT
public:
    explicit CChatInput(QWidget* parent = nullptr);

signals:
    void lineEntered(const QString& text);

private:
    void OnReturn();
};

// Keeps a chat input to what one packet carries behind the own handle name
// and ">": typing or pasting that would make the text longer in Shift-JIS
// bytes is refused, so nothing is cut off unseen when the line is sent.
// The name is asked for at each edit, as the settings may change it.
class CChatLineLimit : public QValidator {
public:
    CChatLineLimit(std::function<std::string()> handleName, QObject* parent);
    State validate(QString& input, int& pos) const override;

private:
    std::function<std::string()> handleName;
};

}  // namespace ravu
