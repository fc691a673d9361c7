// The settings dialog "設定": handle name and piece sound, written straight
// into the settings record on OK.  The port and destination fields are
// hidden and written back as they were loaded; "適用" does nothing.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace ravu {

class CProfile;

class CSettingsDlg : public QDialog {
    Q_OBJECT
public:
    CSettingsDlg(CProfile* profile, QWidget* parent = nullptr);

    QLineEdit* HandleEdit() const { return handleEdit_; }
    QCheckBox* SoundCheck() const { return soundCheck_; }
    QLineEdit* PortEdit() const { return portEdit_; }
    QLineEdit* HostEdit() const { return hostEdit_; }
    QPushButton* OkButton() const { return okButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }
    QPushButton* ApplyButton() const { return applyButton_; }

    // Reads a number as a signed decimal the way the dialog does: optional
    // sign, digits up to the first other character; 0 when there are none;
    // values beyond 32 bits are clamped.
    static int32_t ReadSignedNumber(const QString& text);

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void Load();

    CProfile* profile_;
    QLineEdit* handleEdit_ = nullptr;
    QCheckBox* soundCheck_ = nullptr;
    QLineEdit* portEdit_ = nullptr;
    QLineEdit* hostEdit_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* applyButton_ = nullptr;
};

}  // namespace ravu
