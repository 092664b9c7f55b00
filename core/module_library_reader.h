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

// The library file could not be opened at all.
struct LibraryUnopenedError : LibraryFormatError {
    explicit LibraryUnopenedError(const std::string &path)
        : LibraryFormatError("file_read_error", "cannot open " + path) {}
};

// Minimum count of numbers a library file must hold.
constexpr int library_number_count = 27;

// The largest area or delay taken; beyond it the figures computed from the
// library could overflow a double.
constexpr double largest_library_value = 1e9;

// Opens the file once. Stores and validates in the reader's fixed order (an
// area or delay must be above 0 and at most largest_library_value); values
// stored before a failing check stay. Throws LibraryFormatError
// (LibraryUnopenedError when the file cannot be opened), and InputTooLarge
// for a file or line beyond the reading bounds.
void read_module_library(Design &design, const std::string &path);

}  // namespace velnor
