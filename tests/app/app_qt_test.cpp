// Start-up with Qt (offscreen platform): the missing-skin message, the
// settings file read before and written after the main window, Qt's own
// texts in Japanese (or all in English when asked), one copy per instance
// key, where skins and settings are found, and record files handed from a
// second copy to the running one; the choice of the language.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>

#include "app/hand_off.h"
#include "app/language.h"
#include "app/piece_sound.h"
#include "app/quit_signal.h"
#include "app/settings.h"
#include "app/shogi_app.h"

using namespace ravu;

namespace {

// Runs the event loop until done() holds or ten seconds have gone.
bool WaitFor(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

const std::initializer_list<const char*> ALL_SKINS = {"BackBmp.bmp", "Waku.bmp", "Koma01.bmp"};

void MakeSkins(const QString& dir, std::initializer_list<const char*> names) {
    QDir().mkpath(dir);
    for (const char* name : names)
        QFile(dir + QLatin1Char('/') + QLatin1String(name)).open(QIODevice::WriteOnly);
}

// Sets an environment variable (unsets it for a null value) until the scope
// ends, then puts the old value back.
[[nodiscard]] auto ScopedEnv(const char* name, const QByteArray* value) {
    const bool had = qEnvironmentVariableIsSet(name);
    const QByteArray old = qgetenv(name);
    value ? qputenv(name, *value) : qunsetenv(name);
    return qScopeGuard([=] { had ? qputenv(name, old) : qunsetenv(name); });
}

}  // namespace

TEST(StartUp, SkinsSettingsAndSingleInstance) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    // No settings file in the start folder: they go to the configuration folder.
    QTemporaryDir config;
    const QByteArray configPath = config.path().toUtf8();
    const auto configHome = ScopedEnv("XDG_CONFIG_HOME", &configPath);
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
    saved.LoadProfile(QFile::encodeName(config.filePath("ravuone/app_qt_test.ini")).toStdString());
    EXPECT_EQ(saved.WindowX(), 77);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("app_qt_test.ini")));

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
    // A second copy started with a record file hands it to the running copy.
    QStringList handed;
    CHandOffServer server(key, [&](const QString& path) { handed += path; });
    ASSERT_TRUE(server.IsListening());
    const QString record = dir.filePath("BackBmp.bmp");  // any existing file
    CShogiApp second;
    second.SetStartFile(record);
    EXPECT_EQ(second.Run([&](CProfile&) { ran += QStringLiteral("second"); }), CShogiApp::RUN_SECOND_COPY);
    EXPECT_TRUE(WaitFor([&] { return !handed.isEmpty(); }));
    EXPECT_EQ(handed, QStringList(record));
    EXPECT_TRUE(shown.isEmpty() && ran.isEmpty());
    qunsetenv(INSTANCE_KEY_ENV);
    EXPECT_EQ(InstanceKey(), "Ravu One");
}

// Skins: the start folder when it holds all three files, else the installed
// share folder beside the executable's, else the start folder again so that
// the message names what it misses.  Settings: the start folder's file when
// there is one, else the user's configuration folder.
TEST(StartUp, WhereSkinsAndSettingsAreFound) {
    QTemporaryDir root;
    const QString start = root.filePath("start"), bin = root.filePath("prefix/bin"),
                  share = root.filePath("prefix/share/ravuone/skin");
    EXPECT_EQ(CShogiApp::InstalledSkinFolder(bin), share);
    struct Case {
        const char* what;
        std::initializer_list<const char*> inStart, inShare;
        bool fromShare;
    } cases[] = {
        {"both", ALL_SKINS, ALL_SKINS, false},
        {"start folder lacks one", {"BackBmp.bmp", "Koma01.bmp"}, ALL_SKINS, true},
        {"neither complete", {"Waku.bmp"}, {"BackBmp.bmp", "Koma01.bmp"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(start).removeRecursively();
        QDir(share).removeRecursively();
        MakeSkins(start, c.inStart);
        MakeSkins(share, c.inShare);
        EXPECT_EQ(CShogiApp::SkinFolderFor(start, bin), c.fromShare ? share : start);
    }
    // With neither complete the message lists what the start folder misses.
    EXPECT_EQ(CShogiApp::MissingSkinText(CShogiApp::SkinFolderFor(start, bin)),
              QString::fromUtf8("ファイルが見つかりません。\n\nBackBmp.bmp\nKoma01.bmp\n"));

    const QString exe = QStringLiteral("/usr/bin/ravuone"), config = root.filePath("config");
    EXPECT_EQ(CShogiApp::ProfilePathFor(start, exe, config), config + QStringLiteral("/ravuone/ravuone.ini"));
    QFile(start + QStringLiteral("/ravuone.ini")).open(QIODevice::WriteOnly);
    EXPECT_EQ(CShogiApp::ProfilePathFor(start, exe, config), start + QStringLiteral("/ravuone.ini"));
    EXPECT_EQ(CShogiApp::ProfilePathFor(start, QStringLiteral("/opt/x/other"), config),
              config + QStringLiteral("/ravuone/other.ini"));

    const QByteArray home = root.filePath("home").toUtf8(), xdg = config.toUtf8();
    const auto homeEnv = ScopedEnv("HOME", &home);
    {
        const auto set = ScopedEnv("XDG_CONFIG_HOME", &xdg);
        EXPECT_EQ(CShogiApp::ConfigHome(), config);
    }
    const auto unset = ScopedEnv("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(CShogiApp::ConfigHome(), root.filePath("home/.config"));
}

// The program's argument: the first after its name, made absolute against the start folder.
TEST(StartUp, StartFileArgument) {
    struct Case {
        QStringList args;
        QString expected;
    } cases[] = {
        {{"ravuone"}, ""},
        {{"ravuone", ""}, ""},
        {{"ravuone", "a.kif"}, "/home/u/a.kif"},
        {{"ravuone", "../b.kif", "c.kif"}, "/home/b.kif"},
        {{"ravuone", "/r/./d.csa"}, "/r/d.csa"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CShogiApp::StartFileArgument(c.args, QStringLiteral("/home/u")), c.expected)
            << c.args.join(QLatin1Char(' ')).toStdString();
}

// What arrives on the hand-off socket is untrusted: only the absolute path of
// an existing regular file is acted on; everything else is dropped without
// harm, and the server keeps taking files.  A connection that sends nothing
// does not hold up others and is closed after the time limit.
TEST(HandOff, OnlyTheAbsolutePathOfAnExistingFileOpens) {
    QTemporaryDir dir;
    const QString record = dir.filePath("game.kif");
    QFile(record).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const QString key = QStringLiteral("ravu-handoff-%1").arg(QCoreApplication::applicationPid());
    QStringList opened;
    CHandOffServer server(
        key, [&](const QString& path) { opened += path; }, 300);
    ASSERT_TRUE(server.IsListening());
    EXPECT_TRUE(HandOffSocketPath(key).startsWith(InstanceDirectory() + QStringLiteral("/ravuone-")));
    EXPECT_NE(HandOffSocketPath(key), HandOffSocketPath(key + QLatin1Char('2')));

    const QByteArray path = record.toUtf8();
    struct Case {
        const char* what;
        QByteArray bytes;
    } junk[] = {
        {"too long", QByteArray(MAX_PATH_BYTES, '/') + path},
        {"nothing", QByteArray()},
        {"no such file", path + "-gone"},
        {"a folder", dir.path().toUtf8()},
        {"relative", QByteArray("game.kif")},
        {"NUL inside", path + QByteArray("\0x", 2)},
        {"not UTF-8", QByteArray("\xff\xfe/\x80\x81") + path},
    };
    QLocalSocket silent;
    silent.connectToServer(HandOffSocketPath(key));
    ASSERT_TRUE(silent.waitForConnected(5000));
    for (const Case& c : junk) {
        QLocalSocket s;
        s.connectToServer(HandOffSocketPath(key));
        ASSERT_TRUE(s.waitForConnected(5000)) << c.what;
        s.write(c.bytes);
        s.waitForBytesWritten(5000);
        s.disconnectFromServer();
    }
    ASSERT_TRUE(SendToRunningCopy(key, record));
    // Every connection ends: the junk, the good one and, after its time, the silent one.
    const int all = static_cast<int>(std::size(junk)) + 2;
    EXPECT_TRUE(WaitFor([&] { return server.EndedConnections() == all && server.OpenConnections() == 0; }));
    EXPECT_EQ(opened, QStringList(record));
    EXPECT_FALSE(AcceptedHandOffPath(path).isEmpty());
    for (const Case& c : junk)
        EXPECT_TRUE(AcceptedHandOffPath(c.bytes).isEmpty()) << c.what;
}

// SIGTERM and SIGINT reach the quit callback on the event loop while the
// object lives (a signal ignored at start stays ignored); afterwards their
// default handlers are back.
TEST(QuitSignal, TermAndIntQuitThroughTheEventLoop) {
    auto handler = [](int sig) {
        struct sigaction now = {};
        ::sigaction(sig, nullptr, &now);
        return now.sa_handler;
    };
    for (int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        ::signal(sig, SIG_DFL);
        int quits = 0;
        {
            CQuitSignal quit([&] { ++quits; });
            ::raise(sig);
            EXPECT_TRUE(WaitFor([&] { return quits > 0; }));
        }
        EXPECT_EQ(quits, 1);
        EXPECT_EQ(handler(sig), SIG_DFL);
    }
    ::signal(SIGINT, SIG_IGN);
    {
        const CQuitSignal quit([] {});
        EXPECT_EQ(handler(SIGINT), SIG_IGN);
        EXPECT_NE(handler(SIGTERM), SIG_DFL);
    }
    ::signal(SIGINT, SIG_DFL);
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
