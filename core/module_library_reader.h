// Reads a module library file: a flat sequence of decimal numbers whose fixed
// positions give the adder and multiplier variants and the register.
#pragma once

#include <string>

#include "core/design.h"
#include "core/refusal.h"

namespace velnor {

// Minimum count of numbers a library file must hold.
constexpr int library_number_count = 27;

// Stores and validates in the reader's fixed order; values stored before a
// failing check stay. Refuses (LibraryFile) with what is wrong in plain words.
void read_module_library(Design &design, const std::string &path);

}  // namespace velnor
