// The connect dialog: host list parsing and choosing, destination choice
// (edit, list entry, remembered, "host:port"), the handshake over loopback
// with acceptance, refusal and time-out, the button states, messages passed
// on to the main window, and hostile list text.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdlib>
#include <random>

#include <gtest/gtest.h>

#include "app/settings.h"
#include "net/connect_dlg.h"
#include "windows_net_fixture.h"

using namespace ravu;
using namespace ravu::testing;

namespace {

struct GuestCopy {
    CGameSocket sock;
    Recorder mainWnd;
    CProfile profile;
    std::string listText;
    CConnectDlg dlg{&sock, &listText, &profile, &mainWnd};
    GuestCopy()
    {
        mainWnd.sock = &sock;
        sock.m_pOwner = &mainWnd;
        sock.Create(0);
        profile.SetHandleName(Utf8ToSjis("客人"));
        dlg.SetTimerInterval(10);
    }
    // Runs the dialog and acts once it is open.
    int RunWhile(std::function<void()> act)
    {
        QTimer::singleShot(0, &dlg, [act] { act(); });
        return dlg.Run();
    }
    void TypeAndEnter(const std::string& text)
    {
        dlg.DestEdit()->setText(QString::fromStdString(text));
        QTest::keyClick(dlg.DestEdit(), Qt::Key_Return);
    }
};

std::vector<bool> Enabled(const CConnectDlg& d)
{
    return {d.GetListButton()->isEnabled(), d.ClearButton()->isEnabled(), d.ConnectButton()->isEnabled(),
            d.BackButton()->isEnabled()};
}

bool WaitFor(std::function<bool()> cond, int ms = 5000)
{
    return QTest::qWaitFor(cond, ms);
}

}  // namespace

TEST(HostList, ParsesEntriesInFileOrder)
{
    struct Case {
        std::string text;
        std::vector<std::pair<std::string, int>> entries;  // shown text, line start
    } cases[] = {
        {"host.example,Taro\r\n127.0.0.1,Hanako,5dan\r\n", {{"Taro", 0}, {"Hanako,5dan", 19}}},
        {"a,b\r\nlast,name", {{"b", 0}, {"name", -1}}},
        {"nocomma\r\nx,y\r\n", {{"", 0}, {"y", 9}}},
        {"a,b\r\nlast,", {{"b", 0}}},           // a last line with nothing shown is left out
        {"", {}},
        {"\r\n\r\n", {{"", 0}, {"", 2}}},
        {"a,b\nc,d\r", {{"b\nc,d\r", -1}}},     // only CR LF ends a line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto got = ParseHostList(c.text);
        ASSERT_EQ(got.size(), c.entries.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].shown, c.entries[i].first);
            EXPECT_EQ(got[i].lineStart, c.entries[i].second);
        }
    }
}

TEST(HostList, DestinationOfAnEntry)
{
    const std::string text = "host.example,Taro\r\n127.0.0.1,Hanako,5dan\r\nnocomma\r\nx";
    struct Case {
        int lineStart;
        std::string dest;
    } cases[] = {{0, "host.example"}, {19, "127.0.0.1"}, {42, "nocomma"}, {51, "x"},
                 {-1, ""}, {100000, ""}, {static_cast<int>(text.size()), ""}};
    for (const Case& c : cases) EXPECT_EQ(HostListDestination(text, c.lineStart), c.dest) << c.lineStart;
}

TEST(Destination, PlainNamesGoToTheGuestPortAndHostPortIsAccepted)
{
    struct Case {
        std::string dest;
        std::string host;
        unsigned port;
        bool explicitPort;
    } cases[] = {
        {"example.org", "example.org", 9149, false},
        {"127.0.0.1:9150", "127.0.0.1", 9150, true},
        {"localhost:1", "localhost", 1, true},
        {"h:65535", "h", 65535, true},
        {"h:65536", "h:65536", 9149, false},
        {"h:0", "h:0", 9149, false},
        {"h:", "h:", 9149, false},
        {":80", ":80", 9149, false},
        {"h:8a", "h:8a", 9149, false},
        {"::1", "::1", 9149, false},
        {"h:000080", "h:000080", 9149, false},
        {"", "", 9149, false},
    };
    for (const Case& c : cases) {
        const Destination d = SplitDestination(c.dest, 9149);
        EXPECT_EQ(d.host, c.host) << c.dest;
        EXPECT_EQ(d.port, c.port) << c.dest;
        EXPECT_EQ(d.explicitPort, c.explicitPort) << c.dest;
    }
}

TEST(ConnectDlg, ButtonStates)
{
    struct Case {
        std::vector<int> states;
        std::vector<bool> enabled;  // 1045, 1046, 1016, 1026
    } cases[] = {
        {{0}, {true, true, true, true}},
        {{0, 3}, {false, true, true, true}},
        {{0, 4}, {true, false, true, true}},
        {{0, 4, 5}, {true, true, true, true}},
        {{0, 3, 1}, {false, false, false, false}},
        {{0, 3, 1, 2}, {false, true, true, true}},
        {{0, 4, 1, 2}, {true, false, true, true}},
        {{0, 3, 4, 0}, {true, true, true, true}},
    };
    GuestCopy g;
    for (const Case& c : cases) {
        for (int s : c.states) g.dlg.SetButtonState(s);
        EXPECT_EQ(Enabled(g.dlg), c.enabled) << c.states.size();
    }
}

TEST(ConnectDlg, ChoosingAndClearingListEntries)
{
    GuestCopy g;
    g.listText = "host.example,Taro\r\n127.0.0.1,Hanako,5dan\r\nnocomma\r\nlast,name";
    g.RunWhile([&] {
        QListWidget* list = g.dlg.HostList();
        ASSERT_EQ(list->count(), 4);
        EXPECT_EQ(list->item(0)->text(), QStringLiteral("Taro"));
        EXPECT_EQ(list->item(1)->text(), QStringLiteral("Hanako,5dan"));
        EXPECT_EQ(list->item(2)->text(), QString());
        EXPECT_EQ(list->item(3)->text(), QStringLiteral("name"));
        EXPECT_FALSE(g.dlg.GetListButton()->isEnabled());  // a list text is present

        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        EXPECT_EQ(g.dlg.Dest(), "127.0.0.1");
        EXPECT_EQ(g.dlg.Opponent(), "Hanako,5dan");
        EXPECT_EQ(g.dlg.OpponentLabel()->text(), QStringLiteral("Hanako,5dan"));
        EXPECT_FALSE(g.dlg.DestEdit()->isVisible());
        EXPECT_TRUE(g.dlg.ClearButton()->isEnabled());

        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(3)).center());
        EXPECT_EQ(g.dlg.Dest(), "");  // the last line has no line start
        EXPECT_EQ(g.dlg.Opponent(), "name");

        QTest::mouseClick(g.dlg.ClearButton(), Qt::LeftButton);
        EXPECT_EQ(g.dlg.Dest(), "");
        EXPECT_EQ(g.dlg.Opponent(), "");
        EXPECT_TRUE(g.dlg.OpponentLabel()->text().isEmpty());
        EXPECT_TRUE(g.dlg.DestEdit()->isVisible());
        EXPECT_FALSE(g.dlg.ClearButton()->isEnabled());
        EXPECT_TRUE(list->selectedItems().isEmpty());

        // A chosen entry is remembered for the next opening.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        QTest::mouseClick(g.dlg.BackButton(), Qt::LeftButton);
    });
    EXPECT_EQ(g.profile.GetHost(), "host.example");  // the destination is stored on closing
    g.RunWhile([&] {
        EXPECT_EQ(g.dlg.HostList()->count(), 4);  // filled again, not doubled
        EXPECT_EQ(g.dlg.OpponentLabel()->text(), QStringLiteral("Taro"));
        EXPECT_FALSE(g.dlg.DestEdit()->isVisible());
        EXPECT_TRUE(g.dlg.ClearButton()->isEnabled());
        EXPECT_EQ(g.dlg.HandleLabel()->text(), QStringLiteral("客人"));
        QTest::mouseClick(g.dlg.BackButton(), Qt::LeftButton);
    });
}

TEST(ConnectDlg, HandshakeAcceptedShowsTheHostsNameFirst)
{
    HostCopy host("主人");
    GuestCopy g;
    std::string guestHello;
    bool nameShownBeforeAnswer = false;
    host.owner.on = [&](const Recorder::Msg& m) {
        if (m.msg != WM_SOCK_PACKET || m.type != PKT_HELLO) return;
        guestHello = m.text;
        const SockHandle guest = m.wParam;
        QTimer::singleShot(0, [&, guest] {
            nameShownBeforeAnswer = WaitFor([&] { return g.dlg.OpponentLabel()->text() == QStringLiteral("主人"); });
            host.Send(PKT_ACCEPT, "0", guest);
        });
    };
    const int result = g.RunWhile([&] { g.TypeAndEnter(host.Dest()); });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(guestHello, Utf8ToSjis("客人"));
    EXPECT_TRUE(nameShownBeforeAnswer);
    EXPECT_EQ(g.dlg.Opponent(), Utf8ToSjis("主人"));
    EXPECT_EQ(g.profile.GetOpponentName(), Utf8ToSjis("主人"));
    EXPECT_EQ(g.profile.GetHost(), host.Dest());
    EXPECT_EQ(g.sock.m_pOwner, &g.mainWnd);  // handed back
    EXPECT_FALSE(g.dlg.TimerRunning());
    EXPECT_EQ(g.dlg.AddressLabel()->text(), QStringLiteral("127.0.0.1"));
    EXPECT_FALSE(g.dlg.AddressLabel()->isVisible());
}

TEST(ConnectDlg, RefusalClosesTheConnectionAndLetsTheUserTryAgain)
{
    HostCopy host("主人");
    GuestCopy g;
    host.owner.on = [&](const Recorder::Msg& m) {
        if (m.msg == WM_SOCK_PACKET && m.type == PKT_HELLO) host.sock.SendRefuse(m.wParam);
    };
    bool refusedShown = false, escIgnored = false;
    std::vector<bool> buttons;
    const int result = g.RunWhile([&] {
        g.TypeAndEnter(host.Dest());
        EXPECT_EQ(g.dlg.StatusText(), QStringLiteral("接続の待機中です。しばらくお待ちください。"));
        EXPECT_EQ(Enabled(g.dlg), std::vector<bool>(4, false));
        QTest::keyClick(&g.dlg, Qt::Key_Escape);
        escIgnored = g.dlg.isVisible();
        refusedShown = WaitFor([&] { return g.dlg.StatusText() == QStringLiteral("接続を断られました。"); });
        buttons = Enabled(g.dlg);
        QTest::mouseClick(g.dlg.BackButton(), Qt::LeftButton);
    });
    EXPECT_TRUE(escIgnored);
    EXPECT_TRUE(refusedShown);
    EXPECT_EQ(buttons, std::vector<bool>(4, true));  // as before the attempt
    EXPECT_EQ(result, 0);
    EXPECT_EQ(g.sock.OwnHandle(), 0);
    EXPECT_TRUE(WaitFor([&] { return host.sock.AllSlotsFree() == 1; }));
}

TEST(ConnectDlg, GivesUpWhenTheHostNeverAnswers)
{
    HostCopy host("主人");
    GuestCopy g;
    g.dlg.SetTickLimit(5);
    bool gaveUp = false;
    int ticksBefore = -1;
    g.RunWhile([&] {
        g.TypeAndEnter(host.Dest());
        EXPECT_TRUE(g.dlg.TimerRunning());
        WaitFor([&] { return g.dlg.Ticks() >= 3; });
        ticksBefore = g.dlg.Ticks();
        gaveUp = WaitFor([&] { return g.dlg.StatusText() == QStringLiteral("時間内に接続できませんでした"); });
        EXPECT_FALSE(g.dlg.TimerRunning());
        EXPECT_TRUE(g.dlg.ConnectButton()->isEnabled());
        QTest::mouseClick(g.dlg.BackButton(), Qt::LeftButton);
    });
    EXPECT_GE(ticksBefore, 3);
    EXPECT_TRUE(gaveUp);
    EXPECT_EQ(g.sock.OwnHandle(), 0);
}

TEST(ConnectDlg, OtherPacketsDuringTheAttemptReachTheMainWindow)
{
    HostCopy host("主人");
    GuestCopy g;
    host.owner.on = [&](const Recorder::Msg& m) {
        if (m.msg == WM_SOCK_PACKET && m.type == PKT_HELLO) {
            host.Send(PKT_CHAT, Utf8ToSjis("主人>ちょっと待って"), m.wParam);
            host.Send(PKT_ACCEPT, "0", m.wParam);
        }
    };
    EXPECT_EQ(g.RunWhile([&] { g.TypeAndEnter(host.Dest()); }), 1);
    ASSERT_EQ(g.mainWnd.Count(WM_SOCK_PACKET), 1);
    EXPECT_EQ(g.mainWnd.Count(WM_SOCK_PACKET, PKT_CHAT), 1);
    EXPECT_EQ(g.mainWnd.msgs.back().text, Utf8ToSjis("主人>ちょっと待って"));
    EXPECT_EQ(g.mainWnd.Count(WM_SOCK_CONNECTED), 0);  // handled by the dialog
}

TEST(ConnectDlg, EnterTakesTheEditButTheButtonTakesTheRememberedDestination)
{
    HostCopy first("一"), second("二");
    for (HostCopy* h : {&first, &second})
        h->owner.on = [h](const Recorder::Msg& m) {
            if (m.msg == WM_SOCK_PACKET && m.type == PKT_HELLO) h->Send(PKT_ACCEPT, "0", m.wParam);
        };
    struct Case {
        bool enter;
        HostCopy* reached;
    } cases[] = {{true, &second}, {false, &first}};
    for (const Case& c : cases) {
        GuestCopy g;
        g.profile.SetHost(first.Dest());  // remembered from an earlier run
        CConnectDlg dlg(&g.sock, &g.listText, &g.profile, &g.mainWnd);
        QTimer::singleShot(0, &dlg, [&] {
            dlg.DestEdit()->setText(QString::fromStdString(second.Dest()));
            if (c.enter)
                QTest::keyClick(dlg.DestEdit(), Qt::Key_Return);
            else
                QTest::mouseClick(dlg.ConnectButton(), Qt::LeftButton);
        });
        EXPECT_EQ(dlg.Run(), 1);
        EXPECT_EQ(dlg.Opponent(), c.reached->sock.HandleName()) << c.enter;
    }
}

TEST(ConnectDlg, OwnAddressIsNotConnected)
{
    GuestCopy g;
    if (g.sock.m_strLocalAddr.empty()) GTEST_SKIP() << "the local host name has no IPv4 address here";
    struct Case {
        std::string dest;
    } cases[] = {{g.sock.m_strLocalAddr},
                 {g.sock.m_strLocalAddr + ":" + std::to_string(g.profile.GetPort())}};
    for (const Case& c : cases) {
        g.RunWhile([&] {
            g.TypeAndEnter(c.dest);
            EXPECT_TRUE(g.dlg.StatusText().isEmpty()) << c.dest;
            EXPECT_FALSE(g.dlg.TimerRunning());
            EXPECT_TRUE(g.dlg.ConnectButton()->isEnabled());
            EXPECT_EQ(g.sock.m_pOwner, &g.mainWnd);
            QTest::mouseClick(g.dlg.BackButton(), Qt::LeftButton);
        });
    }
}

namespace {
// A list server on loopback answering every request with `reply`.
struct ListServer {
    QTcpServer server;
    QByteArray reply;
    QByteArray request;
    bool silent = false;  // accept the connection, never answer
    explicit ListServer(QByteArray r, bool quiet = false) : reply(std::move(r)), silent(quiet)
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            QTcpSocket* s = server.nextPendingConnection();
            QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                request += s->readAll();
                if (silent || !request.endsWith('\n')) return;
                s->write(reply);
                s->flush();
                s->disconnectFromHost();
            });
        });
        qputenv("RAVUONE_LIST_URL",
                QByteArray("http://127.0.0.1:") + QByteArray::number(server.serverPort()) + "/list/RavuOneList.txt");
    }
    ~ListServer() { qunsetenv("RAVUONE_LIST_URL"); }
};
}  // namespace

TEST(ConnectDlg, FetchedListIsShownAndKeptForLaterOpenings)
{
    ListServer server(QByteArray("127.0.0.1,Taro\r\nexample.org,Jiro,3dan\r\n"));
    GuestCopy g;
    g.RunWhile([&] {
        EXPECT_TRUE(g.dlg.GetListButton()->isEnabled());
        QTest::mouseClick(g.dlg.GetListButton(), Qt::LeftButton);
        EXPECT_EQ(g.dlg.StatusText(), QStringLiteral("接続先を選んでください"));
        EXPECT_FALSE(g.dlg.GetListButton()->isEnabled());
        EXPECT_EQ(g.dlg.HostList()->count(), 2);
        QTest::mouseClick(g.dlg.BackButton(), Qt::LeftButton);
    });
    EXPECT_TRUE(server.request.startsWith("GET http://127.0.0.1:"));
    EXPECT_EQ(g.listText, "127.0.0.1,Taro\r\nexample.org,Jiro,3dan\r\n");
    g.RunWhile([&] {
        EXPECT_EQ(g.dlg.HostList()->count(), 2);
        EXPECT_EQ(g.dlg.HostList()->item(1)->text(), QStringLiteral("Jiro,3dan"));
        EXPECT_FALSE(g.dlg.GetListButton()->isEnabled());
        QTest::mouseClick(g.dlg.BackButton(), Qt::LeftButton);
    });
}

TEST(ConnectDlg, GarbageListAndLongNamesAreShownPlain)
{
    // 1,024 bytes of garbage from the list server, no zero byte.
    std::mt19937 rng(1024);
    QByteArray garbage;
    const char extra[] = {'\r', '\n', ',', '<', '>', '&'};
    while (garbage.size() < 1024) {
        const int r = static_cast<int>(rng() % 300);
        garbage += r < 256 ? char(r == 0 ? 1 : r) : extra[r % 6];
    }
    ListServer server(garbage);
    GuestCopy g;
    g.profile.SetHandleName(std::string(2000, 'N'));
    g.RunWhile([&] {
        QTest::mouseClick(g.dlg.GetListButton(), Qt::LeftButton);
        EXPECT_EQ(g.listText.size(), 1024u);
        QListWidget* list = g.dlg.HostList();
        EXPECT_EQ(list->count(), static_cast<int>(ParseHostList(g.listText).size()));
        for (int i = 0; i < list->count(); ++i) {
            for (QChar c : list->item(i)->text()) EXPECT_GE(c.unicode(), 0x20);
            list->setCurrentRow(i);
            EXPECT_EQ(g.dlg.Dest().find_first_of("\r\n,"), std::string::npos);
            EXPECT_EQ(g.dlg.OpponentLabel()->textFormat(), Qt::PlainText);
        }
        EXPECT_EQ(g.dlg.HandleLabel()->text().size(), 2000);
        EXPECT_EQ(g.dlg.HandleLabel()->textFormat(), Qt::PlainText);
        QTest::mouseClick(g.dlg.BackButton(), Qt::LeftButton);
    });
}

TEST(ConnectDlg, ListServerThatNeverAnswersGivesAnEmptyList)
{
    ListServer server(QByteArray("127.0.0.1,Taro\r\n"), true);
    GuestCopy g;
    g.dlg.SetListWaitLimit(300);
    g.RunWhile([&] {
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(g.dlg.GetListButton(), Qt::LeftButton);
        EXPECT_GE(clock.elapsed(), 250);
        EXPECT_EQ(g.dlg.StatusText(), QStringLiteral("接続先を選んでください"));
        EXPECT_EQ(g.dlg.HostList()->count(), 0);
        // "リストの取得" stays disabled until the next opening.
        EXPECT_FALSE(g.dlg.GetListButton()->isEnabled());
        EXPECT_TRUE(g.dlg.ConnectButton()->isEnabled());
        QTest::mouseClick(g.dlg.BackButton(), Qt::LeftButton);
    });
    EXPECT_TRUE(server.request.startsWith("GET "));
    EXPECT_TRUE(g.listText.empty());
    g.RunWhile([&] {
        EXPECT_TRUE(g.dlg.GetListButton()->isEnabled());
        QTest::mouseClick(g.dlg.BackButton(), Qt::LeftButton);
    });
}
