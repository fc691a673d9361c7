// The main window's file commands: choosing a record file, loading it for
// browsing, and saving the record.
#include <QFile>
#include <QFileDialog>

#include "app/textcodec.h"
#include "net/peer_protocol.h"
#include "ui/main_dlg.h"

namespace ravu {

namespace {

const QString FILE_FILTER = QStringLiteral("KIFU Files (*.kif *.txt)");

}  // namespace

QString CMainDlg::RunFileDialog(bool save) {
    // Qt's own dialog, not the desktop's: it speaks the language of Qt's
    // translation, and it goes where it is put instead of where the desktop
    // places new windows.
    QFileDialog dlg(this, QString(), QString(), FILE_FILTER);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Centred over the board picture (the window's shape, less a hidden panel).
    // (setGeometry places the inside of the dialog, whatever frame it gets.)
    QRect inside(QPoint(0, 0), dlg.sizeHint());
    inside.moveCenter(mapToGlobal((WindowRegion().boundingRect() & rect()).center()));
    dlg.setGeometry(inside);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return dlg.selectedFiles().constFirst();
}

void CMainDlg::OpenFile() {
    const QString path = chooseFile(false);
    if (!path.isEmpty())
        LoadKifuFile(path);
}

void CMainDlg::SaveFile() {
    const QString path = chooseFile(true);
    if (path.isEmpty())
        return;
    // The path is saved as typed; no extension is added.
    if (!record.SaveKif(QFile::encodeName(path).toStdString(), Utf8ToSjis(path.toStdString())))
        showMessage(QStringLiteral("棋譜ファイルを保存できませんでした。\n") + path);
}

void CMainDlg::LoadKifuFile(const QString& path) {
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return;
    const QString ext = path.mid(dot);
    if (ext.compare(QLatin1String(".kif"), Qt::CaseInsensitive) != 0 &&
        ext.compare(QLatin1String(".txt"), Qt::CaseInsensitive) != 0)
        return;
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (!record.LoadKif(QFile::encodeName(path).toStdString(), Utf8ToSjis(name.toStdString()))) {
        // Nothing could be read: the record, its lists and the board stay as they were.
        showMessage(QStringLiteral("棋譜ファイルを読み込めませんでした。\n") + path);
        return;
    }
    kifuWnd->RefreshLists();
    SetMenuEnabled(ID_EDIT_END, false);
    protocol->BrowseRecord();
    board.Reset();
    Redraw(false);
}

}  // namespace ravu
