// The handshake simulation: the netlist is checked and its gates put once in
// an order where every gate comes after the gates it reads (levelized into a
// compact array), then each settling walks that array once per block of 64
// vectors, and each clock edge moves every flip-flop's next value to its
// output at once.
#include "rtl/netlist_simulation.h"

#include <algorithm>
#include <limits>
#include <string>

#include "core/refusal.h"

namespace velnor {
namespace {

[[noreturn]] void refuse(const std::string &message) { throw Refusal(Refusal::Reason::SuspectNetlist, message); }

[[noreturn]] void refuse_stimulus(const std::string &message) {
    throw Refusal(Refusal::Reason::InvalidArgument, message);
}

// The gate kind with its article, for messages.
const char *gate_name(GateKind kind) {
    switch (kind) {
    case GateKind::Buffer: return "a buffer";
    case GateKind::Not: return "a NOT gate";
    case GateKind::And: return "an AND gate";
    case GateKind::Nand: return "a NAND gate";
    case GateKind::Or: return "an OR gate";
    case GateKind::Nor: return "a NOR gate";
    case GateKind::Xor: return "an XOR gate";
    case GateKind::Xnor: return "an XNOR gate";
    case GateKind::AndNot: return "an AND-NOT gate";
    case GateKind::OrNot: return "an OR-NOT gate";
    case GateKind::Mux: return "a multiplexer";
    case GateKind::NotMux: return "an inverting multiplexer";
    case GateKind::Aoi3: return "an AOI3 gate";
    case GateKind::Oai3: return "an OAI3 gate";
    case GateKind::Aoi4: return "an AOI4 gate";
    case GateKind::Oai4: return "an OAI4 gate";
    }
    return "a gate";
}

int input_count(GateKind kind) {
    switch (kind) {
    case GateKind::Buffer:
    case GateKind::Not: return 1;
    case GateKind::Mux:
    case GateKind::NotMux:
    case GateKind::Aoi3:
    case GateKind::Oai3: return 3;
    case GateKind::Aoi4:
    case GateKind::Oai4: return 4;
    default: return 2;
    }
}

// What drives a net, for the checks and the levelization: a gate's index, or one of these.
constexpr int32_t undriven = -1;
constexpr int32_t driven_by_constant = -2;
constexpr int32_t driven_by_input = -3;
constexpr int32_t driven_by_flip_flop = -4;

// A gate as the settling loop reads it: 24 bytes, no pointers.
struct LevelGate {
    GateKind kind;
    NetId a, b, c, d;
    NetId output;
};

// A flip-flop with its enable and reset made unconditional: an absent enable
// reads the constant-1 net, an absent reset the constant-0 net, and an
// active-low pin is flipped by its mask.
struct LevelFlipFlop {
    NetId d, q, enable, reset;
    uint64_t enable_flip, reset_flip, reset_value;
    bool reset_over_enable;
};

class Simulator {
public:
    Simulator(const Netlist &netlist, const HandshakeStimulus &stimulus);
    FlipFlopTrace run();

private:
    void check_nets();
    void mark_drivers(std::vector<int32_t> &driver);
    void levelize(const std::vector<int32_t> &driver);
    [[noreturn]] void refuse_loop(const std::vector<int32_t> &driver, const std::vector<int32_t> &pending) const;
    void set_net(NetId net, bool high);
    void settle();
    void clock_edge();
    void record(FlipFlopTrace &trace) const;
    bool done_everywhere() const;
    uint64_t *block(int32_t word) { return values_.data() + static_cast<std::size_t>(word) * nets_; }
    const uint64_t *block(int32_t word) const { return values_.data() + static_cast<std::size_t>(word) * nets_; }

    const Netlist &netlist_;
    const HandshakeStimulus &stimulus_;
    std::size_t nets_ = 0;
    int32_t words_ = 0;
    uint64_t last_word_mask_ = 0;
    std::vector<LevelGate> gates_;  // in settling order
    std::vector<LevelFlipFlop> flip_flops_;
    std::vector<uint64_t> values_;  // [word][net]
    std::vector<uint64_t> next_;    // one word per flip-flop, the edge's scratch
};

Simulator::Simulator(const Netlist &netlist, const HandshakeStimulus &stimulus)
    : netlist_(netlist), stimulus_(stimulus) {
    if (stimulus.vectors < 1 || stimulus.vectors > int64_t{64} * std::numeric_limits<int32_t>::max())
        refuse_stimulus("the simulation needs between 1 and 2^37 vectors, not " + std::to_string(stimulus.vectors));
    if (stimulus.max_edges < 0)
        refuse_stimulus("the simulation cannot give done a negative number of clock edges");
    check_nets();
    nets_ = static_cast<std::size_t>(netlist.net_count);
    words_ = static_cast<int32_t>((stimulus.vectors + 63) / 64);
    const int64_t tail = stimulus.vectors % 64;
    last_word_mask_ = tail == 0 ? ~uint64_t{0} : (uint64_t{1} << tail) - 1;

    std::vector<int32_t> driver(nets_, undriven);
    mark_drivers(driver);
    levelize(driver);

    flip_flops_.reserve(netlist.flip_flops.size());
    for (const FlipFlop &ff : netlist.flip_flops) {
        if (ff.clock != stimulus.clock)
            refuse("the flip-flop of type " + ff.type + " driving net " + std::to_string(ff.q) +
                   " is not clocked by the clock input");
        LevelFlipFlop level{};
        level.d = ff.d;
        level.q = ff.q;
        level.enable = ff.enable < 0 ? constant_one_net : ff.enable;
        level.enable_flip = ff.enable >= 0 && !ff.enable_active_high ? ~uint64_t{0} : 0;
        level.reset = ff.reset < 0 ? constant_zero_net : ff.reset;
        level.reset_flip = ff.reset >= 0 && !ff.reset_active_high ? ~uint64_t{0} : 0;
        level.reset_value = ff.reset_value ? ~uint64_t{0} : 0;
        level.reset_over_enable = ff.reset_over_enable;
        flip_flops_.push_back(level);
    }
    next_.resize(flip_flops_.size());
}

void Simulator::check_nets() {
    const int32_t count = netlist_.net_count;
    if (count < 2)
        refuse("the netlist has " + std::to_string(count) + " nets, fewer than its two constants");
    // The message is only made for a net out of range: this runs once per pin.
    const auto outside = [count](NetId net) { return net < 0 || net >= count; };
    const auto refuse_net = [count](const std::string &what, NetId net) {
        refuse(what + " net " + std::to_string(net) + ", outside the netlist's " + std::to_string(count) + " nets");
    };
    for (const NetlistPort &port : netlist_.ports)
        for (NetId bit : port.bits)
            if (outside(bit))
                refuse_net("the port " + port.name + " names", bit);
    for (const Gate &gate : netlist_.gates) {
        if (outside(gate.output))
            refuse_net(std::string(gate_name(gate.kind)) + " drives", gate.output);
        for (NetId input : gate.inputs)
            if (outside(input))
                refuse_net(std::string(gate_name(gate.kind)) + " reads", input);
    }
    for (const FlipFlop &ff : netlist_.flip_flops) {
        if (outside(ff.q))
            refuse_net("the flip-flop of type " + ff.type + " drives", ff.q);
        for (NetId input : {ff.d, ff.clock, ff.enable < 0 ? constant_one_net : ff.enable,
                            ff.reset < 0 ? constant_zero_net : ff.reset})
            if (outside(input))
                refuse_net("the flip-flop of type " + ff.type + " reads", input);
    }
    const auto check_stimulus = [count](NetId net) {
        if (net < 0 || net >= count)
            refuse_stimulus("the stimulus names net " + std::to_string(net) + ", outside the netlist's " +
                            std::to_string(count) + " nets");
    };
    for (NetId net : {stimulus_.clock, stimulus_.reset, stimulus_.start, stimulus_.done})
        check_stimulus(net);
    for (const BusStimulus &bus : stimulus_.inputs) {
        for (NetId bit : bus.bits)
            check_stimulus(bit);
        if (static_cast<int64_t>(bus.values.size()) != stimulus_.vectors)
            refuse_stimulus("an input bus has " + std::to_string(bus.values.size()) + " values for " +
                            std::to_string(stimulus_.vectors) + " vectors");
    }
}

// Every net has at most one driver: a constant, an input, a flip-flop or a gate.
void Simulator::mark_drivers(std::vector<int32_t> &driver) {
    driver[constant_zero_net] = driven_by_constant;
    driver[constant_one_net] = driven_by_constant;
    const auto mark_input = [&driver](NetId net) {
        if (driver[net] != driven_by_constant)
            driver[net] = driven_by_input;
    };
    for (const NetlistPort &port : netlist_.ports)
        if (port.input)
            for (NetId bit : port.bits)
                mark_input(bit);
    for (NetId net : {stimulus_.clock, stimulus_.reset, stimulus_.start})
        mark_input(net);
    for (const BusStimulus &bus : stimulus_.inputs)
        for (NetId bit : bus.bits)
            mark_input(bit);

    const auto describe = [this](int32_t source) -> std::string {
        if (source == driven_by_constant)
            return "a constant";
        if (source == driven_by_input)
            return "an input";
        if (source == driven_by_flip_flop)
            return "a flip-flop";
        return gate_name(netlist_.gates[static_cast<std::size_t>(source)].kind);
    };
    const auto claim = [&](NetId net, int32_t source) {
        if (driver[net] != undriven)
            refuse("net " + std::to_string(net) + " is driven twice: by " + describe(driver[net]) + " and by " +
                   describe(source));
        driver[net] = source;
    };
    for (const FlipFlop &ff : netlist_.flip_flops)
        claim(ff.q, driven_by_flip_flop);
    for (std::size_t g = 0; g < netlist_.gates.size(); ++g)
        claim(netlist_.gates[g].output, static_cast<int32_t>(g));
}

// Kahn's order: a gate is placed once every gate driving one of its inputs is.
void Simulator::levelize(const std::vector<int32_t> &driver) {
    const std::vector<Gate> &gates = netlist_.gates;
    const std::size_t gate_count = gates.size();
    std::vector<int32_t> pending(gate_count, 0);
    std::vector<int32_t> first_reader(nets_ + 1, 0);  // readers of net n: reader[first_reader[n] .. first_reader[n+1])
    for (std::size_t g = 0; g < gate_count; ++g)
        for (int i = 0; i < input_count(gates[g].kind); ++i) {
            const NetId input = gates[g].inputs[static_cast<std::size_t>(i)];
            if (driver[input] >= 0) {
                ++pending[g];
                ++first_reader[static_cast<std::size_t>(input) + 1];
            }
        }
    for (std::size_t n = 0; n < nets_; ++n)
        first_reader[n + 1] += first_reader[n];
    std::vector<int32_t> reader(static_cast<std::size_t>(first_reader[nets_]));
    std::vector<int32_t> fill(first_reader.begin(), first_reader.end() - 1);
    for (std::size_t g = 0; g < gate_count; ++g)
        for (int i = 0; i < input_count(gates[g].kind); ++i) {
            const NetId input = gates[g].inputs[static_cast<std::size_t>(i)];
            if (driver[input] >= 0)
                reader[static_cast<std::size_t>(fill[static_cast<std::size_t>(input)]++)] = static_cast<int32_t>(g);
        }

    std::vector<int32_t> order;  // doubles as the queue: order[head..] are placed but not yet expanded
    order.reserve(gate_count);
    for (std::size_t g = 0; g < gate_count; ++g)
        if (pending[g] == 0)
            order.push_back(static_cast<int32_t>(g));
    for (std::size_t head = 0; head < order.size(); ++head) {
        const NetId output = gates[static_cast<std::size_t>(order[head])].output;
        for (int32_t r = first_reader[static_cast<std::size_t>(output)];
             r < first_reader[static_cast<std::size_t>(output) + 1]; ++r)
            if (--pending[static_cast<std::size_t>(reader[static_cast<std::size_t>(r)])] == 0)
                order.push_back(reader[static_cast<std::size_t>(r)]);
    }
    if (order.size() != gate_count)
        refuse_loop(driver, pending);

    // Each gate's level: one more than the deepest gate it reads. Gates of one
    // level do not read each other, so within a level they are grouped by
    // kind, which keeps the settling loop's branch on the kind predictable.
    std::vector<int32_t> level(gate_count, 0);
    for (int32_t g : order) {
        const Gate &gate = gates[static_cast<std::size_t>(g)];
        int32_t deepest = -1;
        for (int i = 0; i < input_count(gate.kind); ++i) {
            const int32_t source = driver[gate.inputs[static_cast<std::size_t>(i)]];
            if (source >= 0)
                deepest = std::max(deepest, level[static_cast<std::size_t>(source)]);
        }
        level[static_cast<std::size_t>(g)] = deepest + 1;
    }
    std::stable_sort(order.begin(), order.end(), [&](int32_t x, int32_t y) {
        const auto ux = static_cast<std::size_t>(x), uy = static_cast<std::size_t>(y);
        return level[ux] != level[uy] ? level[ux] < level[uy] : gates[ux].kind < gates[uy].kind;
    });
    gates_.reserve(gate_count);
    for (int32_t g : order) {
        const Gate &gate = gates[static_cast<std::size_t>(g)];
        gates_.push_back({gate.kind, gate.inputs[0], gate.inputs[1], gate.inputs[2], gate.inputs[3], gate.output});
    }
}

// Walks back from an unplaced gate through unplaced drivers until a gate
// repeats, and names the nets of that cycle.
void Simulator::refuse_loop(const std::vector<int32_t> &driver, const std::vector<int32_t> &pending) const {
    const std::vector<Gate> &gates = netlist_.gates;
    std::size_t gate = 0;
    while (pending[gate] == 0)
        ++gate;
    std::vector<int32_t> visited_at(gates.size(), -1);
    std::vector<std::size_t> path;
    while (visited_at[gate] < 0) {
        visited_at[gate] = static_cast<int32_t>(path.size());
        path.push_back(gate);
        for (int i = 0; i < input_count(gates[gate].kind); ++i) {
            const int32_t source = driver[gates[gate].inputs[static_cast<std::size_t>(i)]];
            if (source >= 0 && pending[static_cast<std::size_t>(source)] > 0) {
                gate = static_cast<std::size_t>(source);
                break;
            }
        }
    }
    constexpr std::size_t named = 8;
    std::string nets;
    const std::size_t first = static_cast<std::size_t>(visited_at[gate]);
    for (std::size_t k = first; k < path.size() && k < first + named; ++k)
        nets += (k == first ? "" : ", ") + std::to_string(gates[path[k]].output);
    if (path.size() - first > named)
        nets += " and " + std::to_string(path.size() - first - named) + " more";
    refuse(std::string("a combinational loop runs through net") + (path.size() - first > 1 ? "s " : " ") + nets);
}

void Simulator::set_net(NetId net, bool high) {
    if (net == constant_zero_net || net == constant_one_net)
        return;
    for (int32_t word = 0; word < words_; ++word)
        block(word)[net] = high ? ~uint64_t{0} : 0;
}

void Simulator::settle() {
    for (int32_t word = 0; word < words_; ++word) {
        uint64_t *v = block(word);
        for (const LevelGate &g : gates_) {
            const uint64_t a = v[g.a];
            const uint64_t b = v[g.b];
            uint64_t y = 0;
            switch (g.kind) {
            case GateKind::Buffer: y = a; break;
            case GateKind::Not: y = ~a; break;
            case GateKind::And: y = a & b; break;
            case GateKind::Nand: y = ~(a & b); break;
            case GateKind::Or: y = a | b; break;
            case GateKind::Nor: y = ~(a | b); break;
            case GateKind::Xor: y = a ^ b; break;
            case GateKind::Xnor: y = ~(a ^ b); break;
            case GateKind::AndNot: y = a & ~b; break;
            case GateKind::OrNot: y = a | ~b; break;
            case GateKind::Mux: y = (a & ~v[g.c]) | (b & v[g.c]); break;
            case GateKind::NotMux: y = ~((a & ~v[g.c]) | (b & v[g.c])); break;
            case GateKind::Aoi3: y = ~((a & b) | v[g.c]); break;
            case GateKind::Oai3: y = ~((a | b) & v[g.c]); break;
            case GateKind::Aoi4: y = ~((a & b) | (v[g.c] & v[g.d])); break;
            case GateKind::Oai4: y = ~((a | b) & (v[g.c] | v[g.d])); break;
            }
            v[g.output] = y;
        }
    }
}

void Simulator::clock_edge() {
    for (int32_t word = 0; word < words_; ++word) {
        uint64_t *v = block(word);
        for (std::size_t f = 0; f < flip_flops_.size(); ++f) {
            const LevelFlipFlop &ff = flip_flops_[f];
            const uint64_t enabled = v[ff.enable] ^ ff.enable_flip;
            const uint64_t reset = v[ff.reset] ^ ff.reset_flip;
            const uint64_t held = v[ff.q];
            const uint64_t loaded = (reset & ff.reset_value) | (~reset & v[ff.d]);
            next_[f] = ff.reset_over_enable ? (reset & ff.reset_value) | (~reset & ((enabled & v[ff.d]) | (~enabled & held)))
                                            : (enabled & loaded) | (~enabled & held);
        }
        for (std::size_t f = 0; f < flip_flops_.size(); ++f)
            v[flip_flops_[f].q] = next_[f];
    }
}

void Simulator::record(FlipFlopTrace &trace) const {
    const std::size_t start = trace.values.size();
    trace.values.resize(start + flip_flops_.size() * static_cast<std::size_t>(words_));
    uint64_t *out = trace.values.data() + start;
    for (const LevelFlipFlop &ff : flip_flops_)
        for (int32_t word = 0; word < words_; ++word)
            *out++ = block(word)[ff.q] & (word == words_ - 1 ? last_word_mask_ : ~uint64_t{0});
    ++trace.samples;
}

bool Simulator::done_everywhere() const {
    for (int32_t word = 0; word < words_; ++word) {
        const uint64_t mask = word == words_ - 1 ? last_word_mask_ : ~uint64_t{0};
        if ((block(word)[stimulus_.done] & mask) != mask)
            return false;
    }
    return true;
}

FlipFlopTrace Simulator::run() {
    values_.assign(nets_ * static_cast<std::size_t>(words_), 0);
    for (int32_t word = 0; word < words_; ++word)
        block(word)[constant_one_net] = ~uint64_t{0};
    // The buses: bit b of vector k is bit k % 64 of word k / 64 of the bus's b-th net.
    for (const BusStimulus &bus : stimulus_.inputs)
        for (std::size_t b = 0; b < bus.bits.size(); ++b) {
            const NetId net = bus.bits[b];
            if (net == constant_zero_net || net == constant_one_net)
                continue;
            for (int32_t word = 0; word < words_; ++word)
                block(word)[net] = 0;
            for (int64_t k = 0; k < stimulus_.vectors; ++k)
                if (b < 64 && (bus.values[static_cast<std::size_t>(k)] >> b) & 1U)
                    block(static_cast<int32_t>(k / 64))[net] |= uint64_t{1} << (k % 64);
        }
    set_net(stimulus_.clock, false);

    FlipFlopTrace trace;
    trace.vectors = stimulus_.vectors;
    trace.words = words_;
    trace.flip_flops = static_cast<int32_t>(flip_flops_.size());

    set_net(stimulus_.reset, true);
    set_net(stimulus_.start, false);
    settle();
    clock_edge();
    set_net(stimulus_.reset, false);
    set_net(stimulus_.start, true);
    settle();
    clock_edge();
    record(trace);
    // From here on the inputs stay put, so the settling after one edge (which
    // reads done) is also the settling before the next.
    set_net(stimulus_.start, false);
    settle();
    for (int32_t edge = 1; edge <= stimulus_.max_edges; ++edge) {
        clock_edge();
        record(trace);
        settle();
        if (done_everywhere())
            return trace;
    }
    refuse("done never rose within " + std::to_string(stimulus_.max_edges) + " clock edges");
}

}  // namespace

FlipFlopTrace simulate_handshake(const Netlist &netlist, const HandshakeStimulus &stimulus) {
    Simulator simulator(netlist, stimulus);
    return simulator.run();
}

}  // namespace velnor
