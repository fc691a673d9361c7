// Start-up with Qt (offscreen platform): the missing-skin message, the
// settings file read before and written after the main window, Qt's own
// texts in Japanese (or all in English when asked), and one copy per
// instance key; the choice of the language.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include "app/language.h"
#include "app/piece_sound.h"
#include "app/settings.h"
#include "app/shogi_app.h"

using namespace ravu;

TEST(StartUp, SkinsSettingsAndSingleInstance) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const QString key = QStringLiteral("ravu-test-%1").arg(QCoreApplication::applicationPid());
    qputenv(INSTANCE_KEY_ENV, key.toUtf8());
    QStringList shown;  // message boxes: text, icon, text format; closed with OK
    QTimer boxes;
    QObject::connect(&boxes, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown += box->text() + QStringLiteral("|%1|%2").arg(box->icon()).arg(box->textFormat());
            box->button(QMessageBox::Ok)->click();
        }
    });
    boxes.start(10);
    QStringList ran;
    auto run = [&] {
        return CShogiApp().Run([&](CProfile& profile) {
            const QString cancel =
                QCoreApplication::translate("QPlatformTheme", "Cancel");  // Qt's texts in Japanese
            ran += QStringLiteral("port=%1 %2").arg(profile.GetPort()).arg(cancel);
            profile.WindowX() = 77;
            EXPECT_FALSE(CSingleInstance(key).TryAcquire());  // held while the program runs
        });
    };
    EXPECT_EQ(run(), CShogiApp::RUN_MISSING_SKINS);
    EXPECT_EQ(shown, QStringList(QString::fromUtf8(
                         "ファイルが見つかりません。\n\nBackBmp.bmp\nWaku.bmp\nKoma01.bmp\n|0|0")));
    for (const char* name : {"BackBmp.bmp", "Waku.bmp", "Koma01.bmp"})
        QFile(name).open(QIODevice::WriteOnly);  // existence is all that counts
    EXPECT_EQ(run(), CShogiApp::RUN_DONE);
    EXPECT_EQ(ran, QStringList(QString::fromUtf8("port=9149 キャンセル")));
    CProfile saved;
    saved.LoadProfile(QFile::encodeName(dir.filePath("app_qt_test.ini")).toStdString());
    EXPECT_EQ(saved.WindowX(), 77);

    // In English the model's message and Qt's own texts are English too.
    qputenv(LANGUAGE_ENV, "en");
    QFile::remove(QStringLiteral("Waku.bmp"));
    shown.clear();
    ran.clear();
    EXPECT_EQ(run(), CShogiApp::RUN_MISSING_SKINS);
    EXPECT_EQ(shown, QStringList(QStringLiteral("Files not found.\n\nWaku.bmp\n|0|0")));
    QFile(QStringLiteral("Waku.bmp")).open(QIODevice::WriteOnly);
    EXPECT_EQ(run(), CShogiApp::RUN_DONE);
    EXPECT_EQ(ran, QStringList(QStringLiteral("port=9149 Cancel")));
    qputenv(LANGUAGE_ENV, "ja");
    shown.clear();
    ran.clear();

    CSingleInstance first(key);
    ASSERT_TRUE(first.TryAcquire());
    EXPECT_EQ(run(), CShogiApp::RUN_SECOND_COPY);  // ends without a word
    EXPECT_TRUE(shown.isEmpty() && ran.isEmpty());
    qunsetenv(INSTANCE_KEY_ENV);
    EXPECT_EQ(InstanceKey(), "Ravu One");
}

// The environment's choice before the setting's before the locale's; only a
// Japanese locale gives Japanese by itself.
TEST(StartUp, LanguageFromEnvironmentSettingAndLocale) {
    struct Case {
        const char* env;
        const char* setting;
        const char* locale;
        bool english;
    } cases[] = {
        {"", "", "ja_JP", false},    {"", "", "en_US", true},      {"", "", "C", true},
        {"", "", "de_DE", true},     {"", "en", "ja_JP", true},    {"", "ja", "en_US", false},
        {"en", "ja", "ja_JP", true}, {"ja", "en", "en_US", false}, {"fr", "", "ja_JP", false},
        {"", "xx", "en_GB", true},   {" en ", "", "ja_JP", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseEnglish(QString::fromLatin1(c.env), c.setting, QString::fromLatin1(c.locale)),
                  c.english)
            << c.env << "|" << c.setting << "|" << c.locale;
}

// The click follows the sound setting and returns at once, with or without a
// sound output (here there is none: it then reports that nothing played).
TEST(PieceSound, FollowsTheSettingAndNeverWaitsForADevice) {
    CProfile profile;
    profile.SetSound(0);
    CPieceSound sound(&profile);
    EXPECT_FALSE(sound.PlayPieceSound());
    profile.SetSound(1);
    for (int i = 0; i < 3; ++i) {
        const bool played = sound.PlayPieceSound();
        EXPECT_EQ(sound.PlayCount(), played ? i + 1 : 0);
    }
}
