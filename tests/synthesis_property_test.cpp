// Properties of the whole flow over a few hundred random graphs that keep the
// file format's promises (ids 1..N, operands written earlier or primary), with
// and without mixed operands and divisions, loaded as the window loads them and
// synthesized under random unit counts: the main design and both reference
// designs, then the main design signed with a random hash and size.
#include <gtest/gtest.h>

#include <cmath>

#include "synthesis/embedding.h"
#include "synthesis/design_checks.h"
#include "synthesis/pipeline.h"
#include "synthesis/resource_constraints.h"
#include "tests/synthesis_fixtures.h"

namespace velnor {
namespace {

// Seeds cycle through the four shapes: plain, mixed operands, divisions, both.
TEST(SynthesisProperty, RandomGraphsKeepEveryPromise) {
    test::ScratchDir dir;
    for (uint32_t seed = 1; seed <= 320 && !HasFailure(); ++seed) {
        std::mt19937 random(seed);
        const std::vector<test::Op> ops = test::random_graph(random, seed % 2 == 1, seed % 4 >= 2);
        std::map<int32_t, int32_t> counts;  // 1 to 4 units of each present type but the division
        for (const test::Op &op : ops)
            if (op.type != Divide)
                counts.emplace(op.type, std::uniform_int_distribution<int32_t>(1, 4)(random));
        const std::string text = test::dfg_text(ops);
        SCOPED_TRACE("seed " + std::to_string(seed) + ", graph:\n" + text);
        Design design = test::synthesized(dir.write("graph.txt", text), counts);
        EXPECT_EQ(broken_synthesis_promise(design, scheduling_limits(design)), "");
        std::ostringstream log;
        synthesize(design, log);
        const Design &area = *design.max_area_design;
        const Design &latency = *design.max_latency_design;
        EXPECT_EQ(broken_max_area_promise(area), "") << "max-area design";
        EXPECT_EQ(broken_max_latency_promise(latency), "") << "max-latency design";

        std::string hash(512, '0');
        for (char &bit : hash)
            bit = random() % 2 ? '1' : '0';
        const int64_t size = static_cast<int64_t>(random() % (largest_constraint_size(design) + 1));
        SCOPED_TRACE("signature of size " + std::to_string(size));
        const ControllerTable allocated = design.controller_table;
        const Embedding embedding = embed_signature(design, hash, size, 1.0, 1.0, log);
        const EmbeddingFigures &f = embedding.figures;
        EXPECT_EQ(f.zero_count + f.one_count, std::min<int64_t>(size, 512));
        EXPECT_EQ(design.controller_table_before, allocated);
        EXPECT_EQ(broken_embedding_promise(design, embedding.constraints), "");
        EXPECT_TRUE(std::isfinite(f.pc_phase2));
    }
}

}  // namespace
}  // namespace velnor
