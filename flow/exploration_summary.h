// What an exploration adds up to for each DSP core, gathered as results stream
// by without keeping them: the Pareto fronts of overhead against each
// probability of coincidence, the cheapest combination that reaches a target
// probability, and the points a plot draws (merged where they would coincide
// on a plot, so that their number stays bounded).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "flow/exploration.h"

namespace velnor {

// Which probability a front or a point is about.
enum class Probability { Phase2, Distinguishing };

double probability_of(const CombinationResult &result, Probability probability);

// The combinations no other beats in both overhead and probability, by
// ascending overhead (so by descending probability). Of equal points the
// first in combination order stays.
class ParetoFront {
public:
    explicit ParetoFront(Probability probability) : probability_(probability) {}
    void add(const CombinationResult &result);
    const std::vector<CombinationResult> &members() const { return members_; }

private:
    Probability probability_;
    std::vector<CombinationResult> members_;
};

// The least overhead whose probability is at most a target (ties: the lower
// probability, then the first in combination order).
class CheapestReaching {
public:
    CheapestReaching(Probability probability, double target) : probability_(probability), target_(target) {}
    void add(const CombinationResult &result);
    const std::optional<CombinationResult> &best() const { return best_; }

private:
    Probability probability_;
    double target_;
    std::optional<CombinationResult> best_;
};

// A point of the plot: overhead and log10 of a probability, rounded to a grid
// finer than a plot's pixels, and the embedding that gave it (points of
// different embeddings are drawn apart, never merged).
struct PlotPoint {
    double overhead;
    double log10_probability;
    EmbeddingMode embedding = EmbeddingMode::Specified;
    bool operator<(const PlotPoint &other) const {
        return std::tie(overhead, log10_probability, embedding) <
               std::tie(other.overhead, other.log10_probability, other.embedding);
    }
};

struct CoreSummary {
    std::string dfg;
    uint64_t combinations = 0;  // results seen, refused ones included
    uint64_t refused = 0;
    std::map<std::string, uint64_t> refusals;  // refused results by the sentence that refused them
    ParetoFront phase2{Probability::Phase2}, distinguishing{Probability::Distinguishing};
    std::optional<CheapestReaching> cheapest_phase2, cheapest_distinguishing;  // with a target only
    std::set<PlotPoint> phase2_points, distinguishing_points;
};

class ExplorationSummary {
public:
    // One summary per core of the exploration; target is the probability the
    // cheapest combinations must reach, if any.
    ExplorationSummary(const Exploration &exploration, std::optional<double> target);
    void add(const CombinationResult &result);
    const std::vector<CoreSummary> &cores() const { return cores_; }
    const std::optional<double> &target() const { return target_; }
    // The exploration's embeddings, in its order.
    const std::vector<EmbeddingMode> &embeddings() const { return embeddings_; }

private:
    std::optional<double> target_;
    std::vector<EmbeddingMode> embeddings_;
    std::vector<CoreSummary> cores_;
};

}  // namespace velnor
