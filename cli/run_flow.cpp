// The batch tool's flow: each option handed to the stage of its field, in the
// window's order; a refusal gets the option's name in front of its sentence.
#include "cli/run_flow.h"

#include <QFile>

#include "core/loading.h"
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
                      std::string("--") + option + ": '" + text.toStdString() + "' is not a whole number");
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

// --embedding, read where the window reads its menu entry: as the size is accepted.
EmbeddingMode embedding_mode(const RunRequest &request) {
    if (!request.embedding)
        return EmbeddingMode::Specified;
    const std::optional<EmbeddingMode> mode = embedding_mode_named(request.embedding->toStdString());
    if (!mode)
        throw Refusal(Refusal::Reason::CommandLine, "--embedding: '" + request.embedding->toStdString() +
                                                        "' is not an embedding; use specified or strong");
    return *mode;
}

}  // namespace

FlowRun run_flow(const RunRequest &request, std::ostream &log) {
    FlowRun run;
    at_option("dfg", [&] { load_dsp_core(run.design, path_of(request.dfg), log); });
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
    const EmbeddingMode mode = embedding_mode(request);
    at_option("size", [&] { accept_constraint_size(run, size, log, mode); });
    return run;
}

}  // namespace velnor::cli
