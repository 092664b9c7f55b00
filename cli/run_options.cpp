// The run's options on a command line, and the owner's record that may stand
// for them.
#include "cli/run_options.h"

#include <cstring>

#include <QFile>

#include "core/refusal.h"
#include "flow/owner_record.h"
#include "flow/typed_entries.h"

namespace velnor::cli {
namespace {

const char *const required_run_options[] = {"dfg", "library", "encodings", "rounds", "size"};

[[noreturn]] void refuse_option(const std::string &option, const std::string &message) {
    throw Refusal(Refusal::Reason::CommandLine, "--" + option + ": " + message);
}

}  // namespace

std::optional<QString> optional_value(const QCommandLineParser &parser, const char *name) {
    if (!parser.isSet(name))
        return std::nullopt;
    return parser.value(name);
}

RunRequest request_from(const QCommandLineParser &parser) {
    for (const char *name : required_run_options)
        if (!parser.isSet(name))
            refuse_option(name, "missing; run needs it (see velnor-cli --help)");
    RunRequest request;
    request.dfg = parser.value("dfg");
    request.library = parser.value("library");
    request.adders = optional_value(parser, "adders");
    request.multipliers = optional_value(parser, "multipliers");
    request.subtractors = optional_value(parser, "subtractors");
    request.comparators = optional_value(parser, "comparators");
    request.count = optional_value(parser, "count");
    request.encodings = parser.value("encodings");
    request.order = parser.value("order");
    request.rounds = parser.value("rounds");
    request.size = parser.value("size");
    request.embedding = optional_value(parser, "embedding");
    return request;
}

void check_record_option(const QCommandLineParser &parser, bool replaces_run_options) {
    if (!parser.isSet("record"))
        return;
    if (parser.value("record").isEmpty())
        refuse_option("record", "needs a file name");
    if (!replaces_run_options)
        return;
    for (const char *name : run_value_options)
        if (parser.isSet(name) && std::strcmp(name, "dfg") != 0 && std::strcmp(name, "library") != 0)
            refuse_option("record", std::string("replaces the run's options; do not give --") + name + " too");
    if (parser.isSet("embedding"))
        refuse_option("record", "replaces the run's options; do not give --embedding too");
}

RunRequest owner_request(const QCommandLineParser &parser) {
    if (!parser.isSet("record"))
        return request_from(parser);
    OwnerRecord record;
    at_option("record", [&] { record = read_owner_record(QFile::encodeName(parser.value("record")).toStdString()); });
    return run_request_of(record, optional_value(parser, "dfg"), optional_value(parser, "library"));
}

}  // namespace velnor::cli
