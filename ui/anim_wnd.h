// The balloon's character: four 32 x 32 cells shown in turn, ten a second.
#pragma once

#include <QBasicTimer>
#include <QPixmap>
#include <QWidget>

namespace ravu {

class CAnimWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int CELL = 32;
    static constexpr int FRAMES = 4;
    static constexpr int FRAME_MS = 100;  // one cell every 100 ms

    CAnimWnd();  // cells from the built-in character picture
    ~CAnimWnd() override;

    // Makes the character a visible child of parent at (x, y) and starts it.
    bool Create(QWidget* parent, int x, int y);
    // Stops the animation and takes the window off its parent.
    void Destroy();

    int Frame() const { return frame; }
    int ShownCell() const { return shownCell; }

protected:
    void paintEvent(QPaintEvent*) override;
    void timerEvent(QTimerEvent* e) override;

private:
    QPixmap cells;
    QBasicTimer timer;
    int frame = 0;
    int shownCell = 0;
};

}  // namespace ravu
