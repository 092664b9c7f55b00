// Independent checks of what the embedding promises. Each returns an empty
// string when the promise holds, otherwise one line naming what broke and where.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/design.h"

namespace velnor {

// The pairs of odd variables that phase 1 examines for zeros zeros: (1,3),
// (1,5), ..., (3,5), ... until zeros pairs (at least one) or the pairs run out.
std::vector<std::pair<int32_t, int32_t>> examined_pairs(int32_t variable_count, int32_t zeros);

// Every examined pair sits in different registers, by register_of and by register_lifetimes.
std::string check_examined_pairs_apart(const Design &design, int32_t zeros);

// register_lifetimes holds every variable exactly once, in the register that
// register_of names, with its lifetime.
std::string check_register_lifetimes(const Design &design);

// embedded_one_operations ascends, has effective_ones entries, and each
// operation runs on its wanted variant (1 for an odd id, 2 for an even one).
std::string check_one_constraints(const Design &design);

}  // namespace velnor
