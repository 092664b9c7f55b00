// Checks of the embedding, walking the design by variable and by operation
// rather than in the embedding's own order.
#include "synthesis/embedding_checks.h"

#include <map>

#include "synthesis/check_message.h"

namespace velnor {

std::vector<std::pair<int32_t, int32_t>> examined_pairs(int32_t variable_count, int32_t zeros) {
    std::vector<std::pair<int32_t, int32_t>> pairs;
    for (int32_t i = 1; i < variable_count; i += 2)
        for (int32_t j = i + 2; j <= variable_count; j += 2) {
            pairs.emplace_back(i, j);
            if (static_cast<int64_t>(pairs.size()) >= zeros)
                return pairs;
        }
    return pairs;
}

std::string check_examined_pairs_apart(const Design &design, int32_t zeros) {
    std::map<int32_t, int32_t> listed_in;  // variable -> register whose list holds it
    for (const auto &[reg, held] : design.register_lifetimes)
        for (const Lifetime &life : held)
            listed_in[life.variable] = reg;
    for (const auto &[i, j] : examined_pairs(static_cast<int32_t>(design.lifetimes.size()), zeros)) {
        const auto ri = design.register_of.find(i);
        const auto rj = design.register_of.find(j);
        if (ri != design.register_of.end() && rj != design.register_of.end() && ri->second == rj->second)
            return check_message("variables ", i, " and ", j, " share register ", ri->second);
        if (listed_in.count(i) && listed_in.count(j) && listed_in[i] == listed_in[j])
            return check_message("variables ", i, " and ", j, " are both listed in register ", listed_in[i]);
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

std::string check_one_constraints(const Design &design) {
    const auto &ids = design.embedded_one_operations;
    if (static_cast<int32_t>(ids.size()) != design.effective_ones)
        return check_message("effective_ones is ", design.effective_ones, " but ", ids.size(), " operations are listed");
    for (std::size_t n = 0; n < ids.size(); ++n) {
        if (n > 0 && ids[n] <= ids[n - 1])
            return check_message("operation ", ids[n], " is listed after ", ids[n - 1]);
        const auto op = design.operations.find(ids[n]);
        const ModuleVariant wanted = ids[n] % 2 == 0 ? 2 : 1;
        if (op == design.operations.end() || op->second.variant != wanted)
            return check_message("operation ", ids[n], " runs on variant ",
                           op == design.operations.end() ? -1 : op->second.variant, ", not ", wanted);
    }
    return {};
}

}  // namespace velnor
