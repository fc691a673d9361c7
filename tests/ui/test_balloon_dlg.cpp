// The question balloon: line layout, answers by button, key and time-out,
// the busy answer, the picture buttons' press/hover/leave rules and the
// character animation.
#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <set>

#include <gtest/gtest.h>

#include "ui/balloon_dlg.h"
#include "ui/image_button.h"

using namespace ravu;

namespace {

// Asks the question and runs `during` once the balloon is open.
int AskWhile(CBalloonDlg& balloon, const QString& question, std::function<void()> during)
{
    QTimer::singleShot(0, &balloon, [&] { during(); });
    return balloon.Ask(question);
}

QPoint Centre() { return {CImageButton::CELL / 2, CImageButton::CELL / 2}; }

}  // namespace

TEST(BalloonLayout, LinesAreCentredAndSpaced)
{
    QFont font(QStringLiteral("IPAMincho"));
    font.setPixelSize(10);
    const QFontMetrics fm(font);
    struct Case {
        QString question;
        int count;           // lines laid out
        int textLine;        // 1-based line that holds `text`
        QString text;
    } cases[] = {
        {QStringLiteral("\r\n\r\n投了しますか ？"), 3, 3, QStringLiteral("投了しますか ？")},
        {QStringLiteral("\r\n接続の申し込みがあります。\r\n接続してもよろしいですか？\r\n"), 4, 2,
         QStringLiteral("接続の申し込みがあります。")},
        {QStringLiteral("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8"), 6, 6, QStringLiteral("6")},
        {QStringLiteral("only"), 1, 1, QStringLiteral("only")},
        {QString(), 1, 1, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.question.toStdString());
        const auto lines = LayoutQuestion(c.question, fm);
        ASSERT_EQ(static_cast<int>(lines.size()), c.count);
        const BalloonLine& line = lines[c.textLine - 1];
        EXPECT_EQ(line.text, c.text);
        EXPECT_EQ(line.width, fm.horizontalAdvance(c.text));
        // Centred around x = 22 + 202 / 2 = 123 (integer halves may lose one pixel).
        EXPECT_NEAR(line.x + line.width / 2.0, 123.0, 1.0);
        for (size_t n = 0; n < lines.size(); ++n)
            EXPECT_EQ(lines[n].y, 10 + static_cast<int>(n + 1) * (fm.height() + 2));
    }
}

TEST(BalloonLayout, HostileTextStaysOneLinePlain)
{
    QFont font(QStringLiteral("IPAMincho"));
    font.setPixelSize(10);
    const QString question = QStringLiteral("<b>bold</b>\x01\x1b[2J<img src=x>");
    const auto lines = LayoutQuestion(question, QFontMetrics(font));
    ASSERT_EQ(lines.size(), 1u);
    // Tags stay literal text; control characters become visible symbols.
    EXPECT_TRUE(lines[0].text.startsWith(QStringLiteral("<b>bold</b>")));
    EXPECT_TRUE(lines[0].text.contains(QChar(0x2401)));
    EXPECT_TRUE(lines[0].text.contains(QChar(0x241b)));
    for (QChar c : lines[0].text) EXPECT_GE(c.unicode(), 0x20);
}

TEST(Balloon, AnswersByButtonAndKey)
{
    struct Case {
        const char* name;
        std::function<void(CBalloonDlg&)> act;
        int answer;
    } cases[] = {
        {"yes button", [](CBalloonDlg& b) { QTest::mouseClick(b.YesButton(), Qt::LeftButton, {}, Centre()); }, 1},
        {"no button", [](CBalloonDlg& b) { QTest::mouseClick(b.NoButton(), Qt::LeftButton, {}, Centre()); }, 2},
        {"Enter", [](CBalloonDlg& b) { QTest::keyClick(&b, Qt::Key_Return); }, 1},
        {"Esc", [](CBalloonDlg& b) { QTest::keyClick(&b, Qt::Key_Escape); }, 2},
        {"close request", [](CBalloonDlg& b) { b.close(); }, 2},
    };
    CBalloonDlg balloon;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool wasBusy = false;
        const int answer = AskWhile(balloon, QStringLiteral("\r\n\r\n投了しますか ？"), [&] {
            wasBusy = balloon.Busy() && balloon.isVisible();
            c.act(balloon);
        });
        EXPECT_TRUE(wasBusy);
        EXPECT_EQ(answer, c.answer);
        EXPECT_FALSE(balloon.Busy());
        EXPECT_FALSE(balloon.isVisible());
    }
}

TEST(Balloon, WindowTakesThePictureSizeAndPlacesItsParts)
{
    CBalloonDlg balloon;
    AskWhile(balloon, QStringLiteral("q"), [&] {
        EXPECT_EQ(balloon.size(), QSize(260, 180));
        EXPECT_EQ(balloon.YesButton()->geometry(), QRect(58, 115, 58, 58));
        EXPECT_EQ(balloon.NoButton()->geometry(), QRect(122, 115, 58, 58));
        EXPECT_EQ(balloon.Anim().geometry(), QRect(216, 103, 32, 32));
        EXPECT_EQ(balloon.YesButton()->CommandId(), CBalloonDlg::CMD_YES);
        EXPECT_EQ(balloon.NoButton()->CommandId(), CBalloonDlg::CMD_NO);
        balloon.OnCommand(CBalloonDlg::CMD_NO);
    });
}

// The answer timer counts ticks and answers no once they exceed the limit:
// limit + 1 ticks in all, the counter never passing the limit while open.
TEST(Balloon, TimesOutWithNoAfterLimitPlusOneTicks)
{
    struct Case {
        int intervalMs;
        int limit;
    } cases[] = {{5, 0}, {10, 20}, {20, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.limit);
        CBalloonDlg balloon;
        balloon.SetTickInterval(c.intervalMs);
        balloon.SetTickLimit(c.limit);
        QElapsedTimer clock;
        clock.start();
        int highest = -1;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (balloon.Busy()) highest = std::max(highest, balloon.Ticks());
        });
        watch.start(1);
        const int answer = balloon.Ask(QStringLiteral("待っています"));
        watch.stop();
        EXPECT_EQ(answer, 2);
        EXPECT_GE(clock.elapsed(), c.intervalMs * (c.limit + 1) - 2);
        // The counter never passes the limit; the watch may miss one value
        // when the machine is busy.
        EXPECT_LE(highest, c.limit);
        EXPECT_GE(highest, std::max(0, c.limit - 1));
        EXPECT_FALSE(balloon.Busy());
    }
}

TEST(Balloon, SecondQuestionWhileOpenIsAnsweredNoAtOnce)
{
    CBalloonDlg balloon;
    int second = 0;
    qint64 secondMs = -1;
    bool firstStillOpen = false;
    const int first = AskWhile(balloon, QStringLiteral("first"), [&] {
        QElapsedTimer clock;
        clock.start();
        second = balloon.Ask(QStringLiteral("second"));
        secondMs = clock.elapsed();
        firstStillOpen = balloon.isVisible() && balloon.Question() == QStringLiteral("first");
        QTest::mouseClick(balloon.YesButton(), Qt::LeftButton, {}, Centre());
    });
    EXPECT_EQ(second, 2);
    EXPECT_LT(secondMs, 50);
    EXPECT_TRUE(firstStillOpen);
    EXPECT_EQ(first, 1);
    // Once closed, the balloon asks again.
    EXPECT_EQ(AskWhile(balloon, QStringLiteral("third"), [&] { QTest::keyClick(&balloon, Qt::Key_Return); }), 1);
}

TEST(Balloon, PressMoveOffReleaseGivesNoAnswer)
{
    CBalloonDlg balloon;
    balloon.SetTickInterval(10);
    balloon.SetTickLimit(30);
    int cellOnPress = -1, cellAfterLeave = -1;
    const int answer = AskWhile(balloon, QStringLiteral("q"), [&] {
        CImageButton* yes = balloon.YesButton();
        QTest::mouseMove(yes, Centre());
        QTest::mousePress(yes, Qt::LeftButton, {}, Centre());
        cellOnPress = yes->ShownCell();
        QTest::mouseMove(yes, QPoint(100, 100));
        cellAfterLeave = yes->ShownCell();
        QTest::mouseRelease(yes, Qt::LeftButton, {}, QPoint(100, 100));
    });
    EXPECT_EQ(cellOnPress, CImageButton::CELL_PRESSED);
    EXPECT_EQ(cellAfterLeave, CImageButton::CELL_NORMAL);
    EXPECT_EQ(answer, 2);  // only the time-out answered
}

TEST(ImageButton, CellsFollowPressHoverAndLeave)
{
    QWidget parent;
    parent.resize(200, 200);
    QPixmap cells(174, 58);
    cells.fill(Qt::gray);
    CImageButton button(cells);
    button.Create(&parent, 1039, 10, 10);
    parent.show();
    int commands = 0;
    QObject::connect(&button, &CImageButton::command, [&](int id) {
        EXPECT_EQ(id, 1039);
        ++commands;
    });

    EXPECT_EQ(button.geometry(), QRect(10, 10, 58, 58));
    EXPECT_EQ(button.ShownCell(), CImageButton::CELL_NORMAL);
    QTest::mouseMove(&button, QPoint(5, 5));
    EXPECT_TRUE(button.Hovering());
    EXPECT_EQ(button.ShownCell(), CImageButton::CELL_HOVER);
    QTest::mouseMove(&button, QPoint(58, 58));  // the far edge still counts
    EXPECT_TRUE(button.Hovering());

    // Release without a press on the button sends nothing.
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(5, 5));
    QApplication::processEvents();
    EXPECT_EQ(commands, 0);
    EXPECT_EQ(button.ShownCell(), CImageButton::CELL_HOVER);

    // Press and release on it: one command, delivered after the release returns.
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(button.Pressed());
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(6, 6));
    EXPECT_EQ(commands, 0);
    QApplication::processEvents();
    EXPECT_EQ(commands, 1);
    EXPECT_FALSE(button.Pressed());

    // A press outside the picture's bounds does not press.
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(59, 5));
    EXPECT_FALSE(button.Pressed());

    QTest::mouseMove(&button, QPoint(70, 5));
    EXPECT_FALSE(button.Hovering());
    EXPECT_EQ(button.ShownCell(), CImageButton::CELL_NORMAL);
    EXPECT_NE(QWidget::mouseGrabber(), &button);
}

TEST(AnimWnd, CyclesThroughFourCellsTenTimesASecond)
{
    QWidget parent;
    CAnimWnd anim;
    anim.Create(&parent, 216, 103);
    parent.show();
    EXPECT_EQ(anim.geometry(), QRect(216, 103, 32, 32));
    EXPECT_EQ(anim.windowTitle(), QStringLiteral("RavuAnima"));
    std::vector<int> seen;
    QElapsedTimer clock;
    clock.start();
    int last = -1;
    while (clock.elapsed() < 650) {
        QTest::qWait(10);
        if (anim.ShownCell() != last) seen.push_back(last = anim.ShownCell());
    }
    // About six frames in 650 ms (fewer on a busy machine, never more than
    // the 100 ms period allows), in the order 0 1 2 3 0 1 ...
    ASSERT_GE(seen.size(), 4u);
    ASSERT_LE(seen.size(), 8u);
    for (size_t i = 1; i < seen.size(); ++i) EXPECT_EQ(seen[i], (seen[i - 1] + 1) % 4);
    std::set<int> distinct(seen.begin(), seen.end());
    EXPECT_EQ(distinct.size(), 4u);
    anim.Destroy();
    const int frozen = anim.ShownCell();
    QTest::qWait(250);
    EXPECT_EQ(anim.ShownCell(), frozen);
}
