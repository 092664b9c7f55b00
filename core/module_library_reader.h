// Reads a module library file: a flat sequence of decimal numbers whose fixed
// positions give the adder and multiplier variants and the register.
#pragma once

#include <stdexcept>
#include <string>

#include "core/design.h"

namespace velnor {

// A refused library. what() is the reader's short text ("f", "dds", "dda",
// "sss", "file_read_error", "stod"); reason says in plain words what is wrong.
struct LibraryFormatError : std::runtime_error {
    LibraryFormatError(const std::string &code, std::string reason)
        : std::runtime_error(code), reason(std::move(reason)) {}
    std::string reason;
};

// Minimum count of numbers a library file must hold.
constexpr int library_number_count = 27;

// Stores and validates in the reader's fixed order; values stored before a
// failing check stay. Throws LibraryFormatError.
void read_module_library(Design &design, const std::string &path);

}  // namespace velnor
