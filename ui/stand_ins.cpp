#include "ui/stand_ins.h"

#include <QMessageBox>

#include "app/textcodec.h"
#include "record/kifu.h"
#include "ui/main_dlg.h"

namespace ravu {

void CMoveListMemory::SelectLine(int index) {
    if (index == -1 || (index >= 0 && static_cast<size_t>(index) < lines.size()))
        selected = index;
}

CRecordWindowStandIn::CRecordWindowStandIn(CMainDlg& mainWnd, CKifuControl& record)
    : mainWnd(mainWnd), record(record) {}

void CRecordWindowStandIn::RefreshLists() {
    record.listBox = &list;
    record.kifu.FillList(&list);
}

void CRecordWindowStandIn::StepCommand(int command) {
    // As the record window does: no selection counts as line 1.
    int i = list.SelectedLine();
    if (i < 0)
        i = 1;
    const int next = command == ID_STEP_BACK ? i - 1 : i + 1;
    list.SelectLine(next);
    mainWnd.OnCommand(command, next);
}

int CQuestionStandIn::Ask(const std::string& sjisQuestion) {
    if (busy)
        return 2;
    busy = true;
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Ravu One"),
                    QString::fromUtf8(SjisToUtf8(sjisQuestion)).trimmed(),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    const int answer = box.exec() == QMessageBox::Yes ? 1 : 2;
    busy = false;
    return answer;
}

int CAboutStandIn::Run() {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報 RavuOne"),
                    QStringLiteral("RavuOne Version 1.00 β"), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return 1;
}

}  // namespace ravu
