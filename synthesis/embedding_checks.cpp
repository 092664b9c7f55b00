// Checks of the embedding, walking the design by variable and by operation
// rather than in the embedding's own order.
#include "synthesis/embedding_checks.h"

#include <map>

#include "synthesis/check_message.h"

namespace velnor {
namespace {

// variable -> the register whose list holds it
std::map<int32_t, int32_t> registers_listing(const Design &design) {
    std::map<int32_t, int32_t> listed_in;
    for (std::size_t r = 0; r < design.register_lifetimes.size(); ++r)
        for (const Lifetime &life : design.register_lifetimes[r])
            listed_in[life.variable] = static_cast<int32_t>(r) + 1;
    return listed_in;
}

}  // namespace

std::string check_examined_pairs_apart(const Design &design, const EmbeddingConstraints &constraints) {
    std::map<int32_t, int32_t> listed_in = registers_listing(design);
    for (const auto &[i, j] : constraints.zero_pairs) {
        const int32_t ri = register_of_variable(design, i);
        const int32_t rj = register_of_variable(design, j);
        if (ri != 0 && ri == rj)
            return check_message("variables ", i, " and ", j, " share register ", ri);
        if (listed_in.count(i) && listed_in.count(j) && listed_in[i] == listed_in[j])
            return check_message("variables ", i, " and ", j, " are both listed in register ", listed_in[i]);
    }
    return {};
}

std::string check_together_pairs_share(const Design &design, const EmbeddingConstraints &constraints) {
    std::map<int32_t, int32_t> listed_in = registers_listing(design);
    for (const auto &[partner, moved] : constraints.together_pairs) {
        const int32_t rp = register_of_variable(design, partner);
        if (rp == 0 || rp != register_of_variable(design, moved))
            return check_message("variables ", partner, " and ", moved, " do not share a register");
        if (listed_in[partner] != listed_in[moved])
            return check_message("variables ", partner, " and ", moved, " are listed in registers ",
                                 listed_in[partner], " and ", listed_in[moved]);
    }
    return {};
}

std::string check_register_lifetimes(const Design &design) {
    std::map<int32_t, int> seen;
    for (std::size_t r = 0; r < design.register_lifetimes.size(); ++r)
        for (const Lifetime &life : design.register_lifetimes[r]) {
            const auto reg = static_cast<int32_t>(r) + 1;
            if (++seen[life.variable] > 1)
                return check_message("variable ", life.variable, " is listed twice, again in register ", reg);
            const int32_t own = register_of_variable(design, life.variable);
            if (own != reg)
                return check_message("variable ", life.variable, " is listed in register ", reg, " but register_of says ",
                               own);
            const auto index = static_cast<std::size_t>(life.variable);
            if (life.variable < 1 || index >= design.lifetime_of.size() ||
                design.lifetime_of[index] != std::make_pair(life.birth, life.death))
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
