// Register allocation: variables with lifetimes from the list schedule, packed
// into registers by chaining a variable with a later one computed from it, and
// the controller table (control step -> register -> variable).
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "core/design.h"

namespace velnor {

// Fills the operations' variable fields, lifetimes, born_at, lifetime_of and
// next_variables; writes the "next variable" listing (0-based) to log.
void derive_lifetimes(Design &design, std::ostream &log);

// The "next variable" listing of a design whose lifetimes are derived: each
// variable with followers, then its followers, all counted from 0.
std::string next_variable_listing(const Design &design);

// Fills register_lifetimes and register_of.
void assign_registers(Design &design);

// Assigns the registers, then fills controller_table and controller_table_before.
void allocate_registers(Design &design);

// The registers filled so far, each with the step in which its last variable
// dies. The left edge considers only the register that falls free earliest,
// the lowest-numbered one on a tie; a heap finds it without walking them all.
class FreeRegisters {
public:
    int32_t count() const { return static_cast<int32_t>(last_death_.size()); }
    // (register, last death) of the earliest free register; (10000000, 10000000) when there is none.
    std::pair<int32_t, int32_t> earliest() const;
    // Register reg, the earliest one or the new register count() + 1, now falls free after death.
    void update(int32_t reg, int32_t death);
    int32_t last_death(int32_t reg) const { return last_death_[static_cast<std::size_t>(reg) - 1]; }

private:
    std::vector<std::pair<int32_t, int32_t>> heap_;  // (last death, register), least on top
    std::vector<int32_t> last_death_;                // register r at r - 1
};

// Places one chain of variables, starting at v, into one register: sets
// their register_of, appends them to placed in chain order and returns the
// register.
int32_t place_chain(Design &design, int32_t v, FreeRegisters &free_at, std::vector<int32_t> &placed);

}  // namespace velnor
