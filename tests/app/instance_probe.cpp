// A stand-in for the program: CShogiApp::Run with a main window that only
// reports itself.  The start-up tests run it as a separate process.
//
//   app_instance_probe [hold]
//
// Prints one line per event on stdout: "box:<text>" for a message box (which
// it then closes with OK), "ran:<profile path>" when the main window would
// run (with Qt's text of a Cancel button then), and "result:<n>" at the end.  With "hold" the main window stays until
// a file named "release" appears in the current directory.
#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

#include "app/shogi_app.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool hold = argc > 1 && QByteArray(argv[1]) == "hold";

    QTimer boxWatcher;
    boxWatcher.setInterval(10);
    QObject::connect(&boxWatcher, &QTimer::timeout, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        QString text = box->text();
        text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
        std::printf("box:%s|icon=%d|buttons=%d|format=%d\n", text.toUtf8().constData(), int(box->icon()),
                    int(box->standardButtons()), int(box->textFormat()));
        std::fflush(stdout);
        box->button(QMessageBox::Ok)->click();
    });
    boxWatcher.start();

    ravu::CShogiApp shogi;
    const ravu::CShogiApp::RunResult result = shogi.Run([&](ravu::CProfile& profile) {
        std::printf("ran:%s|port=%d|cancel=%s\n", shogi.ProfilePath().toUtf8().constData(), profile.GetPort(),
                    QCoreApplication::translate("QPlatformTheme", "Cancel").toUtf8().constData());
        std::fflush(stdout);
        profile.WindowX() = 77;
        profile.SetHandleName("probe");
        if (hold) {
            QEventLoop loop;
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, [&] {
                if (QFile::exists(QStringLiteral("release"))) loop.quit();
            });
            poll.start(10);
            loop.exec();
        }
    });
    std::printf("result:%d\n", int(result));
    return 0;
}
