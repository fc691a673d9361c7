// Start-up with Qt (offscreen platform): the missing-skin message, the
// settings file read before and written after the main window, Qt's own
// texts in Japanese, and one copy per instance key.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

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
    CSingleInstance first(key);
    ASSERT_TRUE(first.TryAcquire());
    EXPECT_EQ(run(), CShogiApp::RUN_SECOND_COPY);  // ends without a word
    EXPECT_EQ(shown.size() + ran.size(), 2);
    qunsetenv(INSTANCE_KEY_ENV);
    EXPECT_EQ(InstanceKey(), "Ravu One");
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
