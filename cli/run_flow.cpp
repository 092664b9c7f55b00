// The batch tool's flow: the two files loaded, then each option handed to the
// stage of its field, in the window's order.
#include "cli/run_flow.h"

#include <QFile>

#include "core/loading.h"
#include "flow/typed_entries.h"
#include "hash/key_text.h"

namespace velnor::cli {
namespace {

std::string path_of(const QString &text) { return QFile::encodeName(text).toStdString(); }

std::optional<std::string> text_of(const std::optional<QString> &value) {
    return value ? std::optional<std::string>(value->toStdString()) : std::nullopt;
}

}  // namespace

FlowRun run_flow(const RunRequest &request, std::ostream &log) {
    FlowRun run;
    at_option("dfg", [&] { load_dsp_core(run.design, path_of(request.dfg), log); });
    at_option("library", [&] { load_module_library(run.design, path_of(request.library)); });

    TypedEntries entries;
    entries.adders = text_of(request.adders);
    entries.multipliers = text_of(request.multipliers);
    entries.subtractors = text_of(request.subtractors);
    entries.comparators = text_of(request.comparators);
    entries.count = text_of(request.count);
    entries.encodings = number_line(request.encodings);
    entries.order = request.order.toStdString();
    entries.rounds = number_line(request.rounds);
    enter_resources(run, entries, log);
    enter_key(run, entries, log);
    enter_constraint_size(run, request.size.toStdString(), log);
    return run;
}

}  // namespace velnor::cli
