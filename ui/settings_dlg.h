// The settings dialog "設定": handle name, piece sound and the windows'
// language (taken at the next start), written straight
// into the settings record on OK.  The port and destination fields are
// hidden and written back as they were loaded; "適用" does nothing.
#pragma once

#include <QDialog>

#include "ui/main_parts.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace ravu {

class CProfile;

class CSettingsDlg : public QDialog, public IModalDialog {
    Q_OBJECT
public:
    CSettingsDlg(CProfile* profile, QWidget* parent = nullptr);

    // Longest handle name the user can type, in characters: at most 64
    // Shift-JIS bytes, so that a chat line (name + ">" + text, 253 bytes)
    // keeps room for its text.
    static constexpr int HANDLE_NAME_MAX = 32;

    QLineEdit* HandleEdit() const { return handleEdit; }
    QCheckBox* SoundCheck() const { return soundCheck; }
    QComboBox* LanguageBox() const { return languageBox; }
    QLineEdit* PortEdit() const { return portEdit; }
    QLineEdit* HostEdit() const { return hostEdit; }
    QPushButton* OkButton() const { return okButton; }
    QPushButton* CancelButton() const { return cancelButton; }
    QPushButton* ApplyButton() const { return applyButton; }

    // Reads the port field: optional sign, digits up to the first other
    // character, 0 when there are none.  Values up to 2^32 - 1 wrap to the
    // 32 bits they were written from; beyond that they are clamped.
    static int32_t ReadSignedNumber(const QString& text);

    // Runs the dialog modally: 1 when OK stored the values, 0 on cancel.
    int Run() override { return exec() == QDialog::Accepted ? 1 : 0; }

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void Load();

    CProfile* profile;
    QLineEdit* handleEdit = nullptr;
    QCheckBox* soundCheck = nullptr;
    QComboBox* languageBox = nullptr;
    QLineEdit* portEdit = nullptr;
    QLineEdit* hostEdit = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* applyButton = nullptr;
};

}  // namespace ravu
