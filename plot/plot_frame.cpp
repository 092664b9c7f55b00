// The frame leaves 80 pixels on the left for the decade labels, 40 on top for
// the title, 60 below for the x labels and 230 on the right for the legend.
#include "plot/plot_frame.h"

#include <algorithm>
#include <cmath>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QVector>
#include <QSvgGenerator>

namespace velnor {

void decade_range(double lowest, double highest, PlotAxes &axes) {
    axes.y_min = std::floor(lowest) - (std::floor(lowest) == lowest ? 1 : 0);
    axes.y_max = std::min(0.0, std::ceil(highest));
    if (axes.y_max <= axes.y_min)
        axes.y_max = axes.y_min + 1;
}

double tick_step(double span, int count) {
    const double raw = span / count;
    const double decade = std::pow(10, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0, 10.0})
        if (decade * factor >= raw)
            return decade * factor;
    return decade * 10;
}

PlotFrame::PlotFrame(const QRectF &area, const PlotAxes &axes)
    : area_(area),
      frame_(area.left() + 80, area.top() + 40, area.width() - 80 - 230, area.height() - 40 - 60),
      axes_(axes) {}

QPointF PlotFrame::at(double x, double log10_y) const {
    const PlotAxes &a = axes_;
    return QPointF(frame_.left() + (x - a.x_min) / (a.x_max - a.x_min) * frame_.width(),
                   frame_.bottom() - (std::max(log10_y, a.y_min) - a.y_min) / (a.y_max - a.y_min) * frame_.height());
}

void PlotFrame::draw(QPainter &painter) const {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(area_, Qt::white);
    QFont text = painter.font();
    text.setPixelSize(12);
    painter.setFont(text);
    const PlotAxes &a = axes_;
    const QPen grid(QColor(225, 225, 225), 1);
    const double x_step = tick_step(a.x_max - a.x_min, 8);
    const double y_step = std::max(1.0, tick_step(a.y_max - a.y_min, 10));
    for (double x = std::ceil(a.x_min / x_step) * x_step; x <= a.x_max + 1e-9; x += x_step) {
        const double left = at(x, a.y_min).x();
        painter.setPen(grid);
        painter.drawLine(QPointF(left, frame_.top()), QPointF(left, frame_.bottom()));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(left - 40, frame_.bottom() + 4, 80, 16), Qt::AlignHCenter | Qt::AlignTop,
                         QString::number(std::abs(x) < x_step / 1e6 ? 0 : x, 'g', 4));
    }
    // Decades at multiples of the step, so that 1 (when shown) is a tick.
    for (double y = std::ceil(a.y_min / y_step) * y_step; y <= a.y_max + 1e-9; y += y_step) {
        const double top = at(a.x_min, y).y();
        painter.setPen(grid);
        painter.drawLine(QPointF(frame_.left(), top), QPointF(frame_.right(), top));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(frame_.left() - 76, top - 8, 70, 16), Qt::AlignRight | Qt::AlignVCenter,
                         y == 0 ? QString("1") : QString("1e%1").arg(static_cast<int>(y)));
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame_);
    painter.drawText(QRectF(frame_.left(), frame_.bottom() + 28, frame_.width(), 20), Qt::AlignHCenter, a.x_label);
    painter.save();
    painter.translate(area_.left() + 14, frame_.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-frame_.height() / 2, -10, frame_.height(), 20), Qt::AlignHCenter, a.y_label);
    painter.restore();
    const QFont font = painter.font();
    QFont title = font;
    title.setPixelSize(15);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRectF(frame_.left(), area_.top() + 8, frame_.width(), 24), Qt::AlignHCenter, a.title);
    painter.setFont(font);
}

namespace {

// An open marker: the polygon's outline in colour.
void outline(QPainter &painter, const QColor &colour, const QVector<QPointF> &corners) {
    painter.setPen(QPen(colour, 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(corners.data(), corners.size());
}

}  // namespace

void draw_marker(QPainter &painter, const QPointF &at, Marker marker, const QColor &colour) {
    switch (marker) {
    case Marker::Disc:
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(at, 3.0, 3.0);
        return;
    case Marker::Square:
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawRect(QRectF(at - QPointF(4, 4), QSizeF(8, 8)));
        return;
    case Marker::Triangle:
        outline(painter, colour, QVector<QPointF>{at + QPointF(0, -4.5), at + QPointF(4, 3), at + QPointF(-4, 3)});
        return;
    case Marker::Diamond:
        outline(painter, colour, QVector<QPointF>{at + QPointF(0, -5), at + QPointF(5, 0), at + QPointF(0, 5), at + QPointF(-5, 0)});
        return;
    }
}

QColor series_colour(std::size_t index) {
    static const QColor palette[] = {QColor(31, 119, 180),  QColor(214, 39, 40),  QColor(44, 160, 44),
                                     QColor(148, 103, 189), QColor(255, 127, 14), QColor(140, 86, 75),
                                     QColor(227, 119, 194), QColor(127, 127, 127), QColor(188, 189, 34),
                                     QColor(23, 190, 207)};
    return palette[index % (sizeof palette / sizeof palette[0])];
}

void PlotLegend::swatch(const QColor &colour, const QString &label) {
    painter_.fillRect(QRectF(x_, y_ - 5, 24, 10), colour);
    text(label);
}

void PlotLegend::marker(Marker shape, const QColor &colour, const QString &label) {
    draw_marker(painter_, QPointF(x_ + 12, y_), shape, colour);
    text(label);
}

void PlotLegend::line(const QPen &pen, const QString &label) {
    painter_.setPen(pen);
    painter_.drawLine(QPointF(x_, y_), QPointF(x_ + 24, y_));
    text(label);
}

void PlotLegend::text(const QString &label) {
    painter_.setPen(Qt::black);
    painter_.drawText(QRectF(x_ + 34, y_ - 8, 190, 16), Qt::AlignLeft | Qt::AlignVCenter, label);
    y_ += 20;
}

bool is_plot_file_name(const std::string &path) {
    const auto ends_with = [&](const std::string &suffix) {
        return path.size() > suffix.size() && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
    };
    return ends_with(".svg") || ends_with(".png");
}

bool save_plot(const std::string &path, const QString &title,
               const std::function<void(QPainter &, const QRectF &)> &draw, std::string &error) {
    const QString name = QFile::decodeName(path.c_str());
    const QRectF area(0, 0, plot_width, plot_height);
    bool written = false;
    if (name.endsWith(".svg")) {
        QSvgGenerator svg;
        svg.setFileName(name);
        svg.setSize(QSize(plot_width, plot_height));
        svg.setViewBox(area);
        svg.setTitle(title);
        QPainter painter;
        if (painter.begin(&svg)) {
            draw(painter, area);
            written = painter.end();
        }
        // The generator opens the file lazily and reports no failure of its own.
        written = written && QFile::exists(name) && QFile(name).size() > 0;
    } else {
        QImage image(plot_width, plot_height, QImage::Format_RGB32);
        QPainter painter(&image);
        draw(painter, area);
        painter.end();
        written = image.save(name, "PNG");
    }
    if (!written)
        error = "cannot write the plot " + path;
    return written;
}

}  // namespace velnor
