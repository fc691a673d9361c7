// Start-up with Qt (offscreen platform): the single-instance lock within and
// across processes, the whole start-up order in a separate process, the
// missing-skin message box, the built-in resources and the piece sound.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

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

void WriteSkins(const QDir& dir, bool back, bool waku, bool koma) {
    const char* names[3] = {"BackBmp.bmp", "Waku.bmp", "Koma01.bmp"};
    const bool want[3] = {back, waku, koma};
    for (int i = 0; i < 3; ++i) {
        if (!want[i]) continue;
        QFile f(dir.filePath(QLatin1String(names[i])));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not even a bitmap");
    }
}

struct ProbeRun {
    QStringList lines;
    int exitCode = -1;
};

ProbeRun RunProbe(const QString& dir, const QString& key) {
    QProcess p;
    p.setWorkingDirectory(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(INSTANCE_KEY_ENV), key);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(RAVU_PROBE), {});
    ProbeRun run;
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << "probe did not finish";
        return run;
    }
    run.exitCode = p.exitCode();
    for (const QByteArray& l : p.readAllStandardOutput().split('\n'))
        if (!l.isEmpty()) run.lines << QString::fromUtf8(l);
    return run;
}

TEST(SingleInstance, ASecondHolderOfTheSameKeyIsRefused) {
    const QString key = TestKey("same");
    CSingleInstance first(key);
    ASSERT_TRUE(first.TryAcquire());
    EXPECT_TRUE(first.TryAcquire());  // asking again while holding it is fine
    {
        CSingleInstance second(key);
        EXPECT_FALSE(second.TryAcquire());
        EXPECT_FALSE(second.IsHeld());
        CSingleInstance other(TestKey("other"));
        EXPECT_TRUE(other.TryAcquire());
    }
}

TEST(SingleInstance, TheLockIsFreeAgainWhenItsHolderEnds) {
    const QString key = TestKey("release");
    {
        CSingleInstance first(key);
        ASSERT_TRUE(first.TryAcquire());
    }
    CSingleInstance again(key);
    EXPECT_TRUE(again.TryAcquire());
}

TEST(SingleInstance, KeysNeverLeaveTheLockDirectory) {
    CSingleInstance plain(QStringLiteral("Ravu One"));
    const QString dir = QFileInfo(plain.LockPath()).absolutePath();
    const QString keys[] = {QStringLiteral("../../etc/x"), QStringLiteral("a/b"), QStringLiteral("将棋"),
                            QStringLiteral(".."), QStringLiteral("a b%c")};
    QSet<QString> paths{plain.LockPath()};
    for (const QString& k : keys) {
        CSingleInstance lock(k);
        EXPECT_EQ(QFileInfo(lock.LockPath()).absolutePath(), dir) << k.toStdString();
        paths.insert(lock.LockPath());
    }
    EXPECT_EQ(paths.size(), 6);  // different keys, different locks
}

TEST(SingleInstance, LongKeysStillMakeAUsableLock) {
    const QString base = TestKey("long") + QString(1000, QLatin1Char('k'));
    CSingleInstance first(base);
    ASSERT_TRUE(first.TryAcquire());
    EXPECT_TRUE(first.IsHeld());
    EXPECT_LE(QFileInfo(first.LockPath()).fileName().toUtf8().size(), 255);
    CSingleInstance same(base);
    EXPECT_FALSE(same.TryAcquire());
    // Same start, different end: a different lock.
    CSingleInstance other(base + QLatin1Char('x'));
    EXPECT_TRUE(other.TryAcquire());
    EXPECT_TRUE(other.IsHeld());
}

TEST(SingleInstance, KeyComesFromTheEnvironmentOrTheTitle) {
    const QByteArray old = qgetenv(INSTANCE_KEY_ENV);
    qunsetenv(INSTANCE_KEY_ENV);
    EXPECT_EQ(InstanceKey(), QStringLiteral("Ravu One"));
    qputenv(INSTANCE_KEY_ENV, "");
    EXPECT_EQ(InstanceKey(), QStringLiteral("Ravu One"));
    qputenv(INSTANCE_KEY_ENV, "copy-2");
    EXPECT_EQ(InstanceKey(), QStringLiteral("copy-2"));
    if (old.isNull())
        qunsetenv(INSTANCE_KEY_ENV);
    else
        qputenv(INSTANCE_KEY_ENV, old);
}

TEST(StartUp, ProfilePathIsTheDirectoryAndTheProgramsBaseName) {
    struct Case {
        const char* dir;
        const char* exe;
        const char* path;
    };
    const Case cases[] = {
        {"/home/u/games", "/usr/bin/ravuone", "/home/u/games/ravuone.ini"},
        {"/tmp/x", "/opt/ravu/RavuOne.exe", "/tmp/x/RavuOne.ini"},
        {"/tmp/x", "/opt/ravu.d/ravu.one.bin", "/tmp/x/ravu.one.ini"},
        {"/data/将棋", "/b/ravuone", "/data/将棋/ravuone.ini"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CShogiApp::ProfilePathFor(QString::fromUtf8(c.dir), QString::fromUtf8(c.exe)),
                  QString::fromUtf8(c.path));
}

TEST(StartUp, MissingSkinFilesShowOneMessageBoxWithTheExactText) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    QDir dir(tmp.path());
    WriteSkins(dir, true, false, false);

    QString seenText;
    int seenIcon = -1, seenButtons = -1, boxes = 0;
    Qt::TextFormat seenFormat = Qt::RichText;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        ++boxes;
        seenText = box->text();
        seenIcon = int(box->icon());
        seenButtons = int(box->standardButtons());
        seenFormat = box->textFormat();
        box->button(QMessageBox::Ok)->click();
    });
    watcher.start(10);
    EXPECT_FALSE(CShogiApp::CheckSkinFiles(dir.path()));
    watcher.stop();
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(seenText, QString::fromUtf8("ファイルが見つかりません。\n\nWaku.bmp\nKoma01.bmp\n"));
    EXPECT_EQ(seenIcon, int(QMessageBox::NoIcon));
    EXPECT_EQ(seenButtons, int(QMessageBox::Ok));
    EXPECT_EQ(seenFormat, Qt::PlainText);

    // All three present: no box at all.
    WriteSkins(dir, false, true, true);
    boxes = 0;
    watcher.start(10);
    EXPECT_TRUE(CShogiApp::CheckSkinFiles(dir.path()));
    EXPECT_TRUE(CShogiApp::MissingSkinText(dir.path()).isEmpty());
    QCoreApplication::processEvents();
    watcher.stop();
    EXPECT_EQ(boxes, 0);
}

// The whole start-up in a process of its own, started in a folder that is
// not the program's.
TEST(StartUp, FirstRunReadsDefaultsAndWritesTheSettingsFileAtExit) {
    QTemporaryDir tmp;
    QDir dir(tmp.path());
    WriteSkins(dir, true, true, true);
    ProbeRun run = RunProbe(dir.path(), TestKey("first"));
    ASSERT_EQ(run.exitCode, 0);
    const QString ini = dir.filePath(QStringLiteral("app_instance_probe.ini"));
    EXPECT_EQ(run.lines, QStringList({QStringLiteral("ran:") + ini + QStringLiteral("|port=9149"),
                                      QStringLiteral("result:%1").arg(int(CShogiApp::RUN_DONE))}));
    CProfile saved;
    saved.LoadProfile(QFile::encodeName(ini).toStdString());
    EXPECT_EQ(saved.WindowX(), 77);
    EXPECT_EQ(saved.GetHandleName(), "probe");
    EXPECT_EQ(saved.GetPort(), 9149);
    EXPECT_EQ(saved.GetChatLogRect().right, 571);
}

TEST(StartUp, MissingSkinsEndTheProgramAfterTheMessage) {
    QTemporaryDir tmp;
    QDir dir(tmp.path());
    ProbeRun run = RunProbe(dir.path(), TestKey("noskin"));
    ASSERT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.lines.size(), 2) << run.lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(run.lines[0], QString::fromUtf8("box:ファイルが見つかりません。\\n\\nBackBmp.bmp\\nWaku.bmp\\nKoma01.bmp\\n|icon=0|buttons=%1")
                                .arg(int(QMessageBox::Ok)));
    EXPECT_EQ(run.lines[1], QStringLiteral("result:%1").arg(int(CShogiApp::RUN_MISSING_SKINS)));
    EXPECT_FALSE(dir.exists(QStringLiteral("app_instance_probe.ini")));
}

TEST(StartUp, ASecondCopyEndsSilently) {
    QTemporaryDir tmp;
    QDir dir(tmp.path());
    WriteSkins(dir, true, true, true);
    const QString key = TestKey("second");
    CSingleInstance running(key);
    ASSERT_TRUE(running.TryAcquire());
    ProbeRun run = RunProbe(dir.path(), key);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines, QStringList({QStringLiteral("result:%1").arg(int(CShogiApp::RUN_SECOND_COPY))}));
    EXPECT_FALSE(dir.exists(QStringLiteral("app_instance_probe.ini")));

    // Another key: both copies run side by side.
    run = RunProbe(dir.path(), TestKey("second-other"));
    EXPECT_EQ(run.lines.value(1), QStringLiteral("result:%1").arg(int(CShogiApp::RUN_DONE)));
}

TEST(StartUp, ARunningCopyHoldsTheLockAndACrashedOneDoesNot) {
    QTemporaryDir tmp;
    QDir dir(tmp.path());
    WriteSkins(dir, true, true, true);
    const QString key = TestKey("held");
    QProcess p;
    p.setWorkingDirectory(dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(INSTANCE_KEY_ENV), key);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);

    // Ends normally: the lock is free afterwards.
    p.start(QStringLiteral(RAVU_PROBE), {QStringLiteral("hold")});
    ASSERT_TRUE(p.waitForReadyRead(30000));
    EXPECT_TRUE(p.readLine().startsWith("ran:"));
    {
        CSingleInstance me(key);
        EXPECT_FALSE(me.TryAcquire());
    }
    QFile release(dir.filePath(QStringLiteral("release")));
    ASSERT_TRUE(release.open(QIODevice::WriteOnly));
    release.close();
    ASSERT_TRUE(p.waitForFinished(30000));
    {
        CSingleInstance me(key);
        EXPECT_TRUE(me.TryAcquire());
    }

    // Killed while running: its lock is taken over.
    QFile::remove(dir.filePath(QStringLiteral("release")));
    p.start(QStringLiteral(RAVU_PROBE), {QStringLiteral("hold")});
    ASSERT_TRUE(p.waitForReadyRead(30000));
    p.kill();
    ASSERT_TRUE(p.waitForFinished(30000));
    CSingleInstance me(key);
    EXPECT_TRUE(me.TryAcquire());
}

TEST(Resources, BuiltInPicturesHaveTheirSizes) {
    InitResources();
    struct Case {
        const char* path;
        int w, h;
    };
    const Case cases[] = {
        {RES_BMP_LABELS, 190, 24},   {RES_BMP_MARKS, 128, 32},       {RES_BMP_BALLOON, 260, 180},
        {RES_BMP_CHARACTER, 128, 32}, {RES_BMP_YES, 174, 58},        {RES_BMP_NO, 174, 58},
        {RES_CURSOR_OWN_PIECE, 32, 32}, {RES_ICON, 32, 32},
    };
    for (const Case& c : cases) {
        QImage image(QString::fromLatin1(c.path));
        EXPECT_EQ(image.size(), QSize(c.w, c.h)) << c.path;
    }
    EXPECT_TRUE(QFile::exists(QString::fromLatin1(RES_SOUND_PIECE)));
}

QImage Skin(const char* name) { return QImage(QStringLiteral(RAVU_SOURCE_DIR "/res/skin/") + QLatin1String(name)); }

bool IsWhite(QRgb c) { return (c & 0xFFFFFF) == 0xFFFFFF; }

int CountWhite(const QImage& image, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += IsWhite(image.pixel(x, y));
    return n;
}

TEST(Resources, SkinFilesFitTheWindowGeometry) {
    const QImage back = Skin("BackBmp.bmp"), frame = Skin("Waku.bmp"), pieces = Skin("Koma01.bmp");
    EXPECT_EQ(back.size(), QSize(568, 410));
    EXPECT_EQ(frame.size(), QSize(620, 300));
    ASSERT_GE(pieces.width(), 32 * 30);
    ASSERT_EQ(pieces.height(), 30);
    // Opaque pictures hold no pixel of the transparent colour.
    EXPECT_EQ(CountWhite(back, back.rect()), 0);
    EXPECT_EQ(CountWhite(frame, frame.rect()), 0);
    // The two frame images differ (the coordinates turn with the view).
    EXPECT_NE(frame.copy(0, 0, 310, 300), frame.copy(310, 0, 310, 300));
    // A grid line runs where the squares meet: x = 140 + 31 i in the window.
    for (int i = 0; i <= 9; ++i) {
        QRgb c = frame.pixel(11 + 31 * i, 150);
        EXPECT_LT(qGray(c), 60) << "grid line " << i;
    }
}

TEST(Resources, PieceCellsAreInTheirOrderAndTurnedForTheTopSide) {
    const QImage pieces = Skin("Koma01.bmp");
    for (int k = 0; k < 16; ++k) {
        const QImage up = pieces.copy(30 * k, 0, 30, 30);
        const QImage down = pieces.copy(30 * (16 + k), 0, 30, 30);
        EXPECT_EQ(down, up.mirrored(true, true)) << "cell " << k;
        if (k == 11) {
            EXPECT_EQ(CountWhite(up, up.rect()), 900) << "the unused cell is empty";
            continue;
        }
        // A piece: transparent corners, an opaque body.
        EXPECT_TRUE(IsWhite(up.pixel(0, 0))) << k;
        EXPECT_TRUE(IsWhite(up.pixel(29, 0))) << k;
        EXPECT_FALSE(IsWhite(up.pixel(15, 20))) << k;
        EXPECT_GT(CountWhite(up, up.rect()), 100) << k;
        EXPECT_LT(CountWhite(up, up.rect()), 500) << k;
        // Promoted pieces (龍 馬 全 圭 杏 と) carry red ink, the others none.
        bool promoted = k == 9 || k == 10 || k >= 12;
        int red = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 30; ++x) {
                QRgb c = up.pixel(x, y);
                red += qRed(c) > 150 && qGreen(c) < 80 && qBlue(c) < 80;
            }
        EXPECT_EQ(red > 5, promoted) << "cell " << k << " red pixels " << red;
    }
}

TEST(Resources, MarksAndLabelsFollowTheirLayout) {
    InitResources();
    const QImage marks(QString::fromLatin1(RES_BMP_MARKS));
    struct Mark {
        QRgb colour;
        int from, to;
    };
    const Mark expected[4] = {
        {qRgb(255, 255, 0), 1, 30}, {qRgb(255, 0, 255), 1, 30}, {qRgb(0, 255, 255), 2, 29}, {qRgb(0, 255, 0), 2, 29}};
    for (int m = 0; m < 4; ++m) {
        const int ox = 32 * m;
        const Mark& e = expected[m];
        EXPECT_EQ(marks.pixel(ox + e.from, e.from) & 0xFFFFFF, e.colour & 0xFFFFFF) << m;
        EXPECT_EQ(marks.pixel(ox + e.to, e.to) & 0xFFFFFF, e.colour & 0xFFFFFF) << m;
        EXPECT_TRUE(IsWhite(marks.pixel(ox + e.from - 1, e.from - 1))) << m;
        EXPECT_TRUE(IsWhite(marks.pixel(ox + e.to + 1, 16))) << m;
        EXPECT_TRUE(IsWhite(marks.pixel(ox + 16, 16))) << m;
    }
    const QImage labels(QString::fromLatin1(RES_BMP_LABELS));
    for (int c = 0; c < 5; ++c) {
        // Only the plate (3, 3)-(33, 19) and its shadow are opaque.
        EXPECT_TRUE(IsWhite(labels.pixel(38 * c + 1, 1))) << c;
        EXPECT_TRUE(IsWhite(labels.pixel(38 * c + 36, 22))) << c;
        EXPECT_FALSE(IsWhite(labels.pixel(38 * c + 3, 3))) << c;
        EXPECT_FALSE(IsWhite(labels.pixel(38 * c + 34, 20))) << c;
    }
    // The lit cells are red, the plain ones are not.
    auto redness = [&](int c) { QRgb p = labels.pixel(38 * c + 5, 5); return qRed(p) - qGreen(p); };
    EXPECT_GT(redness(1), 100);
    EXPECT_GT(redness(3), 100);
    EXPECT_LT(redness(0), 60);
    EXPECT_LT(redness(2), 60);
}

TEST(Resources, TheCursorPointsWithItsHotSpot) {
    InitResources();
    const QImage cursor = QImage(QString::fromLatin1(RES_CURSOR_OWN_PIECE)).convertToFormat(QImage::Format_ARGB32);
    EXPECT_GT(qAlpha(cursor.pixel(RES_CURSOR_HOT_X, RES_CURSOR_HOT_Y + 1)), 128);
    EXPECT_EQ(qAlpha(cursor.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(cursor.pixel(31, 0)), 0);
}

TEST(PieceSound, ReadsTheBuiltInClickAndFollowsTheSetting) {
    CProfile profile;
    profile.SetSound(0);
    CPieceSound sound(&profile);
    ASSERT_TRUE(sound.HasSound());
    EXPECT_EQ(sound.SampleCount(), 290);
    EXPECT_FALSE(sound.PlayPieceSound());
    EXPECT_EQ(sound.PlayCount(), 0);
    profile.SetSound(1);
    // With or without a sound device this returns at once; it reports
    // whether the click went to a device.
    for (int i = 0; i < 3; ++i) {
        bool played = sound.PlayPieceSound();
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
