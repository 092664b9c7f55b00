// Loading the two input files into the main design, all or nothing: the window's
// load buttons and the batch tool both call these.
#pragma once

#include <cstdint>
#include <ostream>
#include <stdexcept>
#include <string>

#include "core/design.h"

namespace velnor {

// A refused file; what() is the precise reason for the user, naming the file,
// the line and what is wrong there.
struct LoadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A DSP core with more operations than the hash chain can take; what() says
// "<file> has <operations> operations; the hash chain takes at most <limit>".
struct OversizedCoreError : LoadError {
    OversizedCoreError(const std::string &name, std::size_t operations, std::size_t limit);
    std::size_t operations;
    std::size_t limit;
};

// Reads the DFG into a scratch design, refuses it when it holds more than
// operation_limit operations (OversizedCoreError, before anything is scheduled
// and without keeping the operations beyond the limit), checks the ids run
// 1..N and every operand names an earlier operation, schedules ASAP and ALAP,
// and only then replaces the DFG part of design (operations, types, schedules,
// latency_bound, dfg_path, dfg_name, subtractor_count, comparator_count).
// Throws LoadError.
void load_dsp_core(Design &design, const std::string &path, std::ostream &log,
                   std::size_t operation_limit = SIZE_MAX);

// Reads the library into a scratch design and replaces the library part of
// design only on success. Throws LoadError.
void load_module_library(Design &design, const std::string &path);

}  // namespace velnor
