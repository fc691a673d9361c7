// Widget tests run without an X server: the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#ifdef RAVU_HAVE_APP
#include "app/shogi_app.h"
#endif

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#ifdef RAVU_HAVE_APP
    ravu::InitResources();
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
