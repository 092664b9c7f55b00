// Figures as an output stream writes a double by default: six significant
// digits, the shorter of fixed and scientific notation. Formatted without a
// stream, so no caller's stream flags or locale reach them, at a fraction of
// a stream's cost.
#pragma once

#include <charconv>
#include <iterator>
#include <string>

namespace velnor {

// Appends value to out in the default stream format.
inline void append_figure(std::string &out, double value) {
    char text[32];
    const char *end = std::to_chars(std::begin(text), std::end(text), value, std::chars_format::general, 6).ptr;
    out.append(text, static_cast<std::size_t>(end - text));
}

inline std::string figure_text(double value) {
    std::string text;
    append_figure(text, value);
    return text;
}

}  // namespace velnor
