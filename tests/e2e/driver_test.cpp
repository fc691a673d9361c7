// The program's test driver in this process: what it answers to good and
// bad command lines, that its typing delivers Japanese text, and that it
// listens only when its environment variable names a socket.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocalSocket>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include "tests/e2e/test_driver.h"

using ravu::CTestDriver;

namespace {

QString SocketName(const char* what) {
    return QDir::tempPath() + QStringLiteral("/ravu-driver-test-%1-%2").arg(QCoreApplication::applicationPid()).arg(what);
}

// A window named "form" with a line edit, a two-line text box, a list and a button.
struct Form {
    QWidget window;
    QLineEdit* edit = new QLineEdit(&window);
    QPlainTextEdit* box = new QPlainTextEdit(&window);
    QListWidget* list = new QListWidget(&window);
    QPushButton* button = new QPushButton(QStringLiteral("成り"), &window);
    int clicks = 0;

    Form() {
        window.setObjectName(QStringLiteral("form"));
        edit->setObjectName(QStringLiteral("edit"));
        box->setObjectName(QStringLiteral("box"));
        list->setObjectName(QStringLiteral("list"));
        auto* layout = new QVBoxLayout(&window);
        for (QWidget* w : {static_cast<QWidget*>(edit), static_cast<QWidget*>(box),
                           static_cast<QWidget*>(list), static_cast<QWidget*>(button)})
            layout->addWidget(w);
        QObject::connect(button, &QPushButton::clicked, [this] { ++clicks; });
        window.resize(300, 300);
        window.show();
    }
};

// Runs the posted actions.
void Settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

TEST(TestDriver, QueriesAnswerWhatTheWidgetsShow) {
    Form form;
    CTestDriver driver(SocketName("q"));
    form.box->setPlainText(QStringLiteral("一行目\n二行目 \\ 終"));
    form.list->addItems({QStringLiteral("  1 ７六歩(77)"), QStringLiteral("  2 投了")});
    struct Case {
        const char* command;
        QByteArray answer;
    } cases[] = {
        {"visible form", "ok 1"},
        {"visible form/edit", "ok 1"},
        {"text form/box", QStringLiteral("ok 一行目\\n二行目 \\\\ 終").toUtf8()},
        {"list form/list", QStringLiteral("ok   1 ７六歩(77)\\n  2 投了").toUtf8()},
        {"state", "err no main window"},
        {"text nowhere", "err no widget nowhere"},
        {"text form/missing", "err no widget form/missing"},
        {"list form/edit", "err not a list"},
        {"hash form 0 0 0 0", "err rectangle outside"},
        {"hash form 290 290 20 20", "err rectangle outside"},
        {"hash form 1 2", "err hash needs a rectangle"},
        {"click form/edit x 3", "err bad point"},
        {"click form/edit 3", "err click needs a point"},
        {"click form/edit 3 3 middle", "err bad button"},
        {"key form/edit F13", "err unknown key"},
        {"button form 成らず", "err no such button"},
        {"menu 終了", "err no menu open"},
        {"format c:", "err unknown command"},
        {"", "err unknown command"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(driver.Execute(c.command), c.answer) << c.command;
}

TEST(TestDriver, HashesDifferOnlyWhereThePictureDiffers) {
    QLabel label;
    label.setObjectName(QStringLiteral("pic"));
    label.resize(100, 40);
    label.setText(QStringLiteral("王手"));
    label.show();
    CTestDriver driver(SocketName("h"));
    const QByteArray empty1 = driver.Execute("hash pic 80 0 20 40");
    const QByteArray text1 = driver.Execute("hash pic 0 0 60 40");
    label.setText(QStringLiteral("歩"));
    EXPECT_TRUE(empty1.startsWith("ok "));
    EXPECT_EQ(driver.Execute("hash pic 80 0 20 40"), empty1);
    EXPECT_NE(driver.Execute("hash pic 0 0 60 40"), text1);
}

TEST(TestDriver, ActionsRunThroughTheWidgetsHandlers) {
    Form form;
    CTestDriver driver(SocketName("a"));
    EXPECT_EQ(driver.Execute("type form/edit 127.0.0.1:9149 先手・後手"), "ok");
    EXPECT_EQ(driver.Execute("button form 成り"), "ok");
    const QByteArray clicked = driver.Execute("click form c c");
    EXPECT_TRUE(clicked.startsWith("ok "));
    const long long before = ravu::MonotonicNs();
    EXPECT_LE(clicked.mid(3).toLongLong(), before);
    EXPECT_EQ(form.clicks, 0) << "actions wait for the event loop";
    Settle();
    EXPECT_EQ(form.edit->text(), QStringLiteral("127.0.0.1:9149 先手・後手"));
    EXPECT_EQ(form.clicks, 1);

    bool returned = false;
    QObject::connect(form.edit, &QLineEdit::returnPressed, [&] { returned = true; });
    EXPECT_EQ(driver.Execute("key form/edit Return"), "ok");
    Settle();
    EXPECT_TRUE(returned);
}

TEST(TestDriver, ActionOnAWidgetGoneMeanwhileIsDropped) {
    auto form = std::make_unique<Form>();
    CTestDriver driver(SocketName("g"));
    EXPECT_EQ(driver.Execute("type form/edit abc"), "ok");
    EXPECT_EQ(driver.Execute("button form 成り"), "ok");
    form.reset();
    Settle();  // must not touch the deleted widgets
    EXPECT_EQ(driver.Execute("visible form"), "err no widget form");
}

TEST(TestDriver, OverLongLineDropsTheConnection) {
    Form form;
    const QString name = SocketName("l");
    CTestDriver driver(name);
    ASSERT_TRUE(driver.IsListening());
    QLocalSocket client;
    client.connectToServer(name);
    ASSERT_TRUE(client.waitForConnected(2000));
    client.write("visible form\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.canReadLine(); }, 5000));
    EXPECT_EQ(client.readLine(), QByteArray("ok 1\n"));
    // 200 KB without a line end: garbage, and the driver hangs up.
    client.write(QByteArray(200 * 1024, 'x'));
    EXPECT_TRUE(QTest::qWaitFor([&] { return client.state() == QLocalSocket::UnconnectedState; }, 5000));
}

TEST(TestDriver, ListensOnlyWhenTheVariableIsSet) {
    qunsetenv(ravu::TEST_DRIVER_ENV);
    EXPECT_EQ(CTestDriver::StartFromEnvironment(), nullptr);
    qputenv(ravu::TEST_DRIVER_ENV, QByteArray());
    EXPECT_EQ(CTestDriver::StartFromEnvironment(), nullptr);
    const QString name = SocketName("env");
    qputenv(ravu::TEST_DRIVER_ENV, name.toUtf8());
    auto driver = CTestDriver::StartFromEnvironment();
    qunsetenv(ravu::TEST_DRIVER_ENV);
    ASSERT_NE(driver, nullptr);
    QLocalSocket client;
    client.connectToServer(name);
    EXPECT_TRUE(client.waitForConnected(2000));
}

}  // namespace

int main(int argc, char** argv) {
    // No screen is needed, also when the tests are only listed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
