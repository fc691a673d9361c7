// The record window: the layout rule, the step commands, which selections
// are sent to the main window, the comment box, file drops, Enter and Esc,
// and hostile record text.
#include <QApplication>
#include <QWindow>
#include <QFile>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/textcodec.h"
#include "record/kifu.h"
#include "ui/kifu_dlg.h"

using namespace ravu;

namespace {

using Sent = std::vector<std::pair<int, int>>;

struct Fixture {
    CKifuControl record;
    CKifuDlg dlg{&record, nullptr};
    Sent sent;
    QStringList dropped;
    Fixture()
    {
        QObject::connect(&dlg, &CKifuDlg::command, [this](int id, int p) { sent.push_back({id, p}); });
        QObject::connect(&dlg, &CKifuDlg::fileDropped, [this](const QString& path) { dropped << path; });
    }
    void FillLines(int n)
    {
        dlg.MoveList()->ClearLines();
        for (int i = 0; i < n; ++i) dlg.MoveList()->AddLine("line " + std::to_string(i));
    }
};

// The example record of the KIF writer: three moves, a comment on the
// first, and a variation at move 2.
std::string ExampleKif()
{
    const char* utf8 =
        "# ----  Ravu One β V1.0.0.9 棋譜ファイル  ----\r\n"
        "# ファイル名：a.kif\r\n"
        "手合割：平手\r\n"
        "先手：太郎\r\n"
        "後手：花子\r\n"
        "手数----指手---------消費時間--\r\n"
        "*header note\r\n"
        "   1 ７六歩(77)   ( 0:00/00:00:00)\r\n"
        "*nice\r\n"
        "   2 ３四歩(33)   ( 0:00/00:00:00)+\r\n"
        "   3 ２六歩(27)   ( 0:00/00:00:00)\r\n"
        "\r\n"
        "変化：2手\r\n"
        "   2 ８四歩(83)   ( 0:00/00:00:00)\r\n"
        "*<b>bold?</b>\r\n"
        "\r\n";
    return Utf8ToSjis(utf8);
}

QTreeWidgetItem* FindItem(QTreeWidget* tree, const QString& prefix)
{
    QTreeWidgetItemIterator it(tree);
    for (; *it; ++it)
        if ((*it)->text(0).contains(prefix)) return *it;
    return nullptr;
}

void Drop(QWidget* target, const QList<QUrl>& urls)
{
    QMimeData mime;
    mime.setUrls(urls);
    const QPoint pos(5, 5);
    QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(pos), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

}  // namespace

TEST(KifuDlg, ListKeepsItsWidthAndWideningRevealsTreeAndComment)
{
    Fixture f;
    f.dlg.show();
    const int lw = f.dlg.MoveList()->width();
    ASSERT_GT(lw, 50);
    // The tree takes 70 % of the height less 2, the comment box the rest
    // below a 2-pixel gap; both start 2 pixels right of the list.
    struct Case {
        int extra, height;  // client size beyond the list
        int width, treeHeight, commentTop, commentHeight;
    } cases[] = {{200, 300, 199, 208, 210, 89}, {321, 151, 320, 104, 106, 44},
                 {1, 200, 0, 138, 140, 59},     {0, 200, 0, 138, 140, 59}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extra);
        f.dlg.resize(lw + c.extra, c.height);
        ASSERT_EQ(f.dlg.size(), QSize(lw + c.extra, c.height));
        EXPECT_EQ(f.dlg.MoveList()->geometry(), QRect(0, 0, lw, c.height));
        EXPECT_EQ(f.dlg.Tree()->geometry(), QRect(lw + 2, 0, c.width, c.treeHeight));
        EXPECT_EQ(f.dlg.CommentBox()->geometry(), QRect(lw + 2, c.commentTop, c.width, c.commentHeight));
    }
}

TEST(KifuDlg, StepCommandsMoveTheSelectionAndReportTheNewLine)
{
    struct Case {
        int selected;   // -1: none
        int command;
        int selectedAfter;
        int sentLine;
    } cases[] = {
        {-1, CKifuDlg::CMD_FORWARD, 2, 2},   // no selection counts as line 1
        {-1, CKifuDlg::CMD_BACK, 0, 0},
        {0, CKifuDlg::CMD_FORWARD, 1, 1},
        {3, CKifuDlg::CMD_BACK, 2, 2},
        {0, CKifuDlg::CMD_BACK, -1, -1},     // the list loses its selection
        {4, CKifuDlg::CMD_FORWARD, 4, 5},    // no line 5: the selection stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.selected * 100 + c.command);
        Fixture f;
        f.FillLines(5);
        f.dlg.MoveList()->SelectLine(c.selected);
        f.dlg.StepCommand(c.command);
        EXPECT_EQ(f.dlg.MoveList()->SelectedLine(), c.selectedAfter);
        ASSERT_EQ(f.sent.size(), 1u);  // the program's own selection sends no 32779
        EXPECT_EQ(f.sent[0], std::make_pair(c.command, c.sentLine));
    }
}

TEST(KifuDlg, OnlyTheUsersListSelectionsAreSent)
{
    Fixture f;
    f.FillLines(6);
    f.dlg.show();
    f.dlg.MoveList()->SelectLine(2);  // the record selecting a line
    EXPECT_TRUE(f.sent.empty());
    QListWidget* list = f.dlg.MoveList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(4)).center());
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(f.sent, (Sent{{CKifuDlg::CMD_SELECT_LINE, 4}, {CKifuDlg::CMD_SELECT_LINE, 5}}));
}

TEST(KifuDlg, TreeFromTheRecordWithCommentsAndUserSelections)
{
    Fixture f;
    ASSERT_TRUE(f.record.LoadKifFromBuffer(ExampleKif(), "a.kif"));
    EXPECT_EQ(f.dlg.Tree()->topLevelItem(0)->childCount(), 0);  // still the empty record's tree
    f.dlg.resize(f.dlg.MoveList()->width() + 250, 300);
    f.dlg.show();  // showing rebuilds the tree
    EXPECT_EQ(f.dlg.Tree()->topLevelItem(0)->childCount(), 3);
    f.dlg.RefreshLists();
    QApplication::setActiveWindow(&f.dlg);

    // Move list: the start line and the three main-line moves.
    EXPECT_EQ(f.dlg.MoveList()->count(), 4);
    EXPECT_EQ(f.dlg.MoveList()->item(0)->text(), QStringLiteral("＊＊ 開 始 ＊＊"));
    EXPECT_TRUE(f.dlg.MoveList()->item(1)->text().contains(QStringLiteral("７六歩")));
    EXPECT_EQ(f.record.listBox, f.dlg.MoveList());

    QTreeWidget* tree = f.dlg.Tree();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* top = tree->topLevelItem(0);
    EXPECT_TRUE(top->isExpanded());
    EXPECT_EQ(top->childCount(), 3);
    QTreeWidgetItem* move1 = FindItem(tree, QStringLiteral("７六歩"));
    QTreeWidgetItem* move2 = FindItem(tree, QStringLiteral("３四歩"));
    QTreeWidgetItem* variation = FindItem(tree, QStringLiteral("８四歩"));
    ASSERT_TRUE(move1 && move2 && variation);
    EXPECT_EQ(variation->parent(), move2);
    // The record re-selecting an item updates the comment box and sends nothing.
    f.dlg.Tree()->SelectItem(CKifuTreeWidget::HandleOf(move1));
    EXPECT_TRUE(f.sent.empty());
    EXPECT_EQ(f.dlg.CommentBox()->toPlainText(), QStringLiteral("nice\n"));

    // The user's click on the variation is sent with its handle; its comment
    // shows as plain text.
    tree->scrollToItem(variation);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(variation).center());
    EXPECT_EQ(f.sent, (Sent{{CKifuDlg::CMD_SELECT_ITEM, CKifuTreeWidget::HandleOf(variation)}}));
    EXPECT_EQ(f.dlg.CommentBox()->toPlainText(), QStringLiteral("<b>bold?</b>\n"));

    // The top item shows the header comment.
    tree->scrollToItem(top);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(top).center());
    EXPECT_TRUE(f.dlg.CommentBox()->toPlainText().contains(QStringLiteral("header note")));
}

TEST(KifuDlg, DroppedFilesSendOnlyTheFirstAndAnOversizedOneChangesNothing)
{
    Fixture f;
    ASSERT_TRUE(f.record.LoadKifFromBuffer(ExampleKif(), "a.kif"));
    f.dlg.RefreshLists();
    f.dlg.show();
    Drop(&f.dlg, {});
    Drop(&f.dlg, {QUrl(QStringLiteral("https://example.org/c.kif"))});
    EXPECT_TRUE(f.dropped.isEmpty());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.kif"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        std::string bytes = ExampleKif();
        bytes.resize(KIF_MAX_BYTES + 1, '*');
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        EXPECT_EQ(file.size(), 65537);
    }
    // What the main window does with command 32785.
    bool loaded = true;
    QObject::connect(&f.dlg, &CKifuDlg::fileDropped, [&](const QString& p) {
        loaded = f.record.LoadKif(p.toStdString());
        if (loaded) f.dlg.RefreshLists();
    });
    Drop(&f.dlg, {QUrl::fromLocalFile(path), QUrl::fromLocalFile(QStringLiteral("/tmp/b.kif"))});
    EXPECT_EQ(f.dropped, QStringList{path});
    EXPECT_FALSE(loaded);
    EXPECT_EQ(f.dlg.MoveList()->count(), 4);
    EXPECT_EQ(f.dlg.Tree()->topLevelItem(0)->childCount(), 3);
    EXPECT_TRUE(f.sent.empty());
}

TEST(KifuDlg, GarbageRecordTextIsShownPlain)
{
    Fixture f;
    CKifuTreeWidget* tree = f.dlg.Tree();
    tree->DeleteAllItems();  // drop the empty record's top item
    const int32_t top = tree->InsertItem(0, "<h1>t</h1>");
    const int32_t child = tree->InsertItem(top, std::string("\x01\x82<img>\xff", 8));
    const int32_t orphan = tree->InsertItem(999999, "orphan");  // unknown parent: top level
    EXPECT_TRUE(top != 0 && child != top && orphan != 0);
    EXPECT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(tree->ItemOf(top)->text(0), QStringLiteral("<h1>t</h1>"));
    for (QChar c : tree->ItemOf(child)->text(0)) EXPECT_GE(c.unicode(), 0x20);
    tree->SelectItem(123456);  // unknown handle: nothing happens
    tree->ExpandItem(123456);
    tree->DeleteAllItems();
    EXPECT_EQ(tree->topLevelItemCount(), 0);
    EXPECT_EQ(tree->ItemOf(top), nullptr);
    // Handles are not reused after the tree is emptied.
    EXPECT_GT(tree->InsertItem(0, "again"), orphan);
    f.dlg.MoveList()->AddLine("<script>x</script>");
    EXPECT_EQ(f.dlg.MoveList()->item(0)->text(), QStringLiteral("<script>x</script>"));
}

TEST(KifuDlg, EnterEscAndCloseRequestsDoNotCloseIt)
{
    Fixture f;
    f.dlg.show();
    QTest::keyClick(&f.dlg, Qt::Key_Escape);
    QTest::keyClick(&f.dlg, Qt::Key_Return);
    QTest::keyClick(f.dlg.MoveList(), Qt::Key_Escape);
    f.dlg.windowHandle()->close();  // as the window manager asks
    EXPECT_TRUE(f.dlg.isVisible());
}
