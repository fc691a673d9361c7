#include "tests/e2e/test_driver.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QImage>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QListWidget>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <time.h>

#include "ui/balloon_dlg.h"
#include "ui/main_dlg.h"

namespace ravu {

namespace {

// Stamps kept while nobody asks for them.
constexpr size_t MAX_STAMPS = 100000;

// The text a widget shows, percent-encoded so that the answer is one line.
QByteArray ShownText(QWidget* w) {
    QStringList lines;
    // The balloon paints its question line by line; a list shows one line a row.
    if (auto* balloon = qobject_cast<CBalloonDlg*>(w)) {
        for (const BalloonLine& line : balloon->ShownLines())
            lines << line.text;
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text();
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
        lines << p->toPlainText();
    }
    return lines.join(QLatin1Char('\n')).toUtf8().toPercentEncoding();
}

// Runs fn on w from the event loop, unless w is gone by then.
void Later(QObject* context, QWidget* w, const std::function<void(QWidget*)>& fn) {
    QTimer::singleShot(0, context, [target = QPointer<QWidget>(w), fn] {
        if (target)
            fn(target);
    });
}

// Key presses that carry each character as text, the way an input method
// delivers Japanese; QTest's own typing knows only ASCII.
void TypeText(QWidget* w, const QString& text) {
    QPointer<QWidget> target(w);
    for (const uint cp : text.toUcs4()) {
        const QString ch = QString::fromUcs4(reinterpret_cast<const char32_t*>(&cp), 1);
        // Printable ASCII keys are numbered by their upper-case character.
        const int key = cp < 0x80 ? QChar(cp).toUpper().unicode() : 0;
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            if (!target)  // a key may close the window
                return;
            QKeyEvent e(type, key, Qt::NoModifier, ch);
            QCoreApplication::sendEvent(target, &e);
        }
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
    connect(server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = server->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                while (s->canReadLine())
                    s->write(Execute(s->readLine().chopped(1)) + '\n');
                s->flush();
            });
        }
    });
}

CTestDriver::~CTestDriver() = default;

void CTestDriver::WatchMainWindow() {
    QWidget* m = Find(QStringLiteral("main"));
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
    auto* list = qobject_cast<QListWidget*>(Find(QStringLiteral("kifu/moveList")));
    const int rows = list ? list->count() : -1;
    if (rows != lastRows && stamps.size() < MAX_STAMPS) {
        stamps.emplace_back(rows, now);
        lastRows = rows;
    }
    return true;
}

QWidget* CTestDriver::Find(const QString& target) const {
    const QString top = target.section(QLatin1Char('/'), 0, 0);
    const QString child = target.section(QLatin1Char('/'), 1);
    // Three windows are found by their class, the others by their name.
    const char* cls = top == QLatin1String("main")         ? "ravu::CMainDlg"
                      : top == QLatin1String("promote")    ? "ravu::CPromoteDlg"
                      : top == QLatin1String("filedialog") ? "QFileDialog"
                                                           : nullptr;
    QWidget* found = nullptr;
    // A visible window is preferred to a hidden one of the same name.
    for (QWidget* w : QApplication::topLevelWidgets())
        if ((cls ? w->inherits(cls) : w->objectName() == top) &&
            (!found || (w->isVisible() && !found->isVisible())))
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
    // The text after the first n words (words are separated by one space).
    auto rest = [&words](int n) { return QString::fromUtf8(words.mid(n).join(' ')); };
    QWidget* w = words.size() > 1 ? Find(QString::fromUtf8(words[1])) : nullptr;
    auto* m = qobject_cast<CMainDlg*>(Find(QStringLiteral("main")));

    if (cmd == "state") {
        QByteArray out = "ok " + QByteArray::number(m->Mode()) + ' ' + QByteArray::number(m->ConnState()) +
                         ' ' + QByteArray::number(m->MySide());
        // The clock plates are painted, not widgets: the main window says what they show.
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
            if (a->isSeparator() || a->text().remove(QLatin1Char('&')) != rest(1))
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
    if (cmd == "hash" && words.size() == 6) {
        const QRect r(words[2].toInt(), words[3].toInt(), words[4].toInt(), words[5].toInt());
        // 32-bit pixels: the rows follow each other without padding.
        const QImage image = w->grab().toImage().convertToFormat(QImage::Format_RGB32).copy(r);
        const QByteArrayView pixels(image.constBits(), image.sizeInBytes());
        return "ok " + QCryptographicHash::hash(pixels, QCryptographicHash::Sha1).toHex();
    }
    if (cmd == "grab" && words.size() >= 3) {
        // The main window as the screen shows it, cut to its shape; others as painted.
        auto* main = qobject_cast<CMainDlg*>(w);
        QImage shot = main ? QImage(main->size(), QImage::Format_RGB32) : w->grab().toImage();
        if (main) {
            shot.fill(Qt::white);
            QPainter p(&shot);
            p.setClipRegion(main->ShownRegion());
            p.drawImage(0, 0, main->ScreenImage());
        }
        return shot.save(rest(2)) ? "ok" : "err not saved";
    }
    if (cmd == "click" && words.size() >= 4) {
        const QPoint at(words[2] == "c" ? w->width() / 2 : words[2].toInt(),
                        words[3] == "c" ? w->height() / 2 : words[3].toInt());
        const Qt::MouseButton button = words.value(4) == "right" ? Qt::RightButton : Qt::LeftButton;
        // Stamped here, and the click runs at once after the answer has gone.
        const long long ns = MonotonicNs();
        Later(this, w, [at, button](QWidget* t) {
            QTest::mouseMove(t, at);
            QTest::mouseClick(t, button, {}, at);
        });
        return "ok " + QByteArray::number(ns);
    }
    if (cmd == "type" || cmd == "key") {
        const QKeySequence keys = QKeySequence::fromString(rest(2));
        if (cmd == "key" && keys.count() != 1)
            return "err no such key";
        Later(this, w, [typed = cmd == "type", text = rest(2), keys](QWidget* t) {
            t->activateWindow();
            t->setFocus(Qt::OtherFocusReason);
            if (typed)
                TypeText(t, text);
            else
                QTest::keyClick(t, keys[0].key(), keys[0].keyboardModifiers());
        });
        return "ok";
    }
    return "err unknown command";
}

}  // namespace ravu
