#include "ui/settings_dlg.h"

#include <QCheckBox>
#include <QComboBox>
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
    : QDialog(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      profile(profile) {
    setWindowTitle(tr("設定"));
    setObjectName(QStringLiteral("settings"));
    setFont(TemplateFont(FONT_PGOTHIC, 8));
    const DialogUnits du(font());
    setFixedSize(du.X(209), du.Y(187));

    auto* label = new QLabel(tr("ハンドル名："), this);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(du.Rect(7, 11, 42, 8));

    handleEdit = new QLineEdit(this);
    handleEdit->setObjectName(QStringLiteral("handleName"));
    handleEdit->setGeometry(du.Rect(51, 11, 115, 12));

    soundCheck = new QCheckBox(tr("駒音を出す:"), this);
    soundCheck->setObjectName(QStringLiteral("sound"));
    soundCheck->setLayoutDirection(Qt::RightToLeft);  // text left of the box
    soundCheck->setGeometry(du.Rect(7, 28, 52, 16));

    // The windows' language, taken at the next start.  Each language is
    // named in itself.
    auto* languageLabel = new QLabel(tr("言語："), this);
    languageLabel->setTextFormat(Qt::PlainText);
    languageLabel->setGeometry(du.Rect(7, 50, 42, 8));
    languageBox = new QComboBox(this);
    languageBox->setObjectName(QStringLiteral("language"));
    languageBox->setGeometry(du.Rect(51, 48, 115, 12));
    languageBox->addItem(tr("自動（システムの言語）"), QString());
    languageBox->addItem(QStringLiteral("日本語"), QString::fromLatin1(LANGUAGE_JAPANESE));
    languageBox->addItem(QStringLiteral("English"), QString::fromLatin1(LANGUAGE_ENGLISH));
    languageBox->setAccessibleName(tr("言語"));
    auto* languageNote = new QLabel(tr("言語は次に起動したときから変わります。"), this);
    languageNote->setTextFormat(Qt::PlainText);
    languageNote->setWordWrap(true);
    languageNote->setGeometry(du.Rect(51, 63, 150, 18));

    portEdit = new QLineEdit(this);
    portEdit->setObjectName(QStringLiteral("port"));
    portEdit->setGeometry(du.Rect(53, 109, 115, 12));
    portEdit->hide();
    hostEdit = new QLineEdit(this);
    hostEdit->setObjectName(QStringLiteral("host"));
    hostEdit->setGeometry(du.Rect(54, 129, 115, 12));
    hostEdit->hide();

    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("ok"));
    okButton->setGeometry(du.Rect(20, 166, 50, 14));
    okButton->setDefault(true);
    cancelButton = new QPushButton(tr("ｷｬﾝｾﾙ"), this);
    cancelButton->setObjectName(QStringLiteral("cancel"));
    cancelButton->setGeometry(du.Rect(75, 166, 50, 14));
    cancelButton->setAutoDefault(false);
    applyButton = new QPushButton(tr("適用"), this);
    applyButton->setObjectName(QStringLiteral("apply"));
    applyButton->setGeometry(du.Rect(152, 166, 50, 14));
    applyButton->setAutoDefault(false);
    // "適用" has no handler: pressing it does nothing.

    connect(okButton, &QPushButton::clicked, this, &CSettingsDlg::accept);
    connect(cancelButton, &QPushButton::clicked, this, &CSettingsDlg::reject);
    Load();
}

void CSettingsDlg::showEvent(QShowEvent* e) {
    Load();
    QDialog::showEvent(e);
}

void CSettingsDlg::Load() {
    if (!profile)
        return;
    const QString name = QString::fromUtf8(SjisToUtf8(profile->GetHandleName()));
    // A longer name from an older settings file is shown and kept whole; it
    // can be shortened but not lengthened.
    handleEdit->setMaxLength(std::max<int>(HANDLE_NAME_MAX, static_cast<int>(name.size())));
    handleEdit->setText(name);
    hostEdit->setText(QString::fromUtf8(SjisToUtf8(profile->GetHost())));
    // Written as an unsigned decimal number, as the port is stored.
    portEdit->setText(QString::number(static_cast<uint32_t>(profile->GetPort())));
    soundCheck->setChecked(profile->IsSoundOn());
    const int language = languageBox->findData(QString::fromStdString(profile->GetLanguage()));
    languageBox->setCurrentIndex(language < 0 ? 0 : language);
}

int32_t CSettingsDlg::ReadSignedNumber(const QString& text) {
    constexpr int64_t LOW = std::numeric_limits<int32_t>::min();
    constexpr int64_t HIGH = std::numeric_limits<uint32_t>::max();
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min<int64_t>(value * 10 + (text[i].unicode() - u'0'), HIGH);
    if (negative)
        value = -value;
    value = std::clamp(value, LOW, HIGH);
    // The field shows the stored value as unsigned; reading it back wraps to
    // the same 32 bits, so a value written unchanged stays unchanged.
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

void CSettingsDlg::accept() {
    if (profile) {
        profile->SetHandleName(Utf8ToSjis(handleEdit->text().toUtf8().toStdString()));
        profile->SetHost(Utf8ToSjis(hostEdit->text().toUtf8().toStdString()));
        profile->SetPort(ReadSignedNumber(portEdit->text()));
        profile->SetSound(soundCheck->isChecked() ? 1 : 0);
        // An unknown value from the file stays until another is chosen.
        const QString language = languageBox->currentData().toString();
        if (languageBox->findData(QString::fromStdString(profile->GetLanguage())) >= 0 || !language.isEmpty())
            profile->SetLanguage(language.toStdString());
    }
    QDialog::accept();
}

}  // namespace ravu
