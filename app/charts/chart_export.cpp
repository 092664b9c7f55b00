// SVG through Qt's SVG generator and PNG through an image, both saved atomically.
#include "app/charts/chart_export.h"

#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

#include "app/charts/chart_painter.h"

namespace velnor::charts {

bool write_svg(const QString &path, const QSizeF &size, const QString &title, const Painting &paint) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QSvgGenerator generator;
    generator.setOutputDevice(&file);
    generator.setSize(size.toSize());
    generator.setViewBox(QRectF(QPointF(0, 0), size));
    generator.setTitle(title);
    {
        QPainter painter;
        if (!painter.begin(&generator))
            return false;
        paint(painter);
        painter.end();
    }
    return file.commit();
}

bool write_png(const QString &path, const QSizeF &size, const Painting &paint) {
    const double pixels = std::max(1.0, size.width() * size.height());
    const double scale = std::min(1.0, std::sqrt(png_pixel_limit / pixels));
    QImage image(std::max(1, static_cast<int>(std::ceil(size.width() * scale))),
                 std::max(1, static_cast<int>(std::ceil(size.height() * scale))), QImage::Format_RGB32);
    if (image.isNull())
        return false;
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(scale, scale);
        paint(painter);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG"))
        return false;
    return file.commit();
}

bool write_page_svg(const QString &path, const DatapathCharts &charts) {
    return write_svg(path, to_rect(charts.page).size(), QString::fromStdString(charts.schedule.title.text),
                     [&charts](QPainter &painter) { paint_page(painter, charts); });
}

}  // namespace velnor::charts
