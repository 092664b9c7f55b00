// verify for the batch tool: the same flow as run up to the embedding, the
// unsigned design kept aside, then the engine's verification of the file.
#include "cli/verify_command.h"

#include <cmath>
#include <cstdlib>

#include <QString>

#include "cli/json_text.h"
#include "core/datapath_file.h"
#include "hash/key_text.h"

namespace velnor::cli {
namespace {

std::string tally_json(const Tally &tally) {
    return "{\"held\": " + std::to_string(tally.held) + ", \"total\": " + std::to_string(tally.total) + "}";
}

std::string constraint_json(const CheckedConstraint &c, bool name_checked) {
    std::string text = "{\"kind\": ";
    if (c.kind == CheckedConstraint::Kind::Zero)
        text += "\"zero\", \"a\": " + json_string(c.a) + ", \"b\": " + json_string(c.b);
    else if (c.kind == CheckedConstraint::Kind::Together)
        text += "\"together\", \"a\": " + json_string(c.a) + ", \"b\": " + json_string(c.b);
    else
        text += "\"one\", \"operation\": " + std::to_string(c.operation) + ", \"variant\": " +
                std::to_string(c.variant);
    text += ", \"held\": " + json_bool(c.held) + ", \"distinguishing\": " + json_bool(c.distinguishing);
    if (name_checked)
        text += ", \"checked\": " + json_bool(c.checked);
    return text + "}";
}

}  // namespace

double parse_alpha(const std::string &text) {
    char *end = nullptr;
    const double alpha = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(alpha) || alpha <= 0 || alpha > 1)
        throw Refusal(Refusal::Reason::CommandLine,
                      "--alpha: must be a number above 0 and at most 1");
    return alpha;
}

NullSampling parse_null_sampling(const std::string &samples, const std::optional<std::string> &seed) {
    NullSampling sampling;
    const std::optional<int> count = parse_typed_integer(samples);
    if (!count || *count < 1 || *count > max_null_samples)
        throw Refusal(Refusal::Reason::CommandLine,
                      "--null-samples: must be a whole number from 1 to " + std::to_string(max_null_samples));
    sampling.samples = *count;
    if (seed)
        sampling.seed = parse_seed(*seed);
    return sampling;
}

uint64_t parse_seed(const std::string &text) {
    bool ok = false;
    const uint64_t seed = QString::fromStdString(text).toULongLong(&ok, 10);
    if (!ok || text.empty() || text[0] < '0' || text[0] > '9')
        throw Refusal(Refusal::Reason::CommandLine, "--seed: must be a whole number from 0 to 18446744073709551615");
    return seed;
}

Verification verify_design_file(const RunRequest &request, const std::string &design_path, double alpha,
                                 const std::optional<NullSampling> &null_sampling, std::ostream &log) {
    const FlowRun run = run_flow(request, log);
    Verification verification;
    try {
        verification = verify_datapath(run.unsigned_design, run.embedding, read_datapath_file(design_path), alpha);
    } catch (const Refusal &refusal) {
        throw Refusal(refusal.reason(), std::string("--design: ") + refusal.what());
    }
    if (null_sampling)
        estimate_empirical_coincidence(verification, run.unsigned_design, null_sampling->samples,
                                       null_sampling->seed);
    return verification;
}

namespace {

[[noreturn]] void refuse_value(const char *option, const std::string &why) {
    throw Refusal(Refusal::Reason::CommandLine, std::string("--") + option + ": " + why);
}

SuspectVerilog suspect_from(const HardwareRequest &hardware) {
    SuspectVerilog suspect;
    suspect.path = hardware.verilog;
    suspect.top = hardware.top;
    if (hardware.top && hardware.top->empty())
        refuse_value("top", "needs a module name");
    if (hardware.vectors) {
        const std::optional<int> vectors = parse_typed_integer(*hardware.vectors);
        if (!vectors || *vectors < 1 || *vectors > max_recovery_vectors)
            refuse_value("vectors", "must be a whole number from 1 to " + std::to_string(max_recovery_vectors));
        suspect.recovery.vectors = *vectors;
    }
    if (hardware.seed)
        suspect.recovery.seed = parse_seed(*hardware.seed);
    if (hardware.yosys_seconds) {
        char *end = nullptr;
        const double seconds = std::strtod(hardware.yosys_seconds->c_str(), &end);
        if (hardware.yosys_seconds->empty() || end != hardware.yosys_seconds->c_str() + hardware.yosys_seconds->size() ||
            !std::isfinite(seconds) || seconds <= 0 || seconds > max_yosys_seconds)
            refuse_value("yosys-seconds", "must be a number of seconds above 0 and at most 86400");
        suspect.yosys_seconds = seconds;
    }
    if (hardware.ports_file) {
        try {
            suspect.recovery.ports = read_port_map_file(*hardware.ports_file);
        } catch (const Refusal &refusal) {
            throw Refusal(refusal.reason(), std::string("--ports: ") + refusal.what());
        }
    }
    return suspect;
}

}  // namespace

HardwareVerification verify_verilog_file(const RunRequest &request, const HardwareRequest &hardware, double alpha,
                                         const std::optional<NullSampling> &null_sampling, std::ostream &log) {
    // Every option is checked before the flow and yosys spend their time.
    const SuspectVerilog suspect = suspect_from(hardware);
    const FlowRun run = run_flow(request, log);
    HardwareVerification checked;
    try {
        checked = verify_suspect_verilog(run.unsigned_design, run.embedding, suspect, alpha, log);
    } catch (const Refusal &refusal) {
        throw Refusal(refusal.reason(), std::string("--verilog: ") + refusal.what());
    }
    if (null_sampling)
        estimate_empirical_coincidence(checked.verification, run.unsigned_design, null_sampling->samples,
                                       null_sampling->seed);
    return checked;
}

void add_verification_members(JsonObject &json, const Verification &v, bool name_embedding) {
    const bool strong = v.mode == EmbeddingMode::Strong;
    if (name_embedding || strong)
        json.add_string("embedding", embedding_mode_name(v.mode));
    if (v.found) {
        json.add("found", "{\"variables\": " + std::to_string(v.found->variables) + ", \"of\": " +
                              std::to_string(v.found->of) + "}");
        json.add_integer("unchecked", static_cast<long long>(v.unchecked));
    }
    json.add("zeros", tally_json(v.zeros));
    json.add("ones", tally_json(v.ones));
    if (strong)
        json.add("together", tally_json(v.together));
    json.add("distinguishing", tally_json(v.distinguishing));
    json.add_number("pc_all", v.pc_all);
    json.add_number("pc_distinguishing", v.pc_distinguishing);
    if (strong) {
        json.add_number("log10_pc_all", v.log10_pc_all);
        json.add_number("log10_pc_distinguishing", v.log10_pc_distinguishing);
    }
    if (v.empirical) {
        json.add_number("pc_empirical", v.empirical->pc);
        json.add_number("log10_pc_empirical", v.empirical->log10_pc);
        json.add_integer("null_samples", static_cast<long long>(v.empirical->samples));
        json.add("seed", std::to_string(v.empirical->seed));
    }
    json.add_number("alpha", v.alpha);
    json.add_string("verdict", verdict_name(v.verdict));
}

std::string verification_json(const Verification &v, bool name_embedding) {
    JsonObject json;
    add_verification_members(json, v, name_embedding);
    std::string constraints = "[";
    for (std::size_t i = 0; i < v.constraints.size(); ++i)
        constraints += (i == 0 ? "\n    " : ",\n    ") + constraint_json(v.constraints[i], v.found.has_value());
    constraints += v.constraints.empty() ? "]" : "\n  ]";
    json.add("constraints", constraints);
    return json.close();
}

int verify_status(Verdict verdict) {
    switch (verdict) {
    case Verdict::Present:
        return Present;
    case Verdict::Absent:
        return Absent;
    case Verdict::Inconclusive:
        return Inconclusive;
    }
    return Inconclusive;
}

}  // namespace velnor::cli
