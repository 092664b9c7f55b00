// Line-by-line reading of an input file within fixed bounds, so that a device,
// a pipe or a huge file ends in a refusal instead of in memory growth: both
// file readers take their lines from here.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

namespace velnor {

// Larger input files, or longer lines, are refused without being read whole.
constexpr std::uint64_t max_input_file_bytes = std::uint64_t{64} << 20;
constexpr std::size_t max_input_line_bytes = std::size_t{1} << 20;

// Why reading stopped before the end of the input.
enum class ReadStop {
    None,          // not stopped, or the end was reached
    ReadError,     // the system refused a read (a folder, a device fault)
    FileTooLarge,  // more than max_input_file_bytes
    LineTooLong,   // line line_number() + 1 holds more than max_input_line_bytes
};

// A whole file of at most limit bytes, read in chunks, so that a device or a
// pipe that never ends stops at the limit instead of being swallowed. When stop
// is not None (ReadError or FileTooLarge) the text is incomplete.
struct WholeFile {
    std::string text;
    ReadStop stop = ReadStop::None;
};
WholeFile read_whole_file(const std::string &path, std::uint64_t limit = max_input_file_bytes);

// Each reader words its own refusal from stop(), in its file's terms.
class BoundedLineReader {
public:
    // Opens path once; is_open() tells whether that worked. A regular file
    // larger than the bound stops here, before any byte is read.
    explicit BoundedLineReader(const std::string &path);

    bool is_open() const { return in_.is_open(); }

    // The next line without its '\n'; false at the end of the input or when
    // reading stopped (stop() then tells why).
    bool next(std::string &line);

    int line_number() const { return line_number_; }
    ReadStop stop() const { return stop_; }

private:
    std::ifstream in_;
    std::uint64_t bytes_read_ = 0;
    int line_number_ = 0;
    ReadStop stop_ = ReadStop::None;
};

}  // namespace velnor
