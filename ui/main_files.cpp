// The main window's file commands: choosing a record file, loading it for
// browsing, and saving the record.  Files go through LoadRecordFile and
// SaveRecordFile, which find and convert their encoding.
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <climits>

#include "app/atomic_file.h"
#include "app/record_file.h"
#include "app/textcodec.h"
#include "net/peer_protocol.h"
#include "ui/analysis_dlg.h"
#include "ui/main_dlg.h"
#include "ui/window_util.h"

namespace ravu {

namespace {

// The record files the window opens, by extension (any case); what is in a
// file decides how it is read.
const QStringList RECORD_EXTENSIONS = {QStringLiteral("kif"),  QStringLiteral("kifu"), QStringLiteral("ki2"),
                                       QStringLiteral("ki2u"), QStringLiteral("csa"),  QStringLiteral("sfen"),
                                       QStringLiteral("txt")};

// The extension of the path's last component without its dot; empty when
// there is none.
QString Extension(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > slash ? path.mid(dot + 1) : QString();
}

QStringList FileFilters(bool save) {
    if (save)
        return {QStringLiteral("KIF Shift-JIS (*.kif *.txt)"), QStringLiteral("KIF UTF-8 (*.kifu)")};
    QStringList patterns;
    for (const QString& ext : RECORD_EXTENSIONS)
        patterns << QStringLiteral("*.") + ext;
    return {CMainDlg::tr("棋譜ファイル (%1)").arg(patterns.join(QLatin1Char(' '))),
            CMainDlg::tr("すべてのファイル (*)")};
}

// The longest piece of a stopping line that a message shows.
constexpr int SHOWN_LINE_CHARS = 60;

// The longest kept game read: a few hundred bytes of key=value lines.
constexpr size_t KEPT_GAME_MAX_BYTES = 16 * 1024;

}  // namespace

QString CMainDlg::RunFileDialog(bool save) {
    // Qt's own dialog, not the desktop's: it speaks the language of Qt's
    // translation, and it goes where it is put instead of where the desktop
    // places new windows.
    QFileDialog dlg(this);
    dlg.setNameFilters(FileFilters(save));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (const QString folder = FileDialogFolder(save); !folder.isEmpty())
        dlg.setDirectory(folder);
    // Centred over the board picture (the window's shape, less a hidden panel).
    // (setGeometry places the inside of the dialog, whatever frame it gets.)
    QRect inside(QPoint(0, 0), dlg.sizeHint());
    inside.moveCenter(mapToGlobal((WindowRegion().boundingRect() & rect()).center()));
    dlg.setGeometry(inside);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    fileFolder = QFileInfo(dlg.selectedFiles().constFirst()).absolutePath();
    return dlg.selectedFiles().constFirst();
}

QString CMainDlg::FileDialogFolder(bool save) const {
    if (!fileFolder.isEmpty() || save)
        return fileFolder;
    const QString games = CAutosave::Folder();
    return QFileInfo(games).isDir() ? games : QString();
}

void CMainDlg::OpenFile() {
    const QString path = chooseFile(false);
    if (!path.isEmpty())
        LoadKifuFile(path);
}

void CMainDlg::SaveFile() {
    QString path = chooseFile(true);
    if (path.isEmpty())
        return;
    // The path is saved as typed; no extension is added.  Only a record that
    // holds characters Shift-JIS cannot, about to be saved in Shift-JIS,
    // brings the question whether to save it in UTF-8 instead.
    const QString ext = Extension(path);
    if ((ext.isEmpty() || ext.compare(QLatin1String("kif"), Qt::CaseInsensitive) == 0 ||
         ext.compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0) &&
        RecordNeedsUnicode(record) &&
        balloon->Ask(Utf8ToSjis(
            tr("\r\nShift-JIS にない文字があります。\r\n.kifu (UTF-8) で保存しますか ？").toStdString())) ==
            ASK_YES)
        path = path.left(path.size() - (ext.isEmpty() ? 0 : ext.size() + 1)) + QStringLiteral(".kifu");
    if (!SaveRecordFile(record, QFile::encodeName(path).toStdString()))
        showMessage(tr("棋譜ファイルを保存できませんでした。\n") + path);
}

void CMainDlg::LoadKifuFile(const QString& path) {
    if (!RECORD_EXTENSIONS.contains(Extension(path), Qt::CaseInsensitive))
        return;
    RecordLoad load;
    if (!LoadRecordFile(record, QFile::encodeName(path).toStdString(), &load)) {
        // Nothing could be read: the record, its lists and the board stay as they were.
        showMessage(tr("棋譜ファイルを読み込めませんでした。\n") + path);
        return;
    }
    ShowLoadedRecord(load, path);
}

void CMainDlg::OpenGivenFile(const QString& path) {
    if (Mode() != MODE_FREE) {
        balloon->Tell(
            Utf8ToSjis(tr("対局中は棋譜を開けません。\r\n%1").arg(QFileInfo(path).fileName()).toStdString()));
        return;
    }
    LoadKifuFile(path);
}

void CMainDlg::RestoreKeptGame() {
    const QString keptPath = CAutosave::KeptGamePath();
    if (!QFileInfo::exists(keptPath))
        return;
    Adjournment kept;
    auto take = [&] {
        std::string text;
        if (!ReadFileHead(QFile::encodeName(keptPath).toStdString(), KEPT_GAME_MAX_BYTES, &text) ||
            !ParseAdjournment(text, kept))
            return false;
        // Its record is loaded as opening the file would, whole, and stands at its last move.
        RecordLoad load;
        if (!LoadRecordFile(record, QFile::encodeName(QString::fromStdString(kept.recordPath)).toStdString(),
                            &load) ||
            load.stopLine != 0)
            return false;
        record.SetUpStart(board);
        record.GoTo(board, INT_MAX, 0, nullptr);
        return protocol->RestoreAdjourned(kept);
    };
    const bool taken = take();
    if (!taken) {
        // Whatever was read goes; the file stays for the player to look at.
        record.ClearRecord();
        record.SetUpStart(board);
        kifuWnd->ClearList();
        Redraw(false);
        chatLog->AddLine(Utf8ToSjis("◆" + tr("中断した対局を再開できませんでした。").toStdString() +
                                    keptPath.toStdString()));
        return;
    }
    kifuWnd->RefreshLists();
    autosave.Continue(QString::fromStdString(kept.recordPath));
    autosaveWarned = false;
    gameKept = true;
    // The player hears of it; a guest starts coming back.
    Notify(Notice::Restored);
}

void CMainDlg::ShowLoadedRecord(const RecordLoad& load, const QString& path) {
    analysisDlg->RecordChanged(true);
    kifuWnd->RefreshLists();
    SetMenuEnabled(ID_EDIT_END, false);
    protocol->BrowseRecord();
    record.SetUpStart(board);
    Redraw(false);
    // What the player should know about the file, in one message.
    QStringList notes;
    if (load.stopLine > 0) {
        QString line = DisplayText(QString::fromStdString(SjisToUtf8Restoring(load.stopText)));
        if (line.size() > SHOWN_LINE_CHARS)
            line = line.left(SHOWN_LINE_CHARS) + QStringLiteral("…");
        notes << tr("棋譜ファイルを途中までしか読み込めませんでした。\n%1\n%2 行目：%3")
                     .arg(path, QString::number(load.stopLine), line);
    }
    if (load.substituted > 0) {
        QString note = tr("Shift-JIS にない文字 %1 個を &#x…; の形で残しました。"
                          ".kifu で保存すると元の文字に戻ります。")
                           .arg(load.substituted);
        notes << (notes.isEmpty() ? note + QLatin1Char('\n') + path : note);
    }
    if (!notes.isEmpty())
        showMessage(notes.join(QLatin1Char('\n')));
}

}  // namespace ravu
