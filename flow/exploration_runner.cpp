// A fixed pool of standard threads takes combinations from a shared counter.
// Each result lands in a ring of slots indexed by its position in the shard;
// the calling thread empties the ring in order. A worker does not start a
// position more than a ring's length ahead of the next one to emit.
#include "flow/exploration_runner.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace velnor {
namespace {

class OrderedRing {
public:
    OrderedRing(uint64_t positions, std::size_t length) : positions_(positions), slots_(length) {}

    // The next position for a worker to run, once the ring has room for it;
    // nothing when every position is taken or the run is stopping.
    std::optional<uint64_t> take(const std::atomic<bool> *cancel) {
        std::unique_lock<std::mutex> lock(mutex_);
        room_.wait(lock, [&] { return stopping_ || next_ >= positions_ || next_ < emitted_ + slots_.size(); });
        if (stopping_ || next_ >= positions_ || (cancel && cancel->load()))
            return std::nullopt;
        return next_++;
    }

    void put(uint64_t position, CombinationResult result) {
        std::lock_guard<std::mutex> lock(mutex_);
        slots_[position % slots_.size()] = std::move(result);
        ready_.notify_all();
    }

    void fail(std::exception_ptr failure) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!failure_)
            failure_ = failure;
        stopping_ = true;
        room_.notify_all();
        ready_.notify_all();
    }

    void stop() {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        room_.notify_all();
    }

    // The result of the next position in order; nothing when no more will come.
    std::optional<CombinationResult> next_result() {
        std::unique_lock<std::mutex> lock(mutex_);
        std::optional<CombinationResult> &slot = slots_[emitted_ % slots_.size()];
        ready_.wait(lock, [&] { return slot.has_value() || failure_ || emitted_ >= positions_ || no_more(); });
        if (failure_ || !slot)
            return std::nullopt;
        std::optional<CombinationResult> result = std::move(slot);
        slot.reset();
        ++emitted_;
        room_.notify_all();
        return result;
    }

    std::exception_ptr failure() {
        std::lock_guard<std::mutex> lock(mutex_);
        return failure_;
    }

    void worker_done() {
        std::lock_guard<std::mutex> lock(mutex_);
        ++workers_done_;
        ready_.notify_all();
    }

    void expect_workers(int count) { workers_ = count; }

private:
    // Every worker has ended and the position to emit was never started.
    bool no_more() const { return workers_done_ == workers_ && emitted_ >= next_; }

    const uint64_t positions_;
    std::vector<std::optional<CombinationResult>> slots_;
    std::mutex mutex_;
    std::condition_variable room_, ready_;
    uint64_t next_ = 0, emitted_ = 0;
    int workers_ = 0, workers_done_ = 0;
    bool stopping_ = false;
    std::exception_ptr failure_;
};

}  // namespace

uint64_t shard_size(uint64_t total, const Shard &shard) {
    const uint64_t first = shard.part - 1;
    return total > first ? (total - first - 1) / shard.parts + 1 : 0;
}

void explore(const Exploration &exploration, const Shard &shard, int threads,
             const std::function<void(const CombinationResult &)> &emit, const std::atomic<bool> *cancel) {
    const uint64_t positions = shard_size(combination_count(exploration), shard);
    const auto combination = [&](uint64_t position) {
        return combination_at(exploration, shard.part - 1 + position * shard.parts);
    };
    if (threads <= 1) {
        ExplorationCache cache;
        for (uint64_t position = 0; position < positions && !(cancel && cancel->load()); ++position)
            emit(run_combination(exploration, combination(position), &cache));
        return;
    }

    OrderedRing ring(positions, static_cast<std::size_t>(threads) * 16);
    ring.expect_workers(threads);
    std::vector<std::thread> workers;
    for (int i = 0; i < threads; ++i)
        workers.emplace_back([&] {
            try {
                ExplorationCache cache;
                while (const std::optional<uint64_t> position = ring.take(cancel))
                    ring.put(*position, run_combination(exploration, combination(*position), &cache));
            } catch (...) {
                ring.fail(std::current_exception());
            }
            ring.worker_done();
        });
    try {
        while (const std::optional<CombinationResult> result = ring.next_result())
            emit(*result);
    } catch (...) {
        ring.fail(std::current_exception());
    }
    ring.stop();
    for (std::thread &worker : workers)
        worker.join();
    if (const std::exception_ptr failure = ring.failure())
        std::rethrow_exception(failure);
}

}  // namespace velnor
