// Loading the DSP core and the module library into a design, all or nothing:
// each file is read into a scratch design, checked, and only then does its part
// replace the target's. A refused file leaves the target exactly as it was.
#include "core/loading.h"

#include <algorithm>
#include <utility>

#include "core/asap_alap.h"
#include "core/dfg_check.h"
#include "core/dfg_reader.h"
#include "core/module_library_reader.h"

namespace velnor {
namespace {

[[noreturn]] void refuse_unopened(Refusal::Reason reason, const std::string &path) {
    if (path.empty())
        throw Refusal(reason, "no file was given");
    throw Refusal(reason, "cannot open " + path);
}

int32_t count_of_type(const Design &design, int32_t type) {
    return static_cast<int32_t>(std::count_if(design.operations.begin(), design.operations.end(),
                                              [type](const auto &entry) { return entry.second.type == type; }));
}

// Reads and checks the DFG file into a fresh design, scheduled and counted.
Design read_checked_dfg(const std::string &path, std::ostream &log, std::size_t operation_limit) {
    const std::string name = file_name_of(path);
    Design scratch;
    DfgListing listing;
    try {
        read_dfg(scratch, path, log, listing, operation_limit);
    } catch (const Refusal &refusal) {
        throw Refusal(refusal.reason(), name + " " + refusal.what());
    }
    if (!listing.opened) {
        // The reader's note has no line end of its own; the reason follows on a line of its own.
        log << '\n';
        refuse_unopened(Refusal::Reason::DspCoreFile, path);
    }
    if (listing.read_failed)
        throw Refusal(Refusal::Reason::DspCoreFile, "cannot read " + path);
    check_dfg_listing(name, listing, operation_limit);

    schedule_unconstrained(scratch);
    scratch.dfg_path = path;
    scratch.dfg_name = name;
    scratch.subtractor_count = count_of_type(scratch, Subtract);
    scratch.comparator_count = count_of_type(scratch, Compare);
    return scratch;
}

}  // namespace

void check_dfg_listing(const std::string &name, const DfgListing &listing, std::size_t operation_limit) {
    if (listing.operation_count > operation_limit)
        throw Refusal(Refusal::Reason::DspCoreTooLarge,
                      name + " has " + std::to_string(listing.operation_count) +
                          " operations; the hash chain takes at most " + std::to_string(operation_limit));
    if (const std::optional<DfgFault> fault = find_dfg_fault(listing))
        throw Refusal(Refusal::Reason::DspCoreFile,
                      name + " line " + std::to_string(fault->line) + ": " + fault->reason);
}

void load_dsp_core(Design &design, const std::string &path, std::ostream &log, std::size_t operation_limit) {
    Design loaded = read_checked_dfg(path, log, operation_limit);
    design.operations = std::move(loaded.operations);
    design.successors = std::move(loaded.successors);
    design.operation_types = std::move(loaded.operation_types);
    design.asap_steps = std::move(loaded.asap_steps);
    design.alap_steps = std::move(loaded.alap_steps);
    design.latency_bound = loaded.latency_bound;
    design.dfg_path = std::move(loaded.dfg_path);
    design.dfg_name = std::move(loaded.dfg_name);
    design.subtractor_count = loaded.subtractor_count;
    design.comparator_count = loaded.comparator_count;
}

void load_module_library(Design &design, const std::string &path) {
    Design loaded;
    bool opened = false;
    try {
        read_module_library(loaded, path, opened);
    } catch (const Refusal &refusal) {
        throw Refusal(refusal.reason(), file_name_of(path) + ": " + refusal.what());
    }
    if (!opened)
        refuse_unopened(Refusal::Reason::LibraryFile, path);
    design.area_table = std::move(loaded.area_table);
    design.delay_table = std::move(loaded.delay_table);
    design.register_area = loaded.register_area;
    design.register_delay = loaded.register_delay;
    design.adder_count = loaded.adder_count;
    design.multiplier_count = loaded.multiplier_count;
    design.library_path = std::move(loaded.library_path);
}

}  // namespace velnor
