// Moving a variable between registers, edit by edit.
#include "synthesis/register_moves.h"

#include <algorithm>

namespace velnor {

Lifetime lifetime_record(Design &design, int32_t variable) {
    const auto &life = design.lifetime_of[variable];
    return Lifetime{life.first, life.second, variable};
}

void fill_lifetime(Design &design, int32_t variable, int32_t r, int32_t value) {
    const auto life = design.lifetime_of[variable];
    for (int32_t t = life.first; t <= life.second; ++t)
        design.controller_table[t][r] = value;
}

void remove_from_register(Design &design, int32_t r, int32_t variable) {
    auto &held = design.register_lifetimes[r];
    const auto found =
        std::find_if(held.begin(), held.end(), [variable](const Lifetime &life) { return life.variable == variable; });
    if (found != held.end())
        held.erase(found);
}

void move_variable(Design &design, int32_t variable, int32_t from, int32_t to) {
    fill_lifetime(design, variable, from, 0);
    fill_lifetime(design, variable, to, variable);
    remove_from_register(design, from, variable);
    design.register_lifetimes[to].push_back(lifetime_record(design, variable));
    design.register_of[variable] = to;
}

}  // namespace velnor
