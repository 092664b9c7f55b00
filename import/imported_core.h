// What an importer makes of a program's description of a DSP core (a Graphviz
// DOT graph today): the operations in id order, with where each came from,
// turned at once into the DFG file's text, the map lines and the counts per
// type. Every importer ends here, so that each result is checked, written and
// summed up the same way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/design.h"

namespace velnor {

// One operation found by an importer; ids run 1..N in the order given.
struct ImportedOperation {
    int32_t type = Add;         // Add, Subtract, Multiply, Divide or Compare
    int32_t first_input = 0;    // the id of the producing operation, 0 for a primary input
    int32_t second_input = 0;
    std::string origin;         // where it came from: a node's name
    std::string text;           // what it was written as there: the operator text
};

// Operations per type, in the order of the summary line.
struct OperationCounts {
    int64_t add = 0, subtract = 0, multiply = 0, divide = 0, compare = 0;
};

struct ImportedCore {
    std::string dfg_text;  // one operation a line, "op first second id\n", ids 1..N
    std::string map_text;  // one line per id, "id origin text\n"
    OperationCounts counts;
    int64_t operation_count = 0;
};

// The DFG text, map lines and counts of operations (the ith has id i + 1).
// Refused as the DSP core loader refuses the file it becomes, named by
// source_path's file name: no operation at all (DspCoreFile), more operations
// than one hash block takes (DspCoreTooLarge), an operand that is not an
// earlier operation (DspCoreFile; an importer's fault, caught here).
ImportedCore imported_core(const std::vector<ImportedOperation> &operations, const std::string &source_path);

// "imported N operations (+ a, - s, * m, / d, < c) from SOURCE".
std::string import_summary(const ImportedCore &core, const std::string &source);

}  // namespace velnor
