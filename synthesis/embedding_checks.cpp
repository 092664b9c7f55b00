// Checks of the embedding, walking the design by variable and by operation
// rather than in the embedding's own order.
#include "synthesis/embedding_checks.h"

#include <map>

#include "synthesis/check_message.h"

namespace velnor {
namespace {

// The register of variable; 0 when it has none.
int32_t register_of(const Design &design, int32_t variable) {
    const auto index = static_cast<std::size_t>(variable);
    return variable >= 1 && index < design.register_of.size() ? design.register_of[index] : 0;
}

}  // namespace

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
    for (std::size_t r = 0; r < design.register_lifetimes.size(); ++r)
        for (const Lifetime &life : design.register_lifetimes[r])
            listed_in[life.variable] = static_cast<int32_t>(r) + 1;
    for (const auto &[i, j] : examined_pairs(static_cast<int32_t>(design.lifetimes.size()), zeros)) {
        const int32_t ri = register_of(design, i);
        const int32_t rj = register_of(design, j);
        if (ri != 0 && ri == rj)
            return check_message("variables ", i, " and ", j, " share register ", ri);
        if (listed_in.count(i) && listed_in.count(j) && listed_in[i] == listed_in[j])
            return check_message("variables ", i, " and ", j, " are both listed in register ", listed_in[i]);
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
            const int32_t own = register_of(design, life.variable);
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
