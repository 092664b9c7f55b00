// Saving a completed run: report first, then the key file, each attempted.
#include "core/save.h"

#include <functional>

#include "core/refusal.h"
#include "core/report.h"

namespace velnor {

SaveOutcome save_run(const Design &design, const std::string &heading, const KeyFileContents &contents,
                     const std::string &chosen_directory, const std::string &stamp, std::ostream &log) {
    // A folder given with a trailing '/' names the same files as without it.
    std::string directory = chosen_directory;
    while (directory.size() > 1 && directory.back() == '/')
        directory.pop_back();
    SaveOutcome outcome;
    outcome.report_file = report_path(design, directory, stamp);
    outcome.key_file = key_file_path(design, directory, stamp);
    // Each file is attempted whatever became of the other.
    const auto written = [](const std::function<void()> &write) {
        try {
            write();
            return true;
        } catch (const Refusal &) {
            return false;
        }
    };
    outcome.report_written = written([&] { write_report(design, heading, directory, stamp, log); });
    outcome.key_written = written([&] { write_key_file(outcome.key_file, contents); });
    return outcome;
}

}  // namespace velnor
