// Moving a variable between registers, edit by edit.
#include "synthesis/register_moves.h"

#include <algorithm>

namespace velnor {

Lifetime lifetime_record(const Design &design, int32_t variable) {
    const auto life = lifetime(design, variable);
    return Lifetime{life.first, life.second, variable};
}

std::vector<Lifetime> &held_by(Design &design, int32_t r) {
    if (static_cast<std::size_t>(r) > design.register_lifetimes.size())
        design.register_lifetimes.resize(static_cast<std::size_t>(r));
    return design.register_lifetimes[static_cast<std::size_t>(r) - 1];
}

void fill_lifetime(Design &design, int32_t variable, int32_t r, int32_t value) {
    const auto life = lifetime(design, variable);
    design.controller_table.fill(r, life.first, life.second, value);
}

void remove_from_register(Design &design, int32_t r, int32_t variable) {
    auto &held = held_by(design, r);
    const auto found =
        std::find_if(held.begin(), held.end(), [variable](const Lifetime &life) { return life.variable == variable; });
    if (found != held.end())
        held.erase(found);
}

void move_variable(Design &design, int32_t variable, int32_t from, int32_t to) {
    fill_lifetime(design, variable, from, 0);
    fill_lifetime(design, variable, to, variable);
    remove_from_register(design, from, variable);
    held_by(design, to).push_back(lifetime_record(design, variable));
    design.register_of[static_cast<std::size_t>(variable)] = to;
}

bool register_free_over(const Design &design, int32_t r, int32_t birth, int32_t death) {
    return design.controller_table.holds_none(r, birth, death);
}

}  // namespace velnor
