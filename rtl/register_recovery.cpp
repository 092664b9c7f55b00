// Register recovery: stimulate, simulate, then match. Each variable's bit is
// a pattern of one bit per vector; a flip-flop carries the bit at a step when
// its own pattern at that step is the same. Patterns that never change carry
// nothing, and a bit that two flip-flops carry at once says nothing about
// which one is the variable's register, so only sole carriers count.
#include "rtl/register_recovery.h"

#include <algorithm>
#include <map>
#include <numeric>

#include "core/refusal.h"
#include "rtl/datapath_evaluator.h"
#include "rtl/netlist_simulation.h"
#include "synthesis/split_mix64.h"

namespace velnor {
namespace {

[[noreturn]] void refuse(const std::string &why) { throw Refusal(Refusal::Reason::SuspectNetlist, why); }

// The suspect's port that plays velnor's port, in the direction velnor expects.
const NetlistPort &port_playing(const Netlist &netlist, const PortMap &ports, const std::string &mine, bool input) {
    const std::string &theirs = ports(mine);
    const std::string called = theirs == mine ? theirs : theirs + " (velnor's " + mine + ")";
    const NetlistPort *port = find_port(netlist, theirs);
    if (port == nullptr)
        refuse("the suspect has no port " + called);
    if (port->input != input)
        refuse("the suspect's port " + called + " is an " + (port->input ? "input" : "output") + ", expected an " +
               (input ? "input" : "output"));
    if (port->bits.empty())
        refuse("the suspect's port " + called + " has no bits");
    return *port;
}

// Union-find over variables and flip-flops.
class Partition {
public:
    explicit Partition(std::size_t size) : parent_(size) { std::iota(parent_.begin(), parent_.end(), 0); }
    std::size_t root(std::size_t node) {
        while (parent_[node] != node)
            node = parent_[node] = parent_[parent_[node]];
        return node;
    }
    void join(std::size_t a, std::size_t b) { parent_[root(a)] = root(b); }

private:
    std::vector<std::size_t> parent_;
};

// The bit patterns of every variable: pattern(v, b) is one bit per vector of
// bit b of variable v, in words of 64 vectors.
class Patterns {
public:
    Patterns(std::size_t variables, int32_t width, int64_t vectors)
        : width_(width), words_((vectors + 63) / 64), bits_(variables * static_cast<std::size_t>(width) *
                                                             static_cast<std::size_t>(words_)) {}

    void set(std::size_t variable, int64_t vector, uint64_t value) {
        for (int32_t bit = 0; bit < width_; ++bit)
            if ((value >> bit) & 1)
                pattern(variable, bit)[vector / 64] |= uint64_t{1} << (vector % 64);
    }
    uint64_t *pattern(std::size_t variable, int32_t bit) {
        return bits_.data() + (variable * static_cast<std::size_t>(width_) + static_cast<std::size_t>(bit)) *
                                  static_cast<std::size_t>(words_);
    }
    int64_t words() const { return words_; }

private:
    int32_t width_;
    int64_t words_;
    std::vector<uint64_t> bits_;
};

uint64_t low_bits(int32_t width) { return width >= 64 ? ~uint64_t{0} : (uint64_t{1} << width) - 1; }

// Whether a pattern over vectors changes at all: neither all zeros nor all ones.
bool changes(const uint64_t *pattern, int64_t words, int64_t vectors) {
    bool any_one = false, any_zero = false;
    for (int64_t w = 0; w < words; ++w) {
        const int64_t used = std::min<int64_t>(64, vectors - w * 64);
        const uint64_t mask = used == 64 ? ~uint64_t{0} : (uint64_t{1} << used) - 1;
        any_one = any_one || (pattern[w] & mask) != 0;
        any_zero = any_zero || (pattern[w] & mask) != mask;
    }
    return any_one && any_zero;
}

uint64_t pattern_hash(const uint64_t *pattern, int64_t words) {
    uint64_t hash = 0x9E3779B97F4A7C15ULL;
    for (int64_t w = 0; w < words; ++w)
        hash = (hash ^ pattern[w]) * 0xBF58476D1CE4E5B9ULL;
    return hash;
}

// The flip-flops of one sample, findable by their value pattern.
class SampleIndex {
public:
    SampleIndex(const FlipFlopTrace &trace, int32_t sample) : trace_(trace), sample_(sample) {
        for (int32_t ff = 0; ff < trace.flip_flops; ++ff) {
            const uint64_t *value = trace.value(sample, ff);
            if (changes(value, trace.words, trace.vectors))
                entries_.push_back({pattern_hash(value, trace.words), ff});
        }
        std::sort(entries_.begin(), entries_.end());
    }

    // How many flip-flops carry pattern (counting stops at two), and the first.
    std::pair<int, int32_t> carriers(const uint64_t *pattern) const {
        const uint64_t hash = pattern_hash(pattern, trace_.words);
        auto entry = std::lower_bound(entries_.begin(), entries_.end(), std::pair<uint64_t, int32_t>{hash, -1});
        int count = 0;
        int32_t first = -1;
        for (; entry != entries_.end() && entry->first == hash && count < 2; ++entry) {
            const uint64_t *value = trace_.value(sample_, entry->second);
            if (std::equal(pattern, pattern + trace_.words, value)) {
                if (count++ == 0)
                    first = entry->second;
            }
        }
        return {count, first};
    }

private:
    const FlipFlopTrace &trace_;
    int32_t sample_;
    std::vector<std::pair<uint64_t, int32_t>> entries_;
};

}  // namespace

RecoveredDatapath recover_datapath(const Datapath &owner, const Netlist &netlist, const RecoveryOptions &options) {
    if (options.vectors < 1 || options.vectors > max_recovery_vectors)
        throw Refusal(Refusal::Reason::InvalidArgument, "the number of vectors must be 1 to " +
                                                            std::to_string(max_recovery_vectors));
    HandshakeStimulus stimulus;
    stimulus.clock = port_playing(netlist, options.ports, "clk", true).bits[0];
    stimulus.reset = port_playing(netlist, options.ports, "rst", true).bits[0];
    stimulus.start = port_playing(netlist, options.ports, "start", true).bits[0];
    stimulus.done = port_playing(netlist, options.ports, "done", false).bits[0];
    stimulus.vectors = options.vectors;
    stimulus.max_edges = 2 * owner.control_steps + 16;

    // The input ports and their width.
    const std::vector<int32_t> input_ids = input_port_ids(owner);
    int32_t width = 0;
    std::string first_input;
    for (int32_t id : input_ids) {
        const std::string name = "in_" + std::to_string(id);
        const NetlistPort &port = port_playing(netlist, options.ports, name, true);
        const auto bits = static_cast<int32_t>(port.bits.size());
        if (width == 0) {
            width = bits;
            first_input = options.ports(name);
        } else if (bits != width) {
            refuse("the suspect's input ports differ in width: " + first_input + " has " + std::to_string(width) +
                   " bits, " + options.ports(name) + " " + std::to_string(bits));
        }
        stimulus.inputs.push_back({port.bits, {}});
    }
    if (width > largest_word_width)
        refuse("the suspect's input ports are " + std::to_string(width) + " bits wide; at most " +
               std::to_string(largest_word_width) + " are simulated");

    // The random inputs and every variable's value in each vector.
    std::map<std::string, std::size_t> variable_index;
    for (std::size_t v = 0; v < owner.variables.size(); ++v)
        variable_index.emplace(owner.variables[v].name, v);
    const std::size_t variable_count = owner.variables.size();
    std::vector<std::vector<uint64_t>> values(variable_count, std::vector<uint64_t>(options.vectors, 0));
    Patterns patterns(variable_count, width, options.vectors);
    SplitMix64 stream(options.seed);
    const uint64_t mask = low_bits(width);
    for (int64_t vector = 0; vector < options.vectors; ++vector) {
        std::map<int32_t, uint64_t> inputs;
        for (std::size_t i = 0; i < input_ids.size(); ++i) {
            const uint64_t value = stream.next() & mask;
            inputs.emplace(input_ids[i], value);
            stimulus.inputs[i].values.push_back(value);
        }
        const std::map<int32_t, uint64_t> results = evaluate_datapath(owner, inputs, width);
        const auto record = [&](const std::string &name, uint64_t value) {
            const auto found = variable_index.find(name);
            if (found == variable_index.end())
                return;
            values[found->second][static_cast<std::size_t>(vector)] = value;
            patterns.set(found->second, vector, value);
        };
        for (const auto &[id, value] : inputs)
            record(input_variable_name(id), value);
        for (const auto &[id, value] : results)
            record(result_variable_name(id), value);
    }

    // Which variables can be found at all, and which of their bits tell.
    RecoveredDatapath recovered;
    recovered.evidence.assign(variable_count, VariableEvidence::NotHeld);
    std::vector<std::vector<int32_t>> informative(variable_count);
    for (std::size_t v = 0; v < variable_count; ++v) {
        for (int32_t bit = 0; bit < width; ++bit)
            if (changes(patterns.pattern(v, bit), patterns.words(), options.vectors))
                informative[v].push_back(bit);
        if (informative[v].empty())
            recovered.evidence[v] = VariableEvidence::Constant;
    }
    std::vector<std::size_t> by_value(variable_count);
    std::iota(by_value.begin(), by_value.end(), 0);
    std::sort(by_value.begin(), by_value.end(), [&values](std::size_t a, std::size_t b) {
        return values[a] != values[b] ? values[a] < values[b] : a < b;
    });
    for (std::size_t i = 1; i < by_value.size(); ++i)
        if (values[by_value[i]] == values[by_value[i - 1]])
            for (std::size_t v : {by_value[i], by_value[i - 1]})
                if (recovered.evidence[v] == VariableEvidence::NotHeld)
                    recovered.evidence[v] = VariableEvidence::Ambiguous;

    const FlipFlopTrace trace = simulate_handshake(netlist, stimulus);

    // Sole carriers at each step of a variable's life join it to their flip-flops.
    Partition partition(variable_count + static_cast<std::size_t>(trace.flip_flops));
    const int32_t last_sample = std::min(trace.samples - 1, owner.control_steps);
    for (int32_t sample = 0; sample <= last_sample; ++sample) {
        const SampleIndex index(trace, sample);
        for (std::size_t v = 0; v < variable_count; ++v) {
            const DatapathVariable &variable = owner.variables[v];
            if (sample < variable.birth || sample > variable.death ||
                (recovered.evidence[v] != VariableEvidence::NotHeld && recovered.evidence[v] != VariableEvidence::Found))
                continue;
            std::vector<std::pair<int, int32_t>> carriers;
            for (int32_t bit : informative[v]) {
                carriers.push_back(index.carriers(patterns.pattern(v, bit)));
                if (carriers.back().first == 0)
                    break;
            }
            if (carriers.back().first == 0)
                continue;  // not every bit is held: v is not in a register at this step
            for (const auto &[count, flip_flop] : carriers)
                if (count == 1) {
                    partition.join(v, variable_count + static_cast<std::size_t>(flip_flop));
                    recovered.evidence[v] = VariableEvidence::Found;
                }
        }
    }

    // Registers numbered in the order of their first variable.
    recovered.datapath = owner;
    recovered.datapath.source = "verilog";
    recovered.datapath.variables.clear();
    for (DatapathOperation &op : recovered.datapath.operations)
        op.variant = unbound_variant;
    std::map<std::size_t, int32_t> register_of_root;
    for (std::size_t v = 0; v < variable_count; ++v) {
        if (recovered.evidence[v] != VariableEvidence::Found)
            continue;
        const auto number = register_of_root.emplace(partition.root(v), register_of_root.size() + 1).first->second;
        DatapathVariable variable = owner.variables[v];
        variable.register_number = number;
        recovered.datapath.variables.push_back(variable);
    }
    recovered.datapath.registers = static_cast<int32_t>(register_of_root.size());
    recovered.variables_found = static_cast<int64_t>(recovered.datapath.variables.size());
    recovered.variables_total = static_cast<int64_t>(variable_count);
    recovered.word_width = width;
    recovered.cells = static_cast<int64_t>(netlist.gates.size() + netlist.flip_flops.size());
    recovered.flip_flops = static_cast<int32_t>(netlist.flip_flops.size());
    recovered.clock_edges = trace.samples - 1;
    return recovered;
}

}  // namespace velnor
