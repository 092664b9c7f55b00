// Formatting a run's results: labelled lines shared with the key file, or JSON
// with the members in a fixed order and doubles as shortest round-trip numbers.
#include "cli/output.h"

#include <cmath>
#include <cstdio>

#include <QLocale>
#include <QString>

namespace velnor::cli {

std::string json_string(const std::string &text) {
    // Any bytes that are not UTF-8 become replacement characters, so the output stays valid JSON.
    const std::string utf8 = QString::fromStdString(text).toStdString();
    std::string out = "\"";
    for (char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::string json_number(double value) {
    if (!std::isfinite(value))
        return "null";
    return QString::number(value, 'g', QLocale::FloatingPointShortest).toStdString();
}

void JsonObject::add(const char *name, const std::string &json_value) {
    if (layout_ == Layout::Indented)
        text_ += first_ ? "{\n  " : ",\n  ";
    else
        text_ += first_ ? "{" : ", ";
    first_ = false;
    text_ += json_string(name) + ": " + json_value;
}

std::string JsonObject::close() const {
    if (layout_ == Layout::OneLine)
        return (first_ ? std::string("{") : text_) + "}\n";
    return (first_ ? std::string("{") : text_ + "\n") + "}\n";
}

std::string figures_text(const FlowRun &run) {
    return key_file_figure_lines(key_file_contents(run)) + "signature : " + embedded_signature(run) + "\n";
}

void JsonObject::add_integers(const char *name, const std::vector<int32_t> &values) {
    std::string list = "[";
    for (std::size_t i = 0; i < values.size(); ++i)
        list += (i == 0 ? "" : ", ") + std::to_string(values[i]);
    add(name, list + "]");
}

void add_figure_members(MemberSink &json, const RunFigures &run, FigureMembers which) {
    const EmbeddingFigures &f = run.figures;
    if (which.dfg)
        json.add_string("dfg", run.dfg);
    json.add_integer("operations", run.operations);
    json.add_integer("registers_before", f.register_count_before);
    json.add_integer("registers_after", run.registers_after);
    json.add_number("initial_area", f.initial_area);
    json.add_number("initial_latency", f.initial_latency);
    json.add_number("max_area", f.max_area);
    json.add_number("max_latency", f.max_latency);
    json.add_number("area_phase1", f.area_phase1);
    json.add_number("area_phase2", f.area_phase2);
    json.add_number("latency_phase1", f.latency_phase1);
    json.add_number("latency_phase2", f.latency_phase2);
    json.add_number("initial_cost", f.initial_cost);
    json.add_number("cost_phase1", f.cost_phase1);
    json.add_number("cost_phase2", f.cost_phase2);
    json.add_number("pc_phase1", f.pc_phase1);
    json.add_number("pc_phase2", f.pc_phase2);
    json.add_integer("zero_count", f.zero_count);
    json.add_integer("one_count", f.one_count);
    json.add_integer("effective_one_count", f.effective_one_count);
    json.add_integers("embedded_one_operations", run.one_operations);
    if (which.hash_output)
        json.add_string("hash_output", run.hash_output);
    json.add_string("signature", run.signature);
}

std::string figures_json(const FlowRun &run, const SaveOutcome *saved) {
    JsonObject json;
    add_figure_members(json, run_figures(run));
    if (saved) {
        json.add_string("report_file", saved->report_file);
        json.add_string("key_file", saved->key_file);
    }
    return json.close();
}

}  // namespace velnor::cli
