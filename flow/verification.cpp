// Verification: the suspect is first matched to the owner's DSP core operation
// by operation and variable by variable, so that every constraint's variables
// can be looked up in the suspect; then each constraint is checked in the
// suspect and in the unsigned design, and the tallies become binomial tails.
#include "flow/verification.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <map>
#include <sstream>

#include "core/refusal.h"
#include "synthesis/coincidence.h"
#include "synthesis/random_allocation.h"

namespace velnor {
namespace {

[[noreturn]] void refuse(const std::string &why) {
    throw Refusal(Refusal::Reason::SuspectDesign, "the design is not one of this DSP core: " + why);
}

// The suspect's register of each of the owner's variables, in the owner's
// variable order, after checking that the suspect has exactly the owner's
// operations and variables. A suspect recovered from hardware may leave
// variables out; their register is 0. The owner's variables have unique
// names (each is named by its source), so a register found by name is the
// register of that variable's position.
std::vector<int32_t> suspect_registers(const Datapath &owner, const Datapath &suspect, bool partial) {
    if (suspect.operations.size() != owner.operations.size())
        refuse("it has " + std::to_string(suspect.operations.size()) + " operations, the DSP core " +
               std::to_string(owner.operations.size()));
    for (std::size_t i = 0; i < owner.operations.size(); ++i) {
        const DatapathOperation &mine = owner.operations[i];
        const DatapathOperation &theirs = suspect.operations[i];
        if (theirs.id != mine.id)
            refuse("operations[" + std::to_string(i) + "] has id " + std::to_string(theirs.id) + ", expected " +
                   std::to_string(mine.id));
        if (theirs.type != mine.type || theirs.first_input != mine.first_input ||
            theirs.second_input != mine.second_input || theirs.output != mine.output)
            refuse("operation " + std::to_string(mine.id) + " differs (" + std::string(1, theirs.type) + " " +
                   theirs.first_input + " " + theirs.second_input + " -> " + theirs.output + ", expected " +
                   std::string(1, mine.type) + " " + mine.first_input + " " + mine.second_input + " -> " +
                   mine.output + ")");
    }

    // A suspect written from a run of this core lists the owner's variables
    // in the owner's order, each in a register: read them by position.
    std::vector<int32_t> registers(owner.variables.size(), 0);
    const bool in_order =
        suspect.variables.size() == owner.variables.size() &&
        std::equal(owner.variables.begin(), owner.variables.end(), suspect.variables.begin(),
                   [](const DatapathVariable &mine, const DatapathVariable &theirs) {
                       return theirs.name == mine.name && theirs.register_number != 0;
                   });
    if (in_order) {
        for (std::size_t v = 0; v < registers.size(); ++v)
            registers[v] = suspect.variables[v].register_number;
        return registers;
    }

    std::map<std::string, std::size_t> position_of;
    for (std::size_t v = 0; v < owner.variables.size(); ++v)
        position_of.emplace(owner.variables[v].name, v);
    for (const DatapathVariable &variable : suspect.variables) {
        const auto found = position_of.find(variable.name);
        if (found == position_of.end())
            refuse("variable " + variable.name + " does not exist in the DSP core");
        int32_t &register_number = registers[found->second];
        if (register_number != 0)
            refuse("variable " + variable.name + " is listed twice");
        register_number = variable.register_number;
    }
    // The first missing variable by name, as a reader looking them up would meet them.
    if (!partial)
        for (const auto &[name, position] : position_of)
            if (registers[position] == 0)
                refuse("variable " + name + " is missing");
    return registers;
}

// P(at least held of total hold) when each holds with chance. Every constraint
// holding is the power itself, computed as the report computes its Pc.
double tail(const Tally &tally, double chance) {
    if (tally.held == tally.total)
        return std::pow(chance, static_cast<double>(tally.total));
    return binomial_upper_tail(tally.total, chance, tally.held);
}

// log10 of tail, finite where tail underflows.
double log10_tail(const Tally &tally, double chance) {
    if (tally.total == 0)
        return 0.0;
    if (tally.held == tally.total)
        return static_cast<double>(tally.total) * std::log10(chance);
    return log10_of_log(log_binomial_upper_tail(tally.total, chance, tally.held));
}

std::string tally_text(const Tally &tally) {
    return std::to_string(tally.held) + " of " + std::to_string(tally.total);
}

void count(Tally &tally, bool held) {
    ++tally.total;
    if (held)
        ++tally.held;
}

// A one constraint holds by chance with 1 - 1/(A M), A and M taken as at least 1.
double one_constraint_chance(const Design &unsigned_design) {
    const double units = static_cast<double>(std::max<int64_t>(unit_count(unsigned_design, Add), 1)) *
                         static_cast<double>(std::max<int64_t>(unit_count(unsigned_design, Multiply), 1));
    return 1.0 - 1.0 / units;
}

// Present when the distinguishing constraints are unlikely enough by chance;
// inconclusive when even all of them holding (best_possible) could not be.
Verdict verdict_for(double pc_distinguishing, double best_possible, double alpha) {
    if (pc_distinguishing <= alpha)
        return Verdict::Present;
    if (best_possible > alpha)
        return Verdict::Inconclusive;
    return Verdict::Absent;
}

// Where a register constraint's variables (numbered from 1) sit among the
// owner's variables; their names go into c.
std::pair<std::size_t, std::size_t> name_pair(CheckedConstraint &c, const Datapath &before, int32_t first,
                                              int32_t second) {
    const auto a = static_cast<std::size_t>(first - 1);
    const auto b = static_cast<std::size_t>(second - 1);
    c.a = before.variables.at(a).name;
    c.b = before.variables.at(b).name;
    return {a, b};
}

// Whether the suspect shows both variables of c, at positions a and b; one it
// does not is kept as unchecked and counted nowhere else.
bool shown(Verification &result, CheckedConstraint &c, const std::vector<int32_t> &in_suspect,
           std::pair<std::size_t, std::size_t> pair) {
    if (in_suspect[pair.first] != 0 && in_suspect[pair.second] != 0)
        return true;
    c.checked = false;
    ++result.unchecked;
    result.constraints.push_back(c);
    return false;
}

// A strong run's constraints: each together pair must share a register, which
// it does by chance with 1/R.
void check_together(Verification &result, const Embedding &embedding, const Datapath &before,
                    const std::vector<int32_t> &in_suspect) {
    Tally distinguishing;
    for (const auto &[partner, moved] : embedding.constraints.together_pairs) {
        CheckedConstraint c;
        c.kind = CheckedConstraint::Kind::Together;
        const auto pair = name_pair(c, before, partner, moved);
        c.distinguishing =
            before.variables[pair.first].register_number != before.variables[pair.second].register_number;
        if (!shown(result, c, in_suspect, pair))
            continue;
        c.held = in_suspect[pair.first] == in_suspect[pair.second];
        count(result.together, c.held);
        if (c.distinguishing)
            count(distinguishing, c.held);
        result.constraints.push_back(std::move(c));
    }
    const int32_t registers = embedding.figures.register_count_before;
    const double chance = registers > 0 ? 1.0 / registers : 1.0;
    result.pc_all = tail(result.together, chance);
    result.pc_distinguishing = tail(distinguishing, chance);
    result.log10_pc_all = log10_tail(result.together, chance);
    result.log10_pc_distinguishing = log10_tail(distinguishing, chance);
    result.distinguishing = distinguishing;
    result.verdict = verdict_for(result.pc_distinguishing,
                                 std::pow(chance, static_cast<double>(distinguishing.total)), result.alpha);
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
    const bool recovered = suspect.source == "verilog";
    const std::vector<int32_t> in_suspect = suspect_registers(before, suspect, recovered);

    Verification result;
    result.alpha = alpha;
    if (recovered) {
        result.found = FoundVariables{0, static_cast<int64_t>(before.variables.size())};
        result.found->variables = std::count_if(in_suspect.begin(), in_suspect.end(),
                                                [](int32_t register_number) { return register_number != 0; });
    }
    result.mode = embedding.figures.mode;
    if (result.mode == EmbeddingMode::Strong) {
        check_together(result, embedding, before, in_suspect);
        return result;
    }
    Tally zero_distinguishing, one_distinguishing;

    // Only the pairs of the signature's zeros are its constraints; phase 1 may examine one more.
    const auto zeros = static_cast<std::size_t>(std::max(embedding.figures.zero_count, 0));
    const std::size_t pairs = std::min(zeros, embedding.constraints.zero_pairs.size());
    for (std::size_t p = 0; p < pairs; ++p) {
        const auto [first, second] = embedding.constraints.zero_pairs[p];
        CheckedConstraint c;
        c.kind = CheckedConstraint::Kind::Zero;
        const auto pair = name_pair(c, before, first, second);
        c.distinguishing =
            before.variables[pair.first].register_number == before.variables[pair.second].register_number;
        if (!shown(result, c, in_suspect, pair))
            continue;
        c.held = in_suspect[pair.first] != in_suspect[pair.second];
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
        c.distinguishing = before.operations.at(index).variant != c.variant;
        if (recovered) {  // hardware does not show which variant of a unit ran an operation
            c.checked = false;
            ++result.unchecked;
            result.constraints.push_back(std::move(c));
            continue;
        }
        c.held = suspect.operations.at(index).variant == c.variant;
        count(result.ones, c.held);
        if (c.distinguishing)
            count(one_distinguishing, c.held);
        result.constraints.push_back(std::move(c));
    }

    const int32_t registers = embedding.figures.register_count_before;
    const double zero_chance = registers > 0 ? 1.0 - 1.0 / registers : 0.0;
    const double one_chance = one_constraint_chance(unsigned_design);

    result.pc_all = tail(result.zeros, zero_chance) * tail(result.ones, one_chance);
    result.pc_distinguishing = tail(zero_distinguishing, zero_chance) * tail(one_distinguishing, one_chance);
    result.log10_pc_all = log10_tail(result.zeros, zero_chance) + log10_tail(result.ones, one_chance);
    result.log10_pc_distinguishing =
        log10_tail(zero_distinguishing, zero_chance) + log10_tail(one_distinguishing, one_chance);
    result.distinguishing = {zero_distinguishing.held + one_distinguishing.held,
                             zero_distinguishing.total + one_distinguishing.total};

    const double best_possible = std::pow(zero_chance, static_cast<double>(zero_distinguishing.total)) *
                                 std::pow(one_chance, static_cast<double>(one_distinguishing.total));
    result.verdict = verdict_for(result.pc_distinguishing, best_possible, alpha);
    return result;
}

void estimate_empirical_coincidence(Verification &verification, const Design &unsigned_design, int64_t samples,
                                    uint64_t seed) {
    if (samples < 1)
        throw Refusal(Refusal::Reason::InvalidArgument, "the number of null samples must be at least 1");
    const Datapath before = datapath_of(unsigned_design);
    std::map<std::string, std::size_t> index_of;
    std::vector<VariableSpan> spans;
    for (const DatapathVariable &variable : before.variables) {
        index_of.emplace(variable.name, spans.size());
        spans.push_back({variable.birth, variable.death});
    }

    // The register constraints whose frequency is measured; one constraints keep the model's chance.
    struct Watched {
        std::size_t a = 0, b = 0;
        bool together = false;
        int64_t satisfied = 0;
    };
    std::vector<Watched> watched;
    double log10_pc = 0.0;
    for (const CheckedConstraint &c : verification.constraints) {
        if (!c.held || !c.distinguishing)
            continue;
        if (c.kind == CheckedConstraint::Kind::One)
            log10_pc += std::log10(one_constraint_chance(unsigned_design));
        else
            watched.push_back({index_of.at(c.a), index_of.at(c.b), c.kind == CheckedConstraint::Kind::Together, 0});
    }

    SplitMix64 stream(seed);
    for (int64_t sample = 0; sample < samples && !watched.empty(); ++sample) {
        const std::vector<int32_t> registers = random_register_allocation(spans, stream);
        for (Watched &w : watched)
            if ((registers[w.a] == registers[w.b]) == w.together)
                ++w.satisfied;
    }
    for (const Watched &w : watched)
        log10_pc += std::log10(static_cast<double>(w.satisfied + 1) / static_cast<double>(samples + 1));
    verification.empirical = EmpiricalCoincidence{samples, seed, std::pow(10.0, log10_pc), log10_pc};
}

std::string verification_text(const Verification &v) {
    // Probabilities in the key file's number format.
    std::ostringstream out;
    const bool strong = v.mode == EmbeddingMode::Strong;
    if (v.found)
        out << "variables found : " << v.found->variables << " of " << v.found->of << "\n"
            << "constraints unchecked : " << v.unchecked << "\n";
    if (strong)
        out << "together constraints held : " << tally_text(v.together) << "\n";
    else
        out << "zero constraints held : " << tally_text(v.zeros) << "\n"
            << "one constraints held : " << tally_text(v.ones) << "\n";
    out << "distinguishing constraints held : " << tally_text(v.distinguishing) << "\n"
        << "probability of coincidence (all) : " << v.pc_all << "\n";
    if (strong)
        out << "log10 probability of coincidence (all) : " << v.log10_pc_all << "\n";
    out << "probability of coincidence (distinguishing) : " << v.pc_distinguishing << "\n";
    if (strong)
        out << "log10 probability of coincidence (distinguishing) : " << v.log10_pc_distinguishing << "\n";
    if (v.empirical)
        out << "empirical probability of coincidence : " << v.empirical->pc << "\n"
            << "log10 empirical probability of coincidence : " << v.empirical->log10_pc << "\n";
    out << "verdict : " << verdict_name(v.verdict) << "\n";
    return out.str();
}

namespace {

// A probability as the stream writes it, or as a power of ten where it underflows to 0.
std::string probability_text(double probability, double log10_probability) {
    std::ostringstream out;
    if (probability == 0 && std::isfinite(log10_probability))
        out << "10^" << std::fixed << std::setprecision(1) << log10_probability;
    else
        out << probability;
    return out.str();
}

}  // namespace

std::string verdict_sentence(const Verification &v) {
    const std::string pc = probability_text(v.pc_distinguishing, v.log10_pc_distinguishing);
    std::ostringstream out;
    out << "alpha " << v.alpha << ": ";
    switch (v.verdict) {
    case Verdict::Present:
        out << "present: the suspect holds " << v.distinguishing.held << " of " << v.distinguishing.total
            << " constraints that the unsigned design of the same run breaks, which a design made without the key "
               "would do with a probability of at most "
            << pc << ", below alpha.";
        break;
    case Verdict::Absent:
        out << "absent: the signature could be proven, but the suspect holds only " << v.distinguishing.held << " of "
            << v.distinguishing.total << " distinguishing constraints, as many as chance gives with probability "
            << pc << ".";
        break;
    case Verdict::Inconclusive:
        out << "inconclusive: even if all " << v.distinguishing.total
            << " distinguishing constraints held, their chance would stay above alpha; this signature cannot "
               "prove ownership of this design.";
        break;
    }
    return out.str();
}

}  // namespace velnor
