// Checks the operations of a DFG file, as written and in file order, against
// the numbering and ordering that scheduling relies on.
#include "core/dfg_check.h"

#include "core/id_map.h"

namespace velnor {
namespace {

std::string operation(int32_t id) { return "operation " + std::to_string(id); }

// Why operand reads nothing usable at this point of the file, or none when
// it is a primary input or an operation defined on an earlier line.
std::optional<std::string> operand_fault(const WrittenOperation &op, int32_t operand,
                                         const IdMap<int> &defined_on,
                                         const IdMap<int> &defined_anywhere) {
    if (operand == 0 || defined_on.count(operand))
        return std::nullopt;
    if (operand == op.id)
        return operation(op.id) + " reads its own result";
    if (defined_anywhere.count(operand))
        return operation(op.id) + " reads " + operation(operand) + ", which is not written before it";
    return operation(op.id) + " reads " + operation(operand) + ", which the file never defines";
}

}  // namespace

std::optional<DfgFault> find_dfg_fault(const DfgListing &listing) {
    IdMap<int> defined_anywhere;  // id -> first line
    for (const WrittenOperation &op : listing.operations)
        if (defined_anywhere.count(op.id) == 0)
            defined_anywhere[op.id] = op.line;

    IdMap<int> defined_on;  // ids written so far -> their line
    for (const WrittenOperation &op : listing.operations) {
        if (op.id == 0)
            return DfgFault{op.line, "operation id 0: ids start at 1"};
        const auto earlier = defined_on.find(op.id);
        if (earlier != defined_on.end())
            return DfgFault{op.line, operation(op.id) + " is defined again (first on line " +
                                         std::to_string(earlier->second) + ")"};
        for (const int32_t operand : {op.first_input, op.second_input})
            if (const auto reason = operand_fault(op, operand, defined_on, defined_anywhere))
                return DfgFault{op.line, *reason};
        defined_on[op.id] = op.line;
    }

    // Distinct ids from 1 up leave a gap exactly when one exceeds their count.
    const auto count = static_cast<int32_t>(listing.operations.size());
    for (const WrittenOperation &op : listing.operations) {
        if (op.id <= count)
            continue;
        int32_t missing = 1;
        while (defined_on.count(missing))
            ++missing;
        const std::string defines = count == 1 ? "1 operation" : std::to_string(count) + " operations";
        return DfgFault{op.line, operation(op.id) + " leaves a gap: the file defines " + defines +
                                     ", so the ids must run 1.." + std::to_string(count) + " and " +
                                     operation(missing) + " is missing"};
    }
    return std::nullopt;
}

}  // namespace velnor
