#include "ui/program.h"

#include "app/shogi_app.h"
#include "ui/main_dlg.h"

namespace ravu {

void RunProgram(const std::function<void(CMainDlg&)>& beforeRun) {
    CShogiApp shogi;
    shogi.Run([&beforeRun](CProfile& profile) {
        CMainDlg dlg(profile);
        dlg.RestoreKeptGame();
        if (beforeRun)
            beforeRun(dlg);
        dlg.exec();
    });
}

}  // namespace ravu
