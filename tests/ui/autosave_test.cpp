// Autosave: a game played or watched is in its file after every move and
// after its end, as complete KIF that loads back; the saved games are
// offered in "最近の対局" and the open dialog starts among them.  The games
// here run over the basic protocol: the opponent has no extension.
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "app/record_file.h"
#include "main_test_support.h"

namespace ravu::test {
namespace {

// Each test has a data folder of its own.
class AutosaveTest : public DataFolderTest {
protected:
    // The main line of the game's file as it loads back; "unreadable" when it does not.
    std::string Saved() const {
        CKifuControl back;
        return LoadRecordFile(back, QFile::encodeName(dlg->autosave.Path()).toStdString()) ? MainLine(back)
                                                                                           : "unreadable";
    }
    QStringList FilesInFolder() const { return QDir(CAutosave::Folder()).entryList(QDir::Files); }
};

TEST_F(AutosaveTest, APlayedGameIsSavedAfterEveryMoveAndItsEnd) {
    dlg->protocol->SetOpponentName(Utf8ToSjis("はなこ/../x"));
    StartConnectedGame(SENTE);
    EXPECT_TRUE(FilesInFolder().isEmpty());  // no file for a game without a move

    Click(SquarePoint(7, 7));
    Click(SquarePoint(7, 6));
    EXPECT_EQ(Saved(), "   1 ７六歩(77) ;;");
    FromHost(PKT_MOVE, "   2 ３四歩(33) ");
    EXPECT_EQ(Saved(), "   1 ７六歩(77) ;   2 ３四歩(33) ;;");
    Click(StripPoint(9));  // resigns (the question is answered yes)
    EXPECT_EQ(dlg->Mode(), MODE_FREE);
    EXPECT_EQ(Saved(), "   1 ７六歩(77) ;   2 ３四歩(33) ;   3 投了;;");

    // One whole file, the same bytes as a save by hand, under a safe name.
    const QFileInfo file(dlg->autosave.Path());
    EXPECT_TRUE(file.filePath().startsWith(dataHome.path() + "/ravuone/games/2") &&
                file.fileName().endsWith("_はなこ_.._x.kif"))
        << file.filePath().toStdString();
    EXPECT_EQ(FilesInFolder(), QStringList{file.fileName()});
    const QString byHand = dataHome.filePath("by-hand.kif");
    ASSERT_TRUE(SaveRecordFile(dlg->record, QFile::encodeName(byHand).toStdString()));
    // Past the second line, the one naming the file.
    auto body = [](const QByteArray& x) { return x.mid(x.indexOf('\n', x.indexOf('\n') + 1)); };
    const QByteArray kif = body(ReadFile(file.filePath()));
    EXPECT_EQ(kif, body(ReadFile(byHand)));
    EXPECT_TRUE(kif.contains(Utf8ToSjis("終了日時：").c_str()));

    // The next game gets a file of its own.
    StartConnectedGame(GOTE);
    FromHost(PKT_MOVE, "   1 ７六歩(77) ");
    EXPECT_NE(dlg->autosave.Path(), file.filePath());
    EXPECT_EQ(FilesInFolder().size(), 2);
}

TEST_F(AutosaveTest, AWatchedGameIsSavedFromItsCatchUpOn) {
    dlg->protocol->SetOpponentName("host");
    connectLink.ownHandle = 1;
    dlg->protocol->connState = CONN_GUEST;
    FromHost(PKT_OBSERVE, "1");
    FromHost(PKT_CHUNK_END, "   1 ７六歩(77) ;   2 ３四歩(33) ;;");
    EXPECT_EQ(Saved(), "   1 ７六歩(77) ;   2 ３四歩(33) ;;");
    EXPECT_TRUE(QFileInfo(dlg->autosave.Path()).fileName().endsWith("_観戦_host.kif"));
    FromHost(PKT_MOVE, "   3 ２六歩(27) ");
    FromHost(PKT_MOVE, "   4 投了");
    EXPECT_EQ(Saved(), "   1 ７六歩(77) ;   2 ３四歩(33) ;   3 ２六歩(27) ;   4 投了;;");
}

// "最近の対局" lists the saved games, newest first; they open only outside a
// game.  The open dialog starts in their folder until another one was used.
TEST_F(AutosaveTest, RecentGamesOpenAsRecords) {
    EXPECT_EQ(dlg->FileDialogFolder(false), QString());  // no saved game yet, no folder
    for (const char* name : {"first", "second"}) {
        dlg->protocol->SetOpponentName(name);
        StartConnectedGame(SENTE);
        Click(SquarePoint(name[0] == 'f' ? 7 : 2, 7));
        Click(SquarePoint(name[0] == 'f' ? 7 : 2, 6));
    }
    EXPECT_EQ(dlg->FileDialogFolder(false), CAutosave::Folder());
    EXPECT_EQ(dlg->FileDialogFolder(true), QString());

    emit dlg->RecentMenu()->aboutToShow();
    QList<QAction*> items = dlg->RecentMenu()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_TRUE(items[0]->text().endsWith("_second") && items[1]->text().endsWith("_first"));
    EXPECT_FALSE(items[1]->isEnabled());  // in a game

    dlg->ClearGameState();
    emit dlg->RecentMenu()->aboutToShow();
    items = dlg->RecentMenu()->actions();
    ASSERT_TRUE(items[1]->isEnabled());
    items[1]->trigger();
    EXPECT_EQ(dlg->Mode(), MODE_FREE);
    EXPECT_EQ(MainLine(dlg->record), "   1 ７六歩(77) ;;");
}

// A folder that cannot be made: the game goes on, and the player reads it
// once in the chat log.
TEST_F(AutosaveTest, AFailedSaveIsToldOnce) {
    ASSERT_TRUE(WriteFile(dataHome.filePath("ravuone"), {}));  // a file where the folder should be
    StartConnectedGame(SENTE);
    Click(SquarePoint(7, 7));
    Click(SquarePoint(7, 6));
    FromHost(PKT_MOVE, "   2 ３四歩(33) ");
    ASSERT_EQ(log->lines.size(), 1u);
    EXPECT_EQ(log->lines[0].rfind("◆棋譜を自動保存できませんでした。", 0), 0u) << log->lines[0];
    EXPECT_EQ(MainLine(dlg->record), "   1 ７六歩(77) ;   2 ３四歩(33) ;;");
}

}  // namespace
}  // namespace ravu::test
