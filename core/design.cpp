// Small helpers shared by every user of the design model.
#include "core/design.h"

#include <algorithm>

namespace velnor {

std::string file_name_of(const std::string &path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void link_successors(Design &design, std::vector<std::pair<int32_t, int32_t>> links) {
    std::stable_sort(links.begin(), links.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    design.successors = FlatLists(design.operations.size() + 1, links);
}

int32_t unit_count(const Design &design, int32_t type) {
    const auto found = design.resources.find(type);
    return found == design.resources.end() ? 0 : found->second;
}

}  // namespace velnor
