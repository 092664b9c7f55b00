// Plot geometry: the x axis runs from the least to the greatest overhead, the
// y axis over whole decades of the probabilities; a point is a combination (or
// several that coincide on the plot), a front joins its members by overhead.
#include "plot/exploration_plot.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

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

// A marker shape per probability and embedding: discs and triangles for the
// specified embedding, squares and diamonds for the strong one.
Marker marker_of(Probability probability, EmbeddingMode embedding) {
    if (embedding == EmbeddingMode::Strong)
        return probability == Probability::Phase2 ? Marker::Square : Marker::Diamond;
    return probability == Probability::Phase2 ? Marker::Disc : Marker::Triangle;
}

// The exploration's embeddings, each once, in its order.
std::vector<EmbeddingMode> distinct_embeddings(const ExplorationSummary &summary) {
    std::vector<EmbeddingMode> distinct;
    for (EmbeddingMode mode : summary.embeddings())
        if (std::find(distinct.begin(), distinct.end(), mode) == distinct.end())
            distinct.push_back(mode);
    return distinct;
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
    const PlotFrame plot(area, axes_of(summary));
    plot.draw(painter);

    // One DSP core explored in several embeddings takes a colour per
    // embedding, its fronts (across embeddings) in black; otherwise each core
    // has its colour.
    const std::vector<EmbeddingMode> embeddings = distinct_embeddings(summary);
    const bool colour_by_embedding = summary.cores().size() == 1 && embeddings.size() > 1;
    const auto colour_of = [&](std::size_t core, EmbeddingMode mode) {
        if (!colour_by_embedding)
            return series_colour(core);
        return series_colour(static_cast<std::size_t>(
            std::find(embeddings.begin(), embeddings.end(), mode) - embeddings.begin()));
    };

    // Points, then fronts on top.
    painter.setClipRect(plot.frame().adjusted(-5, -5, 5, 5));
    for (std::size_t c = 0; c < summary.cores().size(); ++c) {
        const CoreSummary &core = summary.cores()[c];
        for (const PlotPoint &point : core.distinguishing_points)
            draw_marker(painter, plot.at(100 * point.overhead, point.log10_probability),
                        marker_of(Probability::Distinguishing, point.embedding), colour_of(c, point.embedding));
        for (const PlotPoint &point : core.phase2_points)
            draw_marker(painter, plot.at(100 * point.overhead, point.log10_probability),
                        marker_of(Probability::Phase2, point.embedding), colour_of(c, point.embedding));
    }
    for (std::size_t c = 0; c < summary.cores().size(); ++c) {
        const CoreSummary &core = summary.cores()[c];
        for (const ParetoFront *front : {&core.phase2, &core.distinguishing}) {
            const Probability probability = front == &core.phase2 ? Probability::Phase2 : Probability::Distinguishing;
            QPolygonF line;
            for (const CombinationResult &member : front->members())
                line << plot.at(100 * member.overhead, log10_of(probability_of(member, probability)));
            const QColor colour = colour_by_embedding ? QColor(Qt::black) : series_colour(c);
            painter.setPen(QPen(colour, 2, front == &core.phase2 ? Qt::SolidLine : Qt::DashLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawPolyline(line);
        }
    }
    painter.setClipping(false);

    // Legend: cores by colour (or the one core by name), probabilities and
    // embeddings by marker (and colour), fronts by line.
    PlotLegend legend(painter, plot.legend_origin());
    for (std::size_t c = 0; c < summary.cores().size(); ++c) {
        const QString name = QString::fromStdString(summary.cores()[c].dfg);
        if (colour_by_embedding)
            legend.text(name);
        else
            legend.swatch(series_colour(c), name);
    }
    legend.gap();
    for (EmbeddingMode mode : embeddings) {
        const QString embedding = QString(", ") + embedding_mode_name(mode);
        const QColor colour = colour_by_embedding ? colour_of(0, mode) : QColor(Qt::black);
        legend.marker(marker_of(Probability::Phase2, mode), colour, "pc_phase2" + embedding);
        legend.marker(marker_of(Probability::Distinguishing, mode), colour, "pc_distinguishing" + embedding);
    }
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
