// What velnor's plots share: probabilities of coincidence on a log scale
// (whole decades, 1 at the top at most) against a linear quantity, drawn with
// Qt Gui into a frame with a grid, ticks, axis labels, a title and a legend
// column on the right, and saved as SVG or PNG. The exploration's plot and the
// attack's plot are both drawn on it.
#pragma once

#include <functional>
#include <string>

#include <QColor>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;

namespace velnor {

// The size of a saved plot, in pixels.
constexpr int plot_width = 960, plot_height = 640;

struct PlotAxes {
    double x_min = 0, x_max = 1;   // linear
    double y_min = -1, y_max = 0;  // log10 of a probability, whole decades
    QString title, x_label, y_label;
};

// The whole decades that hold log10 values from lowest to highest, with a
// decade below a lowest that is itself whole, and never above 1 (log10 0).
void decade_range(double lowest, double highest, PlotAxes &axes);

// A round step giving about count ticks over span.
double tick_step(double span, int count);

// The axes placed in an area: where a value lands, and the drawing of the
// page (white, antialiased, 12-pixel text that stays set for the legend), the
// grid, ticks, labels, frame and title.
class PlotFrame {
public:
    PlotFrame(const QRectF &area, const PlotAxes &axes);
    // The point of x and the log10 y; a y below the axes sits on the bottom edge.
    QPointF at(double x, double log10_y) const;
    const QRectF &frame() const { return frame_; }
    void draw(QPainter &painter) const;
    // Where the legend column's first line goes.
    QPointF legend_origin() const { return QPointF(frame_.right() + 16, frame_.top()); }

private:
    QRectF area_, frame_;
    PlotAxes axes_;
};

// Disc and Square are filled, Triangle and Diamond outlined.
enum class Marker { Disc, Triangle, Square, Diamond };

void draw_marker(QPainter &painter, const QPointF &at, Marker marker, const QColor &colour);

// The colour of the index-th series (DSP core, attack), repeating after ten.
QColor series_colour(std::size_t index);

// The legend column: one line per entry, a swatch, a marker or a line in front
// of its text.
class PlotLegend {
public:
    PlotLegend(QPainter &painter, const QPointF &origin) : painter_(painter), x_(origin.x()), y_(origin.y()) {}
    void swatch(const QColor &colour, const QString &text);
    void marker(Marker marker, const QColor &colour, const QString &text);
    void line(const QPen &pen, const QString &text);
    void text(const QString &text);
    void gap() { y_ += 10; }

private:
    QPainter &painter_;
    double x_, y_;
};

// Writes a plot drawn by draw to path: SVG for a name ending in ".svg", PNG for
// ".png". Needs a running QGuiApplication (or QApplication). Returns false,
// with error set, when the file cannot be written.
bool save_plot(const std::string &path, const QString &title,
               const std::function<void(QPainter &, const QRectF &)> &draw, std::string &error);

// Whether path ends in a format save_plot writes.
bool is_plot_file_name(const std::string &path);

}  // namespace velnor
