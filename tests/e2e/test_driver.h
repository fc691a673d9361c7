// A remote hand for end-to-end tests, built into ravuone-e2e (never into
// ravuone): when (and only when) the environment variable
// RAVUONE_TEST_DRIVER names a local socket, the program listens on
// it and carries out line commands with synthetic mouse and key input, so
// that a test in another process plays through the windows' own handlers.
// Without the variable nothing listens.
//
// Commands (one a line, words separated by one space; the last word of
// "type" runs to the end of the line; answers start with "ok" or "err"):
//   click TARGET X Y [right]  press and release the left (or right) button
//                             at a point ("c c" = the centre); answers
//                             "ok NS", NS the monotonic clock in ns just
//                             before the press
//   menu TEXT              click the item TEXT of the open popup menu
//   type TARGET TEXT       focus TARGET and type TEXT
//   key TARGET KEY         focus TARGET and press KEY as a key sequence
//                          names it ("Return", "Ctrl+A")
//   visible TARGET         "ok 1" or "ok 0"
//   text TARGET            the text shown, percent-encoded: a plain text
//                          box's, or a balloon's or list's lines joined by \n
//   state                  "ok MODE CONNSTATE MYSIDE" of the main window,
//                          then, while it shows clock plates, "RIGHT LEFT":
//                          each plate's text, with "*" after it while that
//                          clock runs
//   hash TARGET X Y W H    digest of a rectangle of the widget as painted
//   grab TARGET PATH       saves a picture of the widget (the main window
//                          as the screen shows it) to PATH
//   stamps                 "ok ROWS:NS ..." board repaints after the record
//                          list changed, taken (and forgotten) since the last call
// Actions (click, menu, type, key) answer first and then run from
// the event loop, so one that opens a modal dialog does not hold up later
// commands: those are read by the dialog's own loop.
//
// TARGET: "main" (the main window), "main/chat" (its chat input),
// "promote" (the open promotion question), "filedialog" (an open file
// dialog), or the objectName of a top-level window, optionally followed by
// "/" and the objectName of a widget inside it.
#pragma once

#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

class QLocalServer;
class QWidget;

namespace ravu {

inline constexpr const char* TEST_DRIVER_ENV = "RAVUONE_TEST_DRIVER";

class CTestDriver : public QObject {
    Q_OBJECT
public:
    // Null unless RAVUONE_TEST_DRIVER is set and its socket could be opened.
    static std::unique_ptr<CTestDriver> StartFromEnvironment();

    explicit CTestDriver(const QString& socketName);
    ~CTestDriver() override;

    // Runs one command line; the answer without the line end.
    QByteArray Execute(const QByteArray& line);

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    QWidget* Find(const QString& target) const;
    void WatchMainWindow();

    std::unique_ptr<QLocalServer> server;
    QPointer<QWidget> watched;  // the main window whose paints are stamped
    bool inPaint = false;
    int lastRows = -1;
    std::vector<std::pair<int, long long>> stamps;
};

// CLOCK_MONOTONIC in nanoseconds: one clock for every process on the machine.
long long MonotonicNs();

}  // namespace ravu
