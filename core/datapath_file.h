// The datapath file: a Datapath as one JSON document ("velnor-datapath",
// version 1), written after a run and read back by verification. Reading
// checks every member the format defines and names the first one at fault.
#pragma once

#include <cstddef>
#include <string>

#include "core/datapath.h"
#include "core/refusal.h"

namespace velnor {

// The document, pretty-printed with two-space indents and a final line feed.
std::string datapath_to_json(const Datapath &datapath);

// Parses and checks a document. A document that breaks the format is refused
// (DatapathFile) naming the member at fault, e.g. "operations[3].variant: must
// be 1, 2 or null". Members the format does not define are ignored.
Datapath datapath_from_json(const std::string &text);

// Reads a datapath file, opened once and read at most once; refused
// (DatapathFile) when it cannot be read, is larger than the input files' bound
// (max_input_file_bytes), or breaks the format. The message starts with the path.
Datapath read_datapath_file(const std::string &path);

// Writes the document; false when the file could not be written completely.
bool write_datapath_file(const std::string &path, const Datapath &datapath);

}  // namespace velnor
