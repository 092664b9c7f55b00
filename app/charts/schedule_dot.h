// The scheduled data-flow graph as Graphviz DOT text: one node per operation
// labelled with its id, operator and variant, one rank=same group per control
// step so that the steps read top to bottom, one edge per data dependence,
// and the operations of the one constraints drawn bold and filled.
#pragma once

#include <string>

#include "app/charts/chart_model.h"
#include "core/datapath.h"

namespace velnor::charts {

std::string schedule_dot(const Datapath &datapath, const ChartMarks &marks);

}  // namespace velnor::charts
