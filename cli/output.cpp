// Formatting a run's results: labelled lines shared with the key file, or JSON
// with the members in a fixed order and doubles as shortest round-trip numbers.
#include "cli/output.h"

#include <sstream>

#include "cli/json_text.h"

namespace velnor::cli {

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
