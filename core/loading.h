// Loading the two input files into the main design, all or nothing: the window's
// load buttons and the batch tool both call these.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "core/design.h"
#include "core/dfg_reader.h"
#include "core/refusal.h"

namespace velnor {

// Reads the DFG into a scratch design, checks the ids run 1..N and every operand
// names an earlier operation, schedules ASAP and ALAP, and only then replaces
// the DFG part of design (operations, types, schedules, latency_bound, dfg_path,
// dfg_name, subtractor_count, comparator_count). A refusal (DspCoreFile) names
// the file, the line and what is wrong there. A core of more than
// operation_limit operations is refused (DspCoreTooLarge: "<file> has N
// operations; the hash chain takes at most L") before anything is scheduled and
// without keeping the operations beyond the limit.
void load_dsp_core(Design &design, const std::string &path, std::ostream &log,
                   std::size_t operation_limit = SIZE_MAX);

// The checks load_dsp_core makes of what a DFG file held, named by the file's
// name: more than operation_limit operations (DspCoreTooLarge), then the ids
// and the order of the operations (DspCoreFile, "<name> line N: ..."). An
// importer runs its result through them, so that it is refused exactly as the
// loader would refuse the file it writes.
void check_dfg_listing(const std::string &name, const DfgListing &listing, std::size_t operation_limit);

// Reads the library into a scratch design and replaces the library part of
// design only on success. A refusal (LibraryFile) names the file and what is wrong.
void load_module_library(Design &design, const std::string &path);

}  // namespace velnor
