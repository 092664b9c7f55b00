// Fronts are kept sorted by overhead; a new point enters only when no member
// is at least as good in both figures, and it removes the members it beats.
// A result whose overhead or probability is not a finite number (or a refused
// one) is counted but never placed.
#include "flow/exploration_summary.h"

#include <algorithm>
#include <limits>
#include <cmath>

namespace velnor {
namespace {

bool placeable(const CombinationResult &result, Probability probability) {
    return !result.error && std::isfinite(result.overhead) && std::isfinite(probability_of(result, probability));
}

// Rounds to a grid of step.
double on_grid(double value, double step) { return std::round(value / step) * step; }

// log10 of a probability, with 0 drawn at the smallest positive double.
double log10_of(double probability) {
    return std::log10(std::max(probability, std::numeric_limits<double>::denorm_min()));
}

}  // namespace

double probability_of(const CombinationResult &result, Probability probability) {
    return probability == Probability::Phase2 ? result.run.figures.pc_phase2 : result.pc_distinguishing;
}

void ParetoFront::add(const CombinationResult &result) {
    if (!placeable(result, probability_))
        return;
    const double overhead = result.overhead;
    const double p = probability_of(result, probability_);
    for (const CombinationResult &member : members_)
        if (member.overhead <= overhead && probability_of(member, probability_) <= p)
            return;
    members_.erase(std::remove_if(members_.begin(), members_.end(),
                                  [&](const CombinationResult &member) {
                                      return overhead <= member.overhead && p <= probability_of(member, probability_);
                                  }),
                   members_.end());
    const auto place = std::lower_bound(members_.begin(), members_.end(), overhead,
                                        [](const CombinationResult &member, double o) { return member.overhead < o; });
    members_.insert(place, result);
}

void CheapestReaching::add(const CombinationResult &result) {
    if (!placeable(result, probability_))
        return;
    const double p = probability_of(result, probability_);
    if (p > target_)
        return;
    if (best_) {
        const double best_p = probability_of(*best_, probability_);
        if (std::tie(best_->overhead, best_p, best_->combination.index) <=
            std::tie(result.overhead, p, result.combination.index))
            return;
    }
    best_ = result;
}

ExplorationSummary::ExplorationSummary(const Exploration &exploration, std::optional<double> target)
    : target_(target), embeddings_(exploration.embeddings) {
    for (const Design &core : exploration.cores) {
        CoreSummary summary;
        summary.dfg = core.dfg_name;
        if (target) {
            summary.cheapest_phase2.emplace(Probability::Phase2, *target);
            summary.cheapest_distinguishing.emplace(Probability::Distinguishing, *target);
        }
        cores_.push_back(std::move(summary));
    }
}

void ExplorationSummary::add(const CombinationResult &result) {
    CoreSummary &core = cores_.at(result.combination.core);
    ++core.combinations;
    if (result.error) {
        ++core.refused;
        ++core.refusals[*result.error];
        return;
    }
    core.phase2.add(result);
    core.distinguishing.add(result);
    if (core.cheapest_phase2) {
        core.cheapest_phase2->add(result);
        core.cheapest_distinguishing->add(result);
    }
    // A thousandth of a percent of overhead and a hundredth of a decade are
    // finer than any plot draws.
    const auto point = [&](Probability probability) {
        return PlotPoint{on_grid(result.overhead, 1e-5), on_grid(log10_of(probability_of(result, probability)), 0.01),
                         embeddings_.at(result.combination.embedding)};
    };
    if (placeable(result, Probability::Phase2))
        core.phase2_points.insert(point(Probability::Phase2));
    if (placeable(result, Probability::Distinguishing))
        core.distinguishing_points.insert(point(Probability::Distinguishing));
}

}  // namespace velnor
