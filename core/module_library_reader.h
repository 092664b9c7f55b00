// Reads a module library file: a flat sequence of decimal numbers whose fixed
// positions give the adder and multiplier variants and the register.
#pragma once

#include <string>

#include "core/design.h"
#include "core/refusal.h"

namespace velnor {

// Minimum count of numbers a library file must hold.
constexpr int library_number_count = 27;

// The largest area or delay taken; beyond it the figures computed from the
// library could overflow a double.
constexpr double largest_library_value = 1e9;

// Opens the file once. Stores and validates in the reader's fixed order (an
// area or delay must be above 0 and at most largest_library_value); values
// stored before a failing check stay. Refuses (LibraryFile) with what is wrong
// in plain words, also a file larger than 64 MiB or with a line longer than
// 1 MiB, without reading it whole.
void read_module_library(Design &design, const std::string &path);

// The same, except that a file that cannot be opened is not refused: opened
// becomes false and design is left as it was.
void read_module_library(Design &design, const std::string &path, bool &opened);

}  // namespace velnor
