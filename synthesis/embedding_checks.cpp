// Checks of the embedding, walking the design by variable and by operation
// rather than in the embedding's own order.
#include "synthesis/embedding_checks.h"

#include <map>

#include "synthesis/check_message.h"

namespace velnor {

std::string check_examined_pairs_apart(const Design &design, const EmbeddingConstraints &constraints) {
    std::map<int32_t, int32_t> listed_in;  // variable -> register whose list holds it
    for (const auto &[reg, held] : design.register_lifetimes)
        for (const Lifetime &life : held)
            listed_in[life.variable] = reg;
    for (const auto &[i, j] : constraints.zero_pairs) {
        const auto ri = design.register_of.find(i);
        const auto rj = design.register_of.find(j);
        if (ri != design.register_of.end() && rj != design.register_of.end() && ri->second == rj->second)
            return check_message("variables ", i, " and ", j, " share register ", ri->second);
        if (listed_in.count(i) && listed_in.count(j) && listed_in[i] == listed_in[j])
            return check_message("variables ", i, " and ", j, " are both listed in register ", listed_in[i]);
    }
    return {};
}

std::string check_together_pairs_share(const Design &design, const EmbeddingConstraints &constraints) {
    std::map<int32_t, int32_t> listed_in;  // variable -> register whose list holds it
    for (const auto &[reg, held] : design.register_lifetimes)
        for (const Lifetime &life : held)
            listed_in[life.variable] = reg;
    for (const auto &[partner, moved] : constraints.together_pairs) {
        const auto rp = design.register_of.find(partner);
        const auto rm = design.register_of.find(moved);
        if (rp == design.register_of.end() || rm == design.register_of.end() || rp->second != rm->second)
            return check_message("variables ", partner, " and ", moved, " do not share a register");
        if (listed_in[partner] != listed_in[moved])
            return check_message("variables ", partner, " and ", moved, " are listed in registers ",
                                 listed_in[partner], " and ", listed_in[moved]);
    }
    return {};
}

std::string check_register_lifetimes(const Design &design) {
    std::map<int32_t, int> seen;
    for (const auto &[reg, held] : design.register_lifetimes)
        for (const Lifetime &life : held) {
            if (++seen[life.variable] > 1)
                return check_message("variable ", life.variable, " is listed twice, again in register ", reg);
            const auto own = design.register_of.find(life.variable);
            if (own == design.register_of.end() || own->second != reg)
                return check_message("variable ", life.variable, " is listed in register ", reg, " but register_of says ",
                               own == design.register_of.end() ? 0 : own->second);
            const auto span = design.lifetime_of.find(life.variable);
            if (span == design.lifetime_of.end() || span->second != std::make_pair(life.birth, life.death))
                return check_message("variable ", life.variable, " is listed in register ", reg, " with lifetime ",
                               life.birth, "..", life.death, " unlike its own");
        }
    for (const Lifetime &life : design.lifetimes)
        if (seen.count(life.variable) == 0)
            return check_message("variable ", life.variable, " is in no register's list");
    return {};
}

std::string check_one_constraints(const Design &design, const EmbeddingConstraints &constraints) {
    const auto &ids = constraints.one_operations;
    for (std::size_t n = 0; n < ids.size(); ++n) {
        if (n > 0 && ids[n] <= ids[n - 1])
            return check_message("operation ", ids[n], " is listed after ", ids[n - 1]);
        const auto op = design.operations.find(ids[n]);
        const ModuleVariant wanted = wanted_variant(ids[n]);
        if (op == design.operations.end() || op->second.variant != wanted)
            return check_message("operation ", ids[n], " runs on variant ",
                           op == design.operations.end() ? -1 : op->second.variant, ", not ", wanted);
    }
    return {};
}

}  // namespace velnor
