// Small helpers shared by every user of the design model.
#include "core/design.h"

namespace velnor {

OperationIndex::OperationIndex(Design &design) : design_(design), dense_(design.operations.size() + 1, nullptr) {
    for (auto &[id, op] : design.operations)
        if (id >= 1 && static_cast<std::size_t>(id) < dense_.size())
            dense_[static_cast<std::size_t>(id)] = &op;
}

Operation *OperationIndex::find_in_map(int32_t id) const {
    const auto found = design_.operations.find(id);
    return found == design_.operations.end() ? nullptr : &found->second;
}

Operation &OperationIndex::create(int32_t id) {
    Operation &op = design_.operations[id];
    if (id >= 1 && static_cast<std::size_t>(id) < dense_.size())
        dense_[static_cast<std::size_t>(id)] = &op;
    return op;
}

std::string file_name_of(const std::string &path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int32_t unit_count(const Design &design, int32_t type) {
    const auto found = design.resources.find(type);
    return found == design.resources.end() ? 0 : found->second;
}

}  // namespace velnor
