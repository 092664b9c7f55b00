// Quoting refused values for one-line messages.
#include "cli/message_text.h"

#include <cstdio>

namespace velnor::cli {
namespace {

constexpr std::size_t quoted_length = 40;

}  // namespace

std::string quoted(const std::string &value) {
    std::string text = "'";
    for (std::size_t i = 0; i < value.size() && i < quoted_length; ++i) {
        const unsigned char c = static_cast<unsigned char>(value[i]);
        if (c == '\n')
            text += "\\n";
        else if (c == '\t')
            text += "\\t";
        else if (c == '\r')
            text += "\\r";
        else if (c < 0x20 || c == 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            text += escaped;
        } else {
            text += static_cast<char>(c);
        }
    }
    return text + (value.size() > quoted_length ? "...'" : "'");
}

}  // namespace velnor::cli
