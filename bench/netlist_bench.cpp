// The handshake simulation of a realistic suspect netlist: the signed datapath
// of the 247-operation generated core is written as Verilog and synthesized by
// Yosys once at set-up (not timed); each iteration simulates 64 random input
// vectors from reset to done.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>

#include "cli/run_flow.h"
#include "core/datapath.h"
#include "core/refusal.h"
#include "rtl/netlist_simulation.h"
#include "rtl/register_recovery.h"
#include "rtl/verilog_writer.h"
#include "tools/yosys_netlist.h"

namespace {

struct SuspectRun {
    velnor::Datapath owner;  // the unsigned design of the run, whose variables are looked for
    velnor::Netlist netlist;
    velnor::HandshakeStimulus stimulus;
};

// The run of the verification tests on gen_247: two units of each kind, one
// encoding, a 512-bit signature.
SuspectRun suspect_run() {
    velnor::cli::RunRequest request;
    request.dfg = VELNOR_BENCH_DATA "/characterization/gen_247.txt";
    request.library = VELNOR_BENCH_DATA "/lib/library_a.txt";
    request.adders = request.multipliers = request.subtractors = request.comparators = QString("2");
    request.encodings = "4";
    request.rounds = "80 80";
    request.size = "512";
    std::ostringstream log;
    const velnor::FlowRun run = velnor::cli::run_flow(request, log);
    const velnor::Datapath datapath = velnor::datapath_of(run.design);

    QTemporaryDir folder;
    const std::string path = folder.path().toStdString() + "/suspect.v";
    std::ofstream(path) << velnor::datapath_verilog(datapath, velnor::DesignStage::Signed);
    SuspectRun suspect;
    suspect.owner = velnor::datapath_of(run.unsigned_design);
    suspect.netlist = velnor::read_verilog_netlist(path, velnor::verilog_module_name(datapath), /*seconds=*/600);

    const velnor::Netlist &netlist = suspect.netlist;
    velnor::HandshakeStimulus &s = suspect.stimulus;
    s.clock = velnor::find_port(netlist, "clk")->bits.at(0);
    s.reset = velnor::find_port(netlist, "rst")->bits.at(0);
    s.start = velnor::find_port(netlist, "start")->bits.at(0);
    s.done = velnor::find_port(netlist, "done")->bits.at(0);
    s.vectors = 64;
    s.max_edges = datapath.control_steps + 8;
    std::mt19937_64 random(247);
    for (const velnor::NetlistPort &port : netlist.ports)
        if (port.input && port.name.rfind("in_", 0) == 0) {
            velnor::BusStimulus bus{port.bits, {}};
            for (int64_t k = 0; k < s.vectors; ++k)
                bus.values.push_back(random());
            s.inputs.push_back(bus);
        }
    return suspect;
}

// Made once for every benchmark and repetition: Yosys takes far longer than
// the simulation.
const std::optional<SuspectRun> &made_suspect() {
    static const std::optional<SuspectRun> made = []() -> std::optional<SuspectRun> {
        try {
            return suspect_run();
        } catch (const std::exception &error) {
            std::fprintf(stderr, "no suspect netlist: %s\n", error.what());
            return std::nullopt;
        }
    }();
    return made;
}

void HandshakeSimulation(benchmark::State &state) {
    const std::optional<SuspectRun> &made = made_suspect();
    if (!made) {
        state.SkipWithError("no suspect netlist (see standard error)");
        return;
    }
    const SuspectRun &suspect = *made;
    int32_t samples = 0;
    for (auto _ : state) {
        const velnor::FlipFlopTrace trace = velnor::simulate_handshake(suspect.netlist, suspect.stimulus);
        samples = trace.samples;
        benchmark::DoNotOptimize(trace.values.data());
    }
    state.counters["gates"] = static_cast<double>(suspect.netlist.gates.size());
    state.counters["flip_flops"] = static_cast<double>(suspect.netlist.flip_flops.size());
    state.counters["edges"] = samples + 1;
}

BENCHMARK(HandshakeSimulation)->Unit(benchmark::kMillisecond);

// The whole recovery as verify --verilog runs it once Yosys has read the
// suspect: the owner's values of every variable in each vector, the
// simulation, and the matching of flip-flops to variables.
void RegisterRecovery(benchmark::State &state) {
    const std::optional<SuspectRun> &made = made_suspect();
    if (!made) {
        state.SkipWithError("no suspect netlist (see standard error)");
        return;
    }
    velnor::RecoveryOptions options;
    options.vectors = state.range(0);
    int64_t found = 0;
    for (auto _ : state) {
        const velnor::RecoveredDatapath recovered = velnor::recover_datapath(made->owner, made->netlist, options);
        found = recovered.variables_found;
        benchmark::DoNotOptimize(recovered.datapath.variables.data());
    }
    state.counters["variables_found"] = static_cast<double>(found);
    state.counters["variables"] = static_cast<double>(made->owner.variables.size());
}

BENCHMARK(RegisterRecovery)->Arg(64)->Arg(256)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
