// How a message shows a value the user gave: short and on one line, whatever
// the value holds.
#pragma once

#include <string>

namespace velnor {

// At most 40 characters of text, then "..." when it is longer; a control
// character is written as an escape (\n, \t, \r, or \xHH), so a message that
// quotes it stays one line.
std::string quoted(const std::string &text);

// text with every control character escaped as quoted() does, none cut off.
std::string one_line(const std::string &text);

}  // namespace velnor
