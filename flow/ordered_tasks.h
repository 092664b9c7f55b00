// Numbered tasks run on several worker threads, their results handed back one
// by one in task order whatever the number of workers: a result that finishes
// early waits in a small ring of slots until every earlier one has been handed
// on, and a worker does not start a task more than a ring's length ahead of
// the next one to hand on, so memory stays bounded however many tasks there
// are. An exploration's combinations and an attack's trials both run this way.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace velnor {

template <typename Result>
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

    void put(uint64_t position, Result result) {
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
    std::optional<Result> next_result() {
        std::unique_lock<std::mutex> lock(mutex_);
        std::optional<Result> &slot = slots_[emitted_ % slots_.size()];
        ready_.wait(lock, [&] { return slot.has_value() || failure_ || emitted_ >= positions_ || no_more(); });
        if (failure_ || !slot)
            return std::nullopt;
        std::optional<Result> result = std::move(slot);
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
    std::vector<std::optional<Result>> slots_;
    std::mutex mutex_;
    std::condition_variable room_, ready_;
    uint64_t next_ = 0, emitted_ = 0;
    int workers_ = 0, workers_done_ = 0;
    bool stopping_ = false;
    std::exception_ptr failure_;
};

// Runs tasks 0..count-1 on threads workers (at least 1) and calls hand_on on the
// calling thread with each result, in ascending task number. make_worker is
// called once per worker, on that worker's thread, and returns the function
// that runs one task there (so a worker may keep state of its own, such as a
// cache). Stops handing out tasks once cancel (when given) turns true; the
// results already started are still emitted in order. An exception in a
// worker or in hand_on stops the workers and is rethrown here.
template <typename Result>
void run_tasks_in_order(uint64_t count, int threads,
                        const std::function<std::function<Result(uint64_t)>()> &make_worker,
                        const std::function<void(Result &)> &hand_on, const std::atomic<bool> *cancel = nullptr) {
    if (threads <= 1) {
        const std::function<Result(uint64_t)> task = make_worker();
        for (uint64_t position = 0; position < count && !(cancel && cancel->load()); ++position) {
            Result result = task(position);
            hand_on(result);
        }
        return;
    }
    OrderedRing<Result> ring(count, static_cast<std::size_t>(threads) * 16);
    ring.expect_workers(threads);
    std::vector<std::thread> workers;
    for (int i = 0; i < threads; ++i)
        workers.emplace_back([&] {
            try {
                const std::function<Result(uint64_t)> task = make_worker();
                while (const std::optional<uint64_t> position = ring.take(cancel))
                    ring.put(*position, task(*position));
            } catch (...) {
                ring.fail(std::current_exception());
            }
            ring.worker_done();
        });
    try {
        while (std::optional<Result> result = ring.next_result())
            hand_on(*result);
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
