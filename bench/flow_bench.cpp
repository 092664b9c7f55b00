// The batch tool's whole run on generated DSP cores of about 20, 100 and 380
// operations (380 is the most the hash chain takes with two or more
// encodings): loading both files, synthesis, the hash chain of four blocks,
// embedding 512 bits or fewer, the pipeline, and writing the report and the
// key file.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "cli/command_line.h"

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
    const QStringList arguments{"run",      "--dfg",       dfg,         "--library",   lib,       "--adders",
                                "2",        "--multipliers", "2",       "--subtractors", "1",     "--encodings",
                                "3 7",      "--order",     "10",        "--rounds",    "80 64 32 80", "--size",
                                size,       "--out",       out,         "--stamp",     "B"};
    const std::string report = (out + "/report_generated_B.txt").toStdString();
    const std::string key = (out + "/key_generated_B.txt").toStdString();

    for (auto _ : state) {
        std::ostringstream printed, errors;
        const int status = velnor::cli::run_command_line(arguments, printed, errors);
        if (status != 0) {
            state.SkipWithError(errors.str().c_str());
            break;
        }
        benchmark::DoNotOptimize(printed.str().size());
        // The files are appended to; start each run from none, as a fresh save does.
        std::remove(report.c_str());
        std::remove(key.c_str());
    }
    state.counters["operations"] = operations;
}

BENCHMARK(WholeRun)->Arg(20)->Arg(100)->Arg(380)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
