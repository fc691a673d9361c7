// The secondary windows: the balloon's answers, time-out and notices, the
// chat log's bound, and the connect and turn dialogs as views
// of a handshake with a host copy on loopback.
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>

#include "main_test_support.h"
#include "record/start_position.h"
#include "ui/balloon_dlg.h"
#include "ui/chat_log_dlg.h"
#include "ui/connect_dlg.h"
#include "ui/image_button.h"
#include "ui/settings_dlg.h"
#include "ui/turn_dlg.h"

namespace ravu::test {
namespace {

// Runs dlg's modal loop through run() and acts once it is open.
template <class Dlg>
int RunWhile(Dlg& dlg, const std::function<int()>& run, const std::function<void()>& act) {
    QTimer::singleShot(0, &dlg, act);
    return run();
}

void ClickPicture(CImageButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5)); }

// A question is answered 1 (yes) by its yes button or Enter, and 2 (no) by
// its no button, Esc, a close request, or the time-out after limit + 1
// ticks.
TEST(Balloon, AnswersTimeOutAndNotices) {
    struct Case {
        const char* how;
        std::function<void(CBalloonDlg&)> act;
        int answer;
        // clang-format off
    } cases[] = {
        {"yes button", [](CBalloonDlg& b) { ClickPicture(b.YesButton()); }, 1},
        {"no button", [](CBalloonDlg& b) { ClickPicture(b.NoButton()); }, 2},
        {"Enter", [](CBalloonDlg& b) { QTest::keyClick(&b, Qt::Key_Return); }, 1},
        {"Esc", [](CBalloonDlg& b) { QTest::keyClick(&b, Qt::Key_Escape); }, 2},
        {"close request", [](CBalloonDlg& b) { b.close(); }, 2},
        {"time-out", [](CBalloonDlg&) {}, 2},
    };
    // clang-format on
    CBalloonDlg balloon;
    balloon.SetTickInterval(10);
    balloon.SetTickLimit(4);
    QElapsedTimer clock;
    for (const Case& c : cases) {
        clock.start();
        const int answer = RunWhile(
            balloon, [&] { return balloon.Ask(QStringLiteral("q")); },
            [&] {
                EXPECT_TRUE(balloon.Busy() && balloon.isVisible()) << c.how;
                c.act(balloon);
            });
        EXPECT_EQ(answer, c.answer) << c.how;
        EXPECT_FALSE(balloon.Busy() || balloon.isVisible()) << c.how;
    }
    EXPECT_GE(clock.elapsed(), 45);  // the last case: the time-out after 5 ticks of 10 ms

    // Notices show without blocking, one at a time, dismissed by their
    // button, a key or a close request; a question takes the balloon and the
    // notice comes back after it.
    auto shown = [&] {
        return balloon.NoticeShown() && balloon.isVisible() ? balloon.Question() : QString();
    };
    balloon.Tell(QStringLiteral("first"));
    balloon.Tell(QStringLiteral("second"));
    EXPECT_EQ(shown(), QStringLiteral("first"));
    const int answer = RunWhile(
        balloon, [&] { return balloon.Ask(QStringLiteral("q")); },
        [&] {
            EXPECT_EQ(shown(), QString());
            balloon.Tell(QStringLiteral("third"));
            ClickPicture(balloon.YesButton());
        });
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(shown(), QStringLiteral("first"));
    ClickPicture(balloon.OkButton());
    QCoreApplication::processEvents();  // the button's command is posted
    EXPECT_EQ(shown(), QStringLiteral("second"));
    QTest::keyClick(&balloon, Qt::Key_Escape);
    EXPECT_EQ(shown(), QStringLiteral("third"));
    balloon.close();
    EXPECT_EQ(shown(), QString());
}

// The log keeps its last MAX_LINES lines as plain text, one line each, and
// scrolls to the end on every line.
TEST(ChatLog, BoundedPlainAndScrolledToTheEnd) {
    CChatLogDlg log(nullptr);
    log.show();
    for (int i = 0; i < CChatLogDlg::MAX_LINES + 50; ++i)
        log.AddLine(QStringLiteral("flood %1").arg(i));
    QScrollBar* bar = log.LogEdit()->verticalScrollBar();
    bar->setValue(0);
    log.AddLine(Utf8ToSjis("花子><b>x</b>\r\n\x01"));
    EXPECT_EQ(log.LogEdit()->blockCount(), CChatLogDlg::MAX_LINES);
    EXPECT_TRUE(log.LogEdit()->toPlainText().startsWith(QStringLiteral("flood 51\n")));
    EXPECT_TRUE(log.LogEdit()->toPlainText().endsWith(QStringLiteral("\n花子><b>x</b>\u240d\u240a\u2401")));
    EXPECT_EQ(bar->value(), bar->maximum());
    // A stored rectangle too large for any screen is kept to 4096 x 4096.
    ChatLogRect huge{0, 0, 2000000000, 2000000000};
    CChatLogDlg sized(&huge);
    sized.show();
    EXPECT_EQ(sized.size(), QSize(4096, 4096));
}

// The connect dialog shows the handshake: waiting (every button off, Esc and
// the close box ignored; a name is looked up meanwhile), the host's name as
// soon as its hello arrives, then the host's answer.  A list entry gives the destination and the name.
// Once connected, the turn dialog names the players by the chosen side,
// waits for the host's answer (choice off, send and back hidden), goes back
// to choosing after a refusal and ends with the side the host accepted.
TEST(ConnectAndTurnDlg, ShowTheHandshakes) {
    enum Answer { ACCEPT, REFUSE, HANG_UP, SILENT, NO_HOST };
    struct Case {
        Answer answer;
        QString status;
    } cases[] = {{ACCEPT, QString()},
                 {REFUSE, QStringLiteral("接続を断られました。")},
                 {HANG_UP, QStringLiteral("接続が切れました。")},
                 {SILENT, QStringLiteral("時間内に接続できませんでした")},
                 {NO_HOST, QStringLiteral("接続先が見つかりませんでした。")}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        HostCopy host("主人");
        std::vector<std::string> proposals;
        host.onPacket = [&](int type, const std::string& text, SockHandle from) {
            if (type == PKT_TURN)
                proposals.push_back(text);
            if ((type == PKT_HELLO && c.answer == ACCEPT) || (type == PKT_TURN && proposals.size() == 2))
                host.sock.SendTo(PKT_ACCEPT, 1, "0", from);
            else if ((type == PKT_HELLO && c.answer == REFUSE) || type == PKT_TURN)
                host.sock.SendRefuse(from);
            else if (type == PKT_HELLO && c.answer == HANG_UP)
                host.sock.CloseSlot(from);
        };
        CGameSocket sock;
        IdleOwner mainWnd;
        sock.Create(0);
        CProfile profile;
        profile.SetHandleName(Utf8ToSjis("客人"));
        std::string listText = "no-such-host.invalid,Nobody\r\n" + host.Dest() + ",Hanako,5dan\r\n";
        CConnectDlg dlg(&sock, &listText, &profile, &mainWnd);
        dlg.Handshake().connectTimeoutMs = 300;
        std::vector<bool> buttonsWhileWaiting, buttonsAfter;
        auto buttons = [&] {
            return std::vector<bool>{dlg.GetListButton()->isEnabled(), dlg.ClearButton()->isEnabled(),
                                     dlg.ConnectButton()->isEnabled(), dlg.BackButton()->isEnabled()};
        };
        const int result = RunWhile(
            dlg, [&] { return dlg.Run(); },
            [&] {
                dlg.HostList()->setCurrentRow(c.answer == NO_HOST ? 0 : 1);
                EXPECT_EQ(dlg.OpponentLabel()->text(), c.answer == NO_HOST ? "Nobody" : "Hanako,5dan");
                QTest::mouseClick(dlg.ConnectButton(), Qt::LeftButton);
                buttonsWhileWaiting = buttons();
                QTest::keyClick(&dlg, Qt::Key_Escape);
                dlg.close();  // the close box, while the attempt (or the name's lookup) runs
                EXPECT_TRUE(dlg.isVisible());
                EXPECT_TRUE(c.answer == NO_HOST || QTest::qWaitFor([&] {
                                return dlg.OpponentLabel()->text() == QStringLiteral("主人");
                            }));
                EXPECT_TRUE(
                    QTest::qWaitFor([&] { return !dlg.isVisible() || dlg.StatusText() == c.status; }));
                if (dlg.isVisible())
                    buttonsAfter = buttons();
                dlg.close();  // the close box, now that nothing runs
            });
        EXPECT_EQ(result, c.answer == ACCEPT ? 1 : 0);
        // The list button stays off while a host list is kept.
        EXPECT_EQ(buttonsWhileWaiting, (std::vector<bool>{false, false, false, false}));
        EXPECT_EQ(buttonsAfter,
                  c.answer == ACCEPT ? std::vector<bool>() : (std::vector<bool>{false, true, true, true}));
        EXPECT_EQ(profile.GetHost(), c.answer == NO_HOST ? "no-such-host.invalid" : host.Dest());
        EXPECT_EQ(profile.GetOpponentName(), c.answer == NO_HOST ? "" : Utf8ToSjis("主人"));
        EXPECT_EQ(sock.OwnHandle() == 0,
                  c.answer != ACCEPT && c.answer != NO_HOST);  // a failed attempt closes
        if (c.answer != ACCEPT)
            continue;

        CTurnDlg turn(&profile, &mainWnd);
        turn.SetSocket(&sock);
        std::vector<QString> names;
        int waitingShown = 0;
        EXPECT_EQ(
            RunWhile(
                turn, [&] { return turn.Run(); },
                [&] {
                    for (QRadioButton* side : {turn.GoteRadio(), turn.SenteRadio()}) {
                        QTest::mouseClick(side, Qt::LeftButton);
                        names.insert(names.end(), {turn.SenteName()->text(), turn.GoteName()->text()});
                        QTest::mouseClick(turn.SendButton(), Qt::LeftButton);
                        waitingShown += turn.StatusText() == QStringLiteral("しばらくお待ちください") &&
                                        !turn.SenteRadio()->isEnabled() && !turn.GoteRadio()->isEnabled() &&
                                        !turn.SendButton()->isVisible() && !turn.BackButton()->isVisible();
                        EXPECT_TRUE(QTest::qWaitFor([&] { return !turn.isVisible() || !turn.Waiting(); }));
                        EXPECT_TRUE(side == turn.SenteRadio() ||
                                    turn.StatusText() == QStringLiteral("承諾されませんでした"));
                    }
                }),
            1);
        EXPECT_EQ(waitingShown, 2);
        EXPECT_EQ(names, (std::vector<QString>{"主人", "客人", "客人", "主人"}));
        EXPECT_EQ(proposals, (std::vector<std::string>{"1", "0"}));
        EXPECT_EQ(turn.ChosenSide(), 0);
    }
}

// The turn dialog offers the game's settings only when the host has the
// extension, writes them to the protocol's proposal before proposing, and
// shows them again at the next opening; otherwise they stay greyed and the
// proposal untouched.  The time figures follow the chosen time control.
TEST_F(MainWindowTest, TurnDialogProposesTheSettings) {
    GameSettings handicapByoyomi{Rules::Strict, HandicapSfen(Utf8ToSjis("角落ち")),
                                 TimeControl{TimeKind::Byoyomi, 5 * 60000, 20000, 0}};
    for (bool extension : {false, true}) {
        SCOPED_TRACE(extension);
        dlg->protocol->OnGuestConnected(extension ? dlg->protocol->CapsText() : std::string());
        dlg->protocol->proposal = GameSettings{};
        CTurnDlg turn(&profile, dlg->protocol.get());
        turn.SetProtocol(dlg->protocol.get());
        for (int opening = 0; opening < 2; ++opening) {
            std::vector<bool> enabled;
            int leastSeconds = -1;
            RunWhile(
                turn, [&] { return turn.Run(); },
                [&] {
                    // Reopened: what was proposed (or the plain game without the extension).
                    EXPECT_EQ(turn.ChosenSettings(), opening && extension ? handicapByoyomi : GameSettings{});
                    turn.RulesBox()->setCurrentIndex(1);
                    turn.HandicapBox()->setCurrentText(QStringLiteral("角落ち"));
                    turn.TimeBox()->setCurrentText(QStringLiteral("秒読み"));
                    turn.MinutesBox()->setValue(5);
                    turn.SecondsBox()->setValue(0);  // byoyomi has at least a second
                    leastSeconds = turn.SecondsBox()->value();
                    turn.SecondsBox()->setValue(20);
                    enabled = {turn.RulesBox()->isEnabled(), turn.MinutesBox()->isEnabled(),
                               turn.SecondsBox()->isEnabled()};
                    QTest::mouseClick(turn.SendButton(), Qt::LeftButton);
                    turn.Cancel();
                });
            EXPECT_EQ(enabled, std::vector<bool>(3, extension));
            EXPECT_EQ(leastSeconds, 1);
            EXPECT_EQ(dlg->protocol->proposal, extension ? handicapByoyomi : GameSettings{});
            EXPECT_EQ(dlg->protocol->ProposalText(),
                      extension ? GamePayload(handicapByoyomi) : std::string());
        }
    }
}

// The settings dialog shows the language the settings hold and OK stores
// the one chosen; a value it does not know stays until another is chosen.
TEST(SettingsDlg, ShowsAndStoresTheLanguage) {
    const struct {
        const char* stored;
        int shownIndex;
        int chosenIndex;  // -1: left as shown
        const char* after;
    } cases[] = {
        {"", 0, -1, ""},  {"", 0, 2, "en"},    {"en", 2, -1, "en"},
        {"ja", 1, 0, ""}, {"xx", 0, -1, "xx"}, {"xx", 0, 1, "ja"},
    };
    for (const auto& c : cases) {
        CProfile profile;
        profile.SetLanguage(c.stored);
        CSettingsDlg dlg(&profile);
        dlg.show();
        EXPECT_EQ(dlg.LanguageBox()->currentIndex(), c.shownIndex) << c.stored;
        if (c.chosenIndex >= 0)
            dlg.LanguageBox()->setCurrentIndex(c.chosenIndex);
        dlg.accept();
        EXPECT_EQ(profile.GetLanguage(), c.after) << c.stored << " " << c.chosenIndex;
    }
}

}  // namespace
}  // namespace ravu::test
