// The harness bodies: scratch files for the readers, the flow as the batch tool
// runs it, and the checkers that say whether the result keeps its promises.
#include "fuzz/fuzz_bodies.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <QStringList>

#include "cli/command_line.h"
#include "flow/demo_inputs.h"
#include "cli/run_flow.h"
#include "core/binding.h"
#include "core/loading.h"
#include "core/module_library_reader.h"
#include "hash/hash_chain.h"
#include "hash/hash_engine.h"
#include "hash/key_text.h"
#include "hash/stego_key.h"
#include "import/dot_import.h"
#include "rtl/netlist_simulation.h"
#include "synthesis/embedding_checks.h"
#include "synthesis/resource_constraints.h"
#include "synthesis/schedule_checks.h"
#include "tools/yosys_netlist.h"

namespace velnor::fuzz {
namespace {

[[noreturn]] void broken(const std::string &what) {
    std::fprintf(stderr, "promise broken: %s\n", what.c_str());
    std::abort();
}

void require_empty(const std::string &check_message) {
    if (!check_message.empty())
        broken(check_message);
}

std::string scratch_path;

void remove_scratch_folder() {
    std::error_code ignored;
    std::filesystem::remove_all(scratch_path, ignored);
}

// One scratch folder for the process, made on first use and removed at exit.
const std::string &scratch_folder() {
    static const bool made = [] {
        char pattern[] = "/tmp/velnor-fuzz-XXXXXX";
        if (!mkdtemp(pattern))
            broken("cannot make a scratch folder");
        scratch_path = pattern;
        std::atexit(remove_scratch_folder);
        return true;
    }();
    (void)made;
    return scratch_path;
}

std::string write_scratch(const std::string &name, const std::string &text) {
    const std::string path = scratch_folder() + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out)
        broken("cannot write " + path);
    return path;
}

const std::string &demo_library_path() {
    static const std::string path = write_scratch("demo_library.txt", demo_inputs().library_text);
    return path;
}

std::string text_of(const std::uint8_t *data, std::size_t size) {
    return std::string(reinterpret_cast<const char *>(data), size);
}

std::vector<std::string> split(const std::string &text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

// The first bit of the input port named name, or the constant-0 net.
NetId input_bit(const Netlist &netlist, const std::string &name) {
    const NetlistPort *port = find_port(netlist, name);
    return port != nullptr && port->input && !port->bits.empty() ? port->bits[0] : constant_zero_net;
}

void require_nets_in_range(const Netlist &netlist) {
    if (netlist.net_count < 2 || netlist.net_count - 2 > largest_netlist_size)
        broken("the net count " + std::to_string(netlist.net_count) + " is out of range");
    const auto in_range = [&netlist](NetId net) { return net >= 0 && net < netlist.net_count; };
    const auto driven = [&in_range](NetId net) { return in_range(net) && net > constant_one_net; };
    for (const NetlistPort &port : netlist.ports)
        for (NetId bit : port.bits)
            if (!in_range(bit))
                broken("the port " + port.name + " names a net out of range");
    for (const Gate &gate : netlist.gates) {
        if (!driven(gate.output))
            broken("a gate drives a constant or a net out of range");
        for (NetId input : gate.inputs)
            if (!in_range(input))
                broken("a gate reads a net out of range");
    }
    for (const FlipFlop &ff : netlist.flip_flops)
        if (!driven(ff.q) || !in_range(ff.d) || !in_range(ff.clock) || ff.enable < -1 || ff.enable >= netlist.net_count ||
            ff.reset < -1 || ff.reset >= netlist.net_count)
            broken("the flip-flop " + ff.type + " names a net out of range");
}

}  // namespace

void dsp_core_flow(const std::uint8_t *data, std::size_t size) {
    if (size < 4)
        return;
    cli::RunRequest request;
    request.dfg = QString::fromStdString(write_scratch("core.txt", text_of(data + 4, size - 4)));
    request.library = QString::fromStdString(demo_library_path());
    request.adders = QString::number(1 + data[0] % 4);
    request.multipliers = QString::number(1 + data[1] % 4);
    request.subtractors = QString("1");
    request.comparators = QString("1");
    request.encodings = QString::number(1 + data[2] % 9);
    request.rounds = QString::number(1 + data[3] % 80) + " 80";
    request.size = QString::number((data[2] / 9) * 8 + data[3] / 80);
    std::ostream quiet(nullptr);
    FlowRun run;
    try {
        run = cli::run_flow(request, quiet);
    } catch (const Refusal &refusal) {
        // A refused value is a normal end; a broken promise found inside is not.
        if (refusal.reason() == Refusal::Reason::BrokenInvariant || refusal.reason() == Refusal::Reason::InvalidArgument)
            broken(refusal.what());
        return;
    }
    const Design &design = run.design;
    require_empty(check_step_table(design, design.list_steps, &Operation::list_step, "list", true));
    require_empty(check_precedence(design));
    require_empty(check_step_limits(design, scheduling_limits(design)));
    require_empty(check_variant_quota(design));
    require_empty(check_lifetimes(design));
    require_empty(check_registers(design));
    require_empty(check_controller_table(design));
    require_empty(check_register_lifetimes(design));
    require_empty(check_examined_pairs_apart(design, run.embedding.constraints));
    require_empty(check_one_constraints(design, run.embedding.constraints));
    const EmbeddingFigures &figures = run.embedding.figures;
    for (const double figure :
         {figures.initial_area, figures.initial_latency, figures.cost_phase2, figures.pc_phase1, figures.pc_phase2})
        if (!std::isfinite(figure))
            broken("a figure is not finite");
}

void module_library(const std::uint8_t *data, std::size_t size) {
    const std::string path = write_scratch("library.txt", text_of(data, size));
    Design design;
    try {
        read_module_library(design, path);
    } catch (const Refusal &) {
        return;
    }
    for (const auto *table : {&design.area_table, &design.delay_table})
        for (const auto &[type, values] : *table)
            for (const double value : {values.first, values.second})
                if (!(value > 0.0 && value <= largest_library_value))
                    broken("a library value outside (0, 1e9] was taken");
    if (!(design.register_area > 0.0 && design.register_area <= largest_library_value) ||
        !(design.register_delay > 0.0 && design.register_delay <= largest_library_value))
        broken("a register value outside (0, 1e9] was taken");
    design.resources[Add] = design.adder_count;
    design.resources[Multiply] = design.multiplier_count;
    if (!std::isfinite(compute_area(design, 1000)))
        broken("the area of the largest unit counts is not finite");
}

void stego_key(const std::uint8_t *data, std::size_t size) {
    const std::vector<std::string> lines = split(text_of(data, size), '\n');
    if (lines.size() < 4)
        return;
    const std::optional<int> count = parse_typed_integer(lines[0]);
    if (!count || *count < 1 || *count > 9)
        return;
    const int n = *count;
    std::vector<int> encodings, order, rounds;
    try {
        encodings = parse_encodings_for(number_line(QString::fromStdString(lines[1])), n);
        order = input_order(lines[2], n);
        rounds = parse_rounds(number_line(QString::fromStdString(lines[3])));
    } catch (const Refusal &) {
        return;
    }
    if (rounds.size() != static_cast<std::size_t>(2 * n))
        return;
    if (static_cast<int>(encodings.size()) < n || rounds.size() != static_cast<std::size_t>(2 * n))
        broken("an accepted key has too few encodings or rounds");
    if (input_round_count(rounds_key(rounds), n) != rounds)
        broken("the rounds key does not decode to the rounds");
    // The encoded inputs: n bit strings whose lengths and bits come from the rest.
    std::string rest;
    for (std::size_t i = 4; i < lines.size(); ++i)
        rest += lines[i];
    std::vector<std::string> inputs;
    for (int block = 0; block < n; ++block) {
        const std::size_t length = rest.empty() ? 1 : static_cast<unsigned char>(rest[block % rest.size()]) * 4;
        std::string bits(length, '0');
        for (std::size_t i = 0; i < length && !rest.empty(); ++i)
            bits[i] = (static_cast<unsigned char>(rest[i % rest.size()]) >> (i % 8)) & 1U ? '1' : '0';
        inputs.push_back(bits);
    }
    HashEngine engine;
    std::ostream quiet(nullptr);
    std::string output;
    try {
        output = run_hash_chain(engine, inputs, order, rounds, quiet);
    } catch (const Refusal &) {
        return;
    }
    if (output.size() != 512 || output.find_first_not_of("01") != std::string::npos)
        broken("the hash output is not 512 bits");
}

void command_line(const std::uint8_t *data, std::size_t size) {
    static const std::string dfg = write_scratch("diffeq.txt", demo_inputs().dfg_text);
    QStringList arguments;
    for (const std::string &part : split(text_of(data, size), '\0')) {
        if (part == "--out" || part == "--record" || part == "--map" || part.rfind("--datapath", 0) == 0)
            return;  // a file written where the input says, or its failure (status 1), is not what is fuzzed
        if (part == "--c" || part == "--clang-arg" || part.rfind("--verilog", 0) == 0)
            return;  // nor clang or Yosys run as a child process, with whatever arguments the input gives it
        if (part.rfind("DFG=", 0) == 0)
            arguments << QString::fromStdString(write_scratch("given_core.txt", part.substr(4)));
        else if (part.rfind("LIB=", 0) == 0)
            arguments << QString::fromStdString(write_scratch("given_library.txt", part.substr(4)));
        else
            arguments << (part == "DFG"   ? QString::fromStdString(dfg)
                          : part == "LIB" ? QString::fromStdString(demo_library_path())
                                          : QString::fromStdString(part));
    }
    std::ostringstream out, err;
    const int status = cli::run_command_line(arguments, out, err, [] { return std::time_t{0}; });
    const std::string message = err.str();
    if (status == cli::Success) {
        if (out.str().empty())
            broken("a successful run printed nothing");
        return;
    }
    if (status != cli::Refused)
        broken("status " + std::to_string(status) + ": " + message);
    if (message.empty() || message.find('\n') != message.size() - 1)
        broken("a refusal is not exactly one line: " + message);
}

// What an import made of a file, or why it refused it; a refusal must be a value's, on one line.
struct ImportOutcome {
    std::optional<ImportedCore> core;
    Refusal::Reason reason = Refusal::Reason::ImportFile;
    std::string refusal;
};

ImportOutcome imported_or_refused(const std::string &path, DotImportOptions options) {
    try {
        return {import_dot(path, options), {}, {}};
    } catch (const Refusal &refusal) {
        if (refusal.reason() == Refusal::Reason::BrokenInvariant || refusal.reason() == Refusal::Reason::InvalidArgument)
            broken(refusal.what());
        if (std::string(refusal.what()).find('\n') != std::string::npos)
            broken(std::string("a refusal of more than one line: ") + refusal.what());
        return {std::nullopt, refusal.reason(), refusal.what()};
    }
}

// A refusal of the operations found rather than of the file: a cycle among
// them, or more than the hash chain takes. --strict-compare makes fewer
// operations, so it may import such a file; any other refusal stands for both.
bool refused_for_its_operations(const ImportOutcome &outcome) {
    return outcome.reason == Refusal::Reason::DspCoreTooLarge ||
           outcome.refusal.find("has a cycle among its operations") != std::string::npos;
}

std::size_t line_count(const std::string &text) {
    if (!text.empty() && text.back() != '\n')
        broken("text that does not end in a line feed: " + text);
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// The imported core loads as a DFG file and holds what its counts and map say.
void require_loadable(const ImportedCore &core) {
    Design design;
    std::ostream quiet(nullptr);
    try {
        load_dsp_core(design, write_scratch("imported.txt", core.dfg_text), quiet, operation_limit(1));
    } catch (const Refusal &refusal) {
        broken(std::string("the imported core does not load: ") + refusal.what());
    }
    const auto count = static_cast<std::size_t>(core.operation_count);
    const OperationCounts &c = core.counts;
    if (design.operations.size() != count || line_count(core.dfg_text) != count || line_count(core.map_text) != count ||
        static_cast<std::size_t>(c.add + c.subtract + c.multiply + c.divide + c.compare) != count)
        broken("the counts, the DFG text and the map disagree: " + core.dfg_text);
}

void netlist_json(const std::uint8_t *data, std::size_t size) {
    Netlist netlist;
    try {
        netlist = netlist_from_yosys_json(text_of(data, size), std::nullopt);
    } catch (const Refusal &refusal) {
        if (refusal.reason() != Refusal::Reason::SuspectNetlist)
            broken(refusal.what());
        if (std::string(refusal.what()).find('\n') != std::string::npos)
            broken("a refusal is not one line: " + std::string(refusal.what()));
        return;
    }
    require_nets_in_range(netlist);

    HandshakeStimulus stimulus;
    stimulus.clock = input_bit(netlist, "clk");
    stimulus.reset = input_bit(netlist, "rst");
    stimulus.start = input_bit(netlist, "start");
    const NetlistPort *done = find_port(netlist, "done");
    stimulus.done = done != nullptr && !done->bits.empty() ? done->bits[0] : constant_zero_net;
    stimulus.vectors = 1 + static_cast<int64_t>(size % 3) * 40;  // 1, 41 or 81: one block or two
    stimulus.max_edges = 6;
    std::mt19937_64 random(size);
    for (const NetlistPort &port : netlist.ports) {
        if (!port.input || port.name == "clk" || port.name == "rst" || port.name == "start")
            continue;
        BusStimulus bus{port.bits, {}};
        for (int64_t k = 0; k < stimulus.vectors; ++k)
            bus.values.push_back(random());
        stimulus.inputs.push_back(std::move(bus));
    }
    FlipFlopTrace trace;
    try {
        trace = simulate_handshake(netlist, stimulus);
    } catch (const Refusal &refusal) {
        // The stimulus is made from the netlist's own ports, so only the netlist may be refused.
        if (refusal.reason() != Refusal::Reason::SuspectNetlist)
            broken(refusal.what());
        return;
    }
    const int64_t words = (stimulus.vectors + 63) / 64;
    if (trace.words != words || trace.flip_flops != static_cast<int32_t>(netlist.flip_flops.size()) ||
        trace.samples < 2 || trace.samples > stimulus.max_edges + 1 ||
        trace.values.size() != static_cast<std::size_t>(trace.samples * trace.flip_flops * trace.words))
        broken("the trace's shape does not match its netlist and stimulus");
    const int64_t tail = stimulus.vectors % 64;
    if (tail != 0)
        for (int32_t sample = 0; sample < trace.samples; ++sample)
            for (int32_t ff = 0; ff < trace.flip_flops; ++ff)
                if (trace.value(sample, ff)[words - 1] >> tail != 0)
                    broken("a trace has bits beyond its vectors");
}

void dot_import(const std::uint8_t *data, std::size_t size) {
    const std::string path = write_scratch("core.dot", text_of(data, size));
    const ImportOutcome loose = imported_or_refused(path, DotImportOptions{/*strict_compare=*/false});
    const ImportOutcome strict = imported_or_refused(path, DotImportOptions{/*strict_compare=*/true});
    if (strict.core && !loose.core && !refused_for_its_operations(loose))
        broken("refused without --strict-compare but imported with it: " + loose.refusal);
    if (loose.core)
        require_loadable(*loose.core);
    if (strict.core) {
        require_loadable(*strict.core);
        if (loose.core && strict.core->operation_count > loose.core->operation_count)
            broken("--strict-compare found more operations");
    }
    // Graphviz's parser keeps state between files: a second import must see the same.
    const ImportOutcome again = imported_or_refused(path, DotImportOptions{/*strict_compare=*/false});
    if (again.core.has_value() != loose.core.has_value() || again.refusal != loose.refusal ||
        (again.core && (again.core->dfg_text != loose.core->dfg_text || again.core->map_text != loose.core->map_text)))
        broken("a second import of the same file differs");
}

}  // namespace velnor::fuzz
