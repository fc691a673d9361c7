// Start-up with Qt (offscreen platform): the single-instance lock within and
// across processes, the whole start-up in a separate process, the built-in
// resources, the skin artwork and the piece sound.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>

#include "app/piece_sound.h"
#include "app/resources.h"
#include "app/settings.h"
#include "app/shogi_app.h"

using namespace ravu;

namespace {

// A key of this test run only, so that a running program is never in the way.
QString TestKey(const char* what) {
    return QStringLiteral("ravu-test-%1-%2").arg(QCoreApplication::applicationPid()).arg(QLatin1String(what));
}

QString Result(CShogiApp::RunResult r) { return QStringLiteral("result:%1").arg(int(r)); }

// The program stand-in, started in a folder of its own that is not the program's.
class Probe {
public:
    explicit Probe(bool skins) {
        for (const char* name : {"BackBmp.bmp", "Waku.bmp", "Koma01.bmp"}) {
            QFile f(dir.filePath(QLatin1String(name)));
            if (skins && f.open(QIODevice::WriteOnly)) f.write("not even a bitmap");
        }
        process.setWorkingDirectory(dir.path());
    }
    void Start(const QString& key, const QStringList& args = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QLatin1String(INSTANCE_KEY_ENV), key);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(RAVU_PROBE), args);
    }
    QStringList Run(const QString& key) {
        Start(key);
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << "probe did not finish";
        }
        EXPECT_EQ(process.exitCode(), 0);
        return QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QString Ini() const { return dir.filePath(QStringLiteral("app_instance_probe.ini")); }
    QTemporaryDir tmp;
    QDir dir{tmp.path()};
    QProcess process;
};

TEST(SingleInstance, OneHolderPerKey) {
    const QString key = TestKey("same");
    {
        CSingleInstance first(key);
        ASSERT_TRUE(first.TryAcquire());
        EXPECT_TRUE(first.TryAcquire());  // asking again while holding it is fine
        CSingleInstance second(key);
        EXPECT_FALSE(second.TryAcquire());
        EXPECT_FALSE(second.IsHeld());
        CSingleInstance other(TestKey("other"));
        EXPECT_TRUE(other.TryAcquire());
    }
    CSingleInstance again(key);  // free again once its holder ends
    EXPECT_TRUE(again.TryAcquire());
    // Long keys still make a usable lock of their own.
    const QString base = TestKey("long") + QString(1000, QLatin1Char('k'));
    CSingleInstance longKey(base), same(base), longer(base + QLatin1Char('x'));
    ASSERT_TRUE(longKey.TryAcquire());
    EXPECT_LE(QFileInfo(longKey.LockPath()).fileName().toUtf8().size(), 255);
    EXPECT_FALSE(same.TryAcquire());
    EXPECT_TRUE(longer.TryAcquire());
}

TEST(SingleInstance, KeyComesFromTheEnvironmentOrTheTitle) {
    const QByteArray old = qgetenv(INSTANCE_KEY_ENV);
    qputenv(INSTANCE_KEY_ENV, "");
    EXPECT_EQ(InstanceKey(), QStringLiteral("Ravu One"));
    qputenv(INSTANCE_KEY_ENV, "copy-2");
    EXPECT_EQ(InstanceKey(), QStringLiteral("copy-2"));
    old.isNull() ? qunsetenv(INSTANCE_KEY_ENV) : qputenv(INSTANCE_KEY_ENV, old);
}

TEST(SingleInstance, KeysNeverLeaveTheLockDirectory) {
    CSingleInstance plain(QStringLiteral("Ravu One"));
    const QString dir = QFileInfo(plain.LockPath()).absolutePath();
    QSet<QString> paths{plain.LockPath()};
    for (const char* k : {"../../etc/x", "a/b", "将棋", "..", "a b%c"}) {
        CSingleInstance lock(QString::fromUtf8(k));
        EXPECT_EQ(QFileInfo(lock.LockPath()).absolutePath(), dir) << k;
        paths.insert(lock.LockPath());
    }
    EXPECT_EQ(paths.size(), 6);  // different keys, different locks
}

TEST(StartUp, ProfilePathIsTheDirectoryAndTheProgramsBaseName) {
    const char* cases[][3] = {
        {"/home/u/games", "/usr/bin/ravuone", "/home/u/games/ravuone.ini"},
        {"/tmp/x", "/opt/ravu/RavuOne.exe", "/tmp/x/RavuOne.ini"},
        {"/tmp/x", "/opt/ravu.d/ravu.one.bin", "/tmp/x/ravu.one.ini"},
        {"/data/将棋", "/b/ravuone", "/data/将棋/ravuone.ini"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CShogiApp::ProfilePathFor(QString::fromUtf8(c[0]), QString::fromUtf8(c[1])), QString::fromUtf8(c[2]));
}

// Qt's own dialogs speak Japanese like the program, whatever the locale.
TEST(StartUp, FirstRunReadsDefaultsAndWritesTheSettingsFileAtExit) {
    Probe probe(true);
    EXPECT_EQ(probe.Run(TestKey("first")),
              QStringList({QStringLiteral("ran:") + probe.Ini() + QStringLiteral("|port=9149|cancel=キャンセル"),
                           Result(CShogiApp::RUN_DONE)}));
    CProfile saved;
    saved.LoadProfile(QFile::encodeName(probe.Ini()).toStdString());
    EXPECT_EQ(saved.WindowX(), 77);
    EXPECT_EQ(saved.GetHandleName(), "probe");
    EXPECT_EQ(saved.GetChatLogRect().right, 571);
}

TEST(StartUp, MissingSkinsShowOnePlainTextMessageAndEndTheProgram) {
    Probe probe(false);
    EXPECT_EQ(probe.Run(TestKey("noskin")),
              QStringList({QString::fromUtf8("box:ファイルが見つかりません。\\n\\nBackBmp.bmp\\nWaku.bmp\\nKoma01.bmp\\n"
                                             "|icon=0|buttons=%1|format=%2")
                               .arg(int(QMessageBox::Ok))
                               .arg(int(Qt::PlainText)),
                           Result(CShogiApp::RUN_MISSING_SKINS)}));
    EXPECT_FALSE(QFile::exists(probe.Ini()));
}

TEST(StartUp, ASecondCopyEndsSilentlyWhileTheFirstRunsButNotAfterItCrashed) {
    Probe probe(true);
    const QString key = TestKey("second");
    {
        CSingleInstance running(key);
        ASSERT_TRUE(running.TryAcquire());
        EXPECT_EQ(probe.Run(key), QStringList({Result(CShogiApp::RUN_SECOND_COPY)}));
        EXPECT_FALSE(QFile::exists(probe.Ini()));
    }
    // A running copy holds the lock until it ends normally...
    probe.Start(key, {QStringLiteral("hold")});
    ASSERT_TRUE(probe.process.waitForReadyRead(30000));
    EXPECT_TRUE(probe.process.readLine().startsWith("ran:"));
    EXPECT_FALSE(CSingleInstance(key).TryAcquire());
    QFile release(probe.dir.filePath(QStringLiteral("release")));
    ASSERT_TRUE(release.open(QIODevice::WriteOnly));
    release.close();
    ASSERT_TRUE(probe.process.waitForFinished(30000));
    EXPECT_TRUE(CSingleInstance(key).TryAcquire());
    // ...and a killed one leaves it to be taken over.
    QFile::remove(release.fileName());
    probe.Start(key, {QStringLiteral("hold")});
    ASSERT_TRUE(probe.process.waitForReadyRead(30000));
    probe.process.kill();
    ASSERT_TRUE(probe.process.waitForFinished(30000));
    EXPECT_TRUE(CSingleInstance(key).TryAcquire());
}

bool IsWhite(QRgb c) { return (c & 0xFFFFFF) == 0xFFFFFF; }  // the transparent colour

int CountWhite(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += IsWhite(image.pixel(x, y));
    return n;
}

TEST(Resources, BuiltInPicturesHaveTheirSizesAndMarksTheirColours) {
    InitResources();
    struct Case {
        const char* path;
        int w, h;
    } cases[] = {
        {RES_BMP_LABELS, 190, 24}, {RES_BMP_MARKS, 128, 32}, {RES_BMP_BALLOON, 260, 180}, {RES_BMP_CHARACTER, 128, 32},
        {RES_BMP_YES, 174, 58},    {RES_BMP_NO, 174, 58},    {RES_CURSOR_OWN_PIECE, 32, 32}, {RES_ICON, 32, 32},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QImage(QString::fromLatin1(c.path)).size(), QSize(c.w, c.h)) << c.path;
    EXPECT_TRUE(QFile::exists(QString::fromLatin1(RES_SOUND_PIECE)));
    // Mark cells: yellow, magenta, cyan, green frames with a transparent middle.
    const QImage marks(QString::fromLatin1(RES_BMP_MARKS));
    const QRgb colours[4] = {qRgb(255, 255, 0), qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(0, 255, 0)};
    for (int m = 0; m < 4; ++m) {
        const int edge = m < 2 ? 1 : 2;
        EXPECT_EQ(marks.pixel(32 * m + edge, edge) & 0xFFFFFF, colours[m] & 0xFFFFFF) << m;
        EXPECT_TRUE(IsWhite(marks.pixel(32 * m + edge - 1, edge - 1))) << m;
        EXPECT_TRUE(IsWhite(marks.pixel(32 * m + 16, 16))) << m;
    }
    // Label cells: only the plate (3, 3)-(33, 19) and its shadow are opaque;
    // the lit cells 1 and 3 are red, the plain ones are not.
    const QImage labels(QString::fromLatin1(RES_BMP_LABELS));
    for (int c = 0; c < 5; ++c) {
        EXPECT_TRUE(IsWhite(labels.pixel(38 * c + 1, 1)) && IsWhite(labels.pixel(38 * c + 36, 22))) << c;
        EXPECT_FALSE(IsWhite(labels.pixel(38 * c + 3, 3)) || IsWhite(labels.pixel(38 * c + 34, 20))) << c;
        const QRgb ink = labels.pixel(38 * c + 5, 5);
        EXPECT_EQ(qRed(ink) - qGreen(ink) > 100, c == 1 || c == 3) << c;
    }
    const QImage cursor = QImage(QString::fromLatin1(RES_CURSOR_OWN_PIECE)).convertToFormat(QImage::Format_ARGB32);
    EXPECT_GT(qAlpha(cursor.pixel(RES_CURSOR_HOT_X, RES_CURSOR_HOT_Y + 1)), 128);  // it points with its hot spot
    EXPECT_EQ(qAlpha(cursor.pixel(0, 0)), 0);
}

QImage Skin(const char* name) { return QImage(QStringLiteral(RAVU_SOURCE_DIR "/res/skin/") + QLatin1String(name)); }

TEST(Resources, SkinFilesFitTheWindowGeometry) {
    const QImage back = Skin("BackBmp.bmp"), frame = Skin("Waku.bmp"), pieces = Skin("Koma01.bmp");
    EXPECT_EQ(back.size(), QSize(568, 410));
    EXPECT_EQ(frame.size(), QSize(620, 300));
    ASSERT_EQ(pieces.size(), QSize(32 * 30, 30));
    EXPECT_EQ(CountWhite(back) + CountWhite(frame), 0);  // opaque pictures
    EXPECT_NE(frame.copy(0, 0, 310, 300), frame.copy(310, 0, 310, 300));  // the coordinates turn with the view
    for (int i = 0; i <= 9; ++i)  // grid lines where the squares meet: x = 140 + 31 i in the window
        EXPECT_LT(qGray(frame.pixel(11 + 31 * i, 150)), 60) << "grid line " << i;
    for (int k = 0; k < 16; ++k) {
        const QImage up = pieces.copy(30 * k, 0, 30, 30);
        EXPECT_EQ(pieces.copy(30 * (16 + k), 0, 30, 30), up.mirrored(true, true)) << "cell " << k;
        if (k == 11) {
            EXPECT_EQ(CountWhite(up), 900) << "the unused cell is empty";
            continue;
        }
        // A piece: transparent corners, an opaque body; promoted pieces
        // (龍 馬 全 圭 杏 と) carry red ink, the others none.
        EXPECT_TRUE(IsWhite(up.pixel(0, 0)) && IsWhite(up.pixel(29, 0)) && !IsWhite(up.pixel(15, 20))) << k;
        EXPECT_TRUE(CountWhite(up) > 100 && CountWhite(up) < 500) << k;
        int red = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 30; ++x) {
                const QRgb c = up.pixel(x, y);
                red += qRed(c) > 150 && qGreen(c) < 80 && qBlue(c) < 80;
            }
        EXPECT_EQ(red > 5, k == 9 || k == 10 || k >= 12) << "cell " << k << " red pixels " << red;
    }
}

TEST(PieceSound, FollowsTheSettingAndNeverWaitsForADevice) {
    CProfile profile;
    profile.SetSound(0);
    CPieceSound sound(&profile);
    EXPECT_FALSE(sound.PlayPieceSound());
    EXPECT_EQ(sound.PlayCount(), 0);
    profile.SetSound(1);
    // With or without a sound device this returns at once; it reports
    // whether the click went to a device.
    for (int i = 0; i < 3; ++i) {
        const bool played = sound.PlayPieceSound();
        EXPECT_EQ(sound.PlayCount(), played ? i + 1 : 0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
