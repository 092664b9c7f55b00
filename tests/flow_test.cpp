// The flow's stages: a value refused at any stage leaves the run as it was, so
// the same run completed afterwards writes the same key file, signature and
// diagnostic lines as a run that was never refused; each refusal carries the
// reason its callers switch on. The parsers' own refusals are in the stego key test.
#include "flow/flow.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "core/loading.h"
#include "tests/test_support.h"

namespace velnor {
namespace {

using Reason = Refusal::Reason;

NumberLine line(const std::string &text, std::vector<int> values) { return {text, std::move(values)}; }

// The stages of a good run over fir under 2 adders and 2 multipliers, two encodings.
const std::vector<std::function<void(FlowRun &, std::ostream &)>> good_stages = {
    [](FlowRun &run, std::ostream &log) {
        load_dsp_core(run.design, test::data_path("dfg/fir.txt"), log);
        load_module_library(run.design, test::data_path("lib/library_a.txt"));
    },
    [](FlowRun &run, std::ostream &log) { accept_resource_count(run, Add, 2, log); },
    [](FlowRun &run, std::ostream &log) { accept_resource_count(run, Multiply, 2, log); },
    [](FlowRun &run, std::ostream &log) { accept_resource_constraints(run, log); },
    [](FlowRun &run, std::ostream &) { accept_encoding_count(run, 2); },
    [](FlowRun &run, std::ostream &) { accept_encodings(run, line("3 7", {3, 7})); },
    [](FlowRun &run, std::ostream &log) { accept_order_key(run, "10", log); },
    [](FlowRun &run, std::ostream &log) { accept_rounds(run, line("80 64 32 16", {80, 64, 32, 16}), log); },
    [](FlowRun &run, std::ostream &log) { accept_constraint_size(run, 100, log); },
};

// Before good stage `before`, a value of that field which the stage refuses.
struct RefusedEntry {
    const char *name;
    std::size_t before;
    Reason reason;
    std::function<void(FlowRun &, std::ostream &)> stage;
};

class RefusedStage : public testing::TestWithParam<RefusedEntry> {};

TEST_P(RefusedStage, LeavesTheRunAsItWas) {
    FlowRun good, refused;
    std::ostringstream good_log, refused_log;
    for (std::size_t n = 0; n < good_stages.size(); ++n) {
        if (n == GetParam().before) {
            std::ostringstream discarded;
            try {
                GetParam().stage(refused, discarded);
                ADD_FAILURE() << "accepted";
            } catch (const Refusal &refusal) {
                EXPECT_EQ(refusal.reason(), GetParam().reason) << refusal.what();
            }
        }
        good_stages[n](good, good_log);
        good_stages[n](refused, refused_log);
    }
    EXPECT_EQ(key_file_text(key_file_contents(refused)), key_file_text(key_file_contents(good)));
    EXPECT_EQ(embedded_signature(refused), embedded_signature(good));
    EXPECT_EQ(refused.hash_engine.chain_log, good.hash_engine.chain_log);
    EXPECT_EQ(refused_log.str(), good_log.str());
}

INSTANTIATE_TEST_SUITE_P(
    Stages, RefusedStage,
    testing::Values(
        RefusedEntry{"AddersMissing", 1, Reason::ResourceCountMissing,
                     [](FlowRun &run, std::ostream &log) { accept_resource_count(run, Add, std::nullopt, log); }},
        RefusedEntry{"MultipliersAboveBound", 2, Reason::ResourceCountOutOfRange,
                     [](FlowRun &run, std::ostream &log) { accept_resource_count(run, Multiply, 5, log); }},
        RefusedEntry{"ConstraintsIncomplete", 1, Reason::ResourceCountMissing,
                     [](FlowRun &run, std::ostream &log) { accept_resource_constraints(run, log); }},
        RefusedEntry{"TenEncodings", 4, Reason::EncodingCount,
                     [](FlowRun &run, std::ostream &) { accept_encoding_count(run, 10); }},
        RefusedEntry{"RepeatedRule", 5, Reason::EncodingsMalformed,
                     [](FlowRun &run, std::ostream &) { accept_encodings(run, line("3 3", {3, 3})); }},
        RefusedEntry{"KeyTooShort", 6, Reason::OrderKeySize,
                     [](FlowRun &run, std::ostream &log) { accept_order_key(run, "1", log); }},
        RefusedEntry{"ThreeRounds", 7, Reason::RoundCountMismatch,
                     [](FlowRun &run, std::ostream &log) { accept_rounds(run, line("1 1 1", {1, 1, 1}), log); }},
        RefusedEntry{"SizeAboveLargest", 8, Reason::ConstraintSize,
                     [](FlowRun &run, std::ostream &log) { accept_constraint_size(run, 529, log); }}),
    [](const auto &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velnor
