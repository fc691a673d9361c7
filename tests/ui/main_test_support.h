// Shared pieces of the main window's widget tests: fakes for the connection
// and the secondary windows, a fixture with a shown window, and the pixel
// positions of squares and buttons.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QPoint>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/settings.h"
#include "app/textcodec.h"
#include "net/game_link.h"
#include "record/notation.h"
#include "ui/main_dlg.h"
#include "ui/chat_log_dlg.h"
#include "ui/kifu_dlg.h"

namespace ravu::test {

struct Packet {
    uint8_t type;
    std::string text;
    SockHandle handle;
};

// A connection that keeps what is sent over it.
class FakeLink : public CGameLink {
public:
    void SendTo(uint8_t type, int length, const char* data, SockHandle handle) override {
        sent.push_back({type, std::string(data, static_cast<size_t>(length)), handle});
    }
    void SendExcept(uint8_t type, int length, const char* data, SockHandle handle) override {
        SendTo(type, length, data, handle);
    }
    void SendLongText(const std::string& text, SockHandle handle) override {
        sent.push_back({0, text, handle});
    }
    std::string GetText(SockHandle) const override { return lastText; }
    uint8_t GetLastType(SockHandle) const override { return lastType; }
    std::string GetPeerName(SockHandle) const override { return {}; }
    int AllSlotsFree() const override { return closed ? 1 : 0; }
    int HasConnection(SockHandle) const override { return closed ? 0 : 1; }
    SockHandle OwnHandle() const override { return 1; }
    void Close() override { closed = true; }

    std::vector<Packet> sent;
    bool closed = false;
    // The packet that "arrived" last.
    uint8_t lastType = 0;
    std::string lastText;
};

// The balloon: answers as told and keeps the questions.
class FakeQuestion : public IQuestion {
public:
    int Ask(const std::string& q) override {
        asked.push_back(q);
        return answer;
    }
    void Tell(const std::string& text) override { told.push_back(text); }
    int answer = 1;
    std::vector<std::string> asked;
    std::vector<std::string> told;  // notices (Shift-JIS)
};

// A modal dialog that answers as told and counts its runs.
class FakeDialog : public ITurnDialog {
public:
    int Run() override {
        ++runs;
        return result;
    }
    int ChosenSide() const override { return side; }
    int result = 1;
    int side = 0;
    int runs = 0;
};

// Piece image centre of a square in the client area.
inline QPoint SquarePoint(int file, int rank, int flip = 0) {
    const int i = flip ? file - 1 : 9 - file;
    const int j = flip ? 9 - rank : rank - 1;
    return QPoint(141 + 31 * i + 15, 11 + 31 * j + 15);
}

// Centre of control strip button i.
inline QPoint ButtonPoint(int i) { return QPoint(33 + 42 * i + 20, 340); }

// The list-layout text of a move (squares as 77 = 7七), as the peer sends it.
inline std::string MoveText(int side, int number, int from, int to, int type) {
    MoveRec rec;
    rec.side = side;
    rec.number = number;
    rec.fromFile = from / 10;
    rec.fromRank = from % 10;
    rec.toFile = to / 10;
    rec.toRank = to % 10;
    rec.type = type;
    KifuNode node;
    node.move = &rec;
    return FormatMove(node, FMT_LIST);
}

// The fields of a recorded move that the board decides, in one comparable row:
// number side type from-file from-rank to-file to-rank promoted status.
inline std::vector<int> Row(const MoveRec& m) {
    return {m.number, m.side, m.type, m.fromFile, m.fromRank, m.toFile, m.toRank, m.promoted, m.status};
}

// Folder of the committed skin files.
inline QString SkinDir() { return QStringLiteral(RAVU_SOURCE_DIR "/res/skin"); }

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        dlg = std::make_unique<CMainDlg>(profile, SkinDir(), connectLink, listenLink);
        // Answer every question and dialog without a nested loop.
        auto q = std::make_unique<FakeQuestion>();
        question = q.get();
        dlg->balloon = std::move(q);
        auto c = std::make_unique<FakeDialog>();
        connectDialog = c.get();
        dlg->connectDlg = std::move(c);
        auto t = std::make_unique<FakeDialog>();
        turnDialog = t.get();
        dlg->turnDlg = std::move(t);
        auto s = std::make_unique<FakeDialog>();
        settingsDialog = s.get();
        dlg->settingsDlg = std::move(s);
        dlg->chooseFile = [this](bool save) {
            fileRequests.push_back(save);
            return chosenFile;
        };
        dlg->openMenu = [this](QPoint p) { menuOpenedAt.push_back(p); };
        dlg->showMessage = [this](const QString& t) { messages.push_back(t); };
        dlg->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
    }

    void TearDown() override { dlg.reset(); }

    // The last filled entry of the main line.
    const MoveRec* LastMove() const {
        const KifuNode* cur = dlg->record.kifu.current;
        return cur && cur->prev ? cur->prev->move : nullptr;
    }

    // A network game in which this copy plays `side` against a guest link.
    FakeLink* StartConnectedGame(int side) {
        connectLink.sent.clear();
        dlg->protocol->connState = CONN_GUEST;
        dlg->protocol->mySide = side;
        dlg->StartGame();
        return &connectLink;
    }

    void Click(QPoint p) { QTest::mouseClick(dlg.get(), Qt::LeftButton, Qt::NoModifier, p); }
    void RightClick(QPoint p) { QTest::mouseClick(dlg.get(), Qt::RightButton, Qt::NoModifier, p); }
    void MoveMouse(QPoint p) { QTest::mouseMove(dlg.get(), p); }

    // The record window's move list as the record wrote it (Shift-JIS).
    std::vector<std::string> ListLines() const {
        std::vector<std::string> lines;
        auto* w = dynamic_cast<CKifuListWidget*>(dlg->kifuWnd->MoveList());
        for (int i = 0; w && i < w->count(); ++i)
            lines.push_back(Utf8ToSjis(w->item(i)->text().toStdString()));
        return lines;
    }
    int SelectedLine() const { return dlg->kifuWnd->MoveList()->SelectedLine(); }

    // The last line of the chat log, empty when there is none.
    std::string LastChatLine() const {
        auto* w = dynamic_cast<CChatLogDlg*>(dlg->chatLog.get());
        return w ? Utf8ToSjis(w->LastLine().toStdString()) : std::string();
    }

    CProfile profile;
    FakeLink connectLink;  // the guest's connection
    FakeLink listenLink;   // the host's guests
    std::unique_ptr<CMainDlg> dlg;
    FakeQuestion* question = nullptr;
    FakeDialog* connectDialog = nullptr;
    FakeDialog* turnDialog = nullptr;
    FakeDialog* settingsDialog = nullptr;
    QString chosenFile;
    std::vector<bool> fileRequests;
    std::vector<QPoint> menuOpenedAt;
    std::vector<QString> messages;
};

}  // namespace ravu::test
