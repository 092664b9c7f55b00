// Verification of a suspect datapath against the owner's run: which of the
// constraints the embedding placed the suspect holds, which of them tell a
// signed design apart from the unsigned design of the same run, and how likely
// an unsigned design holds as many by chance.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/datapath.h"
#include "core/design.h"
#include "synthesis/embedding.h"

namespace velnor {

enum class Verdict { Present, Absent, Inconclusive };

// "present", "absent" or "inconclusive".
const char *verdict_name(Verdict verdict);

// One constraint of the signature as found in the suspect. A zero constraint
// keeps variables a and b in different registers; a together constraint of the
// strong embedding keeps its partner a and moved variable b in one register; a
// one constraint runs operation on variant.
struct CheckedConstraint {
    enum class Kind { Zero, One, Together } kind = Kind::Zero;
    std::string a, b;            // zero and together constraints: the pair, by name
    int32_t operation = 0;       // one constraints
    ModuleVariant variant = unbound_variant;
    bool held = false;           // the suspect satisfies it
    bool distinguishing = false; // the owner's unsigned design breaks it
    bool checked = true;         // false when the suspect does not show what it needs; then not counted
};

struct Tally {
    int64_t held = 0;
    int64_t total = 0;
};

// What independent random allocations of the same variables say: for each
// held distinguishing register constraint its frequency among the samples,
// (satisfied + 1) / (samples + 1); pc is their product, times the model's
// chance of each held distinguishing one constraint.
struct EmpiricalCoincidence {
    int64_t samples = 0;
    uint64_t seed = 0;
    double pc = 1;
    double log10_pc = 0;  // finite where pc underflows
};

// How many of the owner's variables a suspect recovered from hardware shows.
struct FoundVariables {
    int64_t variables = 0;
    int64_t of = 0;
};

struct Verification {
    EmbeddingMode mode = EmbeddingMode::Specified;
    std::optional<FoundVariables> found;  // only for a suspect recovered from hardware
    int64_t unchecked = 0;                // constraints such a suspect cannot show
    Tally zeros, ones, together, distinguishing;
    double pc_all = 1;             // chance of holding at least as many of all constraints
    double pc_distinguishing = 1;  // the same over the distinguishing constraints only
    double log10_pc_all = 0;       // the same two in log10, finite where they underflow
    double log10_pc_distinguishing = 0;
    double alpha = 0;
    Verdict verdict = Verdict::Inconclusive;
    // In embedding order: zeros, then ones; or the together constraints of a strong run.
    std::vector<CheckedConstraint> constraints;
    std::optional<EmpiricalCoincidence> empirical;  // only when asked for
};

// The alpha of a verdict unless the user chooses another.
constexpr double default_alpha = 1e-6;

// Checks suspect against the constraints of an owner's run: unsigned_design is
// the run's design right before embedding, embedding what the embedding of the
// signed design placed. The chance model is the report's: a zero constraint
// holds by chance with 1 - 1/R (R the registers before embedding), a one
// constraint with 1 - 1/(A M), a together constraint with 1/R. Refuses (SuspectDesign) a suspect of another
// DSP core: operations that differ, or variable names that the core does not have.
// A suspect recovered from hardware (source "verilog") may lack variables and
// shows no variants: a constraint naming a missing variable, and every one
// constraint, is unchecked, and the tallies, probabilities and verdict are over
// the checked constraints only.
Verification verify_datapath(const Design &unsigned_design, const Embedding &embedding, const Datapath &suspect,
                             double alpha);

// Sets verification.empirical from samples (at least 1) random register
// allocations of the unsigned design's variables, drawn from SplitMix64
// seeded with seed: the same seed gives the same estimate.
void estimate_empirical_coincidence(Verification &verification, const Design &unsigned_design, int64_t samples,
                                    uint64_t seed);

// One labelled line each, as velnor-cli verify prints them and the window's
// console shows them: the tallies ("H of T"), both probabilities in the key
// file's number format (each followed by its log10 for a strong run, whose
// probabilities underflow a double on large cores), the empirical probability
// when it was estimated, and the verdict.
std::string verification_text(const Verification &verification);

// One sentence on what the verdict means for this verification: how likely
// the distinguishing constraints it counted are to hold by chance, against alpha.
std::string verdict_sentence(const Verification &verification);

}  // namespace velnor
