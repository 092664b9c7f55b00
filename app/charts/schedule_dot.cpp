// Writes the scheduled data-flow graph in Graphviz's DOT language.
#include "app/charts/schedule_dot.h"

#include <algorithm>
#include <map>
#include <sstream>
#include <vector>

namespace velnor::charts {
namespace {

// A DOT string literal: quotes and backslashes escaped.
std::string quoted(const std::string &text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string node_name(int32_t id) { return "op" + std::to_string(id); }

}  // namespace

std::string schedule_dot(const Datapath &datapath, const ChartMarks &marks) {
    std::ostringstream out;
    out << "digraph " << quoted(datapath.dfg.empty() ? "datapath" : datapath.dfg) << " {\n";
    out << "  label=" << quoted("schedule of " + datapath.dfg + ": " + std::to_string(datapath.control_steps) +
                                " control steps; bold: bound to a fixed variant by the signature")
        << ";\n  labelloc=t;\n  rankdir=TB;\n  node [shape=box, fontname=\"Helvetica\"];\n";

    std::map<int32_t, std::vector<int32_t>> in_step;
    for (const DatapathOperation &operation : datapath.operations) {
        const bool one = std::binary_search(marks.one_operations.begin(), marks.one_operations.end(), operation.id);
        std::string label = std::to_string(operation.id) + " " + operation.type;
        if (operation.variant != unbound_variant)
            label += " v" + std::to_string(operation.variant);
        out << "  " << node_name(operation.id) << " [label=" << quoted(label);
        if (one)
            out << ", style=\"bold,filled\", penwidth=3, fillcolor=\"#ffd27f\"";
        out << "];\n";
        if (operation.step >= 1)
            in_step[operation.step].push_back(operation.id);
    }
    for (const auto &[step, ids] : in_step) {
        out << "  { rank=same; /* step " << step << " */";
        for (int32_t id : ids)
            out << " " << node_name(id) << ";";
        out << " }\n";
    }
    for (const DatapathOperation &operation : datapath.operations) {
        // A square (x * x) depends once on its producer.
        if (operation.first_operand != 0)
            out << "  " << node_name(operation.first_operand) << " -> " << node_name(operation.id) << ";\n";
        if (operation.second_operand != 0 && operation.second_operand != operation.first_operand)
            out << "  " << node_name(operation.second_operand) << " -> " << node_name(operation.id) << ";\n";
    }
    out << "}\n";
    return out.str();
}

}  // namespace velnor::charts
