#include "tests/e2e/test_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCryptographicHash>
#include <QFileDialog>
#include <QImage>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QListWidget>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMenu>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <time.h>

#include "ui/balloon_dlg.h"
#include "ui/main_dlg.h"
#include "ui/promote_dlg.h"

namespace ravu {

namespace {

// Stamps kept while nobody asks for them.
constexpr size_t MAX_STAMPS = 100000;

// The text a widget shows, line ends and backslashes escaped.
QByteArray ShownText(QWidget* w) {
    QString text;
    // The balloon paints its question line by line.
    if (auto* balloon = qobject_cast<CBalloonDlg*>(w)) {
        QStringList lines;
        for (const BalloonLine& line : balloon->ShownLines())
            lines << line.text;
        text = lines.join(QLatin1Char('\n'));
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
        text = p->toPlainText();
    }
    return text.toUtf8().replace('\\', "\\\\").replace('\n', "\\n").replace('\r', "\\r");
}

// Runs fn on w from the event loop, unless w is gone by then.
void Later(QObject* context, QWidget* w, const std::function<void(QWidget*)>& fn) {
    QTimer::singleShot(0, context, [target = QPointer<QWidget>(w), fn] {
        if (target)
            fn(target);
    });
}

QString WithoutMnemonic(QString text) { return text.remove(QLatin1Char('&')); }

// The main window of this program among the top-level windows.
CMainDlg* MainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<CMainDlg*>(w))
            return m;
    return nullptr;
}

QPoint PointIn(QWidget* w, const QByteArray& x, const QByteArray& y) {
    return QPoint(x == "c" ? w->width() / 2 : x.toInt(), y == "c" ? w->height() / 2 : y.toInt());
}

// Key presses that carry each character as text, the way an input method
// delivers Japanese; QTest's own typing knows only ASCII.
void TypeText(QWidget* w, const QString& text) {
    QPointer<QWidget> target(w);
    for (const uint cp : text.toUcs4()) {
        if (!target)
            return;
        const QString ch = QString::fromUcs4(reinterpret_cast<const char32_t*>(&cp), 1);
        // Printable ASCII keys are numbered by their upper-case character.
        const int key = cp < 0x80 ? QChar(cp).toUpper().unicode() : 0;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, ch);
        QCoreApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, ch);
        if (target)
            QCoreApplication::sendEvent(target, &release);
    }
}

}  // namespace

long long MonotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

std::unique_ptr<CTestDriver> CTestDriver::StartFromEnvironment() {
    const QString name = qEnvironmentVariable(TEST_DRIVER_ENV);
    if (name.isEmpty())
        return nullptr;
    auto driver = std::make_unique<CTestDriver>(name);
    return driver->server->isListening() ? std::move(driver) : nullptr;
}

CTestDriver::CTestDriver(const QString& socketName) : server(std::make_unique<QLocalServer>()) {
    // Only this user may connect.
    server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(socketName);
    server->listen(socketName);
    connect(server.get(), &QLocalServer::newConnection, this, &CTestDriver::OnNewConnection);
}

CTestDriver::~CTestDriver() = default;

void CTestDriver::OnNewConnection() {
    while (QLocalSocket* s = server->nextPendingConnection()) {
        connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        connect(s, &QLocalSocket::readyRead, this, [this, s] { OnReadyRead(s); });
    }
}

void CTestDriver::OnReadyRead(QLocalSocket* socket) {
    while (socket->canReadLine()) {
        const QByteArray answer = Execute(socket->readLine().chopped(1));
        socket->write(answer + '\n');
        socket->flush();
    }
}

void CTestDriver::WatchMainWindow() {
    CMainDlg* m = MainWindow();
    if (!m || m == watched)
        return;
    if (watched)
        watched->removeEventFilter(this);
    watched = m;
    m->installEventFilter(this);
}

bool CTestDriver::eventFilter(QObject* obj, QEvent* e) {
    if (obj != watched || e->type() != QEvent::Paint || inPaint)
        return false;
    // The paint runs here, so that the stamp is taken once it has completed.
    inPaint = true;
    QCoreApplication::sendEvent(obj, e);
    inPaint = false;
    const long long now = MonotonicNs();
    const QRect r = static_cast<QPaintEvent*>(e)->rect();
    if (!r.intersects(BOARD_BAND))
        return true;
    int rows = -1;
    if (auto* list = qobject_cast<QListWidget*>(Find(QStringLiteral("kifu/moveList"))))
        rows = list->count();
    if (rows != lastRows && stamps.size() < MAX_STAMPS) {
        stamps.emplace_back(rows, now);
        lastRows = rows;
    }
    return true;
}

QWidget* CTestDriver::Find(const QString& target) const {
    const QString top = target.section(QLatin1Char('/'), 0, 0);
    const QString child = target.section(QLatin1Char('/'), 1);
    QWidget* found = nullptr;
    const QWidgetList tops = QApplication::topLevelWidgets();
    auto matches = [&top](QWidget* w) {
        if (top == QLatin1String("main"))
            return qobject_cast<CMainDlg*>(w) != nullptr;
        if (top == QLatin1String("promote"))
            return qobject_cast<CPromoteDlg*>(w) != nullptr;
        if (top == QLatin1String("filedialog"))
            return qobject_cast<QFileDialog*>(w) != nullptr;
        return w->objectName() == top;
    };
    // A visible window is preferred to a hidden one of the same name.
    for (QWidget* w : tops)
        if (matches(w) && (!found || (w->isVisible() && !found->isVisible())))
            found = w;
    if (!found || child.isEmpty())
        return found;
    if (child == QLatin1String("chat"))
        if (auto* m = qobject_cast<CMainDlg*>(found))
            return m->ChatInput();
    return found->findChild<QWidget*>(child);
}

QByteArray CTestDriver::Execute(const QByteArray& line) {
    WatchMainWindow();
    const QList<QByteArray> words = line.split(' ');
    const QByteArray cmd = words.value(0);
    auto rest = [&line](int n) {
        // The text after the first n words.
        qsizetype at = 0;
        for (int i = 0; i < n && at >= 0; ++i) {
            at = line.indexOf(' ', at);
            if (at >= 0)
                ++at;
        }
        return at < 0 ? QString() : QString::fromUtf8(line.mid(at));
    };
    QWidget* w = words.size() > 1 ? Find(QString::fromUtf8(words[1])) : nullptr;

    if (cmd == "state") {
        CMainDlg* m = MainWindow();
        return "ok " + QByteArray::number(m->Mode()) + ' ' + QByteArray::number(m->ConnState()) + ' ' +
               QByteArray::number(m->MySide());
    }
    if (cmd == "clocks") {
        // The plates are painted, not widgets: the main window says what they show.
        CMainDlg* m = MainWindow();
        QByteArray out = "ok";
        if (m->ClocksShown())
            for (const bool right : {true, false})
                out += ' ' + m->Clock(right).text.toUtf8() + (m->Clock(right).running ? "*" : "");
        return out;
    }
    if (cmd == "stamps") {
        QByteArray out = "ok";
        for (const auto& [rows, ns] : stamps)
            out += ' ' + QByteArray::number(rows) + ':' + QByteArray::number(ns);
        stamps.clear();
        return out;
    }
    if (cmd == "menu") {
        QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        for (QAction* a : menu ? menu->actions() : QList<QAction*>()) {
            if (a->isSeparator() || WithoutMnemonic(a->text()) != rest(1))
                continue;
            const QPoint at = menu->actionGeometry(a).center();
            Later(this, menu, [at](QWidget* m) {
                QTest::mouseMove(m, at);
                QTest::mouseClick(m, Qt::LeftButton, {}, at);
            });
            return "ok";
        }
        return "err no such item";
    }
    if (!w)
        return "err no widget " + words.value(1);
    if (cmd == "visible")
        return w->isVisible() ? "ok 1" : "ok 0";
    if (cmd == "text")
        return "ok " + ShownText(w);
    if (auto* list = qobject_cast<QListWidget*>(w); list && cmd == "list") {
        QByteArray out = "ok ";
        for (int i = 0; i < list->count(); ++i)
            out += (i ? "\\n" : "") + list->item(i)->text().toUtf8();
        return out;
    }
    if (cmd == "hash" && words.size() == 6) {
        const QRect r(words[2].toInt(), words[3].toInt(), words[4].toInt(), words[5].toInt());
        const QImage image = w->grab().toImage().convertToFormat(QImage::Format_RGB32).copy(r);
        QCryptographicHash h(QCryptographicHash::Sha1);
        for (int y = 0; y < image.height(); ++y)
            h.addData(
                QByteArrayView(reinterpret_cast<const char*>(image.constScanLine(y)), image.width() * 4));
        return "ok " + h.result().toHex();
    }
    if (cmd == "click" && words.size() >= 4) {
        const QPoint at = PointIn(w, words[2], words[3]);
        const Qt::MouseButton button = words.value(4) == "right" ? Qt::RightButton : Qt::LeftButton;
        // Stamped here, and the click runs at once after the answer has gone.
        const long long ns = MonotonicNs();
        Later(this, w, [at, button](QWidget* t) {
            QTest::mouseMove(t, at);
            QTest::mouseClick(t, button, {}, at);
        });
        return "ok " + QByteArray::number(ns);
    }
    if (cmd == "button") {
        for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) {
            if (!b->isVisible() || WithoutMnemonic(b->text()) != rest(2))
                continue;
            Later(this, b, [](QWidget* t) { QTest::mouseClick(t, Qt::LeftButton, {}, t->rect().center()); });
            return "ok";
        }
        return "err no such button";
    }
    if (cmd == "type") {
        Later(this, w, [text = rest(2)](QWidget* t) {
            t->activateWindow();
            t->setFocus(Qt::OtherFocusReason);
            TypeText(t, text);
        });
        return "ok";
    }
    if (cmd == "key" && words.size() == 3) {
        const QKeySequence keys = QKeySequence::fromString(QString::fromUtf8(words[2]));
        if (keys.isEmpty())
            return "err no such key";
        const QKeyCombination k = keys[0];
        Later(this, w, [k](QWidget* t) {
            t->activateWindow();
            t->setFocus(Qt::OtherFocusReason);
            QTest::keyClick(t, k.key(), k.keyboardModifiers());
        });
        return "ok";
    }
    return "err unknown command";
}

}  // namespace ravu
