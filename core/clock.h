// The wall clock behind the time-stamped names of the saved files. Callers
// hold a Clock value so that tests and the batch tool can fix the time.
#pragma once

#include <ctime>
#include <functional>

namespace velnor {

using Clock = std::function<std::time_t()>;

// The current time in whole seconds.
inline std::time_t system_time() { return std::time(nullptr); }

}  // namespace velnor
