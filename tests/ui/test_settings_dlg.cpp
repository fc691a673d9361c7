// The settings and version dialogs: what OK stores, what Cancel and "適用"
// leave alone, the hidden fields written back unchanged, the version texts.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/settings.h"
#include "app/textcodec.h"
#include "ui/about_dlg.h"
#include "ui/settings_dlg.h"

using namespace ravu;

namespace {
// Runs the dialog modally and acts on it once it is open.
template <class Dlg, class Fn>
int RunWhile(Dlg& dlg, Fn act)
{
    QTimer::singleShot(0, &dlg, [&] { act(); });
    return dlg.Run();
}
}  // namespace

TEST(SettingsDlg, OkStoresNameAndSoundAndWritesHiddenFieldsBackUnchanged)
{
    const QString longName(2000, QChar(u'名'));
    struct Case {
        int32_t port;
        std::string host;
        int32_t sound;
        bool check;  // box state the user leaves
        QString typed;
        std::string stored;
        QString old = QStringLiteral("太郎");
    } cases[] = {
        {9149, "", 0, true, QStringLiteral("花子"), Utf8ToSjis("花子")},
        {-1, Utf8ToSjis("相手の家"), 5, false, QString(), std::string()},
        // A typed name is capped at 32 characters; a longer one from an old
        // settings file is kept as it was.
        {65535, "10.0.0.1:9150", 1, true, longName, Utf8ToSjis(longName.left(32).toStdString())},
        {7, "", 1, true, longName.left(40), Utf8ToSjis(longName.left(40).toStdString()), longName.left(40)},
        {-2147483647 - 1, "y", 0, false, QStringLiteral("<b>x</b>\t"), "<b>x</b>\t"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.port);
        CProfile profile;
        profile.SetHandleName(Utf8ToSjis(c.old.toStdString()));
        profile.SetPort(c.port);
        profile.SetHost(c.host);
        profile.SetSound(c.sound);
        CSettingsDlg dlg(&profile);
        const int result = RunWhile(dlg, [&] {
            EXPECT_EQ(dlg.HandleEdit()->text(), c.old);
            EXPECT_EQ(dlg.SoundCheck()->isChecked(), c.sound != 0);
            EXPECT_FALSE(dlg.PortEdit()->isVisible());
            EXPECT_FALSE(dlg.HostEdit()->isVisible());
            EXPECT_EQ(dlg.PortEdit()->text().toStdString(), std::to_string(static_cast<uint32_t>(c.port)));
            dlg.HandleEdit()->setText(c.typed);
            dlg.SoundCheck()->setChecked(c.check);
            if (c.check)
                QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
            else
                QTest::keyClick(dlg.HandleEdit(), Qt::Key_Return);  // Enter is OK
        });
        EXPECT_EQ(result, 1);
        EXPECT_EQ(profile.GetHandleName(), c.stored);
        EXPECT_EQ(profile.GetPort(), c.port);
        EXPECT_EQ(profile.GetHost(), c.host);
        EXPECT_EQ(profile.GetSound(), c.check ? 1 : 0);
    }
}

TEST(SettingsDlg, CancelAndApplyStoreNothing)
{
    CProfile profile;
    profile.SetHandleName("old");
    profile.SetSound(0);
    CSettingsDlg dlg(&profile);
    bool openAfterApply = false;
    const int result = RunWhile(dlg, [&] {
        dlg.HandleEdit()->setText(QStringLiteral("new"));
        dlg.SoundCheck()->setChecked(true);
        QTest::mouseClick(dlg.ApplyButton(), Qt::LeftButton);
        openAfterApply = dlg.isVisible();
        EXPECT_EQ(profile.GetHandleName(), "old");
        QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);
    });
    EXPECT_TRUE(openAfterApply);
    EXPECT_EQ(result, 0);
    // The next opening shows the stored values again, not the abandoned edit.
    RunWhile(dlg, [&] {
        EXPECT_EQ(dlg.HandleEdit()->text(), QStringLiteral("old"));
        EXPECT_FALSE(dlg.SoundCheck()->isChecked());
        QTest::keyClick(&dlg, Qt::Key_Escape);
    });
    EXPECT_EQ(profile.GetHandleName(), "old");
    EXPECT_FALSE(profile.IsSoundOn());
}

TEST(SettingsDlg, PortFieldReading)
{
    struct Case {
        const char* text;
        int32_t value;
    } cases[] = {
        {"9149", 9149}, {"", 0}, {"abc", 0}, {"12ab", 12}, {"-5", -5}, {"+7", 7}, {" 42", 42},
        {"4294967295", -1}, {"2147483648", -2147483647 - 1}, {"99999999999999999999", -1},
        {"-99999999999999999999", -2147483647 - 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CSettingsDlg::ReadSignedNumber(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(AboutDlg, ShowsTheVersionAndClosesWithOkOrEsc)
{
    CAboutDlg about;
    auto* version = about.findChild<QLabel*>(QStringLiteral("version"));
    auto* ok = about.findChild<QPushButton*>(QStringLiteral("ok"));
    ASSERT_TRUE(version && ok);
    EXPECT_EQ(version->text(), QStringLiteral("RavuOne Version 1.00 β"));
    EXPECT_EQ(RunWhile(about, [&] { QTest::mouseClick(ok, Qt::LeftButton); }), 1);
    EXPECT_EQ(RunWhile(about, [&] { QTest::keyClick(&about, Qt::Key_Escape); }), 0);
}
