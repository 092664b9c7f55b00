// How robust a signature is: what an adversary without the key must do to the
// owner's signed design before verification stops finding the signature, and
// how often a wrong key "finds" one. Four attacks, each trial verified as
// verify does:
// - move: a fraction of the variables, each moved to a register chosen
//   uniformly among the other registers free over its whole lifetime (the
//   register count stays, so the tampering costs no register); a variable with
//   no free register stays and is counted stuck;
// - rebind: a fraction of the bound adders and multipliers switch variant;
// - reallocate: every register reassigned by an independent random allocation;
// - forge: random keys run through the flow on the same core, library and unit
//   counts, each claim checked against the owner's signed and unsigned design.
// Every draw comes from SplitMix64 streams derived from the seed and the
// task's number, so the same seed gives the same trials in any order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/embedding_mode.h"
#include "flow/exploration.h"
#include "flow/flow.h"
#include "flow/verification.h"
#include "synthesis/split_mix64.h"

namespace velnor {

enum class AttackKind { Move, Rebind, Reallocate, Forge };

// "move", "rebind", "reallocate" or "forge".
const char *attack_name(AttackKind kind);

struct AttackPlan {
    std::vector<double> fractions{0, 0.05, 0.1, 0.2, 0.3, 0.5, 0.75, 1};  // each 0..1
    int64_t trials = 20;   // move and rebind trials per fraction, and reallocations
    int64_t keys = 1000;   // forged claims
    uint64_t seed = 1;
    double alpha = default_alpha;
};

// The owner's run as the attacks need it; made by attack_target.
struct AttackTarget {
    FlowRun owner;        // the owner's whole run: signed design, unsigned design, embedding
    FlowRun synthesized;  // the same run right after its resource counts, where forged keys start
    int64_t size = 0;     // the owner's constraint size, which forged claims use too
    EmbeddingMode mode = EmbeddingMode::Specified;
    Datapath signed_datapath, unsigned_datapath;  // what forged claims are checked against
};

// The target of the owner's completed run and of the same run right after its
// resource counts.
AttackTarget attack_target(FlowRun owner, FlowRun synthesized);

// One trial and what verification found in the tampered design.
struct AttackTrial {
    AttackKind kind = AttackKind::Move;
    double fraction = 0;         // move and rebind
    int64_t trial = 0;           // from 0 within its attack and fraction; forge: the key's number
    int64_t moved = 0;           // move: variables moved; rebind: operations switched
    int64_t stuck = 0;           // move: variables that found no free register
    bool against_signed = true;  // forge: checked against the signed design, else the unsigned
    std::optional<std::string> error;  // forge: why the flow refused the key
    Verification verification;
};

// What a move attack did: variables moved, and variables that stayed for want
// of a free register.
struct MoveTally {
    int64_t moved = 0;
    int64_t stuck = 0;
};

// Moves count distinct variables of design, in random order, each to a
// register chosen uniformly among the other registers free over its whole
// lifetime as the design stands; the register count never changes.
MoveTally move_random_variables(Design &design, int64_t count, SplitMix64 &stream);

// Switches the variant of count distinct bound adders and multipliers of
// datapath; returns how many it switched.
int64_t switch_random_variants(Datapath &datapath, int64_t count, SplitMix64 &stream);

// ceil(fraction x count), without the rounding error of a product such as
// 0.1 x 30 = 3.0000000000000004 turning into 4.
int64_t share_of(double fraction, int64_t count);

// Tasks in output order: per fraction, trials moves then trials rebinds; then
// trials reallocations; then one task per forged key (two trials: against the
// signed design, then the unsigned).
uint64_t attack_task_count(const AttackPlan &plan);

// Runs task number index (0 <= index < attack_task_count). forged_keys holds
// plan.keys keys (random_keys(plan.keys, plan.seed)). Safe to call from many
// threads at once on the same target.
std::vector<AttackTrial> run_attack_task(const AttackTarget &target, const AttackPlan &plan,
                                         const std::vector<ExplorationKey> &forged_keys, uint64_t index);

// One forged claim: key run through the flow from target.synthesized, its
// signature verified against the signed and the unsigned design. The owner's
// own key gives the owner's claim.
std::vector<AttackTrial> forge_claim(const AttackTarget &target, const ExplorationKey &key, int64_t key_number,
                                     double alpha);

// The summary of the trials: one row per attack and fraction (move, rebind),
// one for reallocation, one per forge target.
struct AttackSummaryRow {
    AttackKind kind = AttackKind::Move;
    double fraction = 0;
    bool against_signed = true;  // forge
    int64_t trials = 0;          // forge: claims that ran (refused keys left out)
    int64_t present = 0, absent = 0, inconclusive = 0;
    double median_log10_pc = 0;   // of log10 pc_distinguishing over the trials
    double largest_log10_pc = 0;
    double smallest_log10_pc = 0;  // forge: the strongest false claim
    int64_t moved = 0, stuck = 0;  // move and rebind: totals over the trials
};

std::vector<AttackSummaryRow> summarize_attacks(const AttackPlan &plan, const std::vector<AttackTrial> &trials);

}  // namespace velnor
