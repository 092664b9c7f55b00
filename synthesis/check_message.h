// The text of a failed check: its parts streamed one after the other, so a
// checker can name the step, the register and the count in one expression.
#pragma once

#include <sstream>
#include <string>

namespace velnor {

template <typename... Parts>
std::string check_message(const Parts &...parts) {
    std::ostringstream out;
    (out << ... << parts);
    return out.str();
}

}  // namespace velnor
