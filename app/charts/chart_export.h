// Writes a painted picture to an SVG or PNG file. The file appears whole or not
// at all: it is written beside its name and renamed into place at the end.
#pragma once

#include <QSizeF>
#include <QString>
#include <functional>

#include "app/charts/chart_model.h"

class QPainter;

namespace velnor::charts {

// paint draws in chart pixels onto a picture of size (chart pixels).
using Painting = std::function<void(QPainter &)>;

// False when the file cannot be written.
bool write_svg(const QString &path, const QSizeF &size, const QString &title, const Painting &paint);

// At most png_pixel_limit pixels: a larger picture is scaled down to fit.
bool write_png(const QString &path, const QSizeF &size, const Painting &paint);
constexpr double png_pixel_limit = 36e6;

// The two charts of a page, as an SVG file.
bool write_page_svg(const QString &path, const DatapathCharts &charts);

}  // namespace velnor::charts
