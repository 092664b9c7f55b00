// The batch tool's flow: every field checked by the window's own rule, in the
// window's order, each refusal turned into one plain sentence naming its option.
#include "cli/run_flow.h"

#include <QFile>

#include "core/binding.h"
#include "core/loading.h"
#include "hash/encoding.h"
#include "hash/hash_chain.h"
#include "hash/hash_engine.h"
#include "hash/stego_key.h"
#include "synthesis/key_file_contents.h"
#include "synthesis/resource_constraints.h"

namespace velnor::cli {
namespace {

std::string path_of(const QString &text) { return QFile::encodeName(text).toStdString(); }

int whole_number(const std::string &option, const QString &text) {
    const std::optional<int> value = parse_typed_integer(text.toStdString());
    if (!value)
        throw RefusedValue(option, "'" + text.toStdString() + "' is not a whole number");
    return *value;
}

struct UnitField {
    const char *option;
    int32_t type;
    const std::optional<QString> RunRequest::*value;
    const char *operations;  // what the DSP core holds of the type
    const char *units;
    const char *bound_source;
};

// The window's order: adders, multipliers, subtractors, comparators.
const UnitField unit_fields[] = {
    {"adders", Add, &RunRequest::adders, "additions", "adders", "the library's largest number of adders"},
    {"multipliers", Multiply, &RunRequest::multipliers, "multiplications", "multipliers",
     "the library's largest number of multipliers"},
    {"subtractors", Subtract, &RunRequest::subtractors, "subtractions", "subtractors",
     "the number of subtractions in the DSP core"},
    {"comparators", Compare, &RunRequest::comparators, "comparisons", "comparators",
     "the number of comparisons in the DSP core"},
};

void take_resource_counts(Design &design, const RunRequest &request, std::ostream &log) {
    for (const UnitField &field : unit_fields) {
        const std::optional<QString> &text = request.*(field.value);
        if (!text) {
            if (design.operation_types.count(field.type) != 0)
                throw RefusedValue(field.option, std::string("missing; the DSP core has ") + field.operations +
                                                     ", so a number of " + field.units + " is needed");
            continue;
        }
        const int count = whole_number(field.option, *text);
        const ResourceEntryVerdict verdict = check_resource_entry(design, field.type, count);
        if (verdict.outcome == ResourceEntryVerdict::NotNeeded)
            continue;
        if (verdict.outcome == ResourceEntryVerdict::Refused) {
            const int bound = resource_bound(design, field.type);
            throw RefusedValue(field.option, "must be from 1 to " + std::to_string(bound) + " (" +
                                                 field.bound_source + "), got " + std::to_string(count));
        }
        design.resources[field.type] = count;
        if (field.type == Add)
            log << count << "\n";
    }
}

// The encodings line for n blocks, by the window's own rule.
std::vector<int> take_encodings(const RunRequest &request, int n) {
    try {
        return parse_encodings_for(request.encodings, n);
    } catch (const KeyFormatError &) {
    }
    std::size_t given = 0;
    try {
        given = parse_encodings(request.encodings).size();
    } catch (const KeyFormatError &) {
        throw RefusedValue("encodings", "'" + request.encodings.toStdString() +
                                            "' is not a list of distinct rule numbers from 1 to 9 "
                                            "separated by spaces");
    }
    throw RefusedValue("encodings",
                       std::to_string(given) + " rule numbers given, but --count asks for " + std::to_string(n));
}

std::string blocks(int n) { return std::to_string(n) + (n == 1 ? " block" : " blocks"); }

}  // namespace

RunResult run_flow(const RunRequest &request, std::ostream &log) {
    RunResult result;
    Design &design = result.design;

    try {
        load_dsp_core(design, path_of(request.dfg), log);
    } catch (const LoadError &error) {
        throw RefusedValue("dfg", error.what());
    }
    try {
        load_module_library(design, path_of(request.library));
    } catch (const LoadError &error) {
        throw RefusedValue("library", error.what());
    }

    take_resource_counts(design, request, log);
    synthesize_under_constraints(design, log);
    const auto register_count = [&design] { return static_cast<int32_t>(design.register_lifetimes.size()); };
    double initial_area = compute_area(design, register_count());
    double initial_latency = compute_latency(design);

    // Number of encodings, then the encodings themselves.
    std::vector<int> encodings;
    int n = 0;
    if (request.count) {
        n = whole_number("count", *request.count);
        if (n < 1 || n > 9)
            throw RefusedValue("count", "the number of encodings must be from 1 to 9, got " + std::to_string(n));
        encodings = take_encodings(request, n);
    } else {
        encodings = take_encodings(request, 0);
        n = static_cast<int>(encodings.size());
        if (n == 0)
            throw RefusedValue("encodings", "no rule number given");
    }

    HashEngine engine;
    engine.operations_copy = design.operations;
    engine.design_path = design.dfg_path;
    std::vector<std::string> encoded_inputs = encode_blocks(engine.operations_copy, encodings, n);

    // The order in which the blocks are hashed again.
    const std::string order_key = request.order.toStdString();
    std::vector<int> order;
    try {
        order = input_order(order_key, n);
    } catch (const KeyFormatError &error) {
        const int size = order_key_size(n);
        if (std::string(error.what()) == "wrong size key")
            throw RefusedValue("order", "the key for " + std::to_string(n) + " encodings has " +
                                            std::to_string(size) + " characters, got " +
                                            std::to_string(order_key.size()));
        throw RefusedValue("order", "each group of " + std::to_string(size / n) +
                                        " characters must read, in binary, a block number below " + std::to_string(n));
    }
    log << "INPUT ORDER:\n";
    for (int entry : order)
        log << entry << " ";

    // The round counts, then the hash chain.
    log << request.rounds.toStdString();
    std::vector<int> rounds;
    try {
        rounds = parse_rounds_for(request.rounds, n);
    } catch (const KeyFormatError &error) {
        if (std::string(error.what()) != "inconsistent input")
            throw RefusedValue("rounds", "'" + request.rounds.toStdString() +
                                             "' is not a list of round counts from 1 to 80 separated by spaces");
        log << "Round count :\n";
        throw RefusedValue("rounds", std::to_string(parse_rounds(request.rounds).size()) + " round counts given, but " +
                                         blocks(2 * n) + " need one each (two per encoding)");
    }
    log << "Round count :\n";
    for (int r : rounds)
        log << r << " ";
    log.flush();
    try {
        result.hash_output = run_hash_chain(engine, encoded_inputs, order, rounds, log);
    } catch (const HashChainError &error) {
        throw RefusedValue("rounds", std::string("the hash chain cannot run: ") + error.what());
    }
    result.chain_log = engine.chain_log;
    initial_area = compute_area(design, register_count());
    initial_latency = compute_latency(design);

    // The constraint size: the signature is embedded.
    const int size = whole_number("size", request.size);
    result.datapath_before = datapath_of(design);
    try {
        result.figures = embed_signature(design, result.hash_output, size, initial_area, initial_latency, log);
    } catch (const ConstraintSizeError &error) {
        throw RefusedValue("size", error.what());
    }
    result.signature = result.hash_output.substr(0, static_cast<std::size_t>(size));

    KeyFileContents &key = result.key_file;
    key = key_file_contents(design, result.figures);
    key.encoding_count = n;
    key.encodings = encodings;
    key.encoded_inputs = encoded_inputs;
    key.stego_key_text = order_key;
    key.rounds_key = rounds_key(rounds);
    key.rounds_text = request.rounds.toStdString();
    return result;
}

}  // namespace velnor::cli
