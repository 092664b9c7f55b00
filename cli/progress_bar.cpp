// Redrawing with a carriage return keeps the bar on one line; the time left
// assumes the remaining runs go as fast as those done.
#include "cli/progress_bar.h"

#include <cstdio>
#include <string>

namespace velnor::cli {
namespace {

constexpr int bar_width = 30;
constexpr auto redraw_interval = std::chrono::milliseconds(200);

std::string clock_text(double seconds) {
    const long long total = static_cast<long long>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60, total % 60);
    return text;
}

}  // namespace

ProgressBar::ProgressBar(std::ostream &terminal, uint64_t total)
    : terminal_(terminal), total_(total), start_(std::chrono::steady_clock::now()), last_draw_(start_) {
    draw();
}

void ProgressBar::advance() {
    ++done_;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_draw_ >= redraw_interval) {
        last_draw_ = now;
        draw();
    }
}

void ProgressBar::finish() {
    draw();
    terminal_ << "\n";
    terminal_.flush();
}

void ProgressBar::draw() {
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const double rate = elapsed > 0 ? static_cast<double>(done_) / elapsed : 0;
    const int filled = total_ == 0 ? bar_width : static_cast<int>(bar_width * done_ / total_);
    char numbers[128];
    std::snprintf(numbers, sizeof numbers, "] %llu/%llu  %.0f runs/s  ", static_cast<unsigned long long>(done_),
                  static_cast<unsigned long long>(total_), rate);
    const std::string left = rate > 0 ? clock_text(static_cast<double>(total_ - done_) / rate) + " left" : "";
    terminal_ << "\r[" << std::string(filled, '#') << std::string(bar_width - filled, '.') << numbers << left
              << "   ";
    terminal_.flush();
}

}  // namespace velnor::cli
