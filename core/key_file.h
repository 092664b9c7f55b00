// The key file: the stego key, the resource counts and every figure of the
// embedding, one labelled line each. Holds the secret key, so it is created
// readable and writable by its owner only.
#pragma once

#include <string>
#include <vector>

#include "core/design.h"

namespace velnor {

struct KeyFileContents {
    int adders = 0;
    int multipliers = 0;
    int encoding_count = 0;
    std::vector<int> encodings;
    std::vector<std::string> encoded_inputs;
    std::string stego_key_text;
    std::string rounds_key;
    std::string rounds_text;
    double initial_area = 0, max_area = 0, max_latency = 0;
    double area_phase1 = 0, area_phase2 = 0;
    double initial_latency = 0, latency_phase1 = 0, latency_phase2 = 0;
    double initial_cost = 0, cost_phase1 = 0, cost_phase2 = 0;
    double pc_phase1 = 0, pc_phase2 = 0;
    int zero_count = 0, one_count = 0, effective_one_count = 0;
};

// The file's whole text, "\n" line ends.
std::string key_file_text(const KeyFileContents &contents);

// The labelled figure lines that close the file, from "Initial area : " to
// "effective one's embedded : ".
std::string key_file_figure_lines(const KeyFileContents &contents);

// directory + "/key_" + stamped_name(dfg_name, stamp).
std::string key_file_path(const Design &design, const std::string &directory, const std::string &stamp);

// Appends key_file_text to path, creating the file with owner-only permissions.
// Returns false when it could not be written completely.
bool write_key_file(const std::string &path, const KeyFileContents &contents);

}  // namespace velnor
