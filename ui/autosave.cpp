#include "ui/autosave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <ctime>

#include "app/atomic_file.h"
#include "app/autosave_name.h"
#include "app/textcodec.h"
#include "record/kifu.h"

namespace ravu {

QString CAutosave::Folder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/ravuone/games");
}

QString CAutosave::KeptGamePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/ravuone/adjourned.txt");
}

QStringList CAutosave::RecentGames(int count) {
    QStringList out;
    const QFileInfoList files =
        QDir(Folder()).entryInfoList({QStringLiteral("*.kif")}, QDir::Files, QDir::Time);
    for (const QFileInfo& f : files) {
        if (out.size() >= count)
            break;
        out << f.absoluteFilePath();
    }
    return out;
}

void CAutosave::Begin(const std::string& utf8Who) {
    who = utf8Who;
    path.clear();
}

bool CAutosave::Save(const CKifuControl& record, QString* error) {
    const KifuNode* first = record.kifu.Root();
    if (path.isEmpty() && !(first && first->filled))
        return true;  // nothing to keep yet
    if (path.isEmpty()) {
        const QString folder = Folder();
        if (!QDir().mkpath(folder)) {
            if (error)
                *error = folder;
            return false;
        }
        const KifuHeader& h = record.kifu.header;
        const QString name =
            QString::fromStdString(AutosaveFileName(h.hasStartTime ? h.startTime : std::time(nullptr), who));
        // Two games in the same minute against the same player get two files.
        QString candidate = folder + QLatin1Char('/') + name;
        for (int n = 2; QFileInfo::exists(candidate); ++n)
            candidate = folder + QLatin1Char('/') + name.chopped(4) + QStringLiteral("-%1.kif").arg(n);
        path = candidate;
    }
    // The same bytes as saving the record by hand under this name.
    const std::string file = QFile::encodeName(path).toStdString();
    std::string why;
    if (WriteFileAtomic(file, record.KifText(Utf8ToSjis(file)), &why))
        return true;
    if (error)
        *error = QString::fromStdString(why);
    return false;
}

}  // namespace ravu
