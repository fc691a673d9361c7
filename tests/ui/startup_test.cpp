// The program as a process (ravuone-e2e, offscreen, in a folder of its own
// with its own single-instance key): missing skin files and a first run
// without a settings file.
#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/textcodec.h"

namespace {

// Runs the program in dir after copying the skins named in `skins` there;
// its message boxes are written to stderr and answered at once.
QString RunProgram(const QTemporaryDir& dir, const QStringList& skins, int exitAfterMs) {
    for (const QString& name : skins)
        EXPECT_TRUE(QFile::copy(QStringLiteral(RAVU_SOURCE_DIR "/res/skin/") + name, dir.filePath(name)));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("RAVUONE_INSTANCE_KEY",
               QStringLiteral("ravu-ui-test-%1").arg(QCoreApplication::applicationPid()));
    env.insert("RAVUONE_ECHO_MESSAGES", "1");
    env.insert("RAVUONE_EXIT_AFTER_MS", QString::number(exitAfterMs));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral(RAVU_PROGRAM), {});
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    return QString::fromUtf8(p.readAllStandardError());
}

// With skin files missing, one message lists them in order, and the program
// ends before reading or writing any settings.  With all of them, a first
// run writes the settings file at exit, in Shift-JIS, the handle name taken
// from the host name.
TEST(StartUp, MissingSkinsThenAFirstRun) {
    QTemporaryDir dir;
    QString err = RunProgram(dir, {"Waku.bmp"}, 10000);
    EXPECT_EQ(err.count("message: "), 1) << err.toStdString();
    EXPECT_TRUE(
        err.contains(QStringLiteral("message: ファイルが見つかりません。\n\nBackBmp.bmp\nKoma01.bmp\n")))
        << err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("ravuone.ini")));

    err = RunProgram(dir, {"BackBmp.bmp", "Koma01.bmp"}, 1500);
    EXPECT_FALSE(err.contains("message: ")) << err.toStdString();
    QFile f(dir.filePath("ravuone.ini"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(ravu::SjisToUtf8(f.readAll().toStdString()));
    const QRegularExpression handleName(QStringLiteral("ハンドル名=[^\r\n]+\r\n"));
    EXPECT_TRUE(text.contains(handleName)) << "an empty handle name";
    text.replace(handleName, QStringLiteral("ハンドル名=\r\n"));
    EXPECT_EQ(text.toStdString(),
              "[プロパティ]\r\nハンドル名=\r\n対局者名=\r\n接続先=\r\nポート番号=9149\r\n表示位置Ｘ=0\r\n"
              "表示位置Ｙ=0\r\n駒音=0\r\n[チャットログ]\r\nleft=3\r\ntop=22\r\nright=571\r\nbottom=199\r\n");
}

}  // namespace
