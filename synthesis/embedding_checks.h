// Independent checks of what the embedding promises. Each returns an empty
// string when the promise holds, otherwise one line naming what broke and where.
#pragma once

#include <cstdint>
#include <string>

#include "core/design.h"
#include "synthesis/embedding.h"

namespace velnor {

// Every examined pair sits in different registers, by register_of and by register_lifetimes.
std::string check_examined_pairs_apart(const Design &design, const EmbeddingConstraints &constraints);

// Every together pair shares a register, by register_of and by register_lifetimes.
std::string check_together_pairs_share(const Design &design, const EmbeddingConstraints &constraints);

// register_lifetimes holds every variable exactly once, in the register that
// register_of names, with its lifetime.
std::string check_register_lifetimes(const Design &design);

// The confirmed one operations ascend and each runs on its wanted variant.
std::string check_one_constraints(const Design &design, const EmbeddingConstraints &constraints);

}  // namespace velnor
