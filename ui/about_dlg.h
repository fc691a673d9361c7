// The version information dialog: program name and version, copyright and
// credits, and below them whether the home router forwards this copy's port.
// OK and Esc close it.
#pragma once

#include <QDialog>

class QLabel;

#include "net/port_map_status.h"
#include "ui/main_parts.h"

namespace ravu {

class CPortMapper;

class CAboutDlg : public QDialog, public IModalDialog {
    Q_OBJECT
public:
    static const char* const VERSION_TEXT;  // "RavuOne Version 1.00 β"

    explicit CAboutDlg(QWidget* parent = nullptr);
    int Run() override { return exec() == QDialog::Accepted ? 1 : 0; }

    // Shows the port forwarding line of mapper from now on, in step with it.
    void Follow(CPortMapper* mapper);
    void ShowPortMap(const PortMapResult& result);

private:
    QLabel* portMapLine = nullptr;
};

}  // namespace ravu
