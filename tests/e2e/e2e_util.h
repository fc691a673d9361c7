// Whole programs as processes: copies of ravuone, each in its own folder
// with its own settings file, port and single-instance key, driven through
// their test drivers.
#pragma once

#include <QByteArray>
#include <QList>
#include <QLocalSocket>
#include <QPoint>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

#include "support/board_points.h"

namespace ravu::e2e {

// Milliseconds the tests wait for one thing to happen before they fail.
constexpr int WAIT_MS = 10000;

// A TCP port nobody listens on right now.
int FreePort();

// Polls cond until it holds or ms pass.
bool WaitUntil(const std::function<bool()>& cond, int ms = WAIT_MS);

using test::SquarePoint;
using test::StripPoint;

// The line protocol of the program's test driver.
class DriverClient {
public:
    bool Connect(const QString& socketPath);
    // Forgets the connection (its program is gone).
    void Disconnect() { socket.abort(); }
    // Sends one command; the answer without "ok " ("" for a bare "ok").
    // Fails the current test on "err" or no answer.
    QByteArray Call(const QByteArray& command);
    // The answer's first word is "ok".
    bool Try(const QByteArray& command, QByteArray* answer = nullptr);
    QString Text(const QByteArray& target);
    bool Visible(const QByteArray& target);
    // mode, connState, mySide of the main window (without the clocks).
    std::vector<int> State();
    // Left click at a point of the main window; the driver's monotonic time of the press.
    long long ClickMain(QPoint p);
    // The record window's move list has the row (without its padding).
    bool HasRow(const QString& row);

private:
    QLocalSocket socket;
};

// One copy of the program in its own folder.
class ProgramCopy {
public:
    // handleName in UTF-8; writes ravuone.ini (handle name, port, sound off)
    // and copies the skins into a new folder under root.
    ProgramCopy(const QString& root, const QString& tag, const QString& handleName, int port);
    ~ProgramCopy();
    bool Start();
    // Chooses "終了" through the popup menu and waits for the process to end.
    bool Exit();
    // Ends the process with SIGKILL, as a crash would: nothing of the
    // program runs any more.
    void Kill();
    int Port() const { return port; }
    // Its XDG_DATA_HOME: the saved games and the kept game are under "ravuone".
    QString DataFolder() const { return folder + QStringLiteral("/data"); }

    DriverClient driver;

private:
    QString folder;
    QString tag;
    int port;
    QProcess proc;
};

// Waits for the balloon of c, checks that its question holds expected, and
// answers it with a click on its yes button.
void AnswerYes(ProgramCopy& c, const QString& expected);

// A move by clicks: squares as file * 10 + rank, `from` 0 for the piece at
// `hand` in the mover's hand; `row` as the record window lists it.
struct ClickedMove {
    int from, to;
    const char* row;
    QPoint hand = {};
};

// Move i (from 0) of a game that `first` opens, on a board flipped or not,
// and `second` answers: the mover clicks it and, if asked, answers 成り; then
// both copies list its row in their record windows.
void PlayMove(ProgramCopy& first, ProgramCopy& second, bool firstFlipped, const ClickedMove& m, int i);

// Saves c's record as `path` through control strip button 6 and the file
// dialog; the bytes written (empty when nothing was).
QByteArray SaveRecord(ProgramCopy& c, const QString& path);

// Opens the connect dialog through control strip button 7, types the host's
// address (127.0.0.1 unless another is given, e.g. "[::1]") with its port
// and presses 接続.
void DialHost(ProgramCopy& guest, const ProgramCopy& host, const QByteArray& address = "127.0.0.1");

// What the guest chooses in the turn dialog: its side and the driver
// commands that set the game's settings.
struct TurnChoice {
    int side = 0;
    QList<QByteArray> settings;
};

// The guest connects to the host through the connect dialog, the host
// accepts, the guest proposes its choice through the turn dialog and the
// host accepts (both questions name the guest): both main windows are then
// in the game.
void ConnectAndStartGame(ProgramCopy& host, ProgramCopy& guest, const QString& guestName,
                         const TurnChoice& choice = {});

}  // namespace ravu::e2e
