// The version information dialog: program name and version, copyright and
// credits.  OK and Esc close it.
#pragma once

#include <QDialog>

#include "ui/main_parts.h"

namespace ravu {

class CAboutDlg : public QDialog, public IModalDialog {
    Q_OBJECT
public:
    static const char* const VERSION_TEXT;  // "RavuOne Version 1.00 β"

    explicit CAboutDlg(QWidget* parent = nullptr);
    int Run() override { return exec() == QDialog::Accepted ? 1 : 0; }
};

}  // namespace ravu
