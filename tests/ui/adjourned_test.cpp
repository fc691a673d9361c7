// Adjourned games in the main window: a game that can be resumed is kept on
// disk while it runs and forgotten once it ends; at start-up a kept game is
// taken up again, adjourned, or left alone when it cannot be; an adjourned
// game takes no move and can be given up from the menu.  This copy is the
// guest, its host has the same extension.
#include <QDir>
#include <QFileInfo>

#include "app/record_file.h"
#include "main_test_support.h"

namespace ravu::test {
namespace {

const char* const TOKEN = "00112233aabbccdd";

class AdjournedTest : public DataFolderTest {
protected:
    void HostAccepts() {
        connectLink.ownHandle = 1;
        dlg->protocol->OnGuestConnected(dlg->protocol->CapsText());
    }
    // A game with byoyomi, this copy sente; the host hands the game's token.
    void StartResumableGame() {
        HostAccepts();
        dlg->protocol->hostAddress = "192.0.2.7:9149";
        dlg->protocol->proposal = GameSettings{Rules::Free, {}, {TimeKind::Byoyomi, 600000, 30000, 0}};
        dlg->protocol->OnTurnAccepted(SENTE);
        FromHost(PKT_EXT_RESUME, std::string("token=") + TOKEN);
    }
    // ▲7六歩 by the mouse, △3四歩 from the host.
    void TwoMoves() {
        Click(SquarePoint(7, 7));
        Click(SquarePoint(7, 6));
        FromHost(PKT_MOVE, "   2 ３四歩(33) ");
    }
    void LoseHost() {
        connectLink.ownHandle = 0;
        dlg->protocol->OnSockMessage(WM_SOCK_CLOSED, 1);
    }
    static QString KeptPath() { return CAutosave::KeptGamePath(); }
    static bool ReadKept(Adjournment& out) {
        return ParseAdjournment(ReadFile(KeptPath()).toStdString(), out);
    }
};

TEST_F(AdjournedTest, TheGameIsKeptWhileItCanBeResumedAndForgottenWhenItEnds) {
    // A game that cannot be resumed is not kept.
    StartConnectedGame(SENTE);
    Click(SquarePoint(7, 7));
    Click(SquarePoint(7, 6));
    EXPECT_FALSE(QFile::exists(KeptPath()));

    const struct {
        const char* what;
        bool lost;  // the host's link goes before the game ends
        int command;
    } endings[] = {{"resigned", false, ID_RESIGN}, {"given up while adjourned", true, ID_ABANDON}};
    for (const auto& e : endings) {
        SCOPED_TRACE(e.what);
        StartResumableGame();
        TwoMoves();
        // What the protocol keeps (taken up in the next test) and the record's file.
        Adjournment kept;
        ASSERT_TRUE(ReadKept(kept));
        EXPECT_EQ(kept.token, TOKEN);
        EXPECT_EQ(QString::fromStdString(kept.recordPath), dlg->autosave.Path());
        EXPECT_FALSE(dlg->MenuAction(ID_ABANDON)->isEnabled());
        if (e.lost) {
            LoseHost();
            ASSERT_TRUE(dlg->protocol->Adjourned());
            EXPECT_TRUE(ReadKept(kept));
        }
        question->asked = 0;
        dlg->OnCommand(e.command);  // the question is answered yes
        EXPECT_EQ(question->asked, 1);
        EXPECT_EQ(dlg->Mode(), MODE_FREE);
        EXPECT_FALSE(QFile::exists(KeptPath()));
        EXPECT_TRUE(QFile::exists(dlg->autosave.Path()));
    }
}

TEST_F(AdjournedTest, AKeptGameIsTakenUpAdjournedAfterARestart) {
    StartResumableGame();
    TwoMoves();
    const std::string moves = MainLine(dlg->record);
    const QString recordPath = dlg->autosave.Path();
    Restart();
    dlg->RestoreKeptGame();

    ASSERT_TRUE(dlg->protocol->Adjourned());
    EXPECT_EQ(dlg->Mode(), MODE_GAME);
    EXPECT_EQ(dlg->MySide(), SENTE);
    EXPECT_EQ(dlg->Flipped(), 0);
    EXPECT_EQ(MainLine(dlg->record), moves);
    EXPECT_EQ(dlg->board.PieceAt(7, 7), -1);
    EXPECT_NE(dlg->board.PieceAt(3, 4), -1);
    EXPECT_EQ(dlg->SideToMove(), SENTE);
    EXPECT_FALSE(dlg->protocol->ResumeText().empty());  // a guest: it asks to resume when it connects
    EXPECT_EQ(log->lines, std::vector<std::string>{SjisToUtf8(NoticeLogLine(Notice::Restored))});
    EXPECT_EQ(question->told, std::vector<std::string>{SjisToUtf8(NoticeText(Notice::Restored))});

    // Adjourned: no piece is picked up (not even by a host whose spectators
    // keep it connected), resigning says why, the clocks stand still, and
    // the game can be given up.
    dlg->protocol->connState = CONN_HOST;
    Click(SquarePoint(2, 7));
    EXPECT_EQ(dlg->board.HeldPiece(), -1);
    dlg->protocol->connState = CONN_NONE;
    Click(StripPoint(9));
    EXPECT_EQ(question->told.back(), "対局は中断しています。");
    ASSERT_TRUE(dlg->ClocksShown());
    EXPECT_FALSE(dlg->Clock(true).running || dlg->Clock(false).running);
    EXPECT_TRUE(dlg->MenuAction(ID_ABANDON)->isEnabled());

    // The host takes this copy back: the game goes on in the file it was kept in.
    HostAccepts();
    FromHost(PKT_EXT_RESUME, "ok;moves=2");
    ASSERT_FALSE(dlg->protocol->Adjourned());
    EXPECT_FALSE(dlg->MenuAction(ID_ABANDON)->isEnabled());
    EXPECT_TRUE(dlg->Clock(true).running);
    Click(SquarePoint(2, 7));
    Click(SquarePoint(2, 6));
    EXPECT_EQ(dlg->autosave.Path(), recordPath);
    CKifuControl saved;
    ASSERT_TRUE(LoadRecordFile(saved, QFile::encodeName(recordPath).toStdString()));
    EXPECT_EQ(MainLine(saved), "   1 ７六歩(77) ;   2 ３四歩(33) ;   3 ２六歩(27) ;;");
    EXPECT_TRUE(QFile::exists(KeptPath()));
}

// A kept game that cannot be taken up is left on disk for the player, the
// window opens nothing, and the chat log says so.
TEST_F(AdjournedTest, AKeptGameThatCannotBeTakenUpIsLeftAlone) {
    const QString ended = dataHome.filePath("ended.kif");
    ASSERT_TRUE(WriteFile(ended, QByteArray::fromStdString(Utf8ToSjis("   1 ７六歩(77)\r\n   2 投了\r\n"))));
    auto keptText = [&](const QString& record) {
        Adjournment a;
        a.token = TOKEN;
        a.caps = ParseCaps(dlg->protocol->CapsText());
        a.recordPath = record.toStdString();
        return QByteArray::fromStdString(AdjournmentText(a));
    };
    const struct {
        const char* what;
        QByteArray text;
    } cases[] = {
        {"not a kept game", "role=guest\n"},
        {"its record is gone", keptText(dataHome.filePath("gone.kif"))},
        {"its record has ended", keptText(ended)},
    };
    QDir().mkpath(QFileInfo(KeptPath()).absolutePath());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteFile(KeptPath(), c.text));
        Restart();
        dlg->RestoreKeptGame();
        EXPECT_EQ(ReadFile(KeptPath()), c.text);
        EXPECT_EQ(dlg->Mode(), MODE_FREE);
        EXPECT_FALSE(dlg->record.kifu.Root()->filled);
        EXPECT_EQ(dlg->board.PieceAt(7, 6), -1);
        ASSERT_EQ(log->lines.size(), 1u);
        EXPECT_EQ(log->lines[0], "◆中断した対局を再開できませんでした。" + KeptPath().toStdString());
    }
}

}  // namespace
}  // namespace ravu::test
