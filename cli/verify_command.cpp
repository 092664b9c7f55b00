// verify for the batch tool: the same flow as run up to the embedding, the
// unsigned design kept aside, then the engine's verification of the file.
#include "cli/verify_command.h"

#include <cmath>
#include <cstdlib>

#include "cli/json_text.h"
#include "core/datapath_file.h"

namespace velnor::cli {
namespace {

std::string tally_json(const Tally &tally) {
    return "{\"held\": " + std::to_string(tally.held) + ", \"total\": " + std::to_string(tally.total) + "}";
}

std::string constraint_json(const CheckedConstraint &c) {
    std::string text = "{\"kind\": ";
    if (c.kind == CheckedConstraint::Kind::Zero)
        text += "\"zero\", \"a\": " + json_string(c.a) + ", \"b\": " + json_string(c.b);
    else
        text += "\"one\", \"operation\": " + std::to_string(c.operation) + ", \"variant\": " +
                std::to_string(c.variant);
    return text + ", \"held\": " + json_bool(c.held) + ", \"distinguishing\": " + json_bool(c.distinguishing) + "}";
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

Verification verify_design_file(const RunRequest &request, const std::string &design_path, double alpha,
                                 std::ostream &log) {
    const FlowRun run = run_flow(request, log);
    try {
        return verify_datapath(run.unsigned_design, run.embedding, read_datapath_file(design_path), alpha);
    } catch (const Refusal &refusal) {
        throw Refusal(refusal.reason(), std::string("--design: ") + refusal.what());
    }
}

std::string verification_json(const Verification &v) {
    JsonObject json;
    json.add("zeros", tally_json(v.zeros));
    json.add("ones", tally_json(v.ones));
    json.add("distinguishing", tally_json(v.distinguishing));
    json.add_number("pc_all", v.pc_all);
    json.add_number("pc_distinguishing", v.pc_distinguishing);
    json.add_number("alpha", v.alpha);
    json.add_string("verdict", verdict_name(v.verdict));
    std::string constraints = "[";
    for (std::size_t i = 0; i < v.constraints.size(); ++i)
        constraints += (i == 0 ? "\n    " : ",\n    ") + constraint_json(v.constraints[i]);
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
