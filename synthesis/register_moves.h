// Moving a variable between registers: the few edits of the register lists,
// register_of and the controller table that every embedding makes when it
// seats a variable elsewhere, kept in one place so that the three stay in step.
#pragma once

#include <cstdint>

#include "core/design.h"

namespace velnor {

// The variable's Lifetime record, from lifetime_of.
Lifetime lifetime_record(Design &design, int32_t variable);

// Sets controller_table[t][r] to value for every step t of the variable's lifetime.
void fill_lifetime(Design &design, int32_t variable, int32_t r, int32_t value);

// Removes the variable's Lifetime from register r's list, if it is there.
void remove_from_register(Design &design, int32_t r, int32_t variable);

// Moves the variable from register from into register to: its Lifetime leaves
// from's list and is appended to to's, register_of follows, and the controller
// table's cells over its lifetime are cleared in from and filled in to.
void move_variable(Design &design, int32_t variable, int32_t from, int32_t to);

}  // namespace velnor
