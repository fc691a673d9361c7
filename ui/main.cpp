// RavuOne: start-up, the main window run modally, the settings written at exit.
#include <QApplication>

#include "app/shogi_app.h"
#include "ui/main_dlg.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ravu::CShogiApp shogi;
    shogi.Run([](ravu::CProfile& profile) {
        ravu::CMainDlg dlg(profile);
        dlg.exec();
    });
    return 0;
}
