#include "app/shogi_app.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMessageBox>
#include <QStandardPaths>
#include <QtGlobal>

#include <unistd.h>

#include "app/hand_off.h"
#include "app/language.h"
#include "app/skin_files.h"
#include "app/textcodec.h"

// Outside any namespace: the resource initialiser is a global symbol.
static void InitRavuResources() { Q_INIT_RESOURCE(resources); }

namespace ravu {

void InitResources() {
    static bool done = false;
    if (!done) {
        InitRavuResources();
        done = true;
    }
}

QString InstanceKey() {
    const QString key = qEnvironmentVariable(INSTANCE_KEY_ENV);
    return key.isEmpty() ? QString::fromLatin1(MAIN_WINDOW_TITLE) : key;
}

namespace {

// A file name made of the key: letters, digits, '-' and '_' stay, every
// other byte of its UTF-8 form is written in hexadecimal, so different keys
// never share a lock and no key can leave the directory.
QString LockFileName(const QString& key) {
    // File names are limited (255 bytes): a long key keeps its first bytes
    // (at most three characters each once escaped) and a digest of the whole.
    constexpr int KEPT_KEY_BYTES = 40;
    QString name = QStringLiteral("ravuone-");
    QByteArray utf8 = key.toUtf8();
    QByteArray digest;
    if (utf8.size() > KEPT_KEY_BYTES) {
        digest = QCryptographicHash::hash(utf8, QCryptographicHash::Sha1).toHex();
        utf8.truncate(KEPT_KEY_BYTES);
    }
    for (char c : utf8) {
        const uchar u = uchar(c);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-' ||
            u == '_')
            name += QLatin1Char(c);
        else
            name += QStringLiteral("%%%1").arg(u, 2, 16, QLatin1Char('0'));
    }
    if (!digest.isEmpty())
        name += QLatin1Char('-') + QString::fromLatin1(digest);
    return name + QStringLiteral(".lock");
}

// Per user: the runtime directory when there is one, else the temporary
// directory with the user id in the name.
}  // namespace

QString InstanceDirectory() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime;
    const QString dir = QDir::tempPath() + QStringLiteral("/ravuone-%1").arg(::getuid());
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return dir;
}

CSingleInstance::CSingleInstance(const QString& key)
    : path(InstanceDirectory() + QLatin1Char('/') + LockFileName(key)),
      lock(std::make_unique<QLockFile>(path)) {
    // A lock whose process has died is taken over at once, whatever its age.
    lock->setStaleLockTime(0);
}

CSingleInstance::~CSingleInstance() = default;  // QLockFile unlocks on destruction

bool CSingleInstance::TryAcquire() {
    if (held || unguarded)
        return true;
    held = lock->tryLock(0);
    if (!held && lock->error() != QLockFile::LockFailedError) {
        // The lock file cannot be made at all (no writable directory): that
        // says nothing about another copy, so this one runs unguarded
        // rather than ending without a word.
        qWarning("ravuone: no single-instance lock at %s", qPrintable(path));
        unguarded = true;
        return true;
    }
    return held;
}

CShogiApp::CShogiApp() { InitResources(); }

CShogiApp::~CShogiApp() { UninstallLanguage(); }

bool CShogiApp::LoadQtTranslation() { return InstallLanguage(ChooseEnglish(profile.GetLanguage())); }

QString CShogiApp::ProfilePathFor(const QString& startDir, const QString& executable,
                                  const QString& configHome) {
    const QString name = QFileInfo(executable).completeBaseName() + QStringLiteral(".ini");
    const QString portable = startDir + QLatin1Char('/') + name;
    if (QFileInfo::exists(portable))
        return portable;
    return configHome + QStringLiteral("/ravuone/") + name;
}

QString CShogiApp::StartFileArgument(const QStringList& arguments, const QString& startDir) {
    if (arguments.size() < 2 || arguments[1].isEmpty())
        return {};
    return QDir::cleanPath(QDir(startDir).absoluteFilePath(arguments[1]));
}

QString CShogiApp::ConfigHome() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString CShogiApp::InstalledSkinFolder(const QString& appDir) {
    return QDir::cleanPath(appDir + QStringLiteral("/../share/ravuone/skin"));
}

QString CShogiApp::SkinFolderFor(const QString& startDir, const QString& appDir) {
    if (MissingSkinText(startDir).isEmpty())
        return startDir;
    const QString installed = InstalledSkinFolder(appDir);
    return MissingSkinText(installed).isEmpty() ? installed : startDir;
}

QString CShogiApp::MissingSkinText(const QString& dir) {
    std::string message;
    if (CheckSkinFilesIn(QFile::encodeName(dir).toStdString(), &message))
        return {};
    return QString::fromUtf8(SjisToUtf8(message));
}

bool CShogiApp::CheckSkinFiles(const QString& dir, QWidget* parent) {
    const QString text = MissingSkinText(dir);
    if (text.isEmpty())
        return true;
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return false;
}

CShogiApp::RunResult CShogiApp::Run(const std::function<void(CProfile&)>& runMainWindow) {
    // 1. One copy per user and key; a second copy hands its record file, if
    //    it was given one, to the running copy and ends without a word.
    CSingleInstance instance(InstanceKey());
    if (!instance.TryAcquire()) {
        if (!startFile.isEmpty() && !SendToRunningCopy(InstanceKey(), startFile))
            qWarning("ravuone: the running copy did not take %s", qPrintable(startFile));
        return RUN_SECOND_COPY;
    }

    // 2. Qt's sockets need no start-up of their own.

    // 3. The settings file: beside the start folder's copy of it (portable
    //    use), else in the user's configuration folder.
    const QString dir = QDir::currentPath();
    profilePath = ProfilePathFor(dir, QCoreApplication::applicationFilePath(), ConfigHome());

    // 4. The settings, then the windows' language, which they may choose:
    //    the program's texts and Qt's own dialogs.  Without Qt's Japanese
    //    translation its dialogs stay in English and the program runs anyway.
    const std::string path = QFile::encodeName(profilePath).toStdString();
    profile.LoadProfile(path);
    LoadQtTranslation();

    // 5. The skin files must be in the start folder or the installed one.
    skinFolder = SkinFolderFor(dir, QCoreApplication::applicationDirPath());
    if (!CheckSkinFiles(skinFolder))
        return RUN_MISSING_SKINS;

    // 6. - 9.
    runMainWindow(profile);
    std::string error;
    QDir().mkpath(QFileInfo(profilePath).absolutePath());
    if (!profile.SaveProfile(path, &error)) {
        qWarning("ravuone: the settings were not saved: %s", error.c_str());
        return RUN_SAVE_FAILED;
    }
    return RUN_DONE;
}

}  // namespace ravu
