// A picture push button of three 58 x 58 cells: 0 normal, 1 pointer over it,
// 2 pressed.  It captures the mouse while the pointer is over it so that it
// sees the pointer leave, and reports a click (press and release on it) to
// its parent as a posted command.
#pragma once

#include <QPixmap>
#include <QWidget>

namespace ravu {

class CImageButton : public QWidget {
    Q_OBJECT
public:
    static constexpr int CELL = 58;
    static constexpr int CELL_NORMAL = 0;
    static constexpr int CELL_HOVER = 1;
    static constexpr int CELL_PRESSED = 2;

    // The strip of three cells: the built-in yes or no button picture, for
    // the screen's device pixel ratio.
    explicit CImageButton(int bitmapId);
    // cells: the strip, of any device pixel ratio.
    explicit CImageButton(const QPixmap& cells);

    // Makes the button a visible child of parent at (x, y), 58 x 58.
    bool Create(QWidget* parent, int id, int x, int y);

    int CommandId() const { return commandId; }
    int ShownCell() const { return shownCell; }
    bool Hovering() const { return hovering != 0; }
    bool Pressed() const { return pressed != 0; }

signals:
    // Delivered queued (posted), like a command message to the parent.
    void command(int commandId);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent*) override;

private:
    void ShowCell(int cell);
    void PointerLeft();

    QPixmap cells;
    int shownCell = CELL_NORMAL;
    int hovering = 0;
    int pressed = 0;
    int commandId = 0;
};

}  // namespace ravu
