// Line-by-line reading of an input file within fixed bounds, so that a device,
// a pipe or a huge file ends in a refusal instead of in memory growth: both
// file readers take their lines from here.
#pragma once

#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>

namespace velnor {

// Larger input files, or longer lines, are refused without being read whole.
constexpr std::uint64_t max_input_file_bytes = std::uint64_t{64} << 20;
constexpr std::size_t max_input_line_bytes = std::size_t{1} << 20;

// A file beyond one of the bounds; what() says which, in plain words.
struct InputTooLarge : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class BoundedLineReader {
public:
    // Opens path once; is_open() tells whether that worked. A regular file
    // larger than the bound is refused here, before any byte is read.
    explicit BoundedLineReader(const std::string &path);

    bool is_open() const { return in_.is_open(); }

    // The next line without its '\n'; false at the end of the input or on a
    // read error (failed() then tells). Throws InputTooLarge.
    bool next(std::string &line);

    int line_number() const { return line_number_; }
    bool failed() const { return failed_; }

private:
    std::ifstream in_;
    std::uint64_t bytes_read_ = 0;
    int line_number_ = 0;
    bool failed_ = false;
};

}  // namespace velnor
