// The record and the position through the clipboard: the record goes out as
// KIF text and the board as SFEN, both in Unicode; text pasted in is read
// like a file of any format the program reads.
#include <QApplication>
#include <QClipboard>

#include "app/record_file.h"
#include "app/textcodec.h"
#include "game/sfen.h"
#include "ui/main_dlg.h"

namespace ravu {

void CMainDlg::CopyRecord() {
    const std::string text = record.KifText(record.kifu.header.title);
    QApplication::clipboard()->setText(QString::fromStdString(SjisToUtf8Restoring(text)));
}

void CMainDlg::CopyPosition() {
    const KifuNode* cur = record.kifu.current;
    const int number = cur && cur->move && cur->move->number > 0 ? cur->move->number : 1;
    QApplication::clipboard()->setText(QString::fromStdString(BoardSfen(board, SideToMove(), number)));
}

void CMainDlg::PasteRecord() {
    // A game in play keeps its record.
    if (Mode() == MODE_GAME || Mode() == MODE_WATCHING)
        return;
    const QString source = tr("クリップボード");
    const std::string utf8 = QApplication::clipboard()->text().toStdString();
    RecordLoad load;
    const std::string sjis = Utf8ToSjisKeeping(utf8, &load.substituted);
    LoadReport report;
    if (utf8.empty() || !record.LoadKifFromBuffer(sjis, Utf8ToSjis(source.toStdString()), &report)) {
        showMessage(tr("貼り付けた文字列は棋譜として読めませんでした。"));
        return;
    }
    load.loaded = true;
    load.stopLine = report.stopLine;
    load.stopText = report.stopText;
    ShowLoadedRecord(load, source);
}

}  // namespace ravu
