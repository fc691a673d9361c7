// The version information dialog: program name and version, copyright and
// credits.  OK and Esc close it.
#pragma once

#include <QDialog>

namespace ravu {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    static const char* const VERSION_TEXT;  // "RavuOne Version 1.00 β"

    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace ravu
