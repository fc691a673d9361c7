// Timings of the main window's drawing, offscreen:
//   - a partial Redraw (compose the back buffer, repaint the 568 x 300 band),
//   - DragTo (the held piece follows the pointer: two 30 x 30 areas),
//   - start-up to the first painted frame (skins read, window built and shown),
//   - resident memory after start-up, of this process and of the program.
// Prints the median and 99th percentile of each timing in microseconds.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "app/shogi_app.h"
#include "net/game_link.h"
#include "ui/main_dlg.h"

namespace {

using ravu::CMainDlg;

struct Stats {
    double median, p99;
};

Stats Measure(int runs, const std::function<void()>& fn) {
    std::vector<double> us;
    us.reserve(static_cast<size_t>(runs));
    QElapsedTimer t;
    for (int i = 0; i < runs; ++i) {
        t.start();
        fn();
        us.push_back(static_cast<double>(t.nsecsElapsed()) / 1000.0);
    }
    std::sort(us.begin(), us.end());
    return {us[us.size() / 2], us[std::min(us.size() - 1, us.size() * 99 / 100)]};
}

void Print(const char* what, const Stats& s, int runs) {
    std::printf("%-44s median %9.1f us   p99 %9.1f us   (%d runs)\n", what, s.median, s.p99, runs);
}

long RssKiB(const QString& statusFile) {
    QFile f(statusFile);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Counts the paint events a widget has finished.
class PaintCounter : public QObject {
public:
    int painted = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            ++painted;
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ravu::InitResources();
    const QString skins = QStringLiteral(RAVU_SOURCE_DIR "/res/skin");

    // Start-up to the first painted frame.
    const int startRuns = 30;
    const Stats start = Measure(startRuns, [&] {
        ravu::CProfile profile;
        profile.SetHandleName("bench");
        profile.SetPort(0);  // the real sockets listen on any free port
        CMainDlg dlg(profile, skins);
        PaintCounter counter;
        dlg.installEventFilter(&counter);
        dlg.show();
        while (counter.painted == 0)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        QApplication::processEvents();  // the paint event itself has run
    });

    ravu::CProfile profile;
    profile.SetHandleName("bench");
    ravu::CNullLink guestLink, hostLink;
    CMainDlg dlg(profile, skins, guestLink, hostLink);
    dlg.show();
    if (!QTest::qWaitForWindowExposed(&dlg))
        return 1;
    QApplication::processEvents();
    const long selfRss = RssKiB(QStringLiteral("/proc/self/status"));

    const int runs = 2000;
    const Stats compose = Measure(runs, [&] { dlg.Redraw(false); });
    const Stats partial = Measure(runs, [&] {
        dlg.Redraw(false);
        dlg.repaint(ravu::BOARD_BAND);
    });
    const Stats full = Measure(runs / 4, [&] {
        dlg.Redraw(true);
        dlg.repaint();
    });

    // A held rook following the pointer over the board.
    dlg.protocol->connState = ravu::CONN_GUEST;
    dlg.protocol->mySide = ravu::SENTE;
    dlg.StartGame();
    dlg.OnLeftButtonDown(QPoint(141 + 31 * 7 + 15, 11 + 31 * 7 + 15));  // 2八
    const int held = dlg.board.HeldPiece();
    dlg.TakeRepaintLog();
    int step = 0;
    const Stats drag = Measure(runs, [&] {
        const int x = 150 + (step * 7) % 260, y = 20 + (step * 13) % 260;
        ++step;
        dlg.DragTo(held, x, y);
        QRegion dirty;
        for (const QRect& r : dlg.TakeRepaintLog())
            dirty += r;
        dlg.repaint(dirty);
    });

    Print("start-up to first painted frame", start, startRuns);
    Print("Redraw(false), compose only", compose, runs);
    Print("Redraw(false) + repaint of the board band", partial, runs);
    Print("Redraw(true) + repaint of the whole window", full, runs / 4);
    Print("DragTo + repaint of the two 30x30 areas", drag, runs);
    std::printf("resident memory of this measuring process after start-up: %ld KiB\n", selfRss);

    // The program itself: started in a folder with its skins, measured once
    // its window is up, then ended.
#ifdef RAVU_PROGRAM
    QTemporaryDir dir;
    for (const char* f : {"BackBmp.bmp", "Waku.bmp", "Koma01.bmp"})
        QFile::copy(QDir(skins).filePath(QString::fromLatin1(f)), dir.filePath(QString::fromLatin1(f)));
    QProcess prog;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("RAVUONE_INSTANCE_KEY"), QStringLiteral("bench_ui ") + dir.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
    prog.setProcessEnvironment(env);
    prog.setWorkingDirectory(dir.path());
    prog.start(QStringLiteral(RAVU_PROGRAM), {});
    if (prog.waitForStarted(5000)) {
        QThread::msleep(2000);
        const long rss = RssKiB(QStringLiteral("/proc/%1/status").arg(prog.processId()));
        std::printf("resident memory of ravuone 2 s after start (offscreen): %ld KiB\n", rss);
        prog.kill();
        prog.waitForFinished(5000);
    }
#endif
    return 0;
}
