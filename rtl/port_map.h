// The suspect's names for the datapath's ports. A suspect that renamed its
// ports (a wrapper's conventions, an obfuscation) is matched through a file of
// `velnor-name suspect-name` lines; a port the file does not name keeps its
// own name.
#pragma once

#include <map>
#include <string>

namespace velnor {

struct PortMap {
    std::map<std::string, std::string> suspect_name;  // keyed by velnor's port name

    // The suspect's name of velnor's port.
    const std::string &operator()(const std::string &port) const {
        const auto renamed = suspect_name.find(port);
        return renamed == suspect_name.end() ? port : renamed->second;
    }
};

// Parses the file's text: one `velnor-name suspect-name` pair a line, blanks
// around and between, `#` to the end of a line a comment, blank lines skipped.
// Refused (SuspectNetlist) naming the line: a line of one or three names, a
// port named twice.
PortMap parse_port_map(const std::string &text);

// Reads and parses the file, within the input files' bounds; the message of a
// refusal starts with the path.
PortMap read_port_map_file(const std::string &path);

}  // namespace velnor
