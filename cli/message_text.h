// How the batch tool quotes a value it refuses: at most 40 characters, then
// "...", with control characters written as escapes, so that every refusal
// stays one line.
#pragma once

#include <string>

namespace velnor::cli {

// 'value' as a refusal shows it.
std::string quoted(const std::string &value);

}  // namespace velnor::cli
