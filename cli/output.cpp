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
    if (which.embedding)
        json.add_string("embedding", embedding_mode_name(f.mode));
    if (f.mode == EmbeddingMode::Strong) {
        json.add_integer("together", f.together_count);
        json.add_number("log10_pc", f.log10_pc);
    }
}

std::string figures_json(const FlowRun &run, const SaveOutcome *saved, bool name_embedding) {
    JsonObject json;
    FigureMembers which;
    // A run that does not choose an embedding prints exactly what it printed before there was a choice.
    which.embedding = name_embedding || run.embedding.figures.mode == EmbeddingMode::Strong;
    add_figure_members(json, run_figures(run), which);
    if (saved) {
        json.add_string("report_file", saved->report_file);
        json.add_string("key_file", saved->key_file);
    }
    return json.close();
}

}  // namespace velnor::cli
