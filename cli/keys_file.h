// The keys file of an exploration: one stego key a line, written as `run`'s
// options `--count N --encodings "..." --order KEY --rounds "..."` (count and
// order optional), in shell quoting. Blank lines and lines starting with '#'
// are skipped.
#pragma once

#include <string>
#include <vector>

#include <QString>

#include "flow/exploration.h"

namespace velnor::cli {

// The keys of text, in order. A line that is not such a key is refused
// (CommandLine): the line number and what is wrong there. The values
// themselves are checked by the run of each combination.
std::vector<ExplorationKey> parse_keys(const QString &text);

// Reads and parses the keys file at path; refused (CommandLine) when it cannot
// be read, holds no key, or has a bad line; the message names --keys and the file.
std::vector<ExplorationKey> read_keys_file(const QString &path);

// Cuts a line into words as a shell does with quotes: '...' keeps everything,
// "..." keeps everything but \" and \\, and a backslash outside quotes keeps
// the next character. Refused (CommandLine) when a quote is left open.
std::vector<std::string> shell_words(const std::string &line);

}  // namespace velnor::cli
