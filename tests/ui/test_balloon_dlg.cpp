// The question balloon: line layout, answers by button, key and time-out,
// the busy answer, the picture buttons' press/hover/leave rules.
#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>

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

TEST(BalloonLayout, LinesAreCentredSpacedAndPlain)
{
    QFont font(QStringLiteral("IPAMincho"));
    font.setPixelSize(10);
    const QFontMetrics fm(font);
    struct Case {
        QString question;
        int count;     // lines laid out
        int textLine;  // 1-based line that holds `text`
        QString text;
    } cases[] = {
        {QStringLiteral("\r\n\r\n投了しますか ？"), 3, 3, QStringLiteral("投了しますか ？")},
        {QStringLiteral("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8"), 6, 6, QStringLiteral("6")},
        {QString(), 1, 1, QString()},
        // Tags stay literal text; control characters become visible symbols.
        {QStringLiteral("<b>b</b>\x01\x1b"), 1, 1, QStringLiteral("<b>b</b>\u2401\u241b")},
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
        const int answer = AskWhile(balloon, QStringLiteral("q"), [&] {
            wasBusy = balloon.Busy() && balloon.isVisible();
            EXPECT_EQ(balloon.size(), QSize(260, 180));
            c.act(balloon);
        });
        EXPECT_TRUE(wasBusy);
        EXPECT_EQ(answer, c.answer);
        EXPECT_FALSE(balloon.Busy());
        EXPECT_FALSE(balloon.isVisible());
    }
}

// The answer timer counts ticks and answers no once they exceed the limit:
// limit + 1 ticks in all, the counter never passing the limit while open.
TEST(Balloon, TimesOutWithNoAfterLimitPlusOneTicks)
{
    struct Case {
        int intervalMs;
        int limit;
    } cases[] = {{5, 0}, {10, 20}};
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
        EXPECT_EQ(balloon.Ask(QStringLiteral("待っています")), 2);
        watch.stop();
        EXPECT_GE(clock.elapsed(), c.intervalMs * (c.limit + 1) - 2);
        // The watch may miss one value when the machine is busy.
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

// Notices: shown without blocking, one at a time, dismissed by their single
// button or a key; a question takes the balloon and the notice comes back.
TEST(Balloon, NoticesWaitInTurnAndBehindQuestions)
{
    CBalloonDlg balloon;
    auto shown = [&] { return balloon.NoticeShown() && balloon.isVisible() ? balloon.Question() : QString(); };
    balloon.Tell(QStringLiteral("first"));  // returns at once
    balloon.Tell(QStringLiteral("second"));
    EXPECT_EQ(shown(), QStringLiteral("first"));
    ASSERT_NE(balloon.OkButton(), nullptr);
    EXPECT_EQ(balloon.YesButton(), nullptr);
    EXPECT_FALSE(balloon.Busy());  // a notice does not refuse questions

    QString during;
    const int answer = AskWhile(balloon, QStringLiteral("q"), [&] {
        during = balloon.Question();
        EXPECT_FALSE(balloon.NoticeShown());
        balloon.Tell(QStringLiteral("third"));  // waits behind the question
        QTest::mouseClick(balloon.YesButton(), Qt::LeftButton, {}, Centre());
    });
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(during, QStringLiteral("q"));
    EXPECT_EQ(shown(), QStringLiteral("first"));

    QTest::mouseClick(balloon.OkButton(), Qt::LeftButton, {}, Centre());
    QCoreApplication::processEvents();  // the button's command is posted
    EXPECT_EQ(shown(), QStringLiteral("second"));
    QTest::keyClick(&balloon, Qt::Key_Return);
    EXPECT_EQ(shown(), QStringLiteral("third"));
    balloon.close();
    EXPECT_FALSE(balloon.isVisible());
    EXPECT_TRUE(balloon.Notices().empty());
}

TEST(ImageButton, CommandsOnlyForAPressAndReleaseOnThePicture)
{
    QWidget parent;
    QPixmap cells(174, 58);
    cells.fill(Qt::gray);
    CImageButton button(cells);
    button.Create(&parent, 1039, 10, 10);
    parent.show();
    std::vector<int> commands;
    QObject::connect(&button, &CImageButton::command, [&](int id) { commands.push_back(id); });
    EXPECT_EQ(button.geometry(), QRect(10, 10, 58, 58));
    QTest::mouseMove(&button, QPoint(5, 5));
    QTest::mouseMove(&button, QPoint(58, 58));  // the far edge still counts
    EXPECT_EQ(button.ShownCell(), CImageButton::CELL_HOVER);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(5, 5));  // no press before it
    // Press, move off, release: no command.
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(button.ShownCell(), CImageButton::CELL_PRESSED);
    QTest::mouseMove(&button, QPoint(100, 100));
    EXPECT_EQ(button.ShownCell(), CImageButton::CELL_NORMAL);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(59, 5));  // outside the picture
    EXPECT_FALSE(button.Pressed());
    QApplication::processEvents();
    EXPECT_TRUE(commands.empty());
    // Press and release on it: one command, delivered after the release returns.
    QTest::mouseMove(&button, QPoint(5, 5));
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(6, 6));
    EXPECT_TRUE(commands.empty());
    QApplication::processEvents();
    EXPECT_EQ(commands, std::vector<int>{1039});
    QTest::mouseMove(&button, QPoint(70, 5));
    EXPECT_EQ(button.ShownCell(), CImageButton::CELL_NORMAL);
    EXPECT_NE(QWidget::mouseGrabber(), &button);
}
