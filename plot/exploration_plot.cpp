// Plot geometry: the x axis runs from the least to the greatest overhead, the
// y axis over whole decades of the probabilities; a point is a combination (or
// several that coincide on the plot), a front joins its members by overhead.
#include "plot/exploration_plot.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>

namespace velnor {
namespace {

constexpr int plot_width = 960, plot_height = 640;

QColor core_colour(std::size_t core) {
    static const QColor palette[] = {QColor(31, 119, 180),  QColor(214, 39, 40),  QColor(44, 160, 44),
                                     QColor(148, 103, 189), QColor(255, 127, 14), QColor(140, 86, 75),
                                     QColor(227, 119, 194), QColor(127, 127, 127), QColor(188, 189, 34),
                                     QColor(23, 190, 207)};
    return palette[core % (sizeof palette / sizeof palette[0])];
}

// A probability that underflowed to 0 has no logarithm; such points sit on
// the bottom edge of the plot.
const double zero_log10 = std::log10(std::numeric_limits<double>::denorm_min()) + 0.5;

double log10_of(double probability) {
    return std::log10(std::max(probability, std::numeric_limits<double>::denorm_min()));
}

struct Ranges {
    double x_min = 0, x_max = 1;  // overhead in percent
    double y_min = -1, y_max = 0;  // log10 of the probability, whole decades
};

Ranges ranges_of(const ExplorationSummary &summary) {
    bool any = false;
    double x_min = 0, x_max = 0, y_min = 0, y_max = 0;
    const auto take = [&](double x, double y) {
        if (!any) {
            x_min = x_max = x;
            y_min = y_max = y;
            any = true;
        }
        x_min = std::min(x_min, x), x_max = std::max(x_max, x);
        y_min = std::min(y_min, y), y_max = std::max(y_max, y);
    };
    for (const CoreSummary &core : summary.cores())
        for (const auto *points : {&core.phase2_points, &core.distinguishing_points})
            for (const PlotPoint &point : *points)
                if (point.log10_probability > zero_log10)
                    take(100 * point.overhead, point.log10_probability);
    Ranges ranges;
    if (!any)
        return ranges;
    const double x_pad = std::max((x_max - x_min) * 0.05, 0.5);
    ranges.x_min = std::min(0.0, x_min - x_pad);
    ranges.x_max = x_max + x_pad;
    ranges.y_min = std::floor(y_min) - (std::floor(y_min) == y_min ? 1 : 0);
    ranges.y_max = std::min(0.0, std::ceil(y_max));
    if (ranges.y_max <= ranges.y_min)
        ranges.y_max = ranges.y_min + 1;
    return ranges;
}

// A round step giving about count ticks over span.
double tick_step(double span, int count) {
    const double raw = span / count;
    const double decade = std::pow(10, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0, 10.0})
        if (decade * factor >= raw)
            return decade * factor;
    return decade * 10;
}

void draw_marker(QPainter &painter, const QPointF &at, Probability probability, const QColor &colour) {
    if (probability == Probability::Phase2) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(at, 3.0, 3.0);
    } else {
        painter.setPen(QPen(colour, 1.2));
        painter.setBrush(Qt::NoBrush);
        QPainterPath triangle;
        triangle.moveTo(at + QPointF(0, -4.5));
        triangle.lineTo(at + QPointF(4, 3));
        triangle.lineTo(at + QPointF(-4, 3));
        triangle.closeSubpath();
        painter.drawPath(triangle);
    }
}

}  // namespace

void draw_exploration_plot(QPainter &painter, const QRectF &area, const ExplorationSummary &summary) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(area, Qt::white);
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);

    const QRectF frame(area.left() + 80, area.top() + 40, area.width() - 80 - 230, area.height() - 40 - 60);
    const Ranges r = ranges_of(summary);
    const auto to_x = [&](double x) { return frame.left() + (x - r.x_min) / (r.x_max - r.x_min) * frame.width(); };
    const auto to_y = [&](double y) {
        return frame.bottom() - (std::max(y, r.y_min) - r.y_min) / (r.y_max - r.y_min) * frame.height();
    };

    // Grid, ticks and labels.
    painter.setPen(QPen(QColor(225, 225, 225), 1));
    const double x_step = tick_step(r.x_max - r.x_min, 8);
    const double decades = r.y_max - r.y_min;
    const double y_step = std::max(1.0, tick_step(decades, 10));
    for (double x = std::ceil(r.x_min / x_step) * x_step; x <= r.x_max + 1e-9; x += x_step) {
        painter.setPen(QPen(QColor(225, 225, 225), 1));
        painter.drawLine(QPointF(to_x(x), frame.top()), QPointF(to_x(x), frame.bottom()));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(to_x(x) - 40, frame.bottom() + 4, 80, 16), Qt::AlignHCenter | Qt::AlignTop,
                         QString::number(std::abs(x) < x_step / 1e6 ? 0 : x, 'g', 4));
    }
    // Decades at multiples of the step, so that 1 (when shown) is a tick.
    for (double y = std::ceil(r.y_min / y_step) * y_step; y <= r.y_max + 1e-9; y += y_step) {
        painter.setPen(QPen(QColor(225, 225, 225), 1));
        painter.drawLine(QPointF(frame.left(), to_y(y)), QPointF(frame.right(), to_y(y)));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(frame.left() - 76, to_y(y) - 8, 70, 16), Qt::AlignRight | Qt::AlignVCenter,
                         y == 0 ? QString("1") : QString("1e%1").arg(static_cast<int>(y)));
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame);
    painter.drawText(QRectF(frame.left(), frame.bottom() + 28, frame.width(), 20), Qt::AlignHCenter,
                     "cost overhead (%)");
    painter.save();
    painter.translate(area.left() + 14, frame.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-frame.height() / 2, -10, frame.height(), 20), Qt::AlignHCenter,
                     "probability of coincidence (log scale)");
    painter.restore();
    QFont title = font;
    title.setPixelSize(15);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRectF(frame.left(), area.top() + 8, frame.width(), 24), Qt::AlignHCenter,
                     "Signature strength against cost");
    painter.setFont(font);

    // Points, then fronts on top.
    painter.setClipRect(frame.adjusted(-5, -5, 5, 5));
    for (std::size_t c = 0; c < summary.cores().size(); ++c) {
        const CoreSummary &core = summary.cores()[c];
        for (const PlotPoint &point : core.distinguishing_points)
            draw_marker(painter, QPointF(to_x(100 * point.overhead), to_y(point.log10_probability)),
                        Probability::Distinguishing, core_colour(c));
        for (const PlotPoint &point : core.phase2_points)
            draw_marker(painter, QPointF(to_x(100 * point.overhead), to_y(point.log10_probability)),
                        Probability::Phase2, core_colour(c));
    }
    for (std::size_t c = 0; c < summary.cores().size(); ++c) {
        const CoreSummary &core = summary.cores()[c];
        for (const ParetoFront *front : {&core.phase2, &core.distinguishing}) {
            QPolygonF line;
            for (const CombinationResult &member : front->members())
                line << QPointF(to_x(100 * member.overhead), to_y(log10_of(probability_of(member, front == &core.phase2 ? Probability::Phase2 : Probability::Distinguishing))));
            painter.setPen(QPen(core_colour(c), 2, front == &core.phase2 ? Qt::SolidLine : Qt::DashLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawPolyline(line);
        }
    }
    painter.setClipping(false);

    // Legend: cores by colour, probabilities by marker and line.
    double y = frame.top();
    const double x = frame.right() + 16;
    const auto legend_line = [&](const QString &text) {
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x + 34, y - 8, 190, 16), Qt::AlignLeft | Qt::AlignVCenter, text);
        y += 20;
    };
    for (std::size_t c = 0; c < summary.cores().size(); ++c) {
        painter.fillRect(QRectF(x, y - 5, 24, 10), core_colour(c));
        legend_line(QString::fromStdString(summary.cores()[c].dfg));
    }
    y += 10;
    draw_marker(painter, QPointF(x + 12, y), Probability::Phase2, Qt::black);
    legend_line("pc_phase2");
    draw_marker(painter, QPointF(x + 12, y), Probability::Distinguishing, Qt::black);
    legend_line("pc_distinguishing");
    painter.setPen(QPen(Qt::black, 2, Qt::SolidLine));
    painter.drawLine(QPointF(x, y), QPointF(x + 24, y));
    legend_line("front of pc_phase2");
    painter.setPen(QPen(Qt::black, 2, Qt::DashLine));
    painter.drawLine(QPointF(x, y), QPointF(x + 24, y));
    legend_line("front of pc_distinguishing");
    y += 10;
    legend_line("a probability that underflows");
    legend_line("to 0 lies on the bottom edge");
    painter.restore();
}

bool is_plot_file_name(const std::string &path) {
    const auto ends_with = [&](const std::string &suffix) {
        return path.size() > suffix.size() && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
    };
    return ends_with(".svg") || ends_with(".png");
}

bool save_exploration_plot(const std::string &path, const ExplorationSummary &summary, std::string &error) {
    const QString name = QFile::decodeName(path.c_str());
    const QRectF area(0, 0, plot_width, plot_height);
    bool written = false;
    if (name.endsWith(".svg")) {
        QSvgGenerator svg;
        svg.setFileName(name);
        svg.setSize(QSize(plot_width, plot_height));
        svg.setViewBox(area);
        svg.setTitle("velnor exploration");
        QPainter painter;
        if (painter.begin(&svg)) {
            draw_exploration_plot(painter, area, summary);
            written = painter.end();
        }
        // The generator opens the file lazily and reports no failure of its own.
        written = written && QFile::exists(name) && QFile(name).size() > 0;
    } else {
        QImage image(plot_width, plot_height, QImage::Format_RGB32);
        QPainter painter(&image);
        draw_exploration_plot(painter, area, summary);
        painter.end();
        written = image.save(name, "PNG");
    }
    if (!written)
        error = "cannot write the plot " + path;
    return written;
}

}  // namespace velnor
