// The stages of the flow. Each builds what it accepts aside and stores it in
// the run only once nothing can be refused any more.
#include "flow/flow.h"

#include "core/binding.h"
#include "hash/encoding.h"
#include "hash/hash_chain.h"
#include "synthesis/design_checks.h"
#include "synthesis/pipeline.h"
#include "synthesis/resource_constraints.h"
#include "synthesis/strong_embedding.h"

namespace velnor {
namespace {

// How refusals name a type's operations, units and bound.
struct UnitWords {
    const char *operations;
    const char *units;
    const char *bound_source;
};

std::optional<UnitWords> unit_words(int32_t type) {
    switch (type) {
    case Add: return UnitWords{"additions", "adders", "the library's largest number of adders"};
    case Multiply: return UnitWords{"multiplications", "multipliers", "the library's largest number of multipliers"};
    case Subtract: return UnitWords{"subtractions", "subtractors", "the number of subtractions in the DSP core"};
    case Compare: return UnitWords{"comparisons", "comparators", "the number of comparisons in the DSP core"};
    default: return std::nullopt;
    }
}

std::string blocks(int n) { return std::to_string(n) + (n == 1 ? " block" : " blocks"); }

void record_initial_figures(FlowRun &run) {
    run.initial_area = compute_area(run.design, static_cast<int32_t>(run.design.register_lifetimes.size()));
    run.initial_latency = compute_latency(run.design);
}

}  // namespace

ResourceEntry accept_resource_count(FlowRun &run, int32_t type, std::optional<int> count, std::ostream &log) {
    const std::optional<UnitWords> words = unit_words(type);
    const std::optional<int32_t> bound = resource_bound(run.design, type);
    if (!words || !bound || run.design.operation_types.count(type) == 0)
        return ResourceEntry::NotNeeded;
    if (!count)
        throw Refusal(Refusal::Reason::ResourceCountMissing, std::string("missing; the DSP core has ") +
                                                                 words->operations + ", so a number of " +
                                                                 words->units + " is needed");
    if (*count < 1 || *count > *bound)
        throw Refusal(*count == 0 ? Refusal::Reason::ResourceCountZero : Refusal::Reason::ResourceCountOutOfRange,
                      "must be from 1 to " + std::to_string(*bound) + " (" + words->bound_source + "), got " +
                          std::to_string(*count));
    run.design.resources[type] = *count;
    if (type == Add)
        log << *count << "\n";
    return ResourceEntry::Accepted;
}

void accept_resource_constraints(FlowRun &run, std::ostream &log) {
    if (!constraints_complete(run.design))
        throw Refusal(Refusal::Reason::ResourceCountMissing, "a unit count is missing");
    synthesize_under_constraints(run.design, log);
    verify_synthesized(run.design, scheduling_limits(run.design), "main design");
    build_reference_designs(run.design);
    record_initial_figures(run);
}

void accept_encoding_count(FlowRun &run, int count) {
    if (count < 1 || count > encoding_rule_count)
        throw Refusal(Refusal::Reason::EncodingCount, "the number of encodings must be from 1 to " +
                                                          std::to_string(encoding_rule_count) + ", got " +
                                                          std::to_string(count));
    run.encoding_count = count;
    run.hash_engine.operations_copy = operation_steps(run.design.operations);
    run.hash_engine.design_path = run.design.dfg_path;
}

void accept_encodings(FlowRun &run, const NumberLine &line) {
    std::vector<int> rules = parse_encodings_for(line, run.encoding_count);
    run.encoded_inputs = encode_blocks(run.hash_engine.operations_copy, rules, run.encoding_count);
    run.encodings = std::move(rules);
}

void accept_order_key(FlowRun &run, const std::string &key, std::ostream &log) {
    std::vector<int> order = input_order(key, run.encoding_count);
    log << "INPUT ORDER:\n";
    for (int block : order)
        log << block << ' ';
    log.flush();
    run.order = std::move(order);
    run.order_key = key;
}

void accept_rounds(FlowRun &run, const NumberLine &line, std::ostream &log) {
    log << line.text;
    std::vector<int> rounds = parse_rounds(line);
    log << "Round count :\n";
    const int needed = 2 * run.encoding_count;
    if (rounds.size() != static_cast<std::size_t>(needed))
        throw Refusal(Refusal::Reason::RoundCountMismatch, std::to_string(rounds.size()) +
                                                               " round counts given, but " + blocks(needed) +
                                                               " need one each (two per encoding)");
    for (int count : rounds)
        log << count << ' ';
    log.flush();
    try {
        run.hash_output = run_hash_chain(run.hash_engine, run.encoded_inputs, run.order, rounds, log);
    } catch (const Refusal &refusal) {
        throw Refusal(refusal.reason(), std::string("the hash chain cannot run: ") + refusal.what());
    }
    run.rounds = std::move(rounds);
    run.rounds_text = line.text;
    record_initial_figures(run);
}

void accept_constraint_size(FlowRun &run, int64_t size, std::ostream &log, EmbeddingMode mode) {
    Design unsigned_design = run.design;
    run.embedding =
        mode == EmbeddingMode::Strong
            ? embed_strong_signature(run.design, run.hash_output, size, run.initial_area, run.initial_latency, log)
            : embed_signature(run.design, run.hash_output, size, run.initial_area, run.initial_latency, log);
    run.unsigned_design = std::move(unsigned_design);
    run.constraint_size = size;
    verify_embedded(run.design, run.embedding.constraints);
}

std::string embedded_signature(const FlowRun &run) {
    const EmbeddingFigures &f = run.embedding.figures;
    return run.hash_output.substr(0, static_cast<std::size_t>(f.zero_count + f.one_count));
}

KeyFileContents key_file_contents(const FlowRun &run) {
    KeyFileContents key;
    key.adders = unit_count(run.design, Add);
    key.multipliers = unit_count(run.design, Multiply);
    key.encoding_count = run.encoding_count;
    key.encodings = run.encodings;
    key.encoded_inputs = run.encoded_inputs;
    key.stego_key_text = run.order_key;
    key.rounds_key = rounds_key(run.rounds);
    key.rounds_text = run.rounds_text;
    key.figures = run.embedding.figures;
    return key;
}

}  // namespace velnor
