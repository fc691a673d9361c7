// RavuOne: start-up, the main window run modally, the settings written at exit.
//
// Two environment variables serve tests that run the program as a process
// (offscreen, with no one to click):
//   RAVUONE_ECHO_MESSAGES=1   every message box the program shows is also
//                             written to stderr, and answered with OK at once;
//   RAVUONE_EXIT_AFTER_MS=n   the main window's "終了" is chosen after n ms.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

#include "app/shogi_app.h"
#include "ui/main_dlg.h"
#include "ui/test_driver.h"

namespace {

// Writes the text of each message box to stderr when it is shown, then closes it with OK.
class MessageEcho : public QObject {
public:
    bool eventFilter(QObject* obj, QEvent* e) override {
        if (e->type() == QEvent::Show)
            if (auto* box = qobject_cast<QMessageBox*>(obj)) {
                const QByteArray text = box->text().toUtf8();
                std::fprintf(stderr, "message: %s\n", text.constData());
                std::fflush(stderr);
                QTimer::singleShot(0, box, [box] { box->done(QMessageBox::Ok); });
            }
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    MessageEcho echo;
    if (qEnvironmentVariableIntValue("RAVUONE_ECHO_MESSAGES") == 1)
        app.installEventFilter(&echo);
    const int exitAfterMs = qEnvironmentVariableIntValue("RAVUONE_EXIT_AFTER_MS");
    // End-to-end tests only: listens solely when RAVUONE_TEST_DRIVER is set.
    const auto testDriver = ravu::CTestDriver::StartFromEnvironment();

    ravu::CShogiApp shogi;
    shogi.Run([exitAfterMs](ravu::CProfile& profile) {
        ravu::CMainDlg dlg(profile);
        if (exitAfterMs > 0)
            QTimer::singleShot(exitAfterMs, &dlg, [&dlg] { dlg.OnCommand(ravu::ID_EXIT); });
        dlg.exec();
    });
    return 0;
}
