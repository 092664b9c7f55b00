// Counts, the number of threads and parse errors, told as every command tells them.
#include "cli/option_values.h"

#include <algorithm>
#include <string>
#include <thread>

#include "cli/message_text.h"
#include "core/quoted.h"
#include "core/refusal.h"

namespace velnor::cli {

std::string parse_error(const QCommandLineParser &parser) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
        return "Unknown option '" + velnor::quoted(unknown.first().toStdString()) + "'.";
    return parser.errorText().toStdString();
}

long long counted_option(const QCommandLineParser &parser, const char *option, long long most) {
    bool ok = false;
    const long long value = parser.value(option).toLongLong(&ok);
    if (!ok || value < 1 || value > most)
        throw Refusal(Refusal::Reason::CommandLine, std::string("--") + option + ": " +
                                                        quoted(parser.value(option).toStdString()) +
                                                        " is not a whole number from 1 to " + std::to_string(most));
    return value;
}

int thread_count(const QCommandLineParser &parser) {
    if (parser.isSet("threads"))
        return static_cast<int>(counted_option(parser, "threads", max_threads));
    const unsigned cores = std::thread::hardware_concurrency();
    return static_cast<int>(cores == 0 ? 1 : std::min<unsigned>(cores, max_threads));
}

}  // namespace velnor::cli
