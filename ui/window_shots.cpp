// Writes pictures of the secondary windows for the documentation:
//   ravuone-window-shots OUTDIR [ANALYSED_KIF]
// (QT_SCALE_FACTOR=2 in the environment: as on a screen of ratio 2, twice the
// size, window-balloon@2x.png and so on)
// ANALYSED_KIF (docs/example-analysed.kif) is a game whose comments hold an
// engine's analysis; with it the analysis window and its marks are drawn too.
// Run on the offscreen platform; every window is filled with example content
// and grabbed with its own painting code.
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>

#include "app/language.h"
#include "app/settings.h"
#include "app/textcodec.h"
#include "net/game_link.h"
#include "net/game_socket.h"
#include "net/peer_protocol.h"
#include "record/analysis.h"
#include "record/kifu.h"
#include "ui/about_dlg.h"
#include "ui/analysis_dlg.h"
#include "ui/balloon_dlg.h"
#include "ui/chat_log_dlg.h"
#include "ui/connect_dlg.h"
#include "ui/eval_graph.h"
#include "ui/kifu_dlg.h"
#include "ui/main_dlg.h"
#include "ui/settings_dlg.h"
#include "ui/turn_dlg.h"

using namespace ravu;

namespace {

QString outDir;
int failures = 0;

// Each picture in the screen's pixels: run with QT_SCALE_FACTOR=2 it is
// twice the size and named with "@2x" before ".png".
void Save(QWidget* w, const char* name) {
    QString file = QString::fromLatin1(name);
    if (qApp->devicePixelRatio() > 1.0)
        file.replace(QStringLiteral(".png"), QStringLiteral("@2x.png"));
    const QString path = QDir(outDir).filePath(file);
    if (!w->grab().save(path)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        ++failures;
    }
}

// Grabs a modal dialog once it is open, then closes it with `close`.
template <class Dlg, class Close>
void ShootModal(Dlg& dlg, const char* name, Close close, int (*run)(Dlg&)) {
    QTimer::singleShot(50, &dlg, [&dlg, name, close] {
        Save(&dlg, name);
        close(dlg);
    });
    run(dlg);
}

const char* const EXAMPLE_KIF =
    "# ----  Ravu One β V1.0.0.9 棋譜ファイル  ----\r\n"
    "手合割：平手\r\n"
    "先手：太郎\r\n"
    "後手：花子\r\n"
    "手数----指手---------消費時間--\r\n"
    "   1 ７六歩(77)   ( 0:00/00:00:00)\r\n"
    "*よろしくお願いします\r\n"
    "   2 ３四歩(33)   ( 0:00/00:00:00)+\r\n"
    "   3 ２六歩(27)   ( 0:00/00:00:00)\r\n"
    "   4 ８四歩(83)   ( 0:00/00:00:00)\r\n"
    "   5 ２五歩(26)   ( 0:00/00:00:00)\r\n"
    "   6 ８五歩(84)   ( 0:00/00:00:00)\r\n"
    "\r\n"
    "変化：2手\r\n"
    "   2 ８四歩(83)   ( 0:00/00:00:00)\r\n"
    "*居飛車の出だし\r\n"
    "   3 ２六歩(27)   ( 0:00/00:00:00)\r\n"
    "\r\n";

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Japanese pictures unless RAVU_LANG=en asks for the English ones.
    InstallLanguage(qEnvironmentVariable(LANGUAGE_ENV) == QLatin1String(LANGUAGE_ENGLISH));
    if (argc < 2) {
        std::fprintf(stderr, "usage: ravuone-window-shots OUTDIR\n");
        return 2;
    }
    outDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outDir);

    CProfile profile;
    profile.SetHandleName(Utf8ToSjis("太郎"));

    // Record window, widened, with a move of the variation selected.
    CKifuControl record;
    record.LoadKifFromBuffer(Utf8ToSjis(EXAMPLE_KIF), Utf8ToSjis("例.kif"));
    CKifuDlg kifu(&record, nullptr);
    kifu.RefreshLists();
    kifu.show();
    kifu.resize(kifu.MoveList()->width() + 190, 260);
    kifu.MoveList()->SelectLine(2);
    QTreeWidgetItemIterator it(kifu.Tree());
    for (; *it; ++it) {
        if ((*it)->parent() && (*it)->parent()->parent() &&
            (*it)->text(0).contains(QStringLiteral("８四歩"))) {
            kifu.Tree()->SelectItem(CKifuTreeWidget::HandleOf(*it));
            break;
        }
    }
    Save(&kifu, "window-record.png");

    // An analysed game: the analysis window at the move that threw the game
    // away, and the move list with that move marked.
    if (argc > 2) {
        CKifuControl analysed;
        analysed.LoadKif(argv[2], Utf8ToSjis("解析例.kif"));
        CKifuDlg list(&analysed, nullptr);
        list.MoveList()->SetBadTest([&analysed](int i) { return IsBadLine(analysed.kifu.line, i); });
        analysed.kifu.SetLine(CKifu::EndOfLine(analysed.kifu.Root()));
        list.RefreshLists();
        list.show();
        list.MoveList()->SelectLine(31);
        list.MoveList()->scrollToItem(list.MoveList()->item(36));
        Save(&list, "window-record-analysed.png");
        CAnalysisDlg analysis(&analysed, &profile, nullptr);
        analysis.show();
        analysis.PositionShown(&analysed.kifu.line[30]);
        Save(&analysis, "window-analysis.png");
    }

    // Chat log.
    ChatLogRect rect;
    CChatLogDlg chat(&rect);
    chat.show();
    for (const char* line :
         {"花子>よろしくお願いします", "太郎>よろしくお願いします", "花子>ちょっと考えます", "太郎>どうぞ",
          "花子><b>タグ</b>もそのまま表示されます"})
        chat.AddLine(QString::fromUtf8(line));
    Save(&chat, "window-chatlog.png");

    // Balloon asking whether to accept a connection.
    CBalloonDlg balloon;
    ShootModal<CBalloonDlg>(
        balloon, "window-balloon.png", [](CBalloonDlg& b) { b.OnCommand(CBalloonDlg::CMD_NO); },
        [](CBalloonDlg& b) {
            return b.Ask(QCoreApplication::translate(
                "Question", "\r\n接続の申し込みがあります。\r\n接続してもよろしいですか？\r\n"));
        });

    // Notices: the balloon with its single button, shown without blocking,
    // for events from the other side and for a button that cannot act.
    for (Notice kind :
         {Notice::OpponentResigned, Notice::OpponentGone, Notice::MoveRefused, Notice::SenteResigned,
          Notice::ChatArrived, Notice::WonByMate, Notice::LostOnTime, Notice::WonByDeclaration}) {
        balloon.Tell(NoticeText(kind));
        const std::string name = std::string("window-notice-") + NoticeName(kind) + ".png";
        Save(&balloon, name.c_str());
        balloon.OnCommand(CBalloonDlg::CMD_OK);
    }
    balloon.Tell(CMainDlg::tr("相手の手番です。\r\n投了は自分の手番にできます。"));
    Save(&balloon, "window-notice-resign-refused.png");
    balloon.OnCommand(CBalloonDlg::CMD_OK);
    balloon.Tell(
        CMainDlg::tr("入玉宣言の条件を\r\n満たしていません。\r\n（27点法：玉と10枚が敵陣に、\r\n"
                     "先手28点・後手27点以上、\r\n王手されていないこと）"));
    Save(&balloon, "window-notice-declare-refused.png");
    balloon.OnCommand(CBalloonDlg::CMD_OK);

    // The chat log keeps a line of each notice among the chat lines.
    CChatLogDlg noticeLog(&rect);
    noticeLog.show();
    noticeLog.AddLine(QStringLiteral("花子>よろしくお願いします"));
    noticeLog.AddLine(QStringLiteral("太郎>よろしくお願いします"));
    noticeLog.AddLine(NoticeLogLine(Notice::OpponentResigned));
    noticeLog.AddLine(QStringLiteral("花子>ありがとうございました"));
    noticeLog.AddLine(NoticeLogLine(Notice::ConnectionLost));
    Save(&noticeLog, "window-notice-chatlog.png");

    // Connect dialog with a host list, one entry chosen.
    CGameSocket socket;
    std::string listText =
        Utf8ToSjis("127.0.0.1,花子 (三段)\r\nshogi.example,次郎\r\n192.0.2.7,三郎,初心者歓迎\r\n");
    CConnectDlg connectDlg(&socket, &listText, &profile, nullptr);
    ShootModal<CConnectDlg>(
        connectDlg, "window-connect.png", [](CConnectDlg& d) { d.done(QDialog::Rejected); },
        [](CConnectDlg& d) {
            QTimer::singleShot(10, &d, [&d] { d.HostList()->setCurrentRow(0); });
            return d.Run();
        });

    // Turn dialog: the host's name comes from its hello.
    socket.m_strPeerName = Utf8ToSjis("花子");
    CTurnDlg turnDlg(&profile, nullptr);
    turnDlg.SetSocket(&socket);
    ShootModal<CTurnDlg>(
        turnDlg, "window-turn.png", [](CTurnDlg& d) { d.Cancel(); }, [](CTurnDlg& d) { return d.Run(); });
    // The same with a host that has the extension: the game's settings are
    // offered, here those proposed last time.
    CNullLink guestLink, hostLink;
    CMainDlg mainWnd(profile, QStringLiteral("."), guestLink, hostLink);
    mainWnd.protocol->OnGuestConnected(mainWnd.protocol->CapsText());
    mainWnd.protocol->proposal =
        GameSettings{Rules::Strict, {}, TimeControl{TimeKind::Byoyomi, 600000, 30000, 0}};
    turnDlg.SetProtocol(mainWnd.protocol.get());
    ShootModal<CTurnDlg>(
        turnDlg, "window-turn-settings.png", [](CTurnDlg& d) { d.Cancel(); },
        [](CTurnDlg& d) { return d.Run(); });

    // Settings and version.
    CSettingsDlg settings(&profile);
    ShootModal<CSettingsDlg>(
        settings, "window-settings.png", [](CSettingsDlg& d) { d.done(QDialog::Rejected); },
        [](CSettingsDlg& d) { return d.Run(); });
    // With the line of a router that forwards the port.
    CAboutDlg about;
    PortMapResult mapped;
    mapped.state = PortMapState::Mapped;
    mapped.method = PortMapMethod::Upnp;
    mapped.externalAddress = "203.0.113.5";
    mapped.externalPort = static_cast<uint16_t>(DEFAULT_PORT);
    about.ShowPortMap(mapped);
    ShootModal<CAboutDlg>(
        about, "window-version.png", [](CAboutDlg& d) { d.done(QDialog::Rejected); },
        [](CAboutDlg& d) { return d.Run(); });
    return failures == 0 ? 0 : 1;
}
