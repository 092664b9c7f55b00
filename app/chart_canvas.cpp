// Paints one chart of the datapath view and tracks the mouse over it.
#include "app/chart_canvas.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include "app/charts/chart_painter.h"

namespace velnor {

ChartCanvas::ChartCanvas(Kind kind, QWidget *parent) : QWidget(parent), kind_(kind) {
    setMouseTracking(kind == Kind::Registers);
    setAttribute(Qt::WA_OpaquePaintEvent);
    set_charts(nullptr);
}

charts::Box ChartCanvas::frame() const {
    if (!charts_)
        return {};
    return kind_ == Kind::Schedule ? charts_->schedule.frame : charts_->registers.frame;
}

QSizeF ChartCanvas::chart_size() const { return {frame().width, frame().height}; }

void ChartCanvas::set_charts(const charts::DatapathCharts *shown) {
    charts_ = shown;
    hovered_.reset();
    setToolTip(QString());
    set_scale(scale_);
}

void ChartCanvas::set_scale(double scale) {
    scale_ = scale;
    const QSizeF size = chart_size() * scale_;
    setFixedSize(std::max(1, qRound(size.width())), std::max(1, qRound(size.height())));
    update();
}

void ChartCanvas::paint_chart(QPainter &painter, const QRectF &visible) const {
    if (!charts_)
        return;
    const charts::Box box = frame();
    painter.save();
    painter.translate(-box.x, -box.y);
    const QRectF shifted = visible.translated(box.x, box.y);
    if (kind_ == Kind::Schedule)
        charts::paint_schedule(painter, charts_->schedule, shifted);
    else
        charts::paint_registers(painter, charts_->registers, shifted, hovered_);
    painter.restore();
}

void ChartCanvas::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    painter.scale(scale_, scale_);
    const QRectF exposed = event->rect();
    paint_chart(painter, QRectF(exposed.topLeft() / scale_, exposed.size() / scale_));
}

void ChartCanvas::point_at(const QPointF &place) {
    if (kind_ != Kind::Registers || !charts_)
        return;
    const charts::Box box = frame();
    const std::optional<std::size_t> bar = charts::bar_at(charts_->registers, place.x() + box.x, place.y() + box.y);
    if (bar == hovered_)
        return;
    hovered_ = bar;
    setToolTip(bar ? QString::fromStdString(charts::bar_description(charts_->registers, *bar)) : QString());
    update();
}

void ChartCanvas::mouseMoveEvent(QMouseEvent *event) {
    point_at(QPointF(event->pos()) / scale_);
    QWidget::mouseMoveEvent(event);
}

void ChartCanvas::wheelEvent(QWheelEvent *event) {
    // Without Ctrl the wheel scrolls, as in every scroll area.
    if (!(event->modifiers() & Qt::ControlModifier) || event->angleDelta().y() == 0) {
        event->ignore();
        return;
    }
    // A notch of the wheel is 120 eighths of a degree.
    emit zoom_requested(event->angleDelta().y() / 120.0);
    event->accept();
}

void ChartCanvas::leaveEvent(QEvent *event) {
    if (hovered_) {
        hovered_.reset();
        update();
    }
    QWidget::leaveEvent(event);
}

}  // namespace velnor
