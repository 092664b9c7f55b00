// Importing a data-flow graph written in Graphviz's DOT, as public high-level
// synthesis benchmark collections ship them: Graphviz's own library reads the
// file, and its graph becomes velnor's imported core at once. Graphviz's types
// stay inside this module.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "import/imported_core.h"

namespace velnor {

// A DOT file larger than this is refused unread: the largest core the hash
// chain takes, 895 operations with their loads, constants and attributes, is
// far below it, and Graphviz holds the whole graph in memory, a few hundred
// bytes per node.
constexpr std::uint64_t max_dot_file_bytes = std::uint64_t{4} << 20;

struct DotImportOptions {
    // Only the less-than forms compare; greater-than and the or-equal forms are no operation.
    bool strict_compare = false;
};

// A node's operator as the import reads it: blanks trimmed, upper-cased, and a
// trailing run of blanks, digits and underscores removed when something
// remains ("imult_11" is IMULT).
std::string normalized_operator(const std::string &text);

// The operation type an operator names once normalized, or none for every
// other node (loads, stores, constants, shifts, logic, copies, I/O).
std::optional<int32_t> operator_type(const std::string &normalized, DotImportOptions options);

// Reads the DOT file at path (at most max_dot_file_bytes) and imports its first
// and only graph. Refused (ImportFile, one line naming the file) when the file
// cannot be read, Graphviz cannot parse it (its message), it holds more than
// one graph, the graph is undirected or its operations form a cycle; refused
// as the DSP core loader would refuse the result otherwise (see imported_core).
ImportedCore import_dot(const std::string &path, DotImportOptions options = {});

// The same for DOT text already in memory; path names it in refusals.
ImportedCore import_dot_text(const std::string &text, const std::string &path, DotImportOptions options = {});

}  // namespace velnor
