// Shortening and escaping of quoted values.
#include "core/quoted.h"

#include <cstdio>

namespace velnor {
namespace {

constexpr std::size_t quoted_length = 40;

void append_escaped(std::string &out, char c) {
    switch (c) {
    case '\n': out += "\\n"; return;
    case '\t': out += "\\t"; return;
    case '\r': out += "\\r"; return;
    default: break;
    }
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) {
        char escape[5];
        std::snprintf(escape, sizeof escape, "\\x%02x", byte);
        out += escape;
        return;
    }
    out += c;
}

}  // namespace

std::string quoted(const std::string &text) {
    std::string out;
    const std::size_t shown = text.size() > quoted_length ? quoted_length : text.size();
    for (std::size_t i = 0; i < shown; ++i)
        append_escaped(out, text[i]);
    if (text.size() > quoted_length)
        out += "...";
    return out;
}

std::string one_line(const std::string &text) {
    std::string out;
    for (char c : text)
        append_escaped(out, c);
    return out;
}

}  // namespace velnor
