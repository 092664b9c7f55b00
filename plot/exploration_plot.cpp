// Plot geometry: the x axis runs from the least to the greatest overhead, the
// y axis over whole decades of the probabilities; a point is a combination (or
// several that coincide on the plot), a front joins its members by overhead.
#include "plot/exploration_plot.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QPainter>

#include "plot/plot_frame.h"

namespace velnor {
namespace {

// A probability that underflowed to 0 has no logarithm; such points sit on
// the bottom edge of the plot.
const double zero_log10 = std::log10(std::numeric_limits<double>::denorm_min()) + 0.5;

double log10_of(double probability) {
    return std::log10(std::max(probability, std::numeric_limits<double>::denorm_min()));
}

Marker marker_of(Probability probability) {
    return probability == Probability::Phase2 ? Marker::Disc : Marker::Triangle;
}

// Overhead in percent across, the probabilities' decades up.
PlotAxes axes_of(const ExplorationSummary &summary) {
    PlotAxes axes;
    axes.title = "Signature strength against cost";
    axes.x_label = "cost overhead (%)";
    axes.y_label = "probability of coincidence (log scale)";
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
    if (!any)
        return axes;
    const double x_pad = std::max((x_max - x_min) * 0.05, 0.5);
    axes.x_min = std::min(0.0, x_min - x_pad);
    axes.x_max = x_max + x_pad;
    decade_range(y_min, y_max, axes);
    return axes;
}

}  // namespace

void draw_exploration_plot(QPainter &painter, const QRectF &area, const ExplorationSummary &summary) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(area, Qt::white);
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    const PlotFrame plot(area, axes_of(summary));
    plot.draw(painter);

    // Points, then fronts on top.
    painter.setClipRect(plot.frame().adjusted(-5, -5, 5, 5));
    for (std::size_t c = 0; c < summary.cores().size(); ++c) {
        const CoreSummary &core = summary.cores()[c];
        for (const PlotPoint &point : core.distinguishing_points)
            draw_marker(painter, plot.at(100 * point.overhead, point.log10_probability),
                        marker_of(Probability::Distinguishing), series_colour(c));
        for (const PlotPoint &point : core.phase2_points)
            draw_marker(painter, plot.at(100 * point.overhead, point.log10_probability),
                        marker_of(Probability::Phase2), series_colour(c));
    }
    for (std::size_t c = 0; c < summary.cores().size(); ++c) {
        const CoreSummary &core = summary.cores()[c];
        for (const ParetoFront *front : {&core.phase2, &core.distinguishing}) {
            const Probability probability = front == &core.phase2 ? Probability::Phase2 : Probability::Distinguishing;
            QPolygonF line;
            for (const CombinationResult &member : front->members())
                line << plot.at(100 * member.overhead, log10_of(probability_of(member, probability)));
            painter.setPen(QPen(series_colour(c), 2, front == &core.phase2 ? Qt::SolidLine : Qt::DashLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawPolyline(line);
        }
    }
    painter.setClipping(false);

    // Legend: cores by colour, probabilities by marker and line.
    PlotLegend legend(painter, plot.legend_origin());
    for (std::size_t c = 0; c < summary.cores().size(); ++c)
        legend.swatch(series_colour(c), QString::fromStdString(summary.cores()[c].dfg));
    legend.gap();
    legend.marker(marker_of(Probability::Phase2), Qt::black, "pc_phase2");
    legend.marker(marker_of(Probability::Distinguishing), Qt::black, "pc_distinguishing");
    legend.line(QPen(Qt::black, 2, Qt::SolidLine), "front of pc_phase2");
    legend.line(QPen(Qt::black, 2, Qt::DashLine), "front of pc_distinguishing");
    legend.gap();
    legend.text("a probability that underflows");
    legend.text("to 0 lies on the bottom edge");
    painter.restore();
}

bool save_exploration_plot(const std::string &path, const ExplorationSummary &summary, std::string &error) {
    return save_plot(
        path, "velnor exploration",
        [&summary](QPainter &painter, const QRectF &area) { draw_exploration_plot(painter, area, summary); }, error);
}

}  // namespace velnor
