// Probabilities of coincidence for a suspect design: how likely an unsigned
// design holds at least a given number of independent constraints by chance.
// Computed in log space so that tails far below the smallest double, and
// signatures of hundreds of constraints, stay exact to rounding.
#pragma once

#include <cstdint>

namespace velnor {

// Natural logarithm of P(X >= held) for X ~ Binomial(total, chance). Needs
// 0 <= chance <= 1 and total >= 0; held <= 0 gives 0 (certain), held > total
// gives -infinity (impossible).
double log_binomial_upper_tail(int64_t total, double chance, int64_t held);

// exp of the above; underflows to 0 only where the tail is below ~1e-308.
double binomial_upper_tail(int64_t total, double chance, int64_t held);

// log10 of a natural logarithm, for printing.
double log10_of_log(double natural_log);

}  // namespace velnor
