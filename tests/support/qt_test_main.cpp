// One main for every test that needs Qt: a QApplication on the offscreen
// platform (no display needed) with the built-in pictures and sounds.  The
// user's data and configuration folders are temporary ones, so that the
// games the tests play and the settings they write stay out of the user's
// own.  The windows speak Japanese, whatever the machine's locale, unless
// RAVU_LANG says otherwise; the copies the tests start as processes inherit
// that.
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/shogi_app.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    const QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
    if (qEnvironmentVariableIsEmpty("RAVU_LANG"))
        qputenv("RAVU_LANG", "ja");
    QApplication app(argc, argv);
    ravu::InitResources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
