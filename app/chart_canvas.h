// One chart of the datapath view as a widget: paints the schedule or the
// register chart at the view's zoom, only where the widget needs repainting,
// and on the register chart follows the mouse to highlight the variable under
// it and its partners. Ctrl with the mouse wheel asks the view to zoom.
#pragma once

#include <QWidget>
#include <cstddef>
#include <optional>

#include "app/charts/chart_model.h"

namespace velnor {

class ChartCanvas : public QWidget {
    Q_OBJECT

public:
    enum class Kind { Schedule, Registers };

    ChartCanvas(Kind kind, QWidget *parent = nullptr);

    // The charts to show (owned by the caller), or null for none.
    void set_charts(const charts::DatapathCharts *shown);
    void set_scale(double scale);
    double scale() const { return scale_; }
    // The chart's size in chart pixels (zoom 1).
    QSizeF chart_size() const;
    // Paints the whole chart in chart pixels, its top left corner at the origin.
    void paint_chart(QPainter &painter, const QRectF &visible) const;
    // Points at a place of the chart, in chart pixels, as the mouse does.
    void point_at(const QPointF &place);
    std::optional<std::size_t> hovered() const { return hovered_; }

signals:
    // Ctrl and the wheel: zoom in (notches above 0) or out, one step a notch.
    void zoom_requested(double notches);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    charts::Box frame() const;

    Kind kind_;
    const charts::DatapathCharts *charts_ = nullptr;
    double scale_ = 1;
    std::optional<std::size_t> hovered_;
};

}  // namespace velnor
