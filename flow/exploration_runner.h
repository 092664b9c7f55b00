// Runs an exploration's combinations on several worker threads and hands the
// results back one by one in combination order, whatever the number of
// workers: a result that finishes early waits in a small window until every
// earlier one has been handed on, so memory stays bounded however many
// combinations there are.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "flow/exploration.h"

namespace velnor {

// The combinations whose number i has i mod parts = part - 1 (1 <= part <= parts).
struct Shard {
    uint64_t part = 1;
    uint64_t parts = 1;
};

// How many of total combinations a shard holds.
uint64_t shard_size(uint64_t total, const Shard &shard);

// Runs the shard's combinations on threads workers (at least 1) and calls
// emit on the calling thread with each result, in ascending combination
// number. Stops handing out work once cancel (when given) turns true; the
// results already started are still emitted in order. An exception other than
// a refusal, in a worker or in emit, stops the workers and is rethrown here.
void explore(const Exploration &exploration, const Shard &shard, int threads,
             const std::function<void(const CombinationResult &)> &emit,
             const std::atomic<bool> *cancel = nullptr);

}  // namespace velnor
