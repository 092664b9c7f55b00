// The key file: the stego key, the resource counts and every figure of the
// embedding, one labelled line each. Holds the secret key, so it is created
// readable and writable by its owner only.
#pragma once

#include <string>
#include <vector>

#include "core/design.h"
#include "core/embedding_figures.h"

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
    EmbeddingFigures figures;
};

// The file's whole text, "\n" line ends.
std::string key_file_text(const KeyFileContents &contents);

// The labelled figure lines that close the file, from "Initial area : " to
// "effective one's embedded : ".
std::string key_file_figure_lines(const KeyFileContents &contents);

// The lines a strong run's key file ends with, "embedding : strong" and
// "together constraints : " + T; nothing for a specified run.
std::string key_file_embedding_lines(const KeyFileContents &contents);

// directory + "/key_" + stamped_name(dfg_name, stamp).
std::string key_file_path(const Design &design, const std::string &directory, const std::string &stamp);

// Appends key_file_text to path, creating the file with owner-only permissions.
// Refused (FileNotWritten) when it could not be written completely.
void write_key_file(const std::string &path, const KeyFileContents &contents);

}  // namespace velnor
