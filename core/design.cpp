// Small helpers shared by every user of the design model.
#include "core/design.h"

namespace velnor {

std::string file_name_of(const std::string &path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int32_t unit_count(const Design &design, int32_t type) {
    const auto found = design.resources.find(type);
    return found == design.resources.end() ? 0 : found->second;
}

}  // namespace velnor
