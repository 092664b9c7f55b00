// The SHA-512 of a file's bytes, the standard hash at full strength, read in
// chunks so that a file of up to 64 MiB never sits in memory whole. The owner's
// record names its input files by this digest.
#pragma once

#include <cstdint>
#include <string>

#include "core/bounded_line_reader.h"

namespace velnor {

// What reading a file gave: its digest as 128 lowercase hexadecimal characters,
// or why reading stopped (ReadError: it cannot be opened or read; FileTooLarge:
// more than limit bytes), the digest then empty.
struct FileDigest {
    std::string sha512;
    ReadStop stop = ReadStop::None;
};

FileDigest sha512_of_file(const std::string &path, std::uint64_t limit = max_input_file_bytes);

// The SHA-512 of bytes held in memory, as 128 lowercase hexadecimal characters.
std::string sha512_of_bytes(const std::string &bytes);

}  // namespace velnor
