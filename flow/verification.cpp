// Verification: the suspect is first matched to the owner's DSP core operation
// by operation and variable by variable, so that every constraint can be looked
// up by name; then each constraint is checked in the suspect and in the
// unsigned design, and the tallies become binomial tails.
#include "flow/verification.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

#include "core/refusal.h"
#include "synthesis/coincidence.h"

namespace velnor {
namespace {

[[noreturn]] void refuse(const std::string &why) {
    throw Refusal(Refusal::Reason::SuspectDesign, "the design is not one of this DSP core: " + why);
}

// The suspect's register of every variable name, after checking that the
// suspect has exactly the owner's operations and variables.
std::map<std::string, int32_t> suspect_registers(const Datapath &owner, const Datapath &suspect) {
    if (suspect.operations.size() != owner.operations.size())
        refuse("it has " + std::to_string(suspect.operations.size()) + " operations, the DSP core " +
               std::to_string(owner.operations.size()));
    for (std::size_t i = 0; i < owner.operations.size(); ++i) {
        const DatapathOperation &mine = owner.operations[i];
        const DatapathOperation &theirs = suspect.operations[i];
        const std::string where = "operations[" + std::to_string(i) + "]";
        if (theirs.id != mine.id)
            refuse(where + " has id " + std::to_string(theirs.id) + ", expected " + std::to_string(mine.id));
        if (theirs.type != mine.type || theirs.first_input != mine.first_input ||
            theirs.second_input != mine.second_input || theirs.output != mine.output)
            refuse("operation " + std::to_string(mine.id) + " differs (" + std::string(1, theirs.type) + " " +
                   theirs.first_input + " " + theirs.second_input + " -> " + theirs.output + ", expected " +
                   std::string(1, mine.type) + " " + mine.first_input + " " + mine.second_input + " -> " +
                   mine.output + ")");
    }
    std::map<std::string, int32_t> registers;
    for (const DatapathVariable &variable : owner.variables)
        registers.emplace(variable.name, 0);
    for (const DatapathVariable &variable : suspect.variables) {
        const auto found = registers.find(variable.name);
        if (found == registers.end())
            refuse("variable " + variable.name + " does not exist in the DSP core");
        if (found->second != 0)
            refuse("variable " + variable.name + " is listed twice");
        found->second = variable.register_number;
    }
    for (const auto &[name, register_number] : registers)
        if (register_number == 0)
            refuse("variable " + name + " is missing");
    return registers;
}

std::map<std::string, int32_t> registers_by_name(const Datapath &datapath) {
    std::map<std::string, int32_t> registers;
    for (const DatapathVariable &variable : datapath.variables)
        registers.emplace(variable.name, variable.register_number);
    return registers;
}

// P(at least held of total hold) when each holds with chance. Every constraint
// holding is the power itself, computed as the report computes its Pc.
double tail(const Tally &tally, double chance) {
    if (tally.held == tally.total)
        return std::pow(chance, static_cast<double>(tally.total));
    return binomial_upper_tail(tally.total, chance, tally.held);
}

std::string tally_text(const Tally &tally) {
    return std::to_string(tally.held) + " of " + std::to_string(tally.total);
}

void count(Tally &tally, bool held) {
    ++tally.total;
    if (held)
        ++tally.held;
}

}  // namespace

const char *verdict_name(Verdict verdict) {
    switch (verdict) {
    case Verdict::Present:
        return "present";
    case Verdict::Absent:
        return "absent";
    case Verdict::Inconclusive:
        return "inconclusive";
    }
    return "inconclusive";
}

Verification verify_datapath(const Design &unsigned_design, const Embedding &embedding, const Datapath &suspect,
                             double alpha) {
    const Datapath before = datapath_of(unsigned_design);
    const std::map<std::string, int32_t> in_suspect = suspect_registers(before, suspect);
    const std::map<std::string, int32_t> in_unsigned = registers_by_name(before);

    Verification result;
    result.alpha = alpha;
    Tally zero_distinguishing, one_distinguishing;

    // Only the pairs of the signature's zeros are its constraints; phase 1 may examine one more.
    const auto zeros = static_cast<std::size_t>(std::max(embedding.figures.zero_count, 0));
    const std::size_t pairs = std::min(zeros, embedding.constraints.zero_pairs.size());
    for (std::size_t p = 0; p < pairs; ++p) {
        const auto [first, second] = embedding.constraints.zero_pairs[p];
        CheckedConstraint c;
        c.kind = CheckedConstraint::Kind::Zero;
        c.a = before.variables.at(static_cast<std::size_t>(first - 1)).name;
        c.b = before.variables.at(static_cast<std::size_t>(second - 1)).name;
        c.held = in_suspect.at(c.a) != in_suspect.at(c.b);
        c.distinguishing = in_unsigned.at(c.a) == in_unsigned.at(c.b);
        count(result.zeros, c.held);
        if (c.distinguishing)
            count(zero_distinguishing, c.held);
        result.constraints.push_back(std::move(c));
    }
    for (int32_t id : embedding.constraints.one_operations) {
        CheckedConstraint c;
        c.kind = CheckedConstraint::Kind::One;
        c.operation = id;
        c.variant = wanted_variant(id);
        const auto index = static_cast<std::size_t>(id - 1);
        c.held = suspect.operations.at(index).variant == c.variant;
        c.distinguishing = before.operations.at(index).variant != c.variant;
        count(result.ones, c.held);
        if (c.distinguishing)
            count(one_distinguishing, c.held);
        result.constraints.push_back(std::move(c));
    }

    const int32_t registers = embedding.figures.register_count_before;
    const double zero_chance = registers > 0 ? 1.0 - 1.0 / registers : 0.0;
    const double units = static_cast<double>(std::max<int64_t>(unit_count(unsigned_design, Add), 1)) *
                         static_cast<double>(std::max<int64_t>(unit_count(unsigned_design, Multiply), 1));
    const double one_chance = 1.0 - 1.0 / units;

    result.pc_all = tail(result.zeros, zero_chance) * tail(result.ones, one_chance);
    result.pc_distinguishing = tail(zero_distinguishing, zero_chance) * tail(one_distinguishing, one_chance);
    result.distinguishing = {zero_distinguishing.held + one_distinguishing.held,
                             zero_distinguishing.total + one_distinguishing.total};

    const double best_possible = std::pow(zero_chance, static_cast<double>(zero_distinguishing.total)) *
                                 std::pow(one_chance, static_cast<double>(one_distinguishing.total));
    if (result.pc_distinguishing <= alpha)
        result.verdict = Verdict::Present;
    else if (best_possible > alpha)
        result.verdict = Verdict::Inconclusive;
    else
        result.verdict = Verdict::Absent;
    return result;
}

std::string verification_text(const Verification &v) {
    // Probabilities in the key file's number format.
    std::ostringstream out;
    out << "zero constraints held : " << tally_text(v.zeros) << "\n"
        << "one constraints held : " << tally_text(v.ones) << "\n"
        << "distinguishing constraints held : " << tally_text(v.distinguishing) << "\n"
        << "probability of coincidence (all) : " << v.pc_all << "\n"
        << "probability of coincidence (distinguishing) : " << v.pc_distinguishing << "\n"
        << "verdict : " << verdict_name(v.verdict) << "\n";
    return out.str();
}

}  // namespace velnor
