// Reads through the file buffer one character at a time, counting, so that no
// line grows past its bound whatever the input holds.
#include "core/bounded_line_reader.h"

#include <filesystem>
#include <ios>
#include <system_error>

namespace velnor {

BoundedLineReader::BoundedLineReader(const std::string &path) : in_(path, std::ios::binary) {
    if (!in_.is_open())
        return;
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error) &&
        std::filesystem::file_size(path, error) > max_input_file_bytes && !error)
        stop_ = ReadStop::FileTooLarge;
}

bool BoundedLineReader::next(std::string &line) {
    line.clear();
    if (stop_ != ReadStop::None || !in_.is_open())
        return false;
    std::streambuf &buffer = *in_.rdbuf();
    bool any = false;
    try {
        for (;;) {
            const int c = buffer.sbumpc();
            if (c == std::char_traits<char>::eof())
                break;
            any = true;
            if (++bytes_read_ > max_input_file_bytes) {
                stop_ = ReadStop::FileTooLarge;
                return false;
            }
            if (c == '\n')
                break;
            if (line.size() == max_input_line_bytes) {
                stop_ = ReadStop::LineTooLong;
                return false;
            }
            line.push_back(static_cast<char>(c));
        }
    } catch (const std::ios_base::failure &) {
        // The file buffer reports a failed read (a folder, a device fault) this way.
        stop_ = ReadStop::ReadError;
        return false;
    }
    if (any)
        ++line_number_;
    return any;
}

WholeFile read_whole_file(const std::string &path, std::uint64_t limit) {
    std::ifstream in(path, std::ios::binary);
    WholeFile file;
    char chunk[65536];
    while (in && file.text.size() <= limit) {
        in.read(chunk, sizeof chunk);
        file.text.append(chunk, static_cast<std::size_t>(in.gcount()));
    }
    // The last chunk may cross the limit and end the file in the same read: too large all the same.
    if (file.text.size() > limit)
        file.stop = ReadStop::FileTooLarge;
    else if (!in.eof())
        file.stop = ReadStop::ReadError;
    return file;
}

}  // namespace velnor
