// One main for every test that needs Qt: a QApplication on the offscreen
// platform (no display needed) with the built-in pictures and sounds.
#include <QApplication>

#include <gtest/gtest.h>

#include "app/shogi_app.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ravu::InitResources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
