// Verification of a suspect datapath against the owner's run: which of the
// constraints the embedding placed the suspect holds, which of them tell a
// signed design apart from the unsigned design of the same run, and how likely
// an unsigned design holds as many by chance.
#pragma once

#include <cstdint>
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
// keeps variables a and b in different registers; a one constraint runs
// operation on variant.
struct CheckedConstraint {
    enum class Kind { Zero, One } kind = Kind::Zero;
    std::string a, b;            // zero constraints: the pair, by name
    int32_t operation = 0;       // one constraints
    ModuleVariant variant = unbound_variant;
    bool held = false;           // the suspect satisfies it
    bool distinguishing = false; // the owner's unsigned design breaks it
};

struct Tally {
    int64_t held = 0;
    int64_t total = 0;
};

struct Verification {
    Tally zeros, ones, distinguishing;
    double pc_all = 1;             // chance of holding at least as many of all constraints
    double pc_distinguishing = 1;  // the same over the distinguishing constraints only
    double alpha = 0;
    Verdict verdict = Verdict::Inconclusive;
    std::vector<CheckedConstraint> constraints;  // in embedding order: zeros, then ones
};

// The alpha of a verdict unless the user chooses another.
constexpr double default_alpha = 1e-6;

// Checks suspect against the constraints of an owner's run: unsigned_design is
// the run's design right before embedding, embedding what the embedding of the
// signed design placed. The chance model is the report's: a zero constraint
// holds by chance with 1 - 1/R (R the registers before embedding), a one
// constraint with 1 - 1/(A M). Refuses (SuspectDesign) a suspect of another
// DSP core: operations that differ, or variable names that the core does not have.
Verification verify_datapath(const Design &unsigned_design, const Embedding &embedding, const Datapath &suspect,
                             double alpha);

// One labelled line each, as velnor-cli verify prints them and the window's
// console shows them: the three tallies ("H of T"), both probabilities in the
// key file's number format, and the verdict.
std::string verification_text(const Verification &verification);

}  // namespace velnor
