// The exploration's combinations as ordered tasks: a task is a position in the
// shard, and each worker keeps its own cache of the stages it ran last.
#include "flow/exploration_runner.h"

#include <memory>

#include "flow/ordered_tasks.h"

namespace velnor {

uint64_t shard_size(uint64_t total, const Shard &shard) {
    const uint64_t first = shard.part - 1;
    return total > first ? (total - first - 1) / shard.parts + 1 : 0;
}

void explore(const Exploration &exploration, const Shard &shard, int threads,
             const std::function<void(const CombinationResult &)> &emit, const std::atomic<bool> *cancel) {
    const uint64_t positions = shard_size(combination_count(exploration), shard);
    const auto make_worker = [&]() -> std::function<CombinationResult(uint64_t)> {
        auto cache = std::make_shared<ExplorationCache>();
        return [&exploration, &shard, cache](uint64_t position) {
            return run_combination(exploration, combination_at(exploration, shard.part - 1 + position * shard.parts),
                                   cache.get());
        };
    };
    run_tasks_in_order<CombinationResult>(positions, threads, make_worker,
                                          [&emit](CombinationResult &result) { emit(result); }, cancel);
}

}  // namespace velnor
