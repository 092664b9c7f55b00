// The datapath's Verilog proven on real tools: for the DSP cores of the test
// data and for generated cores, the signed and the unsigned design of a run
// are simulated with Icarus Verilog on 1000 random input vectors each, every
// output checked against the evaluator; each file also passes Verilator's
// linter with every warning on and synthesizes with Yosys.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/datapath.h"
#include "rtl/verilog_testbench.h"
#include "rtl/verilog_writer.h"
#include "synthesis/embedding.h"
#include "synthesis/strong_embedding.h"
#include "tests/hardware_tools.h"
#include "tests/synthesis_fixtures.h"

namespace velnor {
namespace {

constexpr int vectors_per_core = 1000;

// The signed and the unsigned datapath of one run over a DSP core file: the
// signature is a random 512-bit string of the seed, embedded at full size in
// the given mode.
struct SignedRun {
    Datapath before;
    Datapath after;
};

SignedRun run_over(const std::string &dfg_path, const std::map<int32_t, int32_t> &counts, uint32_t seed,
                   EmbeddingMode mode = EmbeddingMode::Specified) {
    Design design = test::synthesized(dfg_path, counts);
    SignedRun run;
    run.before = datapath_of(design);
    std::mt19937 random(seed);
    std::string hash(512, '0');
    for (char &bit : hash)
        bit = random() % 2 ? '1' : '0';
    std::ostringstream log;
    const int64_t size = std::min<int64_t>(largest_constraint_size(design), 512);
    if (mode == EmbeddingMode::Strong)
        embed_strong_signature(design, hash, size, 1.0, 1.0, log);
    else
        embed_signature(design, hash, size, 1.0, 1.0, log);
    run.after = datapath_of(design);
    return run;
}

std::vector<InputVector> random_vectors(const Datapath &datapath, int width, uint32_t seed) {
    std::mt19937_64 random(seed);
    const uint64_t mask = width >= 64 ? ~uint64_t{0} : (uint64_t{1} << width) - 1;
    std::vector<InputVector> vectors(vectors_per_core);
    for (std::size_t k = 0; k < vectors.size(); ++k)
        for (const DatapathOperation &op : datapath.operations)
            if (op.first_operand == 0 || op.second_operand == 0) {
                // A few vectors of zeros and all ones reach division by zero and the carries' ends.
                const uint64_t value = k == 0 ? 0 : k == 1 ? mask : random() & mask;
                vectors[k][op.id] = k > 1 && random() % 8 == 0 ? 0 : value;
            }
    return vectors;
}

// Simulates, lints and synthesizes one design; failures name the file's folder.
void prove(const Datapath &datapath, DesignStage stage, int width) {
    test::ScratchDir dir;
    const std::string top = verilog_module_name(datapath);
    SCOPED_TRACE(top + " in " + dir.path());
    dir.write(top + ".v", datapath_verilog(datapath, stage));
    dir.write("testbench.v", verilog_testbench(datapath, width, "vectors.hex", vectors_per_core));
    dir.write("vectors.hex", testbench_vectors(datapath, random_vectors(datapath, width, 7), width));

    const test::ToolRun compile = test::run_tool(dir.path(), "iverilog -g2001 -o sim testbench.v " + top + ".v");
    ASSERT_EQ(compile.status, 0) << compile.output;
    const test::ToolRun simulation = test::run_tool(dir.path(), "vvp -n sim");
    EXPECT_NE(simulation.output.find("RESULT vectors=1000 errors=0\n"), std::string::npos) << simulation.output;

    const test::ToolRun lint = test::run_tool(
        dir.path(), "verilator --lint-only -Wall -GWIDTH=" + std::to_string(width) + " --top-module " + top + " " + top + ".v");
    EXPECT_EQ(lint.status, 0) << lint.output;
    EXPECT_EQ(lint.output, "");

    const test::ToolRun synthesis = test::run_tool(dir.path(), "yosys -q -p 'synth -top " + top + "; stat' " + top + ".v");
    EXPECT_EQ(synthesis.status, 0) << synthesis.output;
}

struct CoreCase {
    std::string name;
    std::string dfg;  // under tests/data
    std::map<int32_t, int32_t> counts;
    int width;
    EmbeddingMode mode = EmbeddingMode::Specified;
};

void PrintTo(const CoreCase &c, std::ostream *out) { *out << c.name; }

class DataCore : public testing::TestWithParam<CoreCase> {};

TEST_P(DataCore, SignedAndUnsignedDesignsComputeTheEvaluatorsValues) {
    const CoreCase &c = GetParam();
    const SignedRun run = run_over(test::data_path(c.dfg), c.counts, 11, c.mode);
    prove(run.before, DesignStage::Unsigned, c.width);
    prove(run.after, DesignStage::Signed, c.width);
}

const CoreCase data_cores[] = {
    {"fir_two_of_each", "dfg/fir.txt", {{Add, 2}, {Multiply, 2}}, 16},
    {"fir_one_of_each_five_bits", "dfg/fir.txt", {{Add, 1}, {Multiply, 1}}, 5},
    {"arf_three_adders_four_multipliers", "dfg/arf.txt", {{Add, 3}, {Multiply, 4}}, 16},
    {"diffeq_two_of_each_wide", "dfg/diffeq.txt", {{Add, 2}, {Multiply, 2}, {Subtract, 1}, {Compare, 1}}, 32},
    {"arf_strong", "dfg/arf.txt", {{Add, 2}, {Multiply, 2}}, 16, EmbeddingMode::Strong},
};
INSTANTIATE_TEST_SUITE_P(TestData, DataCore, testing::ValuesIn(data_cores),
                         [](const testing::TestParamInfo<CoreCase> &info) { return info.param.name; });

// Generated graphs with every operation type and mixed operands; even seeds
// also divide, and every third seed carries the strong embedding.
class GeneratedCore : public testing::TestWithParam<uint32_t> {};

TEST_P(GeneratedCore, SignedAndUnsignedDesignsComputeTheEvaluatorsValues) {
    const uint32_t seed = GetParam();
    std::mt19937 random(seed);
    const std::vector<test::Op> ops = test::random_graph(random, /*mixed_operands=*/true, /*divisions=*/seed % 2 == 0);
    std::map<int32_t, int32_t> counts;
    for (const test::Op &op : ops)
        if (op.type != Divide)
            counts.emplace(op.type, std::uniform_int_distribution<int32_t>(1, 4)(random));
    const std::string text = test::dfg_text(ops);
    SCOPED_TRACE("graph:\n" + text);
    test::ScratchDir dir;
    const EmbeddingMode mode = seed % 3 == 1 ? EmbeddingMode::Strong : EmbeddingMode::Specified;
    const SignedRun run = run_over(dir.write("generated_" + std::to_string(seed) + ".txt", text), counts, seed, mode);
    prove(run.before, DesignStage::Unsigned, 16);
    prove(run.after, DesignStage::Signed, 16);
}

INSTANTIATE_TEST_SUITE_P(Seeds, GeneratedCore, testing::Range<uint32_t>(0, 6));

}  // namespace
}  // namespace velnor
