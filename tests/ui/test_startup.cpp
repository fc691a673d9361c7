// The program as a process: missing skin files, a first run without a
// settings file, and a second copy.  Each run happens in its own folder with
// its own single-instance key, offscreen.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "app/textcodec.h"

namespace {

const char* const SKINS[] = {"BackBmp.bmp", "Waku.bmp", "Koma01.bmp"};

void CopySkins(const QTemporaryDir& dir, std::initializer_list<int> which) {
    for (int i : which) {
        const QString name = QString::fromLatin1(SKINS[i]);
        ASSERT_TRUE(QFile::copy(QStringLiteral(RAVU_SOURCE_DIR "/res/skin/") + name, dir.filePath(name)));
    }
}

// The program (ravuone-e2e), started in dir, with its test switches.
std::unique_ptr<QProcess> Start(const QTemporaryDir& dir, const QString& key, int exitAfterMs) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("RAVUONE_INSTANCE_KEY", key);
    env.insert("RAVUONE_ECHO_MESSAGES", "1");
    if (exitAfterMs > 0)
        env.insert("RAVUONE_EXIT_AFTER_MS", QString::number(exitAfterMs));
    p->setProcessEnvironment(env);
    p->setWorkingDirectory(dir.path());
    p->start(QStringLiteral(RAVU_PROGRAM), {});
    EXPECT_TRUE(p->waitForStarted(10000));
    return p;
}

QString Key(const char* name) {
    return QStringLiteral("ravu test %1 %2").arg(QLatin1String(name)).arg(QCoreApplication::applicationPid());
}

TEST(StartUp, MissingSkinsGiveOneMessageListingThemInOrder) {
    struct Case {
        std::initializer_list<int> present;
        const char* message;
    } cases[] = {
        {{0}, "ファイルが見つかりません。\n\nWaku.bmp\nKoma01.bmp\n"},
        {{}, "ファイルが見つかりません。\n\nBackBmp.bmp\nWaku.bmp\nKoma01.bmp\n"},
        {{0, 1}, "ファイルが見つかりません。\n\nKoma01.bmp\n"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        CopySkins(dir, c.present);
        auto p = Start(dir, Key("skins"), 0);
        ASSERT_TRUE(p->waitForFinished(20000));
        const QString err = QString::fromUtf8(p->readAllStandardError());
        EXPECT_TRUE(err.contains(QStringLiteral("message: ") + QString::fromUtf8(c.message)))
            << err.toStdString();
        EXPECT_EQ(err.count(QStringLiteral("message: ")), 1);
        // The program ended before reading or writing any settings.
        EXPECT_FALSE(QFile::exists(dir.filePath("ravuone.ini")));
    }
}

TEST(StartUp, FirstRunWritesElevenKeysInShiftJisAtExit) {
    QTemporaryDir dir;
    CopySkins(dir, {0, 1, 2});
    auto p = Start(dir, Key("ini"), 1500);
    ASSERT_TRUE(p->waitForFinished(30000));
    EXPECT_EQ(p->exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(p->readAllStandardError()).count("message: "), 0);

    QFile f(dir.filePath("ravuone.ini"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const std::string bytes = f.readAll().toStdString();
    // The keys are Shift-JIS on disk: read as such they are found in order.
    const QString text = QString::fromUtf8(ravu::SjisToUtf8(bytes));
    const char* lines[] = {"[プロパティ]", "ハンドル名=", "対局者名=\r\n", "接続先=\r\n",
                           "ポート番号=9149\r\n", "表示位置Ｘ=0\r\n", "表示位置Ｙ=0\r\n",
                           "駒音=0\r\n", "[チャットログ]", "left=3\r\n", "top=22\r\n",
                           "right=571\r\n", "bottom=199\r\n"};
    qsizetype at = -1;
    for (const char* l : lines) {
        const qsizetype found = text.indexOf(QString::fromUtf8(l), at + 1);
        EXPECT_GT(found, at) << l;
        at = std::max(at, found);
    }
    // The empty handle name became the host name.
    const qsizetype h = text.indexOf(QStringLiteral("ハンドル名="));
    ASSERT_GE(h, 0);
    EXPECT_NE(text.mid(h + 6, 2), QStringLiteral("\r\n"));
}

TEST(StartUp, SecondCopyEndsAtOnceWithoutAWord) {
    QTemporaryDir first, second;
    CopySkins(first, {0, 1, 2});
    CopySkins(second, {0, 1, 2});
    const QString key = Key("second");
    auto a = Start(first, key, 6000);
    // Give the first copy time to take the key.
    QThread::msleep(1500);
    ASSERT_EQ(a->state(), QProcess::Running);
    QElapsedTimer t;
    t.start();
    auto b = Start(second, key, 6000);
    ASSERT_TRUE(b->waitForFinished(4000));
    EXPECT_LT(t.elapsed(), 4000);
    EXPECT_EQ(b->exitCode(), 0);
    // No message box (the platform's own warnings may be there).
    EXPECT_FALSE(b->readAllStandardError().contains("message: "));
    EXPECT_FALSE(QFile::exists(second.filePath("ravuone.ini")));
    EXPECT_EQ(a->state(), QProcess::Running);
    ASSERT_TRUE(a->waitForFinished(30000));
    EXPECT_TRUE(QFile::exists(first.filePath("ravuone.ini")));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
