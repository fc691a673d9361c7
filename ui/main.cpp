// RavuOne: start-up, the main window run modally, the settings written at exit.
#include <QApplication>

#include "ui/program.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ravu::RunProgram();
    return 0;
}
