// A finished game reviewed together through the windows: the two players
// and a spectator follow one board, each tries a move of their own (a
// variation at a different place) and comments on it, and the records they
// save afterwards are the same bytes.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/textcodec.h"
#include "e2e_util.h"

using namespace ravu::e2e;

namespace {

const QString HOST_NAME = QStringLiteral("後手花子");
const QString GUEST_NAME = QStringLiteral("先手太郎");

// The game: ▲7六歩 △3四歩, then sente resigns.
const ClickedMove GAME[] = {{77, 76, "1 ７六歩(77)"}, {33, 34, "2 ３四歩(33)"}};

// Everyone's log tells of the review's start or end.
void AllLogged(std::initializer_list<ProgramCopy*> copies, const QString& notice) {
    for (ProgramCopy* c : copies)
        ASSERT_TRUE(WaitUntil([&] { return c->driver.Text("chatLog/logEdit").contains(notice); }))
            << c->driver.Text("chatLog/logEdit").toStdString();
}

void ChooseMenu(ProgramCopy& c, const QString& item) {
    c.driver.Call("click main 200 100 right");
    ASSERT_TRUE(WaitUntil([&] { return c.driver.Try("menu " + item.toUtf8()); })) << item.toStdString();
}

// The board steps to the start and then `plies` moves on.
void StepTo(ProgramCopy& c, int plies) {
    c.driver.ClickMain(StripPoint(0));
    for (int i = 0; i < plies; ++i)
        c.driver.ClickMain(StripPoint(2));
}

// Every copy lists a move tried (it follows the review).
void AllList(const QString& row, std::initializer_list<ProgramCopy*> copies) {
    for (ProgramCopy* c : copies)
        ASSERT_TRUE(WaitUntil([&] { return c->driver.HasRow(row); }))
            << row.toStdString() << " in " << c->driver.Text("kifu/moveList").toStdString();
}

// A move tried on the board.
void TryMove(ProgramCopy& mover, bool flipped, int from, int to, const QString& row,
             std::initializer_list<ProgramCopy*> copies) {
    mover.driver.ClickMain(SquarePoint(from / 10, from % 10, flipped));
    mover.driver.ClickMain(SquarePoint(to / 10, to % 10, flipped));
    AllList(row, copies);
}

void Comment(ProgramCopy& c, const QString& text) {
    c.driver.Call("type main/chat *" + text.toUtf8());
    c.driver.Call("key main/chat Return");
}

TEST(Review, PlayersAndASpectatorReviewTheGameAndSaveTheSameRecord) {
    QTemporaryDir root;
    ProgramCopy host(root.path(), QStringLiteral("host"), HOST_NAME, FreePort());
    ProgramCopy guest(root.path(), QStringLiteral("guest"), GUEST_NAME, FreePort());
    ProgramCopy watcher(root.path(), QStringLiteral("watcher"), QStringLiteral("観戦者"), FreePort());
    ASSERT_TRUE(host.Start() && guest.Start() && watcher.Start());
    ASSERT_NO_FATAL_FAILURE(ConnectAndStartGame(host, guest, GUEST_NAME));
    DialHost(watcher, host);
    ASSERT_TRUE(WaitUntil([&] { return watcher.driver.State() == std::vector<int>{2, 1, 0}; }));
    for (int i = 0; i < 2; ++i)
        ASSERT_NO_FATAL_FAILURE(PlayMove(guest, host, false, GAME[i], i));
    guest.driver.ClickMain(StripPoint(9));
    AnswerYes(guest, QStringLiteral("投了しますか"));
    const auto all = {&host, &guest, &watcher};
    for (ProgramCopy* c : all)
        ASSERT_TRUE(WaitUntil(
            [&] { return c->driver.State()[0] == 0 && c->driver.HasRow(QStringLiteral("3 投了")); }));

    // The spectator starts the review; everyone joins it.
    ASSERT_NO_FATAL_FAILURE(ChooseMenu(watcher, QStringLiteral("感想戦を始める")));
    ASSERT_NO_FATAL_FAILURE(AllLogged(all, QStringLiteral("感想戦を始めます")));

    // The guest (sente) goes back to move 2 and tries ▲2六歩 instead of resigning.
    StepTo(guest, 2);
    ASSERT_NO_FATAL_FAILURE(TryMove(guest, false, 27, 26, QStringLiteral("3 ２六歩(27)"), all));
    Comment(guest, QStringLiteral("投了は早かった"));
    // The spectator answers △8四歩 on the line the guest opened, typed into the chat input.
    watcher.driver.Call("type main/chat /84歩");
    watcher.driver.Call("key main/chat Return");
    ASSERT_NO_FATAL_FAILURE(AllList(QStringLiteral("4 ８四歩(83)"), all));
    Comment(watcher, QStringLiteral("まだ互角"));
    // The host (gote, its board turned round) goes to move 1 and tries △8四歩 there.
    StepTo(host, 1);
    ASSERT_NO_FATAL_FAILURE(TryMove(host, true, 83, 84, QStringLiteral("2 ８四歩(83)"), all));
    Comment(host, QStringLiteral("居飛車もあった"));

    // RAVU_SHOTS_DIR names a folder for pictures of the review in progress (docs/).
    if (const QString shots = qEnvironmentVariable("RAVU_SHOTS_DIR"); !shots.isEmpty()) {
        watcher.driver.Call("grab main " + shots.toUtf8() + "/main-review.png");
        watcher.driver.Call("grab kifu " + shots.toUtf8() + "/window-review-record.png");
    }
    ASSERT_NO_FATAL_FAILURE(ChooseMenu(host, QStringLiteral("感想戦を終える")));
    ASSERT_NO_FATAL_FAILURE(AllLogged(all, QStringLiteral("感想戦を終わります")));

    // The three saved records are the same bytes (saved one after another
    // under one name, which the file's first lines carry), with every
    // variation and comment of the review.
    const QString path = root.path() + QStringLiteral("/review.kif");
    const QByteArray hostFile = SaveRecord(host, path);
    EXPECT_EQ(SaveRecord(guest, path), hostFile);
    EXPECT_EQ(SaveRecord(watcher, path), hostFile);
    const QString text = QString::fromUtf8(ravu::SjisToUtf8(hostFile.toStdString()));
    for (const char* part :
         {"変化：3手", "２六歩(27)", "変化：2手", "*投了は早かった", "*まだ互角", "*居飛車もあった"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(part))) << part << "\n" << text.toStdString();

    for (ProgramCopy* c : all)
        EXPECT_TRUE(c->Exit());
}

}  // namespace
