// The end-to-end tests run their own event loop only while they wait; a
// QCoreApplication gives the sockets and processes their machinery.
#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
