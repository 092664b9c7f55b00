// Register allocation: variables with lifetimes from the list schedule, packed
// into registers by chaining a variable with a later one computed from it, and
// the controller table (control step -> register -> variable).
#pragma once

#include <cstdint>
#include <map>
#include <ostream>

#include "core/design.h"

namespace velnor {

// Fills the operations' variable fields, lifetimes, born_at, lifetime_of and
// next_variables; writes the "next variable" listing (0-based) to log.
void derive_lifetimes(Design &design, std::ostream &log);

// Fills register_lifetimes, register_of, controller_table and controller_table_before.
void allocate_registers(Design &design);

// Places one chain of variables, starting at v, into one register.
void allocate_chain(Design &design, int32_t v, std::map<int32_t, int32_t> &free_at);

}  // namespace velnor
