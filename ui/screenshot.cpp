// Draws the main window offscreen and saves two pictures for the
// documentation: the start position, and a game with a piece held and the
// squares it can reach outlined.
//   ravuone-screenshot SKIN_DIR OUT_DIR
#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTest>

#include "app/shogi_app.h"
#include "net/game_link.h"
#include "ui/main_dlg.h"

namespace {

QPoint Square(int file, int rank) { return QPoint(141 + 31 * (9 - file) + 15, 11 + 31 * (rank - 1) + 15); }

bool Save(ravu::CMainDlg& dlg, const QString& path) {
    // What the screen shows, cut to the window's shape (white outside it).
    QImage shot(dlg.size(), QImage::Format_RGB32);
    shot.fill(Qt::white);
    QPainter p(&shot);
    p.setClipRegion(ravu::CMainDlg::WindowRegion());
    p.drawImage(0, 0, dlg.ScreenImage());
    p.end();
    return shot.copy(0, 0, 568, 410).save(path);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ravu::InitResources();
    if (argc < 3) {
        fprintf(stderr, "usage: ravuone-screenshot SKIN_DIR OUT_DIR\n");
        return 2;
    }
    const QString skinDir = QString::fromLocal8Bit(argv[1]);
    const QDir out(QString::fromLocal8Bit(argv[2]));
    ravu::CProfile profile;
    profile.SetHandleName("screenshot");
    ravu::CNullLink guestLink, hostLink;
    ravu::CMainDlg dlg(profile, skinDir, guestLink, hostLink);
    dlg.show();
    if (!QTest::qWaitForWindowExposed(&dlg))
        return 1;
    bool ok = Save(dlg, out.filePath("main-start.png"));

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
    ok = Save(dlg, out.filePath("main-game.png")) && ok;
    return ok ? 0 : 1;
}
