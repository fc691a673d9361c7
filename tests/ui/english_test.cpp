// The windows in English: a few texts as a player reads them, a walk over
// every window, dialog and menu that finds no Japanese left in their titles,
// labels, buttons, boxes, tool tips, placeholders and accessible names, and
// the pictures with words drawn from their English files.  Only what players
// or records wrote stays Japanese (names, moves).
#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>

#include "app/language.h"
#include "main_test_support.h"
#include "net/extension.h"
#include "net/port_map_status.h"
#include "net/sock_errors.h"
#include "record/start_position.h"
#include "ui/about_dlg.h"
#include "ui/analysis_dlg.h"
#include "ui/balloon_dlg.h"
#include "ui/connect_dlg.h"
#include "ui/image_button.h"
#include "ui/promote_dlg.h"
#include "ui/settings_dlg.h"
#include "ui/turn_dlg.h"

namespace ravu::test {
namespace {

// Kana, kanji, CJK punctuation and full-width forms.
const QRegularExpression CJK(QStringLiteral("[\\x{3000}-\\x{30FF}\\x{3400}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));

// Japanese is named in itself in the language choice.
const QString OWN_NAME_OF_JAPANESE = QStringLiteral("日本語");

QString Utf(const std::string& sjis) { return QString::fromUtf8(SjisToUtf8(sjis)); }

// Every text of the widget, its children and their menus that a player
// reads, as "where: text".
QStringList TextsOf(QWidget* top) {
    QStringList out;
    auto add = [&out](const QObject* o, const char* what, const QString& text) {
        if (!text.isEmpty())
            out << QStringLiteral("%1/%2 %3: %4")
                       .arg(QString::fromLatin1(o->metaObject()->className()), o->objectName(),
                            QString::fromLatin1(what), text);
    };
    std::function<void(QMenu*)> addMenu = [&](QMenu* menu) {
        add(menu, "title", menu->title());
        for (QAction* a : menu->actions()) {
            add(a, "action", a->text());
            add(a, "action tip", a->toolTip() == a->text() ? QString() : a->toolTip());
            if (a->menu())
                addMenu(a->menu());
        }
    };
    QList<QWidget*> widgets = top->findChildren<QWidget*>();
    widgets.prepend(top);
    for (QWidget* w : widgets) {
        add(w, "title", w->isWindow() ? w->windowTitle() : QString());
        add(w, "tip", w->toolTip());
        add(w, "accessible name", w->accessibleName());
        add(w, "accessible description", w->accessibleDescription());
        add(w, "what's this", w->whatsThis());
        if (auto* label = qobject_cast<QLabel*>(w))
            add(w, "label", label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            add(w, "button", button->text());
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            add(w, "placeholder", edit->placeholderText());
        if (auto* box = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < box->count(); ++i)
                if (box->itemText(i) != OWN_NAME_OF_JAPANESE)
                    add(w, "item", box->itemText(i));
        if (auto* menu = qobject_cast<QMenu*>(w))
            addMenu(menu);
    }
    return out;
}

QStringList Japanese(const QStringList& texts) { return texts.filter(CJK); }

// The balloon's questions, kept as asked; every question answered yes.
struct AskedQuestions : IQuestion {
    int Ask(const std::string& sjis) override {
        asked << Utf(sjis);
        return ASK_YES;
    }
    void Tell(const std::string& sjis) override { told << Utf(sjis); }
    QStringList asked, told;
};

class EnglishWindows : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(InstallLanguage(true));
        profile.SetHandleName("taro");
        dlg = std::make_unique<CMainDlg>(profile, QStringLiteral(RAVU_SOURCE_DIR "/res/skin"), connectLink,
                                         listenLink);
        dlg->show();  // its set-up makes the secondary windows and the menu
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
        // Over links in memory the main window has no connect and turn
        // dialogs of its own: these are the ones it makes over sockets.
        connectDlg = std::make_unique<CConnectDlg>(&socket, &hostList, &profile, dlg->protocol.get());
        turnDlg = std::make_unique<CTurnDlg>(&profile, dlg->protocol.get());
        turnDlg->SetProtocol(dlg->protocol.get());
    }
    void TearDown() override {
        turnDlg.reset();
        connectDlg.reset();
        dlg.reset();
        UninstallLanguage();
    }
    QWidget* Window(auto& owned) { return dynamic_cast<QWidget*>(owned.get()); }

    CProfile profile;
    CFakeLink connectLink{false};
    CFakeLink listenLink{true};
    std::unique_ptr<CMainDlg> dlg;
    CGameSocket socket;
    std::string hostList;
    std::unique_ptr<CConnectDlg> connectDlg;
    std::unique_ptr<CTurnDlg> turnDlg;
};

TEST_F(EnglishWindows, SayWhatAPlayerExpects) {
    const PortMapResult mapped{.state = PortMapState::Mapped,
                               .method = PortMapMethod::Upnp,
                               .externalAddress = "203.0.113.5",
                               .externalPort = 9149};
    const PortMapResult refused{.state = PortMapState::Refused,
                                .method = PortMapMethod::NatPmp,
                                .externalAddress = {},
                                .routerCode = 2};
    const GameSettings handicap{Rules::Strict, HandicapSfen(Utf8ToSjis("角落ち")),
                                TimeControl{TimeKind::Byoyomi, 10 * 60000, 30000, 0}};
    const GameSettings increment{Rules::Free, {}, TimeControl{TimeKind::Increment, 90000, 0, 5000}};
    CPromoteDlg promote(nullptr);
    const struct {
        QString shown, expected;
    } cases[] = {
        {Window(dlg->settingsDlg)->windowTitle(), QStringLiteral("Settings")},
        {turnDlg->windowTitle(), QStringLiteral("Choose sides")},
        {connectDlg->windowTitle(), QStringLiteral("Connect")},
        {dlg->kifuWnd->Window()->windowTitle(), QStringLiteral("Game record")},
        {Window(dlg->aboutDlg)->windowTitle(), QStringLiteral("About RavuOne")},
        {dlg->analysisDlg->windowTitle(), QStringLiteral("Analysis")},
        {promote.findChildren<QAbstractButton*>().value(0)->text(), QStringLiteral("Promote")},
        {dlg->PopupMenu()->actions().constLast()->text(), QStringLiteral("Exit")},
        {Utf(NoticeText(Notice::OpponentResigned)), QStringLiteral("Your opponent resigned.\r\nYou win.")},
        {Utf(NoticeLogLine(Notice::ConnectionLost)),
         QStringLiteral("◆The connection to your opponent was lost.")},
        {Utf(PortMapText(mapped)), QStringLiteral("Address reachable from outside: 203.0.113.5:9149 (UPnP)")},
        {Utf(PortMapText(refused)),
         QStringLiteral("Port forwarding: refused by the router (NAT-PMP code 2)")},
        {Utf(SettingsText(handicap)),
         QStringLiteral(" Rules: illegal move loses\r\n Handicap: Bishop (uwate first)\r\n"
                        " Time: 10 min, byoyomi 30 s\r\n")},
        {Utf(SettingsText(increment)),
         QStringLiteral(" Rules: free\r\n Time: 1 min 30 s, +5 s per move\r\n")},
        {Utf(SockErrorText(WSAECONNREFUSED)), QStringLiteral("The connection was refused.")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.shown.toStdString(), c.expected.toStdString());
}

// Every window the main window owns, its popup menu with the recent games,
// the promotion question, the turn dialog offering the game's settings, and
// the balloon with notices.
TEST_F(EnglishWindows, ShowNoJapaneseOfTheirOwn) {
    QMetaObject::invokeMethod(dlg->RecentMenu(), "aboutToShow");
    dlg->protocol->OnGuestConnected(dlg->protocol->CapsText());  // the turn dialog offers the settings
    CPromoteDlg promote(nullptr);
    QStringList texts = TextsOf(dlg.get()) + TextsOf(&promote);  // the popup menu is the main window's child
    for (QWidget* w : {Window(dlg->settingsDlg), static_cast<QWidget*>(connectDlg.get()),
                       static_cast<QWidget*>(turnDlg.get()), Window(dlg->aboutDlg), dlg->kifuWnd->Window(),
                       dlg->chatLog->Window(), static_cast<QWidget*>(dlg->analysisDlg.get())}) {
        ASSERT_NE(w, nullptr);
        w->show();  // texts set on show are there too
        texts += TextsOf(w);
        w->hide();
    }
    // The walk reaches the windows' texts and the menu's.
    EXPECT_GE(texts.size(), 60);
    EXPECT_EQ(texts.filter(QRegularExpression(QStringLiteral(" action: Exit$"))).size(), 1);
    EXPECT_EQ(Japanese(texts).join(QLatin1Char('\n')).toStdString(), "");

    CBalloonDlg balloon;
    for (Notice kind : {Notice::OpponentResigned, Notice::ChatArrived, Notice::Adjourned,
                        Notice::LostByDeclaration, Notice::ReviewStarted}) {
        balloon.Tell(NoticeText(kind));
        EXPECT_EQ(Japanese({balloon.Question(), Utf(NoticeLogLine(kind))}), QStringList())
            << NoticeName(kind);
        balloon.OnCommand(CBalloonDlg::CMD_OK);
    }
}

// The questions the protocol puts to the host's player: a guest asks to
// connect, then proposes the sides.
TEST_F(EnglishWindows, AskInEnglish) {
    auto* questions = new AskedQuestions;
    dlg->balloon.reset(questions);
    listenLink.Put(5, PKT_HELLO, "jiro");
    dlg->protocol->OnSockMessage(WM_SOCK_PACKET, 5);
    listenLink.Put(5, PKT_TURN, "0");
    dlg->protocol->OnSockMessage(WM_SOCK_PACKET, 5);
    EXPECT_EQ(
        questions->asked,
        QStringList(
            {QStringLiteral("\r\nSomeone wants to connect.\r\nAccept the connection?\r\n\r\nHandle: jiro"),
             QStringLiteral("\r\nAre these sides all right?\r\n\r\n Sente: jiro \r\n Gote: taro")}));
}

// The pictures with words come from the English files: the main window's
// control strip and turn labels, the balloon's buttons.  A skin folder
// without en/ keeps its own background; the built-in labels are English
// with it too.
TEST_F(EnglishWindows, DrawTheEnglishPictures) {
    const QString res = QStringLiteral(RAVU_SOURCE_DIR "/res/");
    QTemporaryDir ownSkin;
    for (const char* name : {"BackBmp.bmp", "Waku.bmp", "Koma01.bmp"})
        ASSERT_TRUE(
            QFile::copy(res + "skin/" + name, QDir(ownSkin.path()).filePath(QString::fromLatin1(name))));
    CMainDlg own(profile, ownSkin.path(), connectLink, listenLink);
    CImageButton yes(172);  // made while English is installed, as the balloon makes it
    struct Case {
        const char* what;
        QWidget* window;
        QRect onWindow;
        const char* shownFile;  // in res/
        const char* otherFile;  // the same picture in the other language
        QPoint inFile;
    } cases[] = {
        {"strip button 開く", dlg.get(), QRect(243, 320, 40, 40), "skin/en/BackBmp.bmp", "skin/BackBmp.bmp",
         QPoint(243, 320)},
        {"plain 後手 label", dlg.get(), QRect(47, 141, 30, 16), "en/bmp143.bmp", "bmp143.bmp",
         QPoint(2 * 38 + 3, 3)},
        {"balloon button はい", &yes, QRect(0, 0, 58, 58), "en/bmp172.bmp", "bmp172.bmp", QPoint(0, 0)},
        {"own skin without en/: strip button 開く", &own, QRect(243, 320, 40, 40), "skin/BackBmp.bmp",
         "skin/en/BackBmp.bmp", QPoint(243, 320)},
        {"own skin without en/: plain 後手 label", &own, QRect(47, 141, 30, 16), "en/bmp143.bmp",
         "bmp143.bmp", QPoint(2 * 38 + 3, 3)},
    };
    auto rgb = [](const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QImage shown = rgb(c.window->grab().toImage()).copy(c.onWindow);
        const QRect inFile(c.inFile, c.onWindow.size());
        const QImage expected = rgb(QImage(res + c.shownFile).copy(inFile));
        ASSERT_EQ(expected.size(), c.onWindow.size());
        EXPECT_EQ(shown, expected);
        EXPECT_NE(shown, rgb(QImage(res + c.otherFile).copy(inFile)));
    }
}

}  // namespace
}  // namespace ravu::test
