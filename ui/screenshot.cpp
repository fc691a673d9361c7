// Draws the main window offscreen and saves pictures for the documentation:
// the start position, a game with a piece held and the squares it can reach
// outlined, a refereed game with its clocks, the end of one by mate with its
// notice, and a game adjourned by a lost connection as the program takes it
// up again after a restart.
//   ravuone-screenshot SKIN_DIR OUT_DIR
// Run with QT_SCALE_FACTOR=2 it draws them as on a screen of device pixel
// ratio 2, twice the size, and names them main-start@2x.png and so on.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <utility>
#include <vector>

#include "app/atomic_file.h"
#include "app/language.h"
#include "app/shogi_app.h"
#include "app/textcodec.h"
#include "net/game_link.h"
#include "ui/balloon_dlg.h"
#include "ui/main_dlg.h"

namespace {

using ravu::CMainDlg;

QPoint Square(int file, int rank) { return QPoint(141 + 31 * (9 - file) + 15, 11 + 31 * (rank - 1) + 15); }

// The main window on a clock the pictures set, so that the clocks show
// thinking times of a real game.
class CShotDlg : public CMainDlg {
public:
    using CMainDlg::CMainDlg;
    int64_t NowMs() const override { return now; }
    // Every move that may promote does.
    int AskPromotion(int, int) override { return 1; }
    int64_t now = 0;
};

// out/name.png, or out/name@2x.png on a screen of ratio 2.
QString ShotPath(const QDir& out, const char* name) {
    const QString suffix =
        qApp->devicePixelRatio() > 1.0 ? QStringLiteral("@2x.png") : QStringLiteral(".png");
    return out.filePath(QString::fromLatin1(name) + suffix);
}

// What the screen shows, cut to the window's shape (white outside it), with
// a notice balloon over it when one shows; in the screen's pixels.
bool Save(CMainDlg& dlg, const QString& path) {
    const QImage screen = dlg.ScreenImage();
    const qreal ratio = screen.devicePixelRatio();
    QImage shot(dlg.size() * ratio, QImage::Format_RGB32);
    shot.setDevicePixelRatio(ratio);
    shot.fill(Qt::white);
    QPainter p(&shot);
    p.setClipRegion(dlg.ShownRegion());
    p.drawImage(0, 0, screen);
    auto* balloon = dynamic_cast<ravu::CBalloonDlg*>(dlg.balloon.get());
    if (balloon && balloon->isVisible()) {
        p.setClipping(false);
        p.drawPixmap(balloon->pos() - dlg.pos(), balloon->grab());
    }
    p.end();
    return shot.copy(QRect(QPoint(0, 0), QSize(568, 410) * ratio)).save(path);
}

// A move made with the mouse by the side to move, `thinkMs` after the last.
struct Move {
    int fromFile, fromRank, toFile, toRank;
    int64_t thinkMs;
};

void Play(CShotDlg& dlg, const std::vector<Move>& moves) {
    for (const Move& m : moves) {
        dlg.now += m.thinkMs;
        dlg.protocol->mySide = dlg.SideToMove();
        QTest::mouseClick(&dlg, Qt::LeftButton, Qt::NoModifier, Square(m.fromFile, m.fromRank));
        QTest::mouseClick(&dlg, Qt::LeftButton, Qt::NoModifier, Square(m.toFile, m.toRank));
    }
}

// A refereed game against a host with the extension, as the guest proposed it.
void StartRefereedGame(CShotDlg& dlg, const ravu::GameSettings& settings) {
    dlg.protocol->OnGuestConnected(dlg.protocol->CapsText());
    dlg.protocol->proposal = settings;
    dlg.protocol->OnTurnAccepted(ravu::SENTE);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The games played for the pictures are saved out of the user's way.
    const QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    QApplication app(argc, argv);
    ravu::InitResources();
    // Japanese pictures unless RAVU_LANG=en asks for the English ones.
    ravu::InstallLanguage(qEnvironmentVariable(ravu::LANGUAGE_ENV) == QLatin1String(ravu::LANGUAGE_ENGLISH));
    if (argc < 3) {
        fprintf(stderr, "usage: ravuone-screenshot SKIN_DIR OUT_DIR\n");
        return 2;
    }
    const QString skinDir = QString::fromLocal8Bit(argv[1]);
    const QDir out(QString::fromLocal8Bit(argv[2]));
    ravu::CProfile profile;
    profile.SetHandleName("screenshot");
    ravu::CNullLink guestLink, hostLink;
    CShotDlg dlg(profile, skinDir, guestLink, hostLink);
    dlg.show();
    if (!QTest::qWaitForWindowExposed(&dlg))
        return 1;
    bool ok = Save(dlg, ShotPath(out, "main-start"));

    // A short game: both sides' moves made with the mouse, as the user would.
    dlg.protocol->connState = ravu::CONN_GUEST;
    dlg.protocol->mySide = ravu::SENTE;
    dlg.StartGame();
    const int moves[][4] = {{7, 7, 7, 6}, {3, 3, 3, 4}, {2, 7, 2, 6},
                            {8, 3, 8, 4}, {2, 6, 2, 5}, {8, 4, 8, 5}};
    for (const auto& m : moves) {
        dlg.protocol->mySide = dlg.SideToMove();
        QTest::mouseClick(&dlg, Qt::LeftButton, Qt::NoModifier, Square(m[0], m[1]));
        QTest::mouseClick(&dlg, Qt::LeftButton, Qt::NoModifier, Square(m[2], m[3]));
    }
    // Sente holds its rook: the squares it reaches are outlined in yellow,
    // its own pawn in the way in magenta; the piece follows the pointer.
    dlg.protocol->mySide = dlg.SideToMove();
    QTest::mouseClick(&dlg, Qt::LeftButton, Qt::NoModifier, Square(2, 8));
    QTest::mouseMove(&dlg, Square(2, 8) + QPoint(-12, -40));
    ok = Save(dlg, ShotPath(out, "main-game")) && ok;
    QTest::mouseClick(&dlg, Qt::RightButton, Qt::NoModifier, Square(2, 8));  // the rook goes back

    // A strict game of 5 minutes and 30 seconds byoyomi: sente has thought
    // 2:30 in all, gote has used its main time and 12 seconds of the
    // byoyomi on the move it is thinking about.
    using ravu::TimeKind;
    StartRefereedGame(dlg, {ravu::Rules::Strict, {}, {TimeKind::Byoyomi, 5 * 60 * 1000, 30 * 1000, 0}});
    Play(dlg, {{7, 7, 7, 6, 15000},
               {3, 3, 3, 4, 40000},
               {2, 7, 2, 6, 30000},
               {8, 3, 8, 4, 100000},
               {2, 6, 2, 5, 45000},
               {8, 4, 8, 5, 150000},
               {3, 9, 4, 8, 60000}});
    dlg.now += 22000;
    dlg.Redraw(false);
    ok = Save(dlg, ShotPath(out, "main-clock")) && ok;

    // The end of a strict game by mate, with its notice: one of the
    // shortest mates from the even start (▲2六歩 △4二玉 ▲2五歩 △3二玉
    // ▲2四歩 △4二飛 ▲2三歩成), found by the referee.
    StartRefereedGame(dlg, {ravu::Rules::Strict, {}, {}});
    Play(dlg, {{2, 7, 2, 6, 0},
               {5, 1, 4, 2, 0},
               {2, 6, 2, 5, 0},
               {4, 2, 3, 2, 0},
               {2, 5, 2, 4, 0},
               {8, 2, 4, 2, 0},
               {2, 4, 2, 3, 0}});
    ok = Save(dlg, ShotPath(out, "main-mate")) && ok;

    // A game with byoyomi cut off by a lost connection, taken up again after
    // a restart: the record from its autosave file, the clocks as they
    // stopped, the notice.  The notice of the mate is dismissed first.
    if (auto* balloon = dynamic_cast<ravu::CBalloonDlg*>(dlg.balloon.get()))
        balloon->OnCommand(ravu::CBalloonDlg::CMD_OK);
    StartRefereedGame(dlg, {ravu::Rules::Strict, {}, {TimeKind::Byoyomi, 10 * 60 * 1000, 30 * 1000, 0}});
    Play(dlg, {{7, 7, 7, 6, 20000},
               {3, 3, 3, 4, 35000},
               {2, 7, 2, 6, 50000},
               {8, 3, 8, 4, 40000},
               {2, 6, 2, 5, 65000},
               {8, 4, 8, 5, 30000}});
    dlg.protocol->mySide = ravu::SENTE;
    ravu::Adjournment kept = dlg.protocol->Kept();
    kept.token = "0123456789abcdef";
    kept.address = "192.0.2.7:9149";
    kept.opponent = ravu::Utf8ToSjis("花子");
    kept.recordPath = dlg.autosave.Path().toStdString();
    dlg.ClearGameState();  // out of the game, as a window just started
    ok = ravu::WriteFileAtomic(QFile::encodeName(ravu::CAutosave::KeptGamePath()).toStdString(),
                               ravu::AdjournmentText(kept)) &&
         ok;
    dlg.RestoreKeptGame();
    ok = dlg.protocol->Adjourned() && Save(dlg, ShotPath(out, "main-adjourned")) && ok;
    return ok ? 0 : 1;
}
