// SIGTERM and SIGINT (the desktop session ending, `kill`, Ctrl+C in a
// terminal) end the program the way 終了 does, so that its settings are
// written; without this the process would end at once and lose them.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace ravu {

// While one object lives, the two signals call quit on the event loop's
// thread (the handler only writes a byte to a socket pair).  One object at
// a time; its destruction puts the default handlers back.
class CQuitSignal : public QObject {
    Q_OBJECT
public:
    explicit CQuitSignal(std::function<void()> quit);
    ~CQuitSignal() override;

private:
    std::function<void()> quit;
    QSocketNotifier* notifier = nullptr;
};

}  // namespace ravu
