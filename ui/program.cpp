#include "ui/program.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>

#include "app/hand_off.h"
#include "app/quit_signal.h"
#include "app/shogi_app.h"
#include "ui/main_dlg.h"

namespace ravu {

void RunProgram(const std::function<void(CMainDlg&)>& beforeRun) {
    CShogiApp shogi;
    const QString startFile =
        CShogiApp::StartFileArgument(QCoreApplication::arguments(), QDir::currentPath());
    shogi.SetStartFile(startFile);
    shogi.Run([&](CProfile& profile) {
        CMainDlg dlg(profile, shogi.SkinFolder());
        dlg.RestoreKeptGame();
        // Files handed over by copies started later open here.
        CHandOffServer handOff(InstanceKey(), [&dlg](const QString& path) { dlg.OpenGivenFile(path); });
        // A signal to end the program ends it as 終了 does: the settings are written.
        CQuitSignal quitSignal([&dlg] { dlg.OnCommand(ID_EXIT); });
        if (!startFile.isEmpty())
            QTimer::singleShot(0, &dlg, [&dlg, startFile] { dlg.OpenGivenFile(startFile); });
        if (beforeRun)
            beforeRun(dlg);
        dlg.exec();
    });
}

}  // namespace ravu
