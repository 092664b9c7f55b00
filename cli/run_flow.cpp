// The batch tool's flow: the two files loaded, then each option handed to the
// stage of its field, in the window's order.
#include "cli/run_flow.h"

#include <QFile>
#include <QStringList>

#include "core/loading.h"
#include "flow/typed_entries.h"
#include "hash/encoding.h"
#include "hash/hash_chain.h"
#include "hash/key_text.h"

namespace velnor::cli {
namespace {

std::string path_of(const QString &text) { return QFile::encodeName(text).toStdString(); }

std::optional<std::string> text_of(const std::optional<QString> &value) {
    return value ? std::optional<std::string>(value->toStdString()) : std::nullopt;
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

// The typed values after loading, as the form's fields hold them.
TypedEntries typed_entries(const RunRequest &request) {
    TypedEntries entries;
    entries.adders = text_of(request.adders);
    entries.multipliers = text_of(request.multipliers);
    entries.subtractors = text_of(request.subtractors);
    entries.comparators = text_of(request.comparators);
    entries.count = text_of(request.count);
    entries.encodings = number_line(request.encodings);
    entries.order = request.order.toStdString();
    entries.rounds = number_line(request.rounds);
    return entries;
}

// Numbers as a user types them into a field: blank-separated.
QString typed_numbers(const std::vector<int> &numbers) {
    QStringList words;
    for (int number : numbers)
        words << QString::number(number);
    return words.join(' ');
}

std::optional<QString> typed_count(const std::optional<int> &units) {
    return units ? std::optional<QString>(QString::number(*units)) : std::nullopt;
}

// The path of a recorded file once its bytes are checked; a copy's refusal names the option that gave it.
QString checked_file(const RecordedFile &recorded, const char *copy_option, const std::optional<QString> &copy) {
    std::string path;
    at_option(copy ? copy_option : "record", [&] {
        path = checked_recorded_file(recorded, copy ? std::optional<std::string>(path_of(*copy)) : std::nullopt);
    });
    return QFile::decodeName(path.c_str());
}

}  // namespace

RunRequest run_request_of(const OwnerRecord &record, const std::optional<QString> &dfg_copy,
                          const std::optional<QString> &library_copy) {
    RunRequest request;
    request.dfg = checked_file(record.dfg, "dfg", dfg_copy);
    request.library = checked_file(record.library, "library", library_copy);
    request.adders = typed_count(record.adders);
    request.multipliers = typed_count(record.multipliers);
    request.subtractors = typed_count(record.subtractors);
    request.comparators = typed_count(record.comparators);
    request.count = QString::number(record.count);
    request.encodings = typed_numbers(record.encodings);
    request.order = QString::fromStdString(record.order);
    request.rounds = typed_numbers(record.rounds);
    request.size = QString::number(record.size);
    request.embedding = QString(embedding_mode_name(record.embedding));
    return request;
}

EmbeddingMode requested_embedding(const RunRequest &request) {
    if (!request.embedding)
        return EmbeddingMode::Specified;
    const std::optional<EmbeddingMode> mode = embedding_mode_named(request.embedding->toStdString());
    if (!mode)
        throw Refusal(Refusal::Reason::CommandLine, "--embedding: '" + request.embedding->toStdString() +
                                                        "' is not an embedding; use specified or strong");
    return *mode;
}

FlowRun run_resources(const RunRequest &request, std::ostream &log) {
    FlowRun run;
    load_hashable_core(run.design, request, log);
    at_option("library", [&] { load_module_library(run.design, path_of(request.library)); });
    enter_resources(run, typed_entries(request), log);
    return run;
}

void run_key_and_size(FlowRun &run, const RunRequest &request, std::ostream &log) {
    const TypedEntries entries = typed_entries(request);
    enter_key(run, entries, log);
    enter_constraint_size(run, request.size.toStdString(), requested_embedding(request), log);
}

FlowRun run_flow(const RunRequest &request, std::ostream &log) {
    FlowRun run = run_resources(request, log);
    run_key_and_size(run, request, log);
    return run;
}

}  // namespace velnor::cli
