// Binomial upper tails against exact sums and closed forms.
#include "synthesis/coincidence.h"

#include <cmath>

#include <gtest/gtest.h>

namespace velnor {
namespace {

// Exact tail by direct summation, fine for small totals.
double direct_tail(int n, double p, int h) {
    double sum = 0.0;
    for (int k = h; k <= n; ++k) {
        double choose = 1.0;
        for (int i = 1; i <= k; ++i)
            choose = choose * (n - k + i) / i;
        sum += choose * std::pow(p, k) * std::pow(1.0 - p, n - k);
    }
    return sum;
}

TEST(BinomialTail, MatchesDirectSumOnSmallTotals) {
    for (int n : {1, 5, 17, 40})
        for (double p : {0.05, 0.5, 0.75, 0.9375})
            for (int h = 0; h <= n; ++h)
                EXPECT_NEAR(binomial_upper_tail(n, p, h), direct_tail(n, p, h), 1e-12 * (1 + direct_tail(n, p, h)))
                    << n << " " << p << " " << h;
}

TEST(BinomialTail, AllHeldIsThePowerOfTheChance) {
    // The report's Pc: every one of z constraints holds.
    EXPECT_DOUBLE_EQ(binomial_upper_tail(3, 0.75, 3), 0.421875);
    EXPECT_NEAR(log_binomial_upper_tail(512, 0.5, 512), 512 * std::log(0.5), 1e-9);
    // Far below the smallest double, the logarithm is still exact.
    EXPECT_NEAR(log_binomial_upper_tail(512, 1.0 / 4096, 512), 512 * std::log(1.0 / 4096), 1e-8);
}

TEST(BinomialTail, TailsNear1e150KeepTheirDigits) {
    // P(X >= 500) for Binomial(512, 1/2): the sum of C(512,k) for k >= 500, over 2^512.
    const double log_tail = log_binomial_upper_tail(512, 0.5, 500);
    // Largest term C(512,500) 2^-512 dominates; the tail exceeds it by under 3 %.
    const double log_first = std::lgamma(513.0) - std::lgamma(501.0) - std::lgamma(13.0) + 512 * std::log(0.5);
    EXPECT_GT(log_tail, log_first);
    EXPECT_LT(log_tail, log_first + std::log(1.03));
    EXPECT_GT(binomial_upper_tail(512, 0.5, 500), 0.0);
}

TEST(BinomialTail, EdgesOfTheRange) {
    EXPECT_EQ(binomial_upper_tail(10, 0.3, 0), 1.0);
    EXPECT_EQ(binomial_upper_tail(0, 0.3, 0), 1.0);
    EXPECT_EQ(binomial_upper_tail(10, 0.3, 11), 0.0);
    EXPECT_EQ(binomial_upper_tail(4, 0.0, 1), 0.0);  // a single register: apart never by chance
    EXPECT_EQ(binomial_upper_tail(4, 1.0, 4), 1.0);
    EXPECT_LE(binomial_upper_tail(200, 0.999, 1), 1.0);
}

}  // namespace
}  // namespace velnor
