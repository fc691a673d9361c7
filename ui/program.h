// Start-up of the program: the single-instance check, the skin files, the
// settings read, the main window set up (with the game kept from the last
// run, if any) and run modally, the settings written at exit.  The program's
// one argument, a record file, is opened once the window runs; a second copy
// started with a file hands it to the running copy.
// The QApplication must exist; ravuone and the end-to-end tests' copy of it
// (ravuone-e2e) both start this way.
#pragma once

#include <functional>

namespace ravu {

class CMainDlg;

// beforeRun, when given, sees the main window just before it runs.
void RunProgram(const std::function<void(CMainDlg&)>& beforeRun = {});

}  // namespace ravu
