// Copies the resource counts and the embedding figures into a key file record.
#include "synthesis/key_file_contents.h"

namespace velnor {

KeyFileContents key_file_contents(const Design &design, const EmbeddingFigures &figures) {
    KeyFileContents c;
    const auto count = [&design](int32_t type) {
        const auto found = design.resources.find(type);
        return found == design.resources.end() ? 0 : found->second;
    };
    c.adders = count(Add);
    c.multipliers = count(Multiply);
    c.initial_area = figures.initial_area;
    c.max_area = figures.max_area;
    c.max_latency = figures.max_latency;
    c.area_phase1 = figures.area_phase1;
    c.area_phase2 = figures.area_phase2;
    c.initial_latency = figures.initial_latency;
    c.latency_phase1 = figures.latency_phase1;
    c.latency_phase2 = figures.latency_phase2;
    c.initial_cost = figures.initial_cost;
    c.cost_phase1 = figures.cost_phase1;
    c.cost_phase2 = figures.cost_phase2;
    c.pc_phase1 = figures.pc_phase1;
    c.pc_phase2 = figures.pc_phase2;
    c.zero_count = figures.zero_count;
    c.one_count = figures.one_count;
    c.effective_one_count = figures.effective_one_count;
    return c;
}

}  // namespace velnor
