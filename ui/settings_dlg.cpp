#include "ui/settings_dlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <limits>

#include "app/settings.h"
#include "app/textcodec.h"
#include "ui/window_util.h"

namespace ravu {

CSettingsDlg::CSettingsDlg(CProfile* profile, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      profile_(profile)
{
    setWindowTitle(QStringLiteral("設定"));
    setObjectName(QStringLiteral("settings"));
    setFont(TemplateFont(FONT_PGOTHIC, 8));
    const DialogUnits du(font());
    setFixedSize(du.X(209), du.Y(187));

    auto* label = new QLabel(QStringLiteral("ハンドル名："), this);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(du.Rect(7, 11, 42, 8));

    handleEdit_ = new QLineEdit(this);
    handleEdit_->setObjectName(QStringLiteral("handleName"));
    handleEdit_->setGeometry(du.Rect(51, 11, 115, 12));

    soundCheck_ = new QCheckBox(QStringLiteral("駒音を出す:"), this);
    soundCheck_->setObjectName(QStringLiteral("sound"));
    soundCheck_->setLayoutDirection(Qt::RightToLeft);  // text left of the box
    soundCheck_->setGeometry(du.Rect(7, 28, 52, 16));

    portEdit_ = new QLineEdit(this);
    portEdit_->setObjectName(QStringLiteral("port"));
    portEdit_->setGeometry(du.Rect(53, 109, 115, 12));
    portEdit_->hide();
    hostEdit_ = new QLineEdit(this);
    hostEdit_->setObjectName(QStringLiteral("host"));
    hostEdit_->setGeometry(du.Rect(54, 129, 115, 12));
    hostEdit_->hide();

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("ok"));
    okButton_->setGeometry(du.Rect(20, 166, 50, 14));
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancelButton_->setObjectName(QStringLiteral("cancel"));
    cancelButton_->setGeometry(du.Rect(75, 166, 50, 14));
    cancelButton_->setAutoDefault(false);
    applyButton_ = new QPushButton(QStringLiteral("適用"), this);
    applyButton_->setObjectName(QStringLiteral("apply"));
    applyButton_->setGeometry(du.Rect(152, 166, 50, 14));
    applyButton_->setAutoDefault(false);
    // "適用" has no handler: pressing it does nothing.

    connect(okButton_, &QPushButton::clicked, this, &CSettingsDlg::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &CSettingsDlg::reject);
    Load();
}

void CSettingsDlg::showEvent(QShowEvent* e)
{
    Load();
    QDialog::showEvent(e);
}

void CSettingsDlg::Load()
{
    if (!profile_) return;
    const QString name = QString::fromUtf8(SjisToUtf8(profile_->GetHandleName()));
    // A longer name from an older settings file is shown and kept whole; it
    // can be shortened but not lengthened.
    handleEdit_->setMaxLength(std::max<int>(HANDLE_NAME_MAX, static_cast<int>(name.size())));
    handleEdit_->setText(name);
    hostEdit_->setText(QString::fromUtf8(SjisToUtf8(profile_->GetHost())));
    // Written as an unsigned decimal number, as the port is stored.
    portEdit_->setText(QString::number(static_cast<uint32_t>(profile_->GetPort())));
    soundCheck_->setChecked(profile_->IsSoundOn());
}

int32_t CSettingsDlg::ReadSignedNumber(const QString& text)
{
    constexpr int64_t LOW = std::numeric_limits<int32_t>::min();
    constexpr int64_t HIGH = std::numeric_limits<uint32_t>::max();
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min<int64_t>(value * 10 + (text[i].unicode() - u'0'), HIGH);
    if (negative) value = -value;
    value = std::clamp(value, LOW, HIGH);
    // The field shows the stored value as unsigned; reading it back wraps to
    // the same 32 bits, so a value written unchanged stays unchanged.
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

void CSettingsDlg::accept()
{
    if (profile_) {
        profile_->SetHandleName(Utf8ToSjis(handleEdit_->text().toUtf8().toStdString()));
        profile_->SetHost(Utf8ToSjis(hostEdit_->text().toUtf8().toStdString()));
        profile_->SetPort(ReadSignedNumber(portEdit_->text()));
        profile_->SetSound(soundCheck_->isChecked() ? 1 : 0);
    }
    QDialog::accept();
}

}  // namespace ravu
