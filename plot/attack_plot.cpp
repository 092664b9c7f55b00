// The x axis runs over the fractions 0 to 1, the y axis over the decades that
// hold every median and alpha; each attack's points are joined by ascending
// fraction.
#include "plot/attack_plot.h"

#include <algorithm>
#include <cmath>
#include <map>

#include <QPainter>

namespace velnor {
namespace {

struct AttackLook {
    AttackKind kind;
    Marker marker;
    const char *label;
};

const AttackLook looks[] = {{AttackKind::Move, Marker::Disc, "move variables"},
                            {AttackKind::Rebind, Marker::Triangle, "switch module variants"},
                            {AttackKind::Reallocate, Marker::Square, "reallocate every register"}};

// The median of each tampering attack by fraction; the reallocation sits at 1.
std::map<double, double> medians_of(const std::vector<AttackSummaryRow> &rows, AttackKind kind) {
    std::map<double, double> medians;
    for (const AttackSummaryRow &row : rows)
        if (row.kind == kind && row.trials > 0)
            medians[kind == AttackKind::Reallocate ? 1.0 : row.fraction] = row.median_log10_pc;
    return medians;
}

PlotAxes axes_of(const std::vector<AttackSummaryRow> &rows, double alpha, const std::string &subject) {
    PlotAxes axes;
    axes.title = QString::fromStdString(subject.empty() ? "Signature under tampering"
                                                        : "Signature under tampering: " + subject);
    axes.x_label = "fraction tampered";
    axes.y_label = "median pc_distinguishing (log scale)";
    axes.x_min = -0.02;
    axes.x_max = 1.02;
    double lowest = std::log10(alpha), highest = lowest;
    for (const AttackLook &look : looks)
        for (const auto &[fraction, median] : medians_of(rows, look.kind)) {
            lowest = std::min(lowest, median);
            highest = std::max(highest, median);
        }
    decade_range(lowest, highest, axes);
    return axes;
}

}  // namespace

void draw_attack_plot(QPainter &painter, const QRectF &area, const std::vector<AttackSummaryRow> &rows, double alpha,
                      const std::string &subject) {
    painter.save();
    const PlotFrame plot(area, axes_of(rows, alpha, subject));
    plot.draw(painter);

    painter.setClipRect(plot.frame().adjusted(-5, -5, 5, 5));
    const QPen alpha_pen(Qt::darkGray, 1.5, Qt::DashLine);
    painter.setPen(alpha_pen);
    painter.drawLine(plot.at(0, std::log10(alpha)), plot.at(1, std::log10(alpha)));
    for (std::size_t a = 0; a < std::size(looks); ++a) {
        QPolygonF line;
        for (const auto &[fraction, median] : medians_of(rows, looks[a].kind))
            line << plot.at(fraction, median);
        painter.setPen(QPen(series_colour(a), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(line);
        for (const QPointF &point : line)
            draw_marker(painter, point, looks[a].marker, series_colour(a));
    }
    painter.setClipping(false);

    PlotLegend legend(painter, plot.legend_origin());
    for (std::size_t a = 0; a < std::size(looks); ++a)
        legend.marker(looks[a].marker, series_colour(a), looks[a].label);
    legend.gap();
    legend.line(alpha_pen, QString("alpha = %1").arg(alpha, 0, 'g', 3));
    legend.text("verdict present below it");
    painter.restore();
}

bool save_attack_plot(const std::string &path, const std::vector<AttackSummaryRow> &rows, double alpha,
                      const std::string &subject, std::string &error) {
    return save_plot(
        path, "velnor attack",
        [&](QPainter &painter, const QRectF &area) { draw_attack_plot(painter, area, rows, alpha, subject); }, error);
}

}  // namespace velnor
