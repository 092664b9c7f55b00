// Saving a completed run: the report and the key file side by side in one
// folder, under one time stamp. The window's Save and the batch tool's --out
// both call save_run, so the two write the same bytes.
#pragma once

#include <ostream>
#include <string>

#include "core/design.h"
#include "core/key_file.h"

namespace velnor {

struct SaveOutcome {
    std::string report_file;
    std::string key_file;
    bool report_written = false;
    bool key_written = false;
};

// Writes the report (heading: the hash chain's log), then the key file; the key
// file is attempted even when the report fails. Trailing '/' of directory are
// dropped. Diagnostic lines go to log.
SaveOutcome save_run(const Design &design, const std::string &heading, const KeyFileContents &contents,
                     const std::string &directory, const std::string &stamp, std::ostream &log);

}  // namespace velnor
