// RavuOne: start-up, the main window run modally, the settings written at exit.
//   ravuone [FILE]   FILE: a record to open (handed to the running copy, if any)
#include <QApplication>

#include "ui/program.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The desktop entry the window belongs to (its icon and name in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral("ravuone"));
    ravu::RunProgram();
    return 0;
}
