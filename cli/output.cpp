// Formatting a run's results: labelled lines shared with the key file, or JSON
// with the members in a fixed order and doubles as shortest round-trip numbers.
#include "cli/output.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include <QLocale>
#include <QString>

namespace velnor::cli {
namespace {

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

class JsonObject {
public:
    void add(const char *name, const std::string &json_value) {
        text_ += first_ ? "{\n  " : ",\n  ";
        first_ = false;
        text_ += json_string(name) + ": " + json_value;
    }
    void add_number(const char *name, double value) { add(name, json_number(value)); }
    void add_integer(const char *name, long long value) { add(name, std::to_string(value)); }
    void add_string(const char *name, const std::string &value) { add(name, json_string(value)); }
    std::string close() const { return (first_ ? std::string("{") : text_ + "\n") + "}\n"; }

private:
    std::string text_;
    bool first_ = true;
};

}  // namespace

std::string figures_text(const FlowRun &run) {
    const KeyFileContents key = key_file_contents(run);
    std::ostringstream strong;
    if (key.figures.mode == EmbeddingMode::Strong)
        strong << "log10 probability of coincidence : " << key.figures.log10_pc << "\n";
    return key_file_figure_lines(key) + key_file_embedding_lines(key) + strong.str() + "signature : " +
           embedded_signature(run) + "\n";
}

std::string figures_json(const FlowRun &run, const SaveOutcome *saved, bool name_embedding) {
    const EmbeddingFigures &f = run.embedding.figures;
    const Design &design = run.design;
    JsonObject json;
    json.add_string("dfg", design.dfg_name);
    json.add_integer("operations", static_cast<long long>(design.operations.size()));
    json.add_integer("registers_before", f.register_count_before);
    json.add_integer("registers_after", static_cast<long long>(design.register_lifetimes.size()));
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
    std::string ids = "[";
    const std::vector<int32_t> &one_operations = run.embedding.constraints.one_operations;
    for (std::size_t i = 0; i < one_operations.size(); ++i)
        ids += (i == 0 ? "" : ", ") + std::to_string(one_operations[i]);
    json.add("embedded_one_operations", ids + "]");
    json.add_string("hash_output", run.hash_output);
    json.add_string("signature", embedded_signature(run));
    // A run that does not choose an embedding prints exactly what it printed before there was a choice.
    if (name_embedding || f.mode == EmbeddingMode::Strong)
        json.add_string("embedding", embedding_mode_name(f.mode));
    if (f.mode == EmbeddingMode::Strong) {
        json.add_integer("together", f.together_count);
        json.add_number("log10_pc", f.log10_pc);
    }
    if (saved) {
        json.add_string("report_file", saved->report_file);
        json.add_string("key_file", saved->key_file);
    }
    return json.close();
}

}  // namespace velnor::cli
