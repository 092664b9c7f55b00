// The picture of an attack: the median log10 pc_distinguishing of the trials
// against the fraction of the design tampered with, a line per tampering
// attack (moved variables, switched variants), the reallocation of every
// register as a point at fraction 1, and the alpha line below which
// verification still finds the signature.
#pragma once

#include <string>
#include <vector>

#include <QRectF>

#include "flow/attack.h"
#include "plot/plot_frame.h"

class QPainter;

namespace velnor {

// Draws the plot of the summary's rows into area of painter; rows without
// trials and the forged claims are left out. subject (the core and the
// embedding) follows the title.
void draw_attack_plot(QPainter &painter, const QRectF &area, const std::vector<AttackSummaryRow> &rows, double alpha,
                      const std::string &subject);

// Writes the plot to path as save_plot does.
bool save_attack_plot(const std::string &path, const std::vector<AttackSummaryRow> &rows, double alpha,
                      const std::string &subject, std::string &error);

}  // namespace velnor
