// clang as a child process: a C file compiled to LLVM bitcode with the
// optimisation that leaves a DSP kernel straight-line code (loops fully
// unrolled, no vector instructions, no fused multiply-add). The C importer
// reads the bitcode; nothing here knows LLVM's types.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velnor {

// A C file larger than this is refused unread: a DSP kernel is a few hundred
// lines, and the largest core the hash chain takes is 895 operations.
constexpr std::uint64_t max_c_file_bytes = std::uint64_t{1} << 20;

struct ClangOptions {
    std::vector<std::string> arguments;      // after velnor's own, in the order given (-I, -D, -std=...)
    double seconds = 60;                     // the compile's time limit
    std::optional<std::string> search_path;  // where clang is looked for; PATH when not given
};

// The options velnor always compiles with, before the caller's.
extern const std::vector<std::string> clang_optimisation_options;

// Compiles the C file at path (a regular file of at most max_c_file_bytes) and
// returns the module's bitcode. clang-14 is run when the search path has it,
// else clang: the bitcode is read by LLVM 14's library, and a newer clang
// writes bitcode that LLVM 14 cannot read. Refused (ImportFile, one line) when
// the file cannot be read or is too large, clang is missing (naming Debian's
// package), fails (its first "error:" line), runs out of time or is killed.
std::string clang_bitcode(const std::string &path, const ClangOptions &options);

}  // namespace velnor
