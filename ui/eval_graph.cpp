#include "ui/eval_graph.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace ravu {

namespace {

constexpr int MARGIN = 4;
constexpr qreal BAD_MARK_RADIUS = 3.5;

}  // namespace

CEvalGraph::CEvalGraph(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("evalGraph"));
    setAccessibleName(tr("評価値グラフ"));
    setMinimumSize(160, 80);
    setCursor(Qt::PointingHandCursor);
}

void CEvalGraph::SetPoints(std::vector<std::optional<int>> v, std::vector<bool> b, int lim) {
    values = std::move(v);
    bad = std::move(b);
    bad.resize(values.size(), false);
    limit = std::max(1, lim);
    update();
}

void CEvalGraph::SetCurrent(int ply) {
    if (ply == current)
        return;
    current = ply;
    update();
}

QRectF CEvalGraph::PlotArea() const { return QRectF(rect()).adjusted(MARGIN, MARGIN, -MARGIN, -MARGIN); }

QPointF CEvalGraph::PointOf(int ply, int value) const {
    const QRectF area = PlotArea();
    const int last = std::max(1, int(values.size()) - 1);
    const qreal x = area.left() + area.width() * ply / last;
    const qreal clamped = std::clamp(value, -limit, limit);
    const qreal y = area.center().y() - area.height() / 2 * clamped / limit;
    return {x, y};
}

int CEvalGraph::PlyAt(int x) const {
    if (values.empty())
        return -1;
    const QRectF area = PlotArea();
    const int last = int(values.size()) - 1;
    if (last == 0 || area.width() <= 0)
        return 0;
    const int ply = int(std::lround((x - area.left()) * last / area.width()));
    return std::clamp(ply, 0, last);
}

void CEvalGraph::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QRectF area = PlotArea();
    // Sente's half above the middle line, gote's below, as other programs draw it.
    p.fillRect(QRectF(area.left(), area.center().y(), area.width(), area.height() / 2),
               QColor(0xEE, 0xEE, 0xEE));
    p.setPen(QPen(Qt::gray, 1));
    p.drawLine(QPointF(area.left(), area.center().y()), QPointF(area.right(), area.center().y()));

    if (current >= 0 && current < int(values.size())) {
        p.setPen(QPen(QColor(0x30, 0x60, 0xC0), 1, Qt::DashLine));
        const qreal x = PointOf(current, 0).x();
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    }

    // The line breaks where a move was not analysed.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.5));
    QPainterPath path;
    bool open = false;
    for (int k = 0; k < int(values.size()); ++k) {
        if (!values[size_t(k)]) {
            open = false;
            continue;
        }
        const QPointF pt = PointOf(k, *values[size_t(k)]);
        if (open)
            path.lineTo(pt);
        else
            path.moveTo(pt);
        open = true;
    }
    p.drawPath(path);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xD0, 0x20, 0x20));
    for (int k = 0; k < int(values.size()); ++k)
        if (bad[size_t(k)] && values[size_t(k)])
            p.drawEllipse(PointOf(k, *values[size_t(k)]), BAD_MARK_RADIUS, BAD_MARK_RADIUS);
}

void CEvalGraph::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        const int ply = PlyAt(int(e->position().x()));
        if (ply >= 0)
            emit plyClicked(ply);
    }
    e->accept();
}

}  // namespace ravu
