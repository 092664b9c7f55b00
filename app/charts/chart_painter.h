// Paints the charts of chart_model.h with QPainter, onto a widget, an image or
// an SVG file alike. The painter's transform maps chart pixels to the device;
// only what meets the visible area is painted, and the small texts are left
// out once the scale makes them unreadable, so a large datapath redraws fast.
#pragma once

#include <QRectF>
#include <cstddef>
#include <optional>

#include "app/charts/chart_model.h"

class QPainter;

namespace velnor::charts {

void paint_schedule(QPainter &painter, const ScheduleChart &chart, const QRectF &visible);

// hovered: the bar under the mouse; it and its partners are highlighted.
void paint_registers(QPainter &painter, const RegisterChart &chart, const QRectF &visible,
                     std::optional<std::size_t> hovered = std::nullopt);

// Both charts, whole, on a white page.
void paint_page(QPainter &painter, const DatapathCharts &charts);

inline QRectF to_rect(const Box &box) { return {box.x, box.y, box.width, box.height}; }

}  // namespace velnor::charts
