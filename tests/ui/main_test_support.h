// Shared pieces of the window tests: fakes for the main window's connection,
// balloon and dialogs with a fixture holding a shown main window, and a host
// copy listening on loopback for the connect and turn dialogs.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "app/textcodec.h"
#include "net/game_socket.h"  // the socket and the connection interface it implements
#include "support/board_points.h"
#include "support/fake_link.h"
#include "ui/main_dlg.h"  // with the settings, the board, the record and the standard containers

namespace ravu::test {

// The balloon: answers as told, counts the questions and keeps the notices (UTF-8).
class FakeQuestion : public IQuestion {
public:
    int Ask(const std::string&) override {
        ++asked;
        return answer;
    }
    void Tell(const std::string& text) override { told.push_back(SjisToUtf8(text)); }
    int answer = 1, asked = 0;
    std::vector<std::string> told;
};

// A modal dialog that answers as told and counts its runs.
class FakeDialog : public ITurnDialog {
public:
    int Run() override {
        ++runs;
        return result;
    }
    int ChosenSide() const override { return 0; }
    int result = 1, runs = 0;
};

// A shown main window over fake connections; every question and dialog is
// answered by a fake without a nested loop.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        dlg = std::make_unique<CMainDlg>(profile, QStringLiteral(RAVU_SOURCE_DIR "/res/skin"), connectLink,
                                         listenLink);
        dlg->balloon.reset(question = new FakeQuestion);
        dlg->turnDlg.reset(turnDialog = new FakeDialog);
        dlg->settingsDlg.reset(settingsDialog = new FakeDialog);
        dlg->chooseFile = [this](bool) {
            ++fileRequests;
            return QString();
        };
        dlg->openMenu = [this](QPoint p) { menuOpenedAt.push_back(p); };
        dlg->showMessage = [this](const QString& text) { messages.push_back(text); };
        dlg->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
        EXPECT_FALSE(profile.GetHandleName().empty());  // a first run takes the machine's name
    }

    // A network game in which this copy plays `side` as a guest.
    void StartConnectedGame(int side) {
        connectLink.ownHandle = 1;
        connectLink.sent.clear();
        dlg->protocol->connState = CONN_GUEST;
        dlg->protocol->mySide = side;
        dlg->StartGame();
    }
    void Click(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mouseClick(dlg.get(), b, {}, p); }
    // Moves (from, to: file * 10 + rank) made on the board and recorded.
    void RecordMoves(std::initializer_list<std::pair<int, int>> moves) {
        for (auto [from, to] : moves) {
            const int piece = dlg->board.PieceAt(from / 10, from % 10);
            dlg->board.MoveTo(piece, to / 10, to % 10);
            dlg->record.RecordBoardMove(dlg->board.GetPiece(piece));
        }
    }

    CProfile profile;
    CFakeLink connectLink{false};  // the guest's connection
    CFakeLink listenLink{true};    // the host's guests
    std::unique_ptr<CMainDlg> dlg;
    FakeQuestion* question = nullptr;
    FakeDialog *turnDialog = nullptr, *settingsDialog = nullptr;
    int fileRequests = 0;
    std::vector<QPoint> menuOpenedAt;
    std::vector<QString> messages;  // the message boxes' texts
};

// The chat log's lines (UTF-8).
struct LogLines : IChatLog {
    QWidget* Window() override { return nullptr; }
    void AddLine(const std::string& line) override { lines.push_back(SjisToUtf8(line)); }
    std::vector<std::string> lines;
};

// The main window with a data folder of its own (saved games, the kept game)
// and its chat log's lines kept.
class DataFolderTest : public MainWindowTest {
protected:
    void SetUp() override {
        oldDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
        Restart();
    }
    void TearDown() override {
        dlg.reset();
        qputenv("XDG_DATA_HOME", oldDataHome);
    }
    // A new main window, as the program makes at start-up; the one before
    // goes as a killed program's would, without ending its game.
    void Restart() {
        dlg.reset();
        connectLink.ownHandle = 0;
        MainWindowTest::SetUp();
        dlg->chatLog.reset(log = new LogLines);
    }
    // A packet from the host on the guest's link.
    void FromHost(uint8_t type, const std::string& utf8Text) {
        connectLink.Put(1, type, Utf8ToSjis(utf8Text));
        dlg->protocol->OnSockMessage(WM_SOCK_PACKET, 1);
    }

    QTemporaryDir dataHome;
    QByteArray oldDataHome;
    LogLines* log = nullptr;
};

// A new file at path holding bytes.
inline bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A record's main line as text (UTF-8), "   1 ７六歩(77) ;;" and so on.
inline std::string MainLine(const CKifuControl& record) {
    std::string line;
    record.GetMainLineText(line);
    return SjisToUtf8(line);
}

// A host copy listening on a free loopback port; `onPacket` sees what its
// guests send (type and text) and may answer.
struct HostCopy : CSockOwner {
    CGameSocket sock;
    std::function<void(int type, const std::string& text, SockHandle from)> onPacket;
    explicit HostCopy(const std::string& utf8Name) {
        sock.m_pOwner = this;
        sock.SetHandleName(Utf8ToSjis(utf8Name));
        sock.Listen(0);
    }
    void OnSockMessage(SockMsg msg, SockHandle from) override {
        if (msg == WM_SOCK_PACKET && onPacket)
            onPacket(sock.GetLastType(from), sock.GetText(from), from);
    }
    std::string Dest() const { return "127.0.0.1:" + std::to_string(sock.ListenPort()); }
};

// The guest's main window while a dialog holds its connection.
struct IdleOwner : CSockOwner {
    void OnSockMessage(SockMsg, SockHandle) override {}
};

}  // namespace ravu::test
