// Binomial upper tails by summing the terms of the distribution in log space,
// largest term first, so neither the binomial coefficients of a 512-bit
// signature nor tails near 1e-300 overflow or lose their digits.
#include "synthesis/coincidence.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velnor {
namespace {

constexpr double minus_infinity = -std::numeric_limits<double>::infinity();

// log C(n, k) through the log-gamma function.
double log_choose(int64_t n, int64_t k) {
    return std::lgamma(static_cast<double>(n) + 1.0) - std::lgamma(static_cast<double>(k) + 1.0) -
           std::lgamma(static_cast<double>(n - k) + 1.0);
}

// log(p^k (1-p)^(n-k)), with 0 * log 0 read as 0 so that p = 0 and p = 1 work.
double log_powers(int64_t n, int64_t k, double chance) {
    double sum = 0.0;
    if (k > 0)
        sum += chance == 0.0 ? minus_infinity : static_cast<double>(k) * std::log(chance);
    if (n - k > 0)
        sum += chance == 1.0 ? minus_infinity : static_cast<double>(n - k) * std::log1p(-chance);
    return sum;
}

}  // namespace

double log_binomial_upper_tail(int64_t total, double chance, int64_t held) {
    if (held <= 0)
        return 0.0;
    if (held > total)
        return minus_infinity;
    double largest = minus_infinity;
    for (int64_t k = held; k <= total; ++k)
        largest = std::max(largest, log_choose(total, k) + log_powers(total, k, chance));
    if (largest == minus_infinity)
        return minus_infinity;
    double scaled_sum = 0.0;
    for (int64_t k = held; k <= total; ++k)
        scaled_sum += std::exp(log_choose(total, k) + log_powers(total, k, chance) - largest);
    return std::min(0.0, largest + std::log(scaled_sum));
}

double binomial_upper_tail(int64_t total, double chance, int64_t held) {
    return std::exp(log_binomial_upper_tail(total, chance, held));
}

double log10_of_log(double natural_log) { return natural_log / std::log(10.0); }

}  // namespace velnor
