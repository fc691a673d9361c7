#include "e2e_util.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/textcodec.h"

namespace ravu::e2e {

int FreePort() {
    QTcpServer s;
    return s.listen(QHostAddress::LocalHost, 0) ? s.serverPort() : 0;
}

bool WaitUntil(const std::function<bool()>& cond, int ms) {
    for (QDeadlineTimer deadline(ms); !cond(); QThread::msleep(5))
        if (deadline.hasExpired())
            return false;
    return true;
}

// ---------------------------------------------------------------------------

bool DriverClient::Connect(const QString& socketPath) {
    return WaitUntil([&] {
        if (socket.state() == QLocalSocket::ConnectedState)
            return true;
        socket.abort();
        socket.connectToServer(socketPath);
        return socket.waitForConnected(200);
    });
}

bool DriverClient::Try(const QByteArray& command, QByteArray* answer) {
    socket.write(command + '\n');
    if (!socket.waitForBytesWritten(WAIT_MS))
        return false;
    QDeadlineTimer deadline(WAIT_MS);
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || socket.state() != QLocalSocket::ConnectedState)
            return false;
        socket.waitForReadyRead(100);
    }
    const QByteArray line = socket.readLine().chopped(1);
    if (answer)
        *answer = line;
    return line == "ok" || line.startsWith("ok ");
}

QByteArray DriverClient::Call(const QByteArray& command) {
    QByteArray answer;
    const bool ok = Try(command, &answer);
    EXPECT_TRUE(ok) << command.toStdString() << " -> " << answer.toStdString();
    return ok ? answer.mid(3) : QByteArray();
}

QString DriverClient::Text(const QByteArray& target) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(Call("text " + target)));
}

bool DriverClient::Visible(const QByteArray& target) {
    QByteArray answer;
    return Try("visible " + target, &answer) && answer == "ok 1";
}

std::vector<int> DriverClient::State() {
    std::vector<int> out;
    for (const QByteArray& w : Call("state").split(' ').mid(0, 3))
        out.push_back(w.toInt());
    return out;
}

long long DriverClient::ClickMain(QPoint p) {
    return Call("click main " + QByteArray::number(p.x()) + ' ' + QByteArray::number(p.y())).toLongLong();
}

bool DriverClient::HasRow(const QString& row) {
    const QStringList rows = Text("kifu/moveList").split(QLatin1Char('\n'));
    return std::ranges::any_of(rows, [&](const QString& r) { return r.trimmed() == row; });
}

// ---------------------------------------------------------------------------

ProgramCopy::ProgramCopy(const QString& root, const QString& tagName, const QString& handleName,
                         int portNumber)
    : folder(root + QLatin1Char('/') + tagName), tag(tagName), port(portNumber) {
    QDir().mkpath(folder);
    for (const char* skin : {"BackBmp.bmp", "Waku.bmp", "Koma01.bmp"})
        QFile::copy(QStringLiteral(RAVU_SOURCE_DIR "/res/skin/") + QLatin1String(skin),
                    folder + QLatin1Char('/') + QLatin1String(skin));
    // The settings file is Shift-JIS, as the program reads it.  The copies
    // leave the machine's router alone.
    const std::string ini = "[プロパティ]\r\nハンドル名=" + handleName.toStdString() +
                            "\r\nポート番号=" + std::to_string(port) + "\r\n駒音=0\r\nポート自動開放=0\r\n";
    QFile f(folder + QStringLiteral("/ravuone.ini"));
    if (f.open(QIODevice::WriteOnly))
        f.write(QByteArray::fromStdString(Utf8ToSjis(ini)));
}

ProgramCopy::~ProgramCopy() {
    proc.kill();  // nothing, if it has ended
    proc.waitForFinished(5000);
}

bool ProgramCopy::Start() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("RAVUONE_INSTANCE_KEY"),
               QStringLiteral("ravu-e2e-%1-%2").arg(QCoreApplication::applicationPid()).arg(tag));
    env.insert(QStringLiteral("RAVUONE_ECHO_MESSAGES"), QStringLiteral("1"));
    // The copy's saved games and kept game stay in its own folder, also
    // when it is started again.
    env.insert(QStringLiteral("XDG_DATA_HOME"), DataFolder());
    // Its settings are the ravuone.ini of its folder; nothing goes to the user's.
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/config"));
    const QString socketPath = folder + QStringLiteral("/driver.sock");
    env.insert(QStringLiteral("RAVUONE_TEST_DRIVER"), socketPath);
    proc.setProcessEnvironment(env);
    proc.setWorkingDirectory(folder);
    proc.setStandardOutputFile(folder + QStringLiteral("/stdout.txt"));
    proc.setStandardErrorFile(folder + QStringLiteral("/stderr.txt"));
    proc.start(QStringLiteral(RAVUONE_PATH), {});
    if (!proc.waitForStarted(WAIT_MS))
        return false;
    return driver.Connect(socketPath) && WaitUntil([&] { return driver.Visible("main"); });
}

bool ProgramCopy::Exit() {
    // The popup menu opens on a right click on the board.
    driver.Call("click main 200 100 right");
    if (!WaitUntil([&] { return driver.Try("menu 終了"); }))
        return false;
    return proc.waitForFinished(WAIT_MS) && proc.exitStatus() == QProcess::NormalExit && proc.exitCode() == 0;
}

void ProgramCopy::Kill() {
    proc.kill();
    proc.waitForFinished(WAIT_MS);
    driver.Disconnect();
}

// ---------------------------------------------------------------------------

void AnswerYes(ProgramCopy& c, const QString& expected) {
    // A question has the yes button; a notice (which may come back after the
    // question) has only one of its own.
    ASSERT_TRUE(WaitUntil([&] { return c.driver.Visible("balloon/yes"); })) << expected.toStdString();
    const QString question = c.driver.Text("balloon");
    EXPECT_TRUE(question.contains(expected)) << expected.toStdString() << " in " << question.toStdString();
    c.driver.Call("click balloon/yes c c");
    ASSERT_TRUE(WaitUntil([&] { return !c.driver.Visible("balloon/yes"); }));
}

void PlayMove(ProgramCopy& first, ProgramCopy& second, bool firstFlipped, const ClickedMove& m, int i) {
    ProgramCopy& mover = i % 2 ? second : first;
    const bool flipped = firstFlipped != (i % 2 == 1);
    mover.driver.ClickMain(m.from ? SquarePoint(m.from / 10, m.from % 10, flipped) : m.hand);
    mover.driver.ClickMain(SquarePoint(m.to / 10, m.to % 10, flipped));
    const QString row = QString::fromUtf8(m.row);
    if (row.contains(QStringLiteral("成"))) {
        // Return answers with the default button, 成り.
        ASSERT_TRUE(WaitUntil([&] { return mover.driver.Visible("promote"); }));
        mover.driver.Call("key promote Return");
    }
    for (ProgramCopy* c : {&first, &second})
        ASSERT_TRUE(WaitUntil([&] { return c->driver.HasRow(row); }))
            << m.row << " in " << c->driver.Text("kifu/moveList").toStdString();
}

QByteArray SaveRecord(ProgramCopy& c, const QString& path) {
    QFile::remove(path);
    c.driver.ClickMain(StripPoint(6));
    EXPECT_TRUE(WaitUntil([&] { return c.driver.Visible("filedialog"); }));
    c.driver.Call("type filedialog/fileNameEdit " + path.toUtf8());
    c.driver.Call("key filedialog/fileNameEdit Return");
    EXPECT_TRUE(WaitUntil([&] { return !c.driver.Visible("filedialog") && QFile::exists(path); }));
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void DialHost(ProgramCopy& guest, const ProgramCopy& host, const QByteArray& address) {
    guest.driver.ClickMain(StripPoint(7));
    ASSERT_TRUE(WaitUntil([&] { return guest.driver.Visible("connect"); }));
    guest.driver.Call("type connect/dest " + address + ":" + QByteArray::number(host.Port()));
    guest.driver.Call("click connect/connect c c");
}

void ConnectAndStartGame(ProgramCopy& host, ProgramCopy& guest, const QString& guestName,
                         const TurnChoice& choice) {
    ASSERT_NO_FATAL_FAILURE(DialHost(guest, host));
    // The host's user is asked, with the guest's handle name.
    AnswerYes(host, guestName);
    // Connected, both show their chat inputs (their states are checked once the game starts).
    ASSERT_TRUE(WaitUntil([&] { return !guest.driver.Visible("connect"); }));
    EXPECT_TRUE(guest.driver.Visible("main/chat"));
    EXPECT_TRUE(host.driver.Visible("main/chat"));

    // The turn dialog opens from strip button 8.
    guest.driver.ClickMain(StripPoint(8));
    ASSERT_TRUE(WaitUntil([&] { return guest.driver.Visible("turn"); }));
    guest.driver.Call(choice.side ? "click turn/gote c c" : "click turn/sente c c");
    for (const QByteArray& command : choice.settings)
        guest.driver.Call(command);
    guest.driver.Call("click turn/send c c");
    AnswerYes(host, guestName);
    ASSERT_TRUE(WaitUntil([&] { return !guest.driver.Visible("turn"); }));
    ASSERT_TRUE(WaitUntil([&] { return guest.driver.State() == std::vector<int>{1, 1, choice.side}; }));
    ASSERT_TRUE(WaitUntil([&] { return host.driver.State() == std::vector<int>{1, 2, choice.side ^ 1}; }));
}

}  // namespace ravu::e2e
