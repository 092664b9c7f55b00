// The batch tool's flow: each option handed to the stage of its field, in the
// window's order; a refusal gets the option's name in front of its sentence.
#include "cli/run_flow.h"

#include <QFile>

#include "core/loading.h"
#include "core/quoted.h"
#include "hash/encoding.h"
#include "hash/hash_chain.h"
#include "hash/key_text.h"

namespace velnor::cli {
namespace {

std::string path_of(const QString &text) { return QFile::encodeName(text).toStdString(); }

// Runs one stage; a refusal names the option that carried the value.
template <typename Stage>
void at_option(const char *option, Stage stage) {
    try {
        stage();
    } catch (const Refusal &refusal) {
        throw Refusal(refusal.reason(), std::string("--") + option + ": " + refusal.what());
    }
}

int whole_number(const char *option, const QString &text) {
    const std::optional<int> value = parse_typed_integer(text.toStdString());
    if (!value)
        throw Refusal(Refusal::Reason::NotAWholeNumber,
                      std::string("--") + option + ": '" + quoted(text.toStdString()) + "' is not a whole number");
    return *value;
}

struct UnitOption {
    const char *option;
    int32_t type;
    const std::optional<QString> RunRequest::*value;
};

// The window's order: adders, multipliers, subtractors, comparators.
const UnitOption unit_options[] = {
    {"adders", Add, &RunRequest::adders},
    {"multipliers", Multiply, &RunRequest::multipliers},
    {"subtractors", Subtract, &RunRequest::subtractors},
    {"comparators", Compare, &RunRequest::comparators},
};

// --count, or by default how many rule numbers the encodings line holds.
int encoding_count(const RunRequest &request, const NumberLine &encodings) {
    if (request.count)
        return whole_number("count", *request.count);
    at_option("encodings", [&] { parse_encodings(encodings); });
    if (encodings.values.empty())
        throw Refusal(Refusal::Reason::TooFewEncodings, "--encodings: no rule number given");
    return static_cast<int>(encodings.values.size());
}

// The number of encodings the run asks for, as far as it can be told before the
// fields are checked in turn: --count when it is a number from 1 to 9, else how
// many rule numbers --encodings holds; none when neither tells.
std::optional<int> requested_encoding_count(const RunRequest &request) {
    if (request.count) {
        const std::optional<int> count = parse_typed_integer(request.count->toStdString());
        if (count && *count >= 1 && *count <= encoding_rule_count)
            return count;
        return std::nullopt;
    }
    try {
        const std::size_t given = parse_encodings(number_line(request.encodings)).size();
        return given >= 1 ? std::optional<int>(static_cast<int>(given)) : std::nullopt;
    } catch (const Refusal &) {
        return std::nullopt;
    }
}

// Loads the DSP core, refusing one the run's hash chain could never take before
// any time goes into synthesizing it.
void load_hashable_core(Design &design, const RunRequest &request, std::ostream &log) {
    const std::optional<int> encodings = requested_encoding_count(request);
    try {
        load_dsp_core(design, path_of(request.dfg), log, operation_limit(encodings.value_or(1)));
    } catch (const Refusal &refusal) {
        std::string with;
        if (refusal.reason() == Refusal::Reason::DspCoreTooLarge && encodings)
            with = " with " + std::to_string(*encodings) + (*encodings == 1 ? " encoding" : " encodings");
        throw Refusal(refusal.reason(), std::string("--dfg: ") + refusal.what() + with);
    }
}

}  // namespace

FlowRun run_flow(const RunRequest &request, std::ostream &log) {
    FlowRun run;
    load_hashable_core(run.design, request, log);
    at_option("library", [&] { load_module_library(run.design, path_of(request.library)); });

    for (const UnitOption &unit : unit_options) {
        const std::optional<QString> &text = request.*(unit.value);
        const std::optional<int> count = text ? std::optional<int>(whole_number(unit.option, *text)) : std::nullopt;
        at_option(unit.option, [&] { accept_resource_count(run, unit.type, count, log); });
    }
    accept_resource_constraints(run, log);

    const NumberLine encodings = number_line(request.encodings);
    const int count = encoding_count(request, encodings);
    at_option("count", [&] { accept_encoding_count(run, count); });
    try {
        accept_encodings(run, encodings);
    } catch (const Refusal &refusal) {
        if (refusal.reason() != Refusal::Reason::TooFewEncodings)
            throw Refusal(refusal.reason(), std::string("--encodings: ") + refusal.what());
        throw Refusal(refusal.reason(), "--encodings: " + std::to_string(encodings.values.size()) +
                                            " rule numbers given, but --count asks for " + std::to_string(count));
    }
    at_option("order", [&] { accept_order_key(run, request.order.toStdString(), log); });
    at_option("rounds", [&] { accept_rounds(run, number_line(request.rounds), log); });

    const int size = whole_number("size", request.size);
    at_option("size", [&] { accept_constraint_size(run, size, log); });
    return run;
}

}  // namespace velnor::cli
