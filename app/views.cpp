// Formatting of the console views. Numbers go through QString::number, so ints
// are decimal and doubles (formatted by the callers) use 'g' with 6 digits.
#include "app/views.h"

#include <algorithm>

namespace velnor {

QString schedule_table(const Design &design, VariantColumn column) {
    QString html = "<table border=\"1\"><tr><th>control step</th><th colspan=\"0\">operator</th></tr>";
    for (const auto &[step, ids] : design.list_steps) {
        html += "<tr><td>" + QString::number(step) + "</td>";
        for (int32_t id : ids) {
            const auto operation = design.operations.find(id);
            const int32_t type = operation == design.operations.end() ? -1 : operation->second.type;
            html += "<td>" + QString::number(id) + " (" + QChar(operation_symbol(type)) + ") " +
                    QString::number(shown_variant(design, id, column)) + "</td>";
        }
        html += "</tr>";
    }
    return html + "</table>";
}

QString register_table(const ControllerTable &table, int register_count) {
    QString html = "<table border=\"1\"><tr><th>cs(\\/)/color(->)</th>";
    for (int32_t c = 1; c <= table.highest_register(); ++c)
        html += "<th>" + QString::number(c) + "</th>";
    // An empty table leaves its header row open, as the allocation view always has.
    if (!table.empty())
        html += "</tr>";
    for (const int32_t step : table.steps()) {
        html += "<tr><td>" + QString::number(step) + "</td>";
        for (int32_t c = 1; c <= register_count; ++c) {
            html += "<td>";
            if (const int32_t held = table.at(step, c))
                html += QString::number(held - 1);  // variables are shown counted from 0
            html += "</td>";
        }
        html += "</tr>";
    }
    return html + "</table>";
}

QString zero_constraint_list(const std::vector<std::pair<int32_t, int32_t>> &pairs) {
    QString text;
    for (const auto &[i, j] : pairs)
        text += "( v" + QString::number(i - 1) + ", v" + QString::number(j - 1) + "),";
    return text;
}

QString id_list(const std::vector<int32_t> &ids) {
    QString text;
    for (int32_t id : ids)
        text += QString::number(id) + ",";
    return text;
}

QString encoded_strings(const std::vector<int> &encodings, const std::vector<std::string> &encoded_inputs) {
    QString text;
    for (std::size_t i = 0; i < encoded_inputs.size(); ++i) {
        const int rule = i < encodings.size() ? encodings[i] : 0;
        text += QString::number(rule) + " : " + QString::fromStdString(encoded_inputs[i]) + "\n";
    }
    return text;
}

}  // namespace velnor
