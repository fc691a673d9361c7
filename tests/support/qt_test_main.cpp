// One main for every test that needs Qt: a QApplication on the offscreen
// platform (no display needed) with the built-in pictures and sounds.  The
// user's data folder is a temporary one, so that the games the tests play
// are saved there and not among the user's own.  The windows speak
// Japanese, whatever the machine's locale, unless RAVU_LANG says otherwise;
// the copies the tests start as processes inherit that.
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/shogi_app.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    if (qEnvironmentVariableIsEmpty("RAVU_LANG"))
        qputenv("RAVU_LANG", "ja");
    QApplication app(argc, argv);
    ravu::InitResources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
