// The report file: the hash chain's log, the ASAP, ALAP and list schedules, and
// the controller tables before and after embedding. Also the time-stamped file
// names that Save gives the report and the key file.
#pragma once

#include <ctime>
#include <ostream>
#include <string>

#include "core/design.h"

namespace velnor {

// Which module variant an operation table shows beside each operation.
enum class VariantColumn {
    BeforeEmbedding,  // as binding left it: variant_of (0 for an operation without one)
    AfterEmbedding,   // the operation's own variant (-1 when unbound)
};

int32_t shown_variant(const Design &design, int32_t id, VariantColumn column);

// ctime of t in local time with every ':' and blank dropped: FriDec41856522026.
std::string time_stamp(std::time_t t);

// The base of name (after its last '/', before its last '.'; the whole name
// after the last '/' when it has no '.'), then "_", stamp and ".txt".
std::string stamped_name(const std::string &name, const std::string &stamp);

// directory + "/report_" + stamped_name(dfg_name, stamp).
std::string report_path(const Design &design, const std::string &directory, const std::string &stamp);

// Appends the report to report_path(...). Writes dfg_name to log first.
// Refused (FileNotWritten) when the file could not be opened or written completely.
void write_report(const Design &design, const std::string &heading, const std::string &directory,
                  const std::string &stamp, std::ostream &log);

}  // namespace velnor
