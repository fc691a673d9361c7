#include "ui/kifu_dlg.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>
#include <algorithm>

#include "record/kifu.h"
#include "record/list_notation.h"
#include "ui/window_util.h"

namespace ravu {

// ---- move list ----

CKifuListWidget::CKifuListWidget(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("moveList"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void CKifuListWidget::AddLine(const std::string& text) {
    source.push_back(text);
    if (!writer)
        writer.emplace(startPosition ? startPosition() : std::string(), notation);
    addItem(DisplayText(writer->Line(text)));
    Mark(count() - 1);
}

void CKifuListWidget::SetNotation(int n) {
    notation = n;
    Relabel();
}

void CKifuListWidget::Relabel() {
    writer.emplace(startPosition ? startPosition() : std::string(), notation);
    for (int i = 0; i < count() && i < static_cast<int>(source.size()); ++i)
        item(i)->setText(DisplayText(writer->Line(source[std::size_t(i)])));
}

void CKifuListWidget::Remark() {
    for (int i = 0; i < count(); ++i)
        Mark(i);
}

bool CKifuListWidget::IsMarkedBad(int index) const {
    const QListWidgetItem* line = item(index);
    return line && !line->toolTip().isEmpty();
}

void CKifuListWidget::Mark(int index) {
    QListWidgetItem* line = item(index);
    if (!line)
        return;
    const bool bad = isBad && isBad(index);
    line->setForeground(bad ? QBrush(QColor(0xC0, 0x10, 0x10)) : QBrush());
    line->setToolTip(bad ? CKifuDlg::tr("悪手") : QString());
}

void CKifuListWidget::ClearLines() {
    ++programSelecting;
    clear();
    source.clear();
    writer.reset();
    --programSelecting;
}

void CKifuListWidget::SelectLine(int index) {
    ++programSelecting;
    if (index < 0) {
        setCurrentRow(-1);
        clearSelection();
    } else if (index < count()) {
        setCurrentRow(index);
        scrollToItem(item(index));
    }
    // A line that does not exist leaves the selection as it is.
    --programSelecting;
}

int CKifuListWidget::SelectedLine() const {
    const QList<QListWidgetItem*> sel = selectedItems();
    return sel.isEmpty() ? -1 : row(sel.first());
}

// ---- tree ----

CKifuTreeWidget::CKifuTreeWidget(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("tree"));
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setItemsExpandable(true);
    setDragEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

int32_t CKifuTreeWidget::HandleOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, Qt::UserRole).toInt() : 0;
}

int32_t CKifuTreeWidget::InsertItem(int32_t parent, const std::string& text) {
    ++programSelecting;
    auto* item = new QTreeWidgetItem(QStringList{DisplayText(text)});
    const int32_t handle = nextHandle++;
    if (nextHandle <= 0)
        nextHandle = 1;  // never 0 or negative, even after 2^31 items
    item->setData(0, Qt::UserRole, handle);
    QTreeWidgetItem* under = parent ? ItemOf(parent) : nullptr;
    if (under)
        under->addChild(item);
    else
        addTopLevelItem(item);
    items.insert(handle, item);
    --programSelecting;
    return handle;
}

void CKifuTreeWidget::SelectItem(int32_t handle) {
    QTreeWidgetItem* item = ItemOf(handle);
    if (!item)
        return;
    ++programSelecting;
    setCurrentItem(item);
    scrollToItem(item);
    --programSelecting;
}

void CKifuTreeWidget::ExpandItem(int32_t handle) {
    if (QTreeWidgetItem* item = ItemOf(handle))
        item->setExpanded(true);
}

void CKifuTreeWidget::DeleteAllItems() {
    ++programSelecting;
    items.clear();
    clear();
    --programSelecting;
}

// ---- window ----

CKifuDlg::CKifuDlg(CKifuControl* record, QWidget* mainWnd)
    : QDialog(mainWnd,
              Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      record(record) {
    setWindowTitle(tr("棋譜"));
    setObjectName(QStringLiteral("kifu"));
    setFont(TemplateFont(FONT_MINCHO, 8));
    setAcceptDrops(true);
    const DialogUnits du(font());

    moveList = new CKifuListWidget(this);
    moveList->setGeometry(du.Rect(0, 0, 82, 79));
    tree = new CKifuTreeWidget(this);
    tree->setGeometry(du.Rect(5, 4, 23, 33));
    commentBox = new QPlainTextEdit(this);
    commentBox->setObjectName(QStringLiteral("commentBox"));
    commentBox->setReadOnly(true);
    commentBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    commentBox->setStyleSheet(QStringLiteral("QPlainTextEdit { background: white; }"));
    commentBox->setGeometry(du.Rect(45, 16, 26, 36));
    moveList->setAccessibleName(tr("指し手の一覧"));
    tree->setAccessibleName(tr("指し手と変化の木"));
    commentBox->setAccessibleName(tr("コメント"));
    moveList->SetStartPosition(
        [this] { return this->record ? this->record->kifu.header.startSfen : std::string(); });
    // The move list's menu chooses how it writes the moves.
    moveList->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* notations = new QActionGroup(moveList);
    const std::pair<int, QString> choices[] = {{NOTATION_JAPANESE, tr("日本式の表記（７六歩）")},
                                               {NOTATION_WESTERN, tr("西洋式の表記（P-7f）")},
                                               {NOTATION_USI, tr("USI形式の表記（7g7f）")}};
    for (const auto& [n, text] : choices) {
        QAction* a = notations->addAction(text);
        a->setCheckable(true);
        a->setChecked(n == NOTATION_JAPANESE);
        a->setData(n);
        moveList->addAction(a);
        connect(a, &QAction::triggered, this, [this, n = n] {
            moveList->SetNotation(n);
            emit notationChosen(n);
        });
    }
    moveField = new QLineEdit(this);
    moveField->setObjectName(QStringLiteral("moveField"));
    moveField->setPlaceholderText(tr("指し手（例: ７六歩、7g7f）"));
    moveField->setAccessibleName(tr("指し手"));
    moveField->setAcceptDrops(false);
    moveStatus = new QLabel(this);
    moveStatus->setObjectName(QStringLiteral("moveStatus"));
    moveStatus->setWordWrap(false);
    moveStatus->setTextFormat(Qt::PlainText);  // it quotes what was typed
    moveStatus->setAccessibleName(tr("指し手の結果"));
    connect(moveField, &QLineEdit::returnPressed, this, [this] {
        if (!moveField->text().trimmed().isEmpty())
            emit moveTyped(moveField->text());
    });
    // Drops anywhere on the window reach the window, not the controls.
    moveList->setAcceptDrops(false);
    tree->setAcceptDrops(false);
    commentBox->setAcceptDrops(false);

    connect(moveList, &QListWidget::currentRowChanged, this, &CKifuDlg::OnListSelChange);
    connect(tree, &QTreeWidget::currentItemChanged, this, &CKifuDlg::OnTreeSelChange);

    if (record)
        record->listBox = moveList;
    resize(du.X(82), du.Y(79));
    FillTree();
    LayOut(width(), height());
}

void CKifuDlg::FillTree() {
    if (record)
        record->BuildTree(tree);
}

void CKifuDlg::RefreshLists() {
    if (!record)
        return;
    record->listBox = moveList;
    record->kifu.FillList(moveList);
    FillTree();
}

void CKifuDlg::ClearList() { moveList->ClearLines(); }

void CKifuDlg::CommentsChanged() {
    moveList->Remark();
    ShowComment(tree->SelectedHandle());
}

void CKifuDlg::ShowComment(int32_t handle) {
    const std::string comment = record && handle ? record->GetComment(handle) : std::string();
    commentBox->setPlainText(DisplayText(comment, true));
}

void CKifuDlg::SetNotation(int notation) {
    for (QAction* a : moveList->actions())
        a->setChecked(a->data().toInt() == notation);
    moveList->SetNotation(notation);
}

void CKifuDlg::ShowMoveResult(const QString& why) {
    moveStatus->setText(why);
    moveStatus->setToolTip(why);
    if (why.isEmpty())
        moveField->clear();
    Announce(moveField, why);
}

void CKifuDlg::LayOut(int cw, int ch) {
    if (!moveList)
        return;
    const int lw = moveList->width();
    // The move field and its result line take the bottom of the list's column.
    const int row = moveField->sizeHint().height();
    const int listHeight = std::max(0, ch - 2 * row);
    moveList->setGeometry(0, 0, lw, listHeight);
    moveField->setGeometry(0, listHeight, lw, row);
    moveStatus->setGeometry(2, listHeight + row, std::max(0, cw - 4), row);
    const int h = ch - 2;
    const double t = h - h * 0.3;
    // A window narrower than its list leaves no room: sizes stop at 0.
    const int w = std::max(0, cw - lw - 1);
    tree->setGeometry(lw + 2, 0, w, std::max(0, static_cast<int>(t)));
    commentBox->setGeometry(lw + 2, static_cast<int>(t + 2), w, std::max(0, static_cast<int>(ch - (t + 2))));
}

void CKifuDlg::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    LayOut(width(), height());
}

void CKifuDlg::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FillTree();
}

void CKifuDlg::OnCommand(int id) {
    if (id == CMD_FORWARD)
        Step(+1, CMD_FORWARD);
    else if (id == CMD_BACK)
        Step(-1, CMD_BACK);
}

// With no line selected the step counts from line 1: forward goes to line
// 2, back to line 0 (the start).
void CKifuDlg::Step(int delta, int id) {
    int i = moveList->SelectedLine();
    if (i < 0)
        i = 1;
    moveList->SelectLine(i + delta);
    emit command(id, i + delta);
}

void CKifuDlg::OnListSelChange(int row) {
    if (moveList->ProgramSelecting() || row == -1)
        return;
    emit command(CMD_SELECT_LINE, row);
}

void CKifuDlg::OnTreeSelChange(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
    if (current == previous)
        return;
    const int32_t handle = CKifuTreeWidget::HandleOf(current);
    if (!tree->ProgramSelecting() && current)
        emit command(CMD_SELECT_ITEM, handle);
    // The record may have been changed by the command; read the comment after it.
    ShowComment(handle);
}

void CKifuDlg::keyPressEvent(QKeyEvent* e) {
    if (!SwallowEnterAndEscape(e))
        QDialog::keyPressEvent(e);
}

// The close box does not close the window by itself: the main window hides
// it, as its menu does, and keeps its menu text and show state in step.
void CKifuDlg::closeEvent(QCloseEvent* e) {
    e->ignore();
    if (isVisible())
        emit closeRequested();
}

namespace {
QString FirstDroppedFile(const QMimeData* mime) {
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}
}  // namespace

void CKifuDlg::dragEnterEvent(QDragEnterEvent* e) {
    if (!FirstDroppedFile(e->mimeData()).isEmpty())
        e->acceptProposedAction();
}

void CKifuDlg::dragMoveEvent(QDragMoveEvent* e) {
    if (!FirstDroppedFile(e->mimeData()).isEmpty())
        e->acceptProposedAction();
}

void CKifuDlg::dropEvent(QDropEvent* e) {
    const QString path = FirstDroppedFile(e->mimeData());
    e->acceptProposedAction();
    if (!path.isEmpty())
        emit fileDropped(path);
}

}  // namespace ravu
