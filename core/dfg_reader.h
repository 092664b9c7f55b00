// Reads a data-flow graph file into a Design: operator character, first
// operand, second operand and id, one or more operations per line.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "core/design.h"
#include "core/refusal.h"

namespace velnor {

// Adds the file's operations to design.operations and design.operation_types
// and sets dfg_path. Clears nothing. An unopenable file writes "file read error"
// to log and returns normally, leaving the design unchanged. A malformed
// operation is refused (DspCoreFile, "line N: what is wrong"); the operations
// read before it stay. A file larger than 64 MiB or a line longer than 1 MiB
// is refused too, without being read whole.
void read_dfg(Design &design, const std::string &path, std::ostream &log);

// One operation as the file writes it, with the 1-based line that holds it.
struct WrittenOperation {
    int32_t first_input = 0;
    int32_t second_input = 0;
    int32_t id = 0;
    int line = 0;
};

// What the file held, beside what read_dfg made of it: the loader checks the
// ids and the order of the operations from it, since a repeated id simply
// overwrites the earlier record in the design.
struct DfgListing {
    bool opened = false;       // false: the file could not be opened
    bool read_failed = false;  // reading stopped on an input error (a folder, a device fault)
    std::vector<WrittenOperation> operations;  // every operation kept, in file order
    std::size_t operation_count = 0;           // every operation read, kept or not
};

// The same as read_dfg, also filling listing (cleared first); on a
// refusal listing holds the operations read before the faulty one.
// Only the first keep_at_most operations go into design and listing; the rest
// are checked and counted, so that a core too large to use costs no memory.
void read_dfg(Design &design, const std::string &path, std::ostream &log, DfgListing &listing,
              std::size_t keep_at_most = SIZE_MAX);

}  // namespace velnor
