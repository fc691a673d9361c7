// The chat log: scrolled to the end on every line, its rectangle remembered
// on every move and resize and restored on every show, peer text kept plain
// and bounded; the chat input's Enter rule.
#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include "app/textcodec.h"
#include "ui/chat_log_dlg.h"

using namespace ravu;

namespace {
ChatLogRect Rect(int l, int t, int r, int b)
{
    ChatLogRect rect;
    rect.left = l;
    rect.top = t;
    rect.right = r;
    rect.bottom = b;
    return rect;
}
std::vector<int> Sides(const ChatLogRect& r) { return {r.left, r.top, r.right, r.bottom}; }
}  // namespace

TEST(ChatLog, LinesScrollToTheEndAndAreBounded)
{
    ChatLogRect rect;
    CChatLogDlg log(&rect);
    log.show();
    for (int i = 0; i < CChatLogDlg::MAX_LINES + 50; ++i) log.AddLine(QStringLiteral("flood %1").arg(i));
    EXPECT_EQ(log.LogEdit()->blockCount(), CChatLogDlg::MAX_LINES);
    EXPECT_TRUE(log.LogEdit()->toPlainText().startsWith(QStringLiteral("flood 50\n")));
    QScrollBar* bar = log.LogEdit()->verticalScrollBar();
    bar->setValue(0);  // the user scrolls up
    log.AddLine(Utf8ToSjis("花子>よろしく"));  // model text is converted
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(log.LastLine(), QStringLiteral("花子>よろしく"));
    EXPECT_TRUE(log.LogEdit()->toPlainText().endsWith(QStringLiteral("\n花子>よろしく")));
}

TEST(ChatLog, HostileLinesStayPlainAndOneLineEach)
{
    ChatLogRect rect;
    CChatLogDlg log(&rect);
    log.AddLine(QStringLiteral("x><b>big</b><a href='y'>z</a>\r\nfake>line\x01\x1b[31m\x7f"));
    log.AddLine(std::string("p>\x00\x07q", 5));
    const QString text = log.LogEdit()->toPlainText();
    EXPECT_EQ(log.LogEdit()->blockCount(), 2);  // CR LF inside a line cannot forge a second line
    EXPECT_TRUE(text.contains(QStringLiteral("<b>big</b><a href='y'>z</a>")));
    for (QChar c : text) EXPECT_TRUE(c == u'\n' || c.unicode() >= 0x20) << "control character shown raw";
    for (char16_t shown : {u'\u240d', u'\u2400', u'\u2421'})  // ␍ ␀ ␡
        EXPECT_TRUE(text.contains(QChar(shown))) << int(shown);
}

TEST(ChatLog, RectangleFollowsMovesAndResizesAndIsRestoredOnShow)
{
    ChatLogRect rect = Rect(3, 22, 571, 199);  // the defaults of a first run
    CChatLogDlg log(&rect);
    log.show();
    EXPECT_EQ(QRect(log.pos(), log.size()), QRect(3, 22, 568, 177));
    log.move(100, 50);
    EXPECT_EQ(Sides(rect), (std::vector<int>{100, 50, 668, 227}));
    log.resize(300, 120);
    EXPECT_EQ(Sides(rect), (std::vector<int>{100, 50, 400, 170}));
    EXPECT_EQ(log.LogEdit()->geometry(), QRect(0, 0, 300, 120));
    log.hide();
    log.show();
    EXPECT_EQ(Sides(rect), (std::vector<int>{100, 50, 400, 170}));
    EXPECT_EQ(QRect(log.pos(), log.size()), QRect(100, 50, 300, 120));
    // A rectangle changed while hidden (a fresh settings file) is used on the next show.
    log.hide();
    rect = Rect(10, 20, 210, 120);
    log.show();
    EXPECT_EQ(QRect(log.pos(), log.size()), QRect(10, 20, 200, 100));
}

TEST(ChatLog, UnusableRectanglesAreKeptToScreenSizes)
{
    struct Case {
        ChatLogRect rect;
        QSize size;
    } cases[] = {
        {Rect(0, 0, 2000000000, 2000000000), QSize(4096, 4096)},
        {Rect(50, 50, 10, 10), QSize(40, 40)},
        {Rect(-2147483647, -2147483647, 2147483647, 2147483647), QSize(4096, 4096)},
    };
    for (const Case& c : cases) {
        ChatLogRect rect = c.rect;
        CChatLogDlg log(&rect);
        log.show();
        EXPECT_EQ(log.size(), c.size);
        EXPECT_LE(std::abs(log.x()), 16384);
    }
}

TEST(ChatLog, EscAndCloseRequestsDoNotHideIt)
{
    ChatLogRect rect;
    CChatLogDlg log(&rect);
    log.show();
    QTest::keyClick(&log, Qt::Key_Escape);
    log.windowHandle()->close();  // as the window manager asks
    EXPECT_TRUE(log.isVisible());
}

TEST(ChatInput, EnterHandsOverNonEmptyLinesAndEmptiesTheInput)
{
    CChatInput input;
    input.show();
    QSignalSpy spy(&input, &CChatInput::lineEntered);
    QTest::keyClick(&input, Qt::Key_Return);
    EXPECT_EQ(spy.count(), 0);
    QTest::keyClicks(&input, QStringLiteral("<i>hi</i>"));
    QTest::keyClick(&input, Qt::Key_Return);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toString(), QStringLiteral("<i>hi</i>"));
    EXPECT_TRUE(input.text().isEmpty());
}
