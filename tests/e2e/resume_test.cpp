// A game resumed after the guest's program was killed in mid-game: the host
// keeps the game adjourned and says so; the guest, started again on the
// same data folder, takes the game up from what it kept on disk and comes
// back to its host on its own; the game goes on to its end, and both
// autosaved records hold every move.  (What is kept on disk is tested in
// tests/ui/adjourned_test.cpp.)
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/textcodec.h"
#include "e2e_util.h"

using namespace ravu::e2e;

namespace {

// The guest plays sente (unflipped), the host gote (flipped), in turns:
// three moves before the kill, one after the return.
const ClickedMove MOVES[] = {
    {77, 76, "1 ７六歩(77)"}, {33, 34, "2 ３四歩(33)"}, {27, 26, "3 ２六歩(27)"}, {83, 84, "4 ８四歩(83)"}};
constexpr int MOVES_BEFORE_KILL = 3;

// Whether the copy's one autosaved game holds the first `count` moves.
bool SavedGameHolds(const ProgramCopy& c, int count) {
    const QDir games(c.DataFolder() + QStringLiteral("/ravuone/games"));
    const QStringList files = games.entryList({QStringLiteral("*.kif")}, QDir::Files);
    QFile f(files.size() == 1 ? games.filePath(files[0]) : QString());
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QString kif = QString::fromUtf8(ravu::SjisToUtf8(f.readAll().toStdString()));
    for (int i = 0; i < count; ++i)
        if (!kif.contains(QString::fromUtf8(MOVES[i].row).section(QLatin1Char(' '), 1)))
            return false;
    return true;
}

TEST(ResumedGame, AGuestKilledInMidGameComesBackOnItsOwnAfterARestart) {
    QTemporaryDir root;
    ProgramCopy host(root.path(), QStringLiteral("host"), QStringLiteral("後手花子"), FreePort());
    ProgramCopy guest(root.path(), QStringLiteral("guest"), QStringLiteral("先手太郎"), FreePort());
    ASSERT_TRUE(host.Start());
    ASSERT_TRUE(guest.Start());
    ASSERT_NO_FATAL_FAILURE(ConnectAndStartGame(host, guest, QStringLiteral("先手太郎")));
    for (int i = 0; i < MOVES_BEFORE_KILL; ++i)
        ASSERT_NO_FATAL_FAILURE(PlayMove(guest, host, false, MOVES[i], i));

    guest.Kill();
    // The host's game waits, connection gone, and the host is told.
    ASSERT_TRUE(WaitUntil([&] { return host.driver.State() == std::vector<int>{1, 0, 1}; }));
    EXPECT_TRUE(host.driver.Text("balloon").contains(QStringLiteral("対局を中断して")));
    EXPECT_TRUE(SavedGameHolds(guest, MOVES_BEFORE_KILL));  // every move before the kill

    // Started again, the guest takes the game up and comes back by itself:
    // the next move goes through.
    ASSERT_TRUE(guest.Start());
    ASSERT_TRUE(WaitUntil([&] {
        return guest.driver.State() == std::vector<int>{1, 1, 0} &&
               host.driver.State() == std::vector<int>{1, 2, 1};
    }));
    ASSERT_NO_FATAL_FAILURE(PlayMove(guest, host, false, MOVES[MOVES_BEFORE_KILL], MOVES_BEFORE_KILL));
    guest.driver.ClickMain(StripPoint(9));
    AnswerYes(guest, QStringLiteral("投了しますか"));
    ASSERT_TRUE(WaitUntil(
        [&] { return host.driver.HasRow(QStringLiteral("5 投了")) && host.driver.State()[0] == 0; }));
    // The guest's record went on in the file it kept before the kill.
    EXPECT_TRUE(SavedGameHolds(host, MOVES_BEFORE_KILL + 1) && SavedGameHolds(guest, MOVES_BEFORE_KILL + 1));
    EXPECT_TRUE(host.Exit());
    EXPECT_TRUE(guest.Exit());
}

}  // namespace
