// A key run from a run synthesized once against the ordinary flow from the
// files: the same report, key file, hash output, registers and constraints,
// for several keys and both embeddings, also when other keys ran from the same
// synthesized run before; the reference designs shared, not built again, and
// the synthesized run unchanged; and a refusal as the ordinary flow gives it.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "core/datapath.h"
#include "core/loading.h"
#include "core/save.h"
#include "flow/key_run.h"
#include "flow/random_keys.h"
#include "flow/run_figures.h"
#include "flow/typed_entries.h"
#include "tests/test_support.h"

namespace velnor {
namespace {

using test::data_path;

const char core_file[] = "characterization/gen_100.txt";

TypedEntries unit_entries() {
    TypedEntries entries;
    entries.adders = entries.multipliers = entries.subtractors = entries.comparators = "2";
    return entries;
}

FlowRun loaded_run() {
    std::ostringstream log;
    FlowRun run;
    load_dsp_core(run.design, data_path(core_file), log);
    load_module_library(run.design, data_path("lib/library_a.txt"));
    return run;
}

FlowRun synthesized_run() {
    std::ostringstream log;
    FlowRun run = loaded_run();
    enter_resources(run, unit_entries(), log);
    return run;
}

// The ordinary flow from the files: loading, every entry typed in order, a log that writes.
FlowRun ordinary_run(const ExplorationKey &key, int64_t size, EmbeddingMode mode) {
    std::ostringstream log;
    FlowRun run = loaded_run();
    TypedEntries entries = unit_entries();
    if (key.count)
        entries.count = std::to_string(*key.count);
    entries.encodings = key.encodings;
    entries.order = key.order;
    entries.rounds = key.rounds;
    enter_resources(run, entries, log);
    enter_key(run, entries, log);
    enter_constraint_size(run, std::to_string(size), mode, log);
    return run;
}

std::string registers_text(const Design &design) {
    std::string text;
    for (const DatapathVariable &variable : datapath_of(design).variables)
        text += variable.name + "@" + std::to_string(variable.register_number) + " ";
    return text;
}

std::string pairs_text(const std::vector<std::pair<int32_t, int32_t>> &pairs) {
    std::string text;
    for (const auto &[a, b] : pairs)
        text += std::to_string(a) + "," + std::to_string(b) + " ";
    return text;
}

// Everything a run shows: the report and the key file as Save writes them,
// the hash output, the registers of the signed and the unsigned design, and
// the constraints the embedding placed.
std::string run_text(const FlowRun &run) {
    test::ScratchDir folder;
    std::ostringstream log;
    const SaveOutcome saved =
        save_run(run.design, run.hash_engine.chain_log, key_file_contents(run), folder.path(), "K", log);
    EXPECT_TRUE(saved.report_written && saved.key_written);
    const RunFigures figures = run_figures(run);
    std::string ones;
    for (int32_t id : run.embedding.constraints.one_operations)
        ones += std::to_string(id) + " ";
    return "report\n" + test::read_file(saved.report_file) + "key file\n" + test::read_file(saved.key_file) +
           "hash output " + run.hash_output + "\nsignature " + figures.signature +
           "\nregisters after " + std::to_string(figures.registers_after) + "\nsigned " +
           registers_text(run.design) + "\nunsigned " + registers_text(run.unsigned_design) + "\nzero pairs " +
           pairs_text(run.embedding.constraints.zero_pairs) + "\nones " + ones + "\ntogether " +
           pairs_text(run.embedding.constraints.together_pairs) + "\nsize " + std::to_string(run.constraint_size) +
           "\n";
}

NumberLine typed_line(const std::string &text, std::vector<int> values) {
    NumberLine line;
    line.text = text;
    line.values = std::move(values);
    return line;
}

ExplorationKey typed_key() {
    ExplorationKey key;
    key.encodings = typed_line("3 7", {3, 7});
    key.order = "10";
    key.rounds = typed_line("80 64 32 80", {80, 64, 32, 80});
    return key;
}

ExplorationKey random_key(std::size_t number) { return random_keys(/*count=*/4, /*seed=*/1).at(number); }

struct KeyRow {
    const char *name;
    ExplorationKey key;
    int64_t size;
    EmbeddingMode mode;
    ExplorationKey before;  // a key that runs from the same synthesized run first
    EmbeddingMode before_mode;
};

class KeyRun : public ::testing::TestWithParam<KeyRow> {
protected:
    static void SetUpTestSuite() { synthesized_ = new FlowRun(synthesized_run()); }
    static void TearDownTestSuite() {
        delete synthesized_;
        synthesized_ = nullptr;
    }
    static const FlowRun *synthesized_;
};

const FlowRun *KeyRun::synthesized_ = nullptr;

TEST_P(KeyRun, GivesTheOrdinaryFlowsRun) {
    const KeyRow &row = GetParam();
    EXPECT_EQ(run_text(run_key(*synthesized_, row.key, row.size, row.mode)),
              run_text(ordinary_run(row.key, row.size, row.mode)));
}

TEST_P(KeyRun, GivesTheSameRunAfterAnotherKeyRanFromTheSameSynthesizedRun) {
    const KeyRow &row = GetParam();
    const std::string alone = run_text(run_key(*synthesized_, row.key, row.size, row.mode));
    const FlowRun other = run_key(*synthesized_, row.before, /*size=*/512, row.before_mode);
    ASSERT_NE(other.hash_output, run_key(*synthesized_, row.key, row.size, row.mode).hash_output);
    EXPECT_EQ(run_text(run_key(*synthesized_, row.key, row.size, row.mode)), alone);
}

TEST_P(KeyRun, ReusesTheSynthesizedRunsReferenceDesignsAndLeavesItAsItWas) {
    const KeyRow &row = GetParam();
    const FlowRun fresh = synthesized_run();
    const FlowRun run = run_key(*synthesized_, row.key, row.size, row.mode);
    EXPECT_EQ(run.design.max_area_design, synthesized_->design.max_area_design);
    EXPECT_EQ(run.design.max_latency_design, synthesized_->design.max_latency_design);
    EXPECT_EQ(run.embedding.figures.max_area, fresh.design.max_area);
    EXPECT_EQ(run.embedding.figures.max_latency, fresh.design.max_latency);
    EXPECT_EQ(registers_text(synthesized_->design), registers_text(fresh.design));
    EXPECT_TRUE(synthesized_->design.controller_table == fresh.design.controller_table);
    EXPECT_TRUE(synthesized_->hash_output.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, KeyRun,
    ::testing::Values(
        KeyRow{"TypedKeySpecified", typed_key(), 256, EmbeddingMode::Specified, random_key(0), EmbeddingMode::Strong},
        KeyRow{"TypedKeyStrong", typed_key(), 256, EmbeddingMode::Strong, random_key(1), EmbeddingMode::Strong},
        KeyRow{"RandomKeySpecified", random_key(0), 256, EmbeddingMode::Specified, typed_key(),
               EmbeddingMode::Specified},
        KeyRow{"RandomKeyStrong", random_key(0), 256, EmbeddingMode::Strong, random_key(2), EmbeddingMode::Specified},
        KeyRow{"OtherRandomKeySmallSize", random_key(3), 12, EmbeddingMode::Specified, random_key(2),
               EmbeddingMode::Strong},
        KeyRow{"OtherRandomKeyStrongSizeZero", random_key(2), 0, EmbeddingMode::Strong, random_key(3),
               EmbeddingMode::Specified}),
    [](const ::testing::TestParamInfo<KeyRow> &info) { return info.param.name; });

// Refusals: run_key refuses what the ordinary flow refuses, with its message.
std::string refusal_of(const std::function<void()> &stage) {
    try {
        stage();
    } catch (const Refusal &refusal) {
        return refusal.what();
    }
    return "accepted";
}

TEST(KeyRunRefusal, ASizeBeyondTheLargestAsTheFlowRefusesIt) {
    const FlowRun synthesized = synthesized_run();
    const std::string flow = refusal_of([] { ordinary_run(typed_key(), 1000000, EmbeddingMode::Specified); });
    EXPECT_EQ(flow.rfind("--size: constraint size should be between 0 and ", 0), 0u) << flow;
    EXPECT_EQ(refusal_of([&] { run_key(synthesized, typed_key(), 1000000, EmbeddingMode::Specified); }), flow);
}

TEST(KeyRunRefusal, AKeyWithTooFewRoundsAsTheFlowRefusesIt) {
    const FlowRun synthesized = synthesized_run();
    ExplorationKey key = typed_key();
    key.rounds = typed_line("80 64", {80, 64});
    const std::string flow = refusal_of([&] { ordinary_run(key, 256, EmbeddingMode::Strong); });
    EXPECT_EQ(flow.rfind("--rounds: ", 0), 0u) << flow;
    EXPECT_EQ(refusal_of([&] { run_key(synthesized, key, 256, EmbeddingMode::Strong); }), flow);
}

}  // namespace
}  // namespace velnor
