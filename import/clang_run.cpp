// The compile of a C file: the file checked before clang sees it, clang run
// without a shell under a time limit, and its failure said in one line.
#include "import/clang_run.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/design.h"
#include "core/quoted.h"
#include "core/refusal.h"
#include "tools/child_process.h"

namespace velnor {

// -O3 with -funroll-loops unrolls every loop of constant trip count within
// LLVM's limits; without vectorizing, each C operation stays one scalar
// instruction, and without contraction a*b+c stays a multiplication and an
// addition. -g keeps the source lines the map and the refusals name.
const std::vector<std::string> clang_optimisation_options = {
    "-O3", "-fno-vectorize", "-fno-slp-vectorize", "-funroll-loops", "-ffp-contract=off", "-g"};

namespace {

[[noreturn]] void refuse(const std::string &message) { throw Refusal(Refusal::Reason::ImportFile, message); }

void check_file(const std::string &path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status) || !std::ifstream(path))
        refuse("cannot read " + path);
    // clang reads the file itself: a device or a pipe could never end.
    if (!std::filesystem::is_regular_file(status))
        refuse(file_name_of(path) + " is not a regular file");
    if (std::filesystem::file_size(path, error) > max_c_file_bytes || error)
        refuse(file_name_of(path) + " is larger than " + std::to_string(max_c_file_bytes >> 20) + " MiB");
}

// clang's first line with "error:", trimmed; empty when there is none.
std::string first_error_line(const std::string &output) {
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line))
        if (line.find("error:") != std::string::npos) {
            const auto first = line.find_first_not_of(" \t\r");
            return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
        }
    return {};
}

ChildResult run_clang(const std::string &program, const std::string &path, const ClangOptions &options) {
    ChildRequest request;
    request.program = program;
    request.arguments = clang_optimisation_options;
    request.arguments.insert(request.arguments.end(), options.arguments.begin(), options.arguments.end());
    // Bitcode on standard output; "--" so that no file name is taken for an option.
    for (const char *argument : {"-c", "-emit-llvm", "-o", "-", "-x", "c", "--"})
        request.arguments.push_back(argument);
    request.arguments.push_back(path);
    request.seconds = options.seconds;
    request.search_path = options.search_path;
    return run_child_process(request);
}

}  // namespace

std::string clang_bitcode(const std::string &path, const ClangOptions &options) {
    check_file(path);
    ChildResult run = run_clang("clang-14", path, options);
    if (run.end == ChildEnd::NotFound)
        run = run_clang("clang", path, options);
    switch (run.end) {
    case ChildEnd::Exited: break;
    case ChildEnd::NotFound: refuse("clang is not installed; install Debian's package clang");
    case ChildEnd::TimedOut: {
        std::ostringstream text;
        text << "clang did not compile " << file_name_of(path) << " within " << options.seconds << " s";
        refuse(text.str());
    }
    case ChildEnd::Signalled: refuse("clang was ended by signal " + std::to_string(run.signal));
    case ChildEnd::NotStarted: refuse("clang could not be started: " + one_line(run.failure));
    }
    if (run.exit_status != 0) {
        const std::string line = first_error_line(run.standard_error);
        refuse(line.empty() ? "clang failed with exit status " + std::to_string(run.exit_status)
                            : "clang failed: " + one_line(line));
    }
    if (run.standard_output.size() >= captured_output_limit)
        refuse("clang's bitcode of " + file_name_of(path) + " is larger than " +
               std::to_string(captured_output_limit >> 20) + " MiB");
    return std::move(run.standard_output);
}

}  // namespace velnor
