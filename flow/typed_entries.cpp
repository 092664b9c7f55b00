// Each typed value is read by its field's rule and handed to its stage; a
// refusal gets the option's name in front of its sentence.
#include "flow/typed_entries.h"

#include "core/quoted.h"
#include "hash/encoding.h"

namespace velnor {
namespace {

int whole_number(const char *option, const std::string &text) {
    const std::optional<int> value = parse_typed_integer(text);
    if (!value)
        throw Refusal(Refusal::Reason::NotAWholeNumber,
                      std::string("--") + option + ": '" + quoted(text) + "' is not a whole number");
    return *value;
}

struct UnitOption {
    const char *option;
    int32_t type;
    const std::optional<std::string> TypedEntries::*value;
};

// The window's order: adders, multipliers, subtractors, comparators.
const UnitOption unit_options[] = {
    {"adders", Add, &TypedEntries::adders},
    {"multipliers", Multiply, &TypedEntries::multipliers},
    {"subtractors", Subtract, &TypedEntries::subtractors},
    {"comparators", Compare, &TypedEntries::comparators},
};

}  // namespace

int typed_encoding_count(const std::optional<std::string> &count, const NumberLine &encodings) {
    if (count)
        return whole_number("count", *count);
    at_option("encodings", [&] { parse_encodings(encodings); });
    if (encodings.values.empty())
        throw Refusal(Refusal::Reason::TooFewEncodings, "--encodings: no rule number given");
    return static_cast<int>(encodings.values.size());
}

void enter_resources(FlowRun &run, const TypedEntries &entries, std::ostream &log) {
    for (const UnitOption &unit : unit_options) {
        const std::optional<std::string> &text = entries.*(unit.value);
        const std::optional<int> count = text ? std::optional<int>(whole_number(unit.option, *text)) : std::nullopt;
        at_option(unit.option, [&] { accept_resource_count(run, unit.type, count, log); });
    }
    accept_resource_constraints(run, log);
}

void enter_key(FlowRun &run, const TypedEntries &entries, std::ostream &log) {
    const int count = typed_encoding_count(entries.count, entries.encodings);
    at_option("count", [&] { accept_encoding_count(run, count); });
    try {
        accept_encodings(run, entries.encodings);
    } catch (const Refusal &refusal) {
        if (refusal.reason() != Refusal::Reason::TooFewEncodings)
            throw Refusal(refusal.reason(), std::string("--encodings: ") + refusal.what());
        throw Refusal(refusal.reason(), "--encodings: " + std::to_string(entries.encodings.values.size()) +
                                            " rule numbers given, but --count asks for " + std::to_string(count));
    }
    at_option("order", [&] { accept_order_key(run, entries.order, log); });
    at_option("rounds", [&] { accept_rounds(run, entries.rounds, log); });
}

void enter_constraint_size(FlowRun &run, const std::string &size, EmbeddingMode mode, std::ostream &log) {
    const int value = whole_number("size", size);
    at_option("size", [&] { accept_constraint_size(run, value, log, mode); });
}

}  // namespace velnor
