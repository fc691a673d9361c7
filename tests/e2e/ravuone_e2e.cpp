// ravuone-e2e (built as build/tests/e2e/program/ravuone): the program for
// tests that run it as a process (offscreen, with no one to click).  It
// starts exactly as ravuone does and adds two switches, read from the
// environment; the shipped ravuone has none of them:
//   RAVUONE_TEST_DRIVER=NAME  the test driver listens on the local socket
//                             NAME (see test_driver.h);
//   RAVUONE_ECHO_MESSAGES=1   every message box the program shows is also
//                             written to stderr, and answered with OK at once.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

#include "tests/e2e/test_driver.h"
#include "ui/main_dlg.h"
#include "ui/program.h"

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
    const auto testDriver = ravu::CTestDriver::StartFromEnvironment();

    ravu::RunProgram({});
    return 0;
}
