// Encoding the n hash blocks of a stego key.
#include "hash/encoded_blocks.h"

#include <algorithm>

#include "hash/encoding.h"

namespace velnor {

std::vector<std::string> encode_blocks(const std::map<int32_t, Operation> &operations,
                                       const std::vector<int> &encodings, int n) {
    std::vector<std::string> blocks;
    const std::size_t count = std::min(encodings.size(), static_cast<std::size_t>(std::max(n, 0)));
    blocks.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        blocks.push_back(encode_operations(operations, encodings[i]));
    return blocks;
}

}  // namespace velnor
