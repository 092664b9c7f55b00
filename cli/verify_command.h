// velnor-cli verify: the owner's run, recomputed from the stego key, checked
// against a suspect datapath file; prints the tallies, the probabilities and
// the verdict.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "cli/json_text.h"
#include "cli/run_flow.h"
#include "flow/verification.h"
#include "tools/suspect_verilog.h"

namespace velnor::cli {

// The exit statuses of verify beside run's: 0 present, 3 absent, 4 inconclusive.
enum VerifyStatus { Present = 0, Absent = 3, Inconclusive = 4 };

// --null-samples N and --seed S: how many random allocations estimate the
// empirical probability, and the seed of their stream.
struct NullSampling {
    int64_t samples = 0;
    uint64_t seed = 1;
};

// Runs the owner's flow and checks the design file, then, when asked, draws
// the null samples; refusals (an unreadable or malformed design file, a design
// of another DSP core, a bad --alpha) throw Refusal naming the option.
Verification verify_design_file(const RunRequest &request, const std::string &design_path, double alpha,
                                 const std::optional<NullSampling> &null_sampling, std::ostream &log);

// verify --verilog's options as typed; absent ones take their defaults.
struct HardwareRequest {
    std::string verilog;                       // --verilog
    std::optional<std::string> top;            // --top
    std::optional<std::string> ports_file;     // --ports
    std::optional<std::string> vectors;        // --vectors: 1 to max_recovery_vectors
    std::optional<std::string> seed;           // --seed: of the input vectors (and of the null samples)
    std::optional<std::string> yosys_seconds;  // --yosys-seconds: above 0, at most max_yosys_seconds
};

// Runs the owner's flow, reads the suspect Verilog through yosys, recovers its
// register allocation and verifies it; then, when asked, draws the null
// samples. Refusals name the option that carried the value at fault.
HardwareVerification verify_verilog_file(const RunRequest &request, const HardwareRequest &hardware, double alpha,
                                         const std::optional<NullSampling> &null_sampling, std::ostream &log);

// Parses --alpha: a number above 0 and at most 1.
double parse_alpha(const std::string &text);

// Parses --null-samples (1 to max_null_samples) and --seed (an unsigned 64-bit
// decimal number; 1 when not given).
NullSampling parse_null_sampling(const std::string &samples, const std::optional<std::string> &seed);

// Parses --seed: an unsigned 64-bit decimal number.
uint64_t parse_seed(const std::string &text);

// Enough samples to tell frequencies of one in a hundred thousand apart, and a
// bound on how long one verification may take.
constexpr int64_t max_null_samples = 1000000;

// With name_embedding (the embedding was chosen on the command line) the
// object names it; a strong run's is always named.
std::string verification_json(const Verification &verification, bool name_embedding);

// The members of verification_json but the constraints, added to json (an
// attack's line carries them beside its own).
void add_verification_members(JsonObject &json, const Verification &verification, bool name_embedding);

int verify_status(Verdict verdict);

}  // namespace velnor::cli
