// The picture of an exploration: both probabilities of coincidence on a log
// scale against the cost overhead in percent, a colour per DSP core (per
// embedding when one core is explored in several), a marker shape per
// probability and embedding, each Pareto front as a line, labelled axes and a
// legend. The batch tool saves it as a file; the window shows the same drawing.
#pragma once

#include <string>

#include <QRectF>

#include "flow/exploration_summary.h"
#include "plot/plot_frame.h"

class QPainter;

namespace velnor {

// Draws the plot into area of painter.
void draw_exploration_plot(QPainter &painter, const QRectF &area, const ExplorationSummary &summary);

// Writes the plot to path: SVG for a name ending in ".svg", PNG for ".png".
// Needs a running QGuiApplication (or QApplication). Returns false, with
// error set, when the file cannot be written.
bool save_exploration_plot(const std::string &path, const ExplorationSummary &summary, std::string &error);

}  // namespace velnor
