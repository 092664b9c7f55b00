// The inputs of the hash chain: the design's operations encoded once per
// accepted rule number. Shared by the window's "Encodings" field and the
// batch tool.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/design.h"

namespace velnor {

// One bit string per block for the first n rule numbers of encodings (rules
// typed beyond n are ignored). Needs n <= encodings.size() and rules 1..9.
std::vector<std::string> encode_blocks(const std::map<int32_t, Operation> &operations,
                                       const std::vector<int> &encodings, int n);

}  // namespace velnor
