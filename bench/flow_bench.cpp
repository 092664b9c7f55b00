// The batch tool's whole run on generated DSP cores of about 20, 100 and 380
// operations (380 is the most the hash chain takes with two or more
// encodings): loading both files, synthesis, the hash chain of four blocks,
// embedding 512 bits or fewer, the pipeline, and writing the report and the
// key file. The same run on the largest core the hash chain takes (895
// operations, one encoding). Then the stages alone on the same cores, so that
// a regression shows where: synthesis under the resource counts, the hash
// chain, and the embedding with its reference designs. Last, synthesis of
// chains of 5,000 and 10,000 operations, far beyond what the hash chain takes,
// to show that synthesis itself scales.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "cli/command_line.h"
#include "core/asap_alap.h"
#include "core/binding.h"
#include "core/dfg_reader.h"
#include "core/loading.h"
#include "hash/encoding.h"
#include "hash/hash_chain.h"
#include "synthesis/embedding.h"
#include "synthesis/pipeline.h"
#include "synthesis/resource_constraints.h"

namespace {

// A DSP core of n operations: one in four (and the first two) multiply or add
// primary inputs, the others combine two earlier results; ids run 1..n.
std::string generated_core(int n) {
    std::mt19937 random(static_cast<unsigned>(n));
    const char operators[] = {'+', '+', '*', '*', '-'};
    std::ostringstream text;
    for (int id = 1; id <= n; ++id) {
        const char op = operators[random() % 5];
        if (id <= 2 || random() % 4 == 0) {
            text << op << " 0 0 " << id << "\n";
        } else {
            const auto a = 1 + random() % static_cast<unsigned>(id - 1);
            const auto b = 1 + random() % static_cast<unsigned>(id - 1);
            text << op << ' ' << a << ' ' << b << ' ' << id << "\n";
        }
    }
    return text.str();
}

const char library[] =
    "adder       0 2   400 2   220 4   4   0 0 0 0 0\n"
    "multiplier  2 2  1600 4   900 7   4   0 0 0 0 0\n"
    "register    5    30 1\n";

void write(const QString &path, const std::string &text) { std::ofstream(path.toStdString()) << text; }

// velnor-cli run in-process, each iteration from no files, as a fresh save.
void run_repeatedly(benchmark::State &state, const QString &dfg, const QString &lib, const QString &out,
                    const QStringList &key_options, const std::string &report, const std::string &key) {
    QStringList arguments{"run", "--dfg", dfg, "--library", lib, "--adders", "2", "--multipliers", "2"};
    arguments << key_options << "--out" << out << "--stamp" << "B";

    for (auto _ : state) {
        std::ostringstream printed, errors;
        const int status = velnor::cli::run_command_line(arguments, printed, errors);
        if (status != 0) {
            state.SkipWithError(errors.str().c_str());
            break;
        }
        benchmark::DoNotOptimize(printed.str().size());
        // The files are appended to; each run starts from empty ones, so every
        // run writes the same bytes. Emptying them is the benchmark's upkeep,
        // not part of a run, so it is not timed. They are emptied rather than
        // removed: thousands of files created and deleted in one folder make
        // each new inode slower to find on ext4, a cost of the churn that grows
        // with the number of iterations.
        state.PauseTiming();
        std::ofstream(report, std::ios::trunc);
        std::ofstream(key, std::ios::trunc);
        state.ResumeTiming();
    }
}

void WholeRun(benchmark::State &state) {
    const int operations = static_cast<int>(state.range(0));
    QTemporaryDir folder;
    const QString dfg = folder.path() + "/generated.txt";
    const QString lib = folder.path() + "/library.txt";
    write(dfg, generated_core(operations));
    write(lib, library);
    const QString out = folder.path() + "/out";
    QDir().mkpath(out);
    const QString size = operations < 50 ? "200" : "512";
    run_repeatedly(state, dfg, lib, out,
                   {"--subtractors", "1", "--encodings", "3 7", "--order", "10", "--rounds", "80 64 32 80", "--size",
                    size},
                   (out + "/report_generated_B.txt").toStdString(), (out + "/key_generated_B.txt").toStdString());
    state.counters["operations"] = operations;
}

BENCHMARK(WholeRun)->Arg(20)->Arg(100)->Arg(380)->Unit(benchmark::kMillisecond);

// The largest core the hash chain takes: 895 operations, one encoding.
void WholeRun895OneEncoding(benchmark::State &state) {
    QTemporaryDir folder;
    const QString dfg = VELNOR_BENCH_DATA "/characterization/gen_895.txt";
    const QString lib = folder.path() + "/library.txt";
    write(lib, library);
    const QString out = folder.path() + "/out";
    QDir().mkpath(out);
    run_repeatedly(state, dfg, lib, out, {"--encodings", "7", "--rounds", "80 80", "--size", "512"},
                   (out + "/report_gen_895_B.txt").toStdString(), (out + "/key_gen_895_B.txt").toStdString());
}

BENCHMARK(WholeRun895OneEncoding)->Unit(benchmark::kMillisecond);

// A generated core of n operations loaded with the library, the resource
// counts of WholeRun entered.
velnor::Design loaded_core(int operations) {
    QTemporaryDir folder;
    const QString dfg = folder.path() + "/generated.txt";
    const QString lib = folder.path() + "/library.txt";
    write(dfg, generated_core(operations));
    write(lib, library);
    velnor::Design design;
    std::ostringstream log;
    velnor::load_dsp_core(design, dfg.toStdString(), log);
    velnor::load_module_library(design, lib.toStdString());
    design.resources = {{velnor::Add, 2}, {velnor::Multiply, 2}, {velnor::Subtract, 1}};
    return design;
}

void Synthesis(benchmark::State &state) {
    const velnor::Design loaded = loaded_core(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        velnor::Design design = loaded;
        std::ostringstream log;
        velnor::synthesize_under_constraints(design, log);
        benchmark::DoNotOptimize(design.register_lifetimes.size());
    }
}

BENCHMARK(Synthesis)->Arg(100)->Arg(380)->Unit(benchmark::kMillisecond);

void HashChain(benchmark::State &state) {
    velnor::Design design = loaded_core(static_cast<int>(state.range(0)));
    std::ostringstream log;
    velnor::synthesize_under_constraints(design, log);
    for (auto _ : state) {
        velnor::HashEngine engine;
        engine.operations_copy = velnor::operation_steps(design.operations);
        const std::vector<std::string> inputs = velnor::encode_blocks(engine.operations_copy, {3, 7}, 2);
        std::ostringstream chain_log;
        benchmark::DoNotOptimize(velnor::run_hash_chain(engine, inputs, {1, 0}, {80, 64, 32, 80}, chain_log));
    }
}

BENCHMARK(HashChain)->Arg(100)->Arg(380)->Unit(benchmark::kMillisecond);

// The embedding of 512 bits, with the reference designs of the pipeline.
void Embedding(benchmark::State &state) {
    velnor::Design synthesized = loaded_core(static_cast<int>(state.range(0)));
    std::ostringstream log;
    velnor::synthesize_under_constraints(synthesized, log);
    velnor::HashEngine engine;
    engine.operations_copy = velnor::operation_steps(synthesized.operations);
    const std::string hash_output =
        velnor::run_hash_chain(engine, velnor::encode_blocks(engine.operations_copy, {3, 7}, 2), {1, 0},
                               {80, 64, 32, 80}, log);
    const auto registers = static_cast<int32_t>(synthesized.register_lifetimes.size());
    const double area = velnor::compute_area(synthesized, registers);
    const double latency = velnor::compute_latency(synthesized);
    for (auto _ : state) {
        velnor::Design design = synthesized;
        std::ostringstream embedding_log;
        benchmark::DoNotOptimize(velnor::embed_signature(design, hash_output, 512, area, latency, embedding_log));
    }
}

BENCHMARK(Embedding)->Arg(100)->Arg(380)->Unit(benchmark::kMillisecond);

// A chain of n additions, each of the previous result and a primary input:
// every primary input lives until its reader, so the variables and registers
// grow with n and the controller table would hold n^2 / 2 cells. Read and
// scheduled as a load does, then synthesized under one adder with both
// reference designs.
void ChainSynthesis(benchmark::State &state) {
    const int operations = static_cast<int>(state.range(0));
    QTemporaryDir folder;
    const QString dfg = folder.path() + "/chain.txt";
    std::string text = "+ 0 0 1\n";
    for (int id = 2; id <= operations; ++id)
        text += "+ " + std::to_string(id - 1) + " 0 " + std::to_string(id) + "\n";
    write(dfg, text);
    const QString lib = folder.path() + "/library.txt";
    write(lib, library);
    for (auto _ : state) {
        velnor::Design design;
        std::ostringstream log;
        velnor::read_dfg(design, dfg.toStdString(), log);
        velnor::schedule_asap(design);
        design.latency_bound = static_cast<int32_t>(design.asap_steps.size());
        velnor::schedule_alap(design);
        velnor::load_module_library(design, lib.toStdString());
        design.resources = {{velnor::Add, 1}};
        velnor::synthesize_under_constraints(design, log);
        velnor::synthesize(design, log);
        benchmark::DoNotOptimize(design.max_area);
    }
    state.counters["operations"] = operations;
}

BENCHMARK(ChainSynthesis)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
