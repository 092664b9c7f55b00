// Reads a data-flow graph file into a Design: operator character, first
// operand, second operand and id, one or more operations per line.
#pragma once

#include <ostream>
#include <stdexcept>
#include <string>

#include "core/design.h"

namespace velnor {

// A malformed operation. what() is the reader's short text "error"; line
// (1-based) and reason tell the user where and what is wrong.
struct DfgFormatError : std::runtime_error {
    DfgFormatError(int line, std::string reason)
        : std::runtime_error("error"), line(line), reason(std::move(reason)) {}
    int line;
    std::string reason;
};

// Adds the file's operations to design.operations and design.operation_types
// and sets dfg_path. Clears nothing. An unopenable file writes "file read error"
// to log and returns normally, leaving the design unchanged. Throws
// DfgFormatError on a malformed operation (operations read before it stay).
void read_dfg(Design &design, const std::string &path, std::ostream &log);

}  // namespace velnor
