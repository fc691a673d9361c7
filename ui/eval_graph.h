// The evaluation graph of the analysis window: one point per move of the
// main line (sente's view, up is good for sente), the bad moves marked, the
// move shown on the board as a vertical line.  A click picks the nearest
// move.  It draws what it is given and keeps no game logic.
#pragma once

#include <QWidget>
#include <optional>
#include <vector>

namespace ravu {

class CEvalGraph : public QWidget {
    Q_OBJECT
public:
    explicit CEvalGraph(QWidget* parent = nullptr);

    // values[k]: the evaluation after move k (k = 0: the start), in
    // centipawns already clamped to +-limit; missing where not analysed.
    // bad[k]: move k lost much.  Repaints.
    void SetPoints(std::vector<std::optional<int>> values, std::vector<bool> bad, int limit);
    // The move shown on the board (-1: none).
    void SetCurrent(int ply);
    int Current() const { return current; }
    int PointCount() const { return int(values.size()); }

    // The move whose column holds the x coordinate, -1 when there are no moves.
    int PlyAt(int x) const;
    // Where the point of a move is drawn (for tests and for hit testing).
    QPointF PointOf(int ply, int value) const;

    QSize sizeHint() const override { return {320, 120}; }

signals:
    void plyClicked(int ply);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    QRectF PlotArea() const;

    std::vector<std::optional<int>> values;
    std::vector<bool> bad;
    int limit = 3000;
    int current = -1;
};

}  // namespace ravu
