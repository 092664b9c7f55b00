// Values of options that more than one command of the batch tool takes
// (explore and attack): counts from 1 up to a bound, and --threads; and the
// parser's complaint about a command line it cannot parse.
#pragma once

#include <string>

#include <QCommandLineParser>

namespace velnor::cli {

// The parser's complaint when it cannot parse a command line, with an unknown
// option's name quoted as every value is.
std::string parse_error(const QCommandLineParser &parser);

// Far more workers than cores only costs memory.
constexpr int max_threads = 1024;

// The option's value as a whole number from 1 to most; refused naming the
// option and quoting the value.
long long counted_option(const QCommandLineParser &parser, const char *option, long long most);

// --threads: 1 to max_threads; default the number of cores (at most max_threads).
int thread_count(const QCommandLineParser &parser);

}  // namespace velnor::cli
