// The options that say how the owner ran the flow, read from a parsed command
// line: given one by one (run, verify, attack) or as an owner's record in
// their place (verify, attack).
#pragma once

#include <optional>

#include <QCommandLineParser>
#include <QString>

#include "cli/run_flow.h"

namespace velnor::cli {

// The run's valued options, in the window's order (--embedding apart).
inline constexpr const char *run_value_options[] = {"dfg",         "library", "adders",    "multipliers",
                                                    "subtractors", "comparators", "count", "encodings",
                                                    "order",       "rounds",  "size"};

// The value of an option, or nothing when it is not given.
std::optional<QString> optional_value(const QCommandLineParser &parser, const char *name);

// The request the run's options give; refused naming the first required option missing.
RunRequest request_from(const QCommandLineParser &parser);

// --record. For run and demo a file to write; in place of the run's options
// (replaces_run_options) it stands for them, so that only the files' places
// (--dfg, --library) may be given beside it. Refused naming --record.
void check_record_option(const QCommandLineParser &parser, bool replaces_run_options);

// The owner's run: from the record when --record is given, else from the
// run's options. A recorded file is read only when its SHA-512 matches.
RunRequest owner_request(const QCommandLineParser &parser);

}  // namespace velnor::cli
