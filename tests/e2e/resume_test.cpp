// A game resumed after the guest's program was killed in mid-game: the host
// keeps the game adjourned and says so; the guest, started again on the
// same data folder, takes the game up from what it kept on disk and comes
// back to its host on its own; the game goes on to its end, and both
// autosaved records hold every move.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/textcodec.h"
#include "e2e_util.h"

using namespace ravu::e2e;

namespace {

// The copy's one autosaved game as text; empty unless there is exactly one.
QString SavedGame(const ProgramCopy& c) {
    const QDir games(c.DataFolder() + QStringLiteral("/ravuone/games"));
    const QStringList files = games.entryList({QStringLiteral("*.kif")}, QDir::Files);
    QFile f(files.size() == 1 ? games.filePath(files[0]) : QString());
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(ravu::SjisToUtf8(f.readAll().toStdString()))
                                       : QString();
}

bool KeepsAGame(const ProgramCopy& c) {
    return QFile::exists(c.DataFolder() + QStringLiteral("/ravuone/adjourned.txt"));
}

// The guest plays sente (unflipped), the host gote (flipped), in turns:
// three moves before the kill, one after the return.
const struct {
    int from, to;  // file * 10 + rank
    const char* row;
} MOVES[] = {
    {77, 76, "1 ７六歩(77)"}, {33, 34, "2 ３四歩(33)"}, {27, 26, "3 ２六歩(27)"}, {83, 84, "4 ８四歩(83)"}};
constexpr int MOVES_BEFORE_KILL = 3;

void Play(ProgramCopy& host, ProgramCopy& guest, int i) {
    const auto& m = MOVES[i];
    const int flipped = i % 2;
    PlayMove(flipped ? host : guest, flipped ? guest : host, SquarePoint(m.from / 10, m.from % 10, flipped),
             SquarePoint(m.to / 10, m.to % 10, flipped), QString::fromUtf8(m.row));
}

// Every move up to `count` as the record file writes it ("７六歩(77)").
bool HoldsMoves(const QString& kif, int count) {
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
        ASSERT_NO_FATAL_FAILURE(Play(host, guest, i));
    EXPECT_TRUE(KeepsAGame(host) && KeepsAGame(guest));

    guest.Kill();
    // The host's game waits, connection gone, and the host is told.
    ASSERT_TRUE(WaitUntil([&] { return host.driver.State() == std::vector<int>{1, 0, 1}; }));
    EXPECT_TRUE(host.driver.Text("balloon").contains(QStringLiteral("対局を中断して")));
    // Every move made before the kill had been saved.
    EXPECT_TRUE(HoldsMoves(SavedGame(guest), MOVES_BEFORE_KILL)) << SavedGame(guest).toStdString();

    // Started again, the guest takes the game up and comes back by itself.
    ASSERT_TRUE(guest.Start());
    ASSERT_TRUE(WaitUntil([&] {
        return guest.driver.State() == std::vector<int>{1, 1, 0} &&
               host.driver.State() == std::vector<int>{1, 2, 1};
    }));
    for (ProgramCopy* c : {&host, &guest})
        EXPECT_TRUE(WaitUntil([&] {
            return c->driver.Text("chatLog/logEdit").contains(QStringLiteral("◆対局を再開しました。"));
        }));
    ASSERT_NO_FATAL_FAILURE(Play(host, guest, MOVES_BEFORE_KILL));
    guest.driver.ClickMain(StripPoint(9));
    AnswerBalloon(guest, {QStringLiteral("投了しますか")}, true);
    ASSERT_TRUE(WaitUntil(
        [&] { return host.driver.HasRow(QStringLiteral("5 投了")) && host.driver.State()[0] == 0; }));

    // Both records, the guest's still in the one file it kept before the
    // kill, hold the whole game; nothing is left to resume.
    for (ProgramCopy* c : {&host, &guest}) {
        const QString kif = SavedGame(*c);
        EXPECT_TRUE(HoldsMoves(kif, static_cast<int>(std::size(MOVES))) &&
                    kif.contains(QStringLiteral("投了")))
            << kif.toStdString();
        EXPECT_FALSE(KeepsAGame(*c));
    }
    EXPECT_TRUE(host.Exit());
    EXPECT_TRUE(guest.Exit());
}

}  // namespace
