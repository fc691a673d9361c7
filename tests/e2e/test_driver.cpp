#include "tests/e2e/test_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QCryptographicHash>
#include <QFileDialog>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMenu>
#include <QPaintEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <time.h>

#include "ui/main_dlg.h"
#include "ui/promote_dlg.h"
#include "ui/balloon_dlg.h"

namespace ravu {

namespace {

// A command line longer than this is garbage: the connection is dropped.
constexpr qsizetype MAX_LINE = 64 * 1024;
// Stamps kept while nobody asks for them.
constexpr size_t MAX_STAMPS = 100000;

QByteArray Escape(const QString& text) {
    QByteArray out;
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

QString ShownText(QWidget* w) {
    // The balloon paints its question line by line.
    if (auto* balloon = qobject_cast<CBalloonDlg*>(w)) {
        QStringList lines;
        for (const BalloonLine& line : balloon->ShownLines())
            lines << line.text;
        return lines.join(QLatin1Char('\n'));
    }
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* p = qobject_cast<QPlainTextEdit*>(w))
        return p->toPlainText();
    if (auto* t = qobject_cast<QTextEdit*>(w))
        return t->toPlainText();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    return w->windowTitle();
}

QString WithoutMnemonic(QString text) { return text.remove(QLatin1Char('&')); }

// The main window of this program among the top-level windows.
CMainDlg* MainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<CMainDlg*>(w))
            return m;
    return nullptr;
}

QPoint PointIn(QWidget* w, const QByteArray& x, const QByteArray& y, bool& ok) {
    bool okX = true, okY = true;
    const int px = x == "c" ? w->width() / 2 : x.toInt(&okX);
    const int py = y == "c" ? w->height() / 2 : y.toInt(&okY);
    ok = okX && okY;
    return QPoint(px, py);
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
    if (!driver->IsListening())
        return nullptr;
    return driver;
}

CTestDriver::CTestDriver(const QString& socketName) : server(std::make_unique<QLocalServer>()) {
    // Only this user may connect.
    server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(socketName);
    server->listen(socketName);
    connect(server.get(), &QLocalServer::newConnection, this, &CTestDriver::OnNewConnection);
}

CTestDriver::~CTestDriver() {
    if (watched)
        watched->removeEventFilter(this);
}

bool CTestDriver::IsListening() const { return server->isListening(); }

void CTestDriver::OnNewConnection() {
    while (QLocalSocket* s = server->nextPendingConnection()) {
        connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        connect(s, &QLocalSocket::readyRead, this, [this, s] { OnReadyRead(s); });
    }
}

void CTestDriver::OnReadyRead(QLocalSocket* socket) {
    QPointer<QLocalSocket> guard(socket);
    while (guard && socket->canReadLine()) {
        QByteArray line = socket->readLine(MAX_LINE);
        if (!line.endsWith('\n')) {
            socket->abort();
            return;
        }
        line.chop(1);
        const QByteArray answer = Execute(line);
        if (!answer.isEmpty() && guard) {
            socket->write(answer + '\n');
            socket->flush();
        }
    }
    if (guard && socket->bytesAvailable() > MAX_LINE)
        socket->abort();
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
        if (top == QLatin1String("menu"))
            return qobject_cast<QMenu*>(w) != nullptr;
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
    static const QByteArrayList known = {"state", "stamps", "menu",  "visible", "text", "list",
                                         "hash",  "grab",   "click", "button",  "type", "key"};
    if (!known.contains(cmd))
        return "err unknown command";
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
        if (!m)
            return "err no main window";
        return "ok " + QByteArray::number(m->Mode()) + ' ' + QByteArray::number(m->ConnState()) + ' ' +
               QByteArray::number(m->MySide());
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
        const QString text = rest(1);
        if (!menu)
            return "err no menu open";
        for (QAction* a : menu->actions()) {
            if (a->isSeparator() || WithoutMnemonic(a->text()) != text)
                continue;
            const QPoint at = menu->actionGeometry(a).center();
            QPointer<QMenu> target(menu);
            QTimer::singleShot(0, this, [target, at] {
                if (!target)
                    return;
                QTest::mouseMove(target, at);
                QTest::mouseClick(target, Qt::LeftButton, {}, at);
            });
            return "ok";
        }
        return "err no such item";
    }
    if (!w)
        return "err no widget " + words.value(1);
    QPointer<QWidget> target(w);

    if (cmd == "visible")
        return w->isVisible() ? "ok 1" : "ok 0";
    if (cmd == "text")
        return "ok " + Escape(ShownText(w));
    if (cmd == "list") {
        auto* list = qobject_cast<QListWidget*>(w);
        if (!list)
            return "err not a list";
        QStringList lines;
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text();
        return "ok " + Escape(lines.join(QLatin1Char('\n')));
    }
    if (cmd == "hash" || cmd == "grab") {
        QImage image = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
        if (cmd == "grab")
            return image.save(rest(2), "PNG") ? "ok" : "err not saved";
        if (words.size() != 6)
            return "err hash needs a rectangle";
        const QRect r(words[2].toInt(), words[3].toInt(), words[4].toInt(), words[5].toInt());
        if (r.isEmpty() || !image.rect().contains(r))
            return "err rectangle outside";
        image = image.copy(r);
        QCryptographicHash h(QCryptographicHash::Sha1);
        for (int y = 0; y < image.height(); ++y)
            h.addData(QByteArrayView(reinterpret_cast<const char*>(image.constScanLine(y)),
                                     image.width() * 4));
        return "ok " + h.result().toHex();
    }
    if (cmd == "click") {
        if (words.size() < 4)
            return "err click needs a point";
        bool ok = false;
        const QPoint at = PointIn(w, words[2], words[3], ok);
        if (!ok)
            return "err bad point";
        const QByteArray how = words.value(4, "left");
        if (how != "left" && how != "right" && how != "double")
            return "err bad button";
        // Stamped here, and the click runs at once after the answer has gone.
        const long long ns = MonotonicNs();
        QTimer::singleShot(0, this, [target, at, how] {
            if (!target)
                return;
            QTest::mouseMove(target, at);
            if (how == "double")
                QTest::mouseDClick(target, Qt::LeftButton, {}, at);
            else
                QTest::mouseClick(target, how == "right" ? Qt::RightButton : Qt::LeftButton, {}, at);
        });
        return "ok " + QByteArray::number(ns);
    }
    if (cmd == "button") {
        const QString text = rest(2);
        for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) {
            if (!b->isVisible() || WithoutMnemonic(b->text()) != text)
                continue;
            QPointer<QAbstractButton> button(b);
            QTimer::singleShot(0, this, [button] {
                if (button)
                    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
            });
            return "ok";
        }
        return "err no such button";
    }
    if (cmd == "type") {
        const QString text = rest(2);
        QTimer::singleShot(0, this, [target, text] {
            if (!target)
                return;
            target->activateWindow();
            target->setFocus(Qt::OtherFocusReason);
            TypeText(target, text);
        });
        return "ok";
    }
    if (cmd == "key") {
        const QByteArray name = words.value(2);
        const Qt::Key key = name == "Return" ? Qt::Key_Return : name == "Escape" ? Qt::Key_Escape : Qt::Key_unknown;
        if (key == Qt::Key_unknown)
            return "err unknown key";
        QTimer::singleShot(0, this, [target, key] {
            if (target)
                QTest::keyClick(target, key);
        });
        return "ok";
    }
    return "err unknown command";
}

}  // namespace ravu
