// Loading the DSP core and the module library into a design, all or nothing:
// each file is read into a scratch design, checked, and only then does its part
// replace the target's. A refused file leaves the target exactly as it was.
#include "core/loading.h"

#include <algorithm>
#include <utility>

#include "core/asap_alap.h"
#include "core/bounded_line_reader.h"
#include "core/dfg_check.h"
#include "core/dfg_reader.h"
#include "core/module_library_reader.h"

namespace velnor {
namespace {

[[noreturn]] void refuse_unopened(const std::string &path) {
    if (path.empty())
        throw LoadError("no file was given");
    throw LoadError("cannot open " + path);
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
    } catch (const DfgFormatError &error) {
        throw LoadError(name + " line " + std::to_string(error.line) + ": " + error.reason);
    } catch (const InputTooLarge &error) {
        throw LoadError(name + ": " + error.what());
    }
    if (!listing.opened)
        refuse_unopened(path);
    if (listing.read_failed)
        throw LoadError("cannot read " + path);
    if (listing.operation_count > operation_limit)
        throw OversizedCoreError(name, listing.operation_count, operation_limit);
    if (const std::optional<DfgFault> fault = find_dfg_fault(listing))
        throw LoadError(name + " line " + std::to_string(fault->line) + ": " + fault->reason);

    schedule_asap(scratch);
    scratch.latency_bound = static_cast<int32_t>(scratch.asap_steps.size());
    schedule_alap(scratch);
    scratch.dfg_path = path;
    scratch.dfg_name = name;
    scratch.subtractor_count = count_of_type(scratch, Subtract);
    scratch.comparator_count = count_of_type(scratch, Compare);
    return scratch;
}

}  // namespace

OversizedCoreError::OversizedCoreError(const std::string &name, std::size_t operations, std::size_t limit)
    : LoadError(name + " has " + std::to_string(operations) + " operations; the hash chain takes at most " +
                std::to_string(limit)),
      operations(operations),
      limit(limit) {}

void load_dsp_core(Design &design, const std::string &path, std::ostream &log, std::size_t operation_limit) {
    Design loaded = read_checked_dfg(path, log, operation_limit);
    design.operations = std::move(loaded.operations);
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
    try {
        read_module_library(loaded, path);
    } catch (const LibraryUnopenedError &) {
        refuse_unopened(path);
    } catch (const LibraryFormatError &error) {
        throw LoadError(file_name_of(path) + ": " + error.reason);
    } catch (const InputTooLarge &error) {
        throw LoadError(file_name_of(path) + ": " + error.what());
    }
    design.area_table = std::move(loaded.area_table);
    design.delay_table = std::move(loaded.delay_table);
    design.register_area = loaded.register_area;
    design.register_delay = loaded.register_delay;
    design.adder_count = loaded.adder_count;
    design.multiplier_count = loaded.multiplier_count;
    design.library_path = std::move(loaded.library_path);
}

}  // namespace velnor
