// The progress of a long exploration on a terminal: one line redrawn in place
// with the runs done of all, the runs per second and the time left.
#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>

namespace velnor::cli {

class ProgressBar {
public:
    ProgressBar(std::ostream &terminal, uint64_t total);
    // One more run done; redraws at most a few times a second.
    void advance();
    // Draws the final state and ends the line.
    void finish();

private:
    void draw();

    std::ostream &terminal_;
    uint64_t total_;
    uint64_t done_ = 0;
    std::chrono::steady_clock::time_point start_, last_draw_;
};

}  // namespace velnor::cli
