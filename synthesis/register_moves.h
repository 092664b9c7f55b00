// Moving a variable between registers: the few edits of the register lists,
// register_of and the controller table that every embedding makes when it
// seats a variable elsewhere, kept in one place so that the three stay in step.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "core/design.h"

namespace velnor {

// The variable's (birth, death), from lifetime_of.
inline std::pair<int32_t, int32_t> lifetime(const Design &design, int32_t variable) {
    return design.lifetime_of[static_cast<std::size_t>(variable)];
}

// The variable's Lifetime record, from lifetime_of.
Lifetime lifetime_record(const Design &design, int32_t variable);

// Register r's list of lifetimes; the list grows to r registers when r is new.
std::vector<Lifetime> &held_by(Design &design, int32_t r);

// Sets register r to value in every step of the variable's lifetime.
void fill_lifetime(Design &design, int32_t variable, int32_t r, int32_t value);

// Removes the variable's Lifetime from register r's list, if it is there.
void remove_from_register(Design &design, int32_t r, int32_t variable);

// True when register r holds no variable at any step from birth to death, per
// the controller table as it stands.
bool register_free_over(const Design &design, int32_t r, int32_t birth, int32_t death);

// Moves the variable from register from into register to: its Lifetime leaves
// from's list and is appended to to's, register_of follows, and the controller
// table's cells over its lifetime are cleared in from and filled in to.
void move_variable(Design &design, int32_t variable, int32_t from, int32_t to);

}  // namespace velnor
