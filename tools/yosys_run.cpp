// Yosys as a child process: the scratch folder, the run and its failure line.
#include "tools/yosys_run.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace velnor {

ScratchFolder::ScratchFolder() {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    std::string pattern = (error ? std::string("/tmp") : base.string()) + "/velnor-yosys-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr)  // mode 0700
        path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    if (path_.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

ChildResult run_yosys(const std::vector<std::string> &arguments, const std::string &folder, double seconds,
                      const std::optional<std::string> &search_path) {
    ChildRequest request;
    request.program = "yosys";
    request.arguments = arguments;
    request.seconds = seconds;
    request.search_path = search_path;
    request.working_directory = folder;
    return run_child_process(request);
}

namespace {

std::string trimmed(const std::string &line) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

std::optional<std::string> first_error_line(const std::string &output) {
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line))
        if (line.find("ERROR") != std::string::npos)
            return trimmed(line);
    return std::nullopt;
}

}  // namespace

std::optional<std::string> yosys_failure(const ChildResult &run, double seconds) {
    switch (run.end) {
    case ChildEnd::Exited:
        break;
    case ChildEnd::NotFound:
        return "yosys is not installed; install Debian's package yosys";
    case ChildEnd::TimedOut: {
        std::ostringstream text;
        text << "yosys did not finish within " << seconds << " s";
        return text.str();
    }
    case ChildEnd::Signalled:
        return "yosys was ended by signal " + std::to_string(run.signal);
    case ChildEnd::NotStarted:
        return "yosys could not be started: " + run.failure;
    }
    if (run.exit_status == 0)
        return std::nullopt;
    if (auto line = first_error_line(run.standard_error))
        return "yosys failed: " + *line;
    if (auto line = first_error_line(run.standard_output))
        return "yosys failed: " + *line;
    return "yosys failed with exit status " + std::to_string(run.exit_status);
}

bool plain_module_name(const std::string &name) {
    if (name.empty() || (name[0] >= '0' && name[0] <= '9') || name[0] == '$')
        return false;
    for (const char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$'))
            return false;
    return true;
}

}  // namespace velnor
