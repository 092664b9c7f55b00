// The common end of every importer: the operations written as the DFG file
// writes them, checked by the DSP core loader's own checks before anyone
// writes a file or loads a design from them.
#include "import/imported_core.h"

#include "core/datapath.h"
#include "core/dfg_reader.h"
#include "core/loading.h"
#include "core/quoted.h"
#include "core/refusal.h"
#include "hash/hash_chain.h"

namespace velnor {
namespace {

// The DFG file's character of an imported operation; an importer never makes another type.
char imported_operator(int32_t type) {
    const char character = operator_character(type);
    if (character == '?')
        throw Refusal(Refusal::Reason::InvalidArgument, "an imported operation of no known type");
    return character;
}

void count(OperationCounts &counts, int32_t type) {
    switch (type) {
    case Add: ++counts.add; break;
    case Subtract: ++counts.subtract; break;
    case Multiply: ++counts.multiply; break;
    case Divide: ++counts.divide; break;
    default: ++counts.compare; break;
    }
}

}  // namespace

ImportedCore imported_core(const std::vector<ImportedOperation> &operations, const std::string &source_path) {
    const std::string name = file_name_of(source_path);
    if (operations.empty())
        throw Refusal(Refusal::Reason::DspCoreFile,
                      name + " holds no operation: no addition, subtraction, multiplication, division or comparison");
    // The listing the loader would read back from the text, one operation a line.
    DfgListing listing;
    listing.opened = true;
    listing.operation_count = operations.size();
    ImportedCore core;
    int32_t id = 0;
    for (const ImportedOperation &operation : operations) {
        ++id;
        // One operation a line: the id is also the line the loader would name.
        listing.operations.push_back({operation.first_input, operation.second_input, id, /*line=*/id});
        if (listing.operations.size() > operation_limit(1))
            break;  // refused below; the rest need no text
        core.dfg_text += imported_operator(operation.type);
        core.dfg_text += ' ' + std::to_string(operation.first_input) + ' ' + std::to_string(operation.second_input) +
                         ' ' + std::to_string(id) + '\n';
        core.map_text += std::to_string(id) + ' ' + one_line(operation.origin) + ' ' + one_line(operation.text) + '\n';
        count(core.counts, operation.type);
    }
    check_dfg_listing(name, listing, operation_limit(1));
    core.operation_count = static_cast<int64_t>(operations.size());
    return core;
}

std::string import_summary(const ImportedCore &core, const std::string &source) {
    const OperationCounts &c = core.counts;
    return "imported " + std::to_string(core.operation_count) + " operations (+ " + std::to_string(c.add) + ", - " +
           std::to_string(c.subtract) + ", * " + std::to_string(c.multiply) + ", / " + std::to_string(c.divide) +
           ", < " + std::to_string(c.compare) + ") from " + source;
}

}  // namespace velnor
