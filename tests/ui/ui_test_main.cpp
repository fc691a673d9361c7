// One QApplication for every window test, on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/shogi_app.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ravu::InitResources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
