// The promises a DFG file makes beyond its syntax: ids run 1..N without gaps or
// repeats, and every operand names an operation written earlier in the file.
// The schedulers rely on both; a file that breaks them is refused at load.
#pragma once

#include <optional>
#include <string>

#include "core/dfg_reader.h"

namespace velnor {

struct DfgFault {
    int line = 0;  // 1-based line of the operation at fault
    std::string reason;
};

// The first broken promise in file order (an id 0, a repeated id, an operand
// that is not written before its reader), else the first id beyond N; none
// when the operations keep every promise.
std::optional<DfgFault> find_dfg_fault(const DfgListing &listing);

}  // namespace velnor
