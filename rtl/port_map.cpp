// Reading the port map: a handful of name pairs, read line by line within
// the same bounds as every other input file.
#include "rtl/port_map.h"

#include <sstream>

#include "core/bounded_line_reader.h"
#include "core/quoted.h"
#include "core/refusal.h"

namespace velnor {
namespace {

[[noreturn]] void refuse(int line, const std::string &why) {
    throw Refusal(Refusal::Reason::SuspectNetlist, "line " + std::to_string(line) + ": " + why);
}

void add_line(PortMap &map, std::string line, int line_number) {
    const auto comment = line.find('#');
    if (comment != std::string::npos)
        line.erase(comment);
    std::istringstream words(line);
    std::string mine, theirs, extra;
    if (!(words >> mine))
        return;
    if (!(words >> theirs) || (words >> extra))
        refuse(line_number, "expected two names, velnor's port and the suspect's, not '" + quoted(line) + "'");
    if (!map.suspect_name.emplace(mine, theirs).second)
        refuse(line_number, "the port " + quoted(mine) + " is named twice");
}

}  // namespace

PortMap parse_port_map(const std::string &text) {
    PortMap map;
    std::istringstream lines(text);
    std::string line;
    int line_number = 0;
    while (std::getline(lines, line))
        add_line(map, line, ++line_number);
    return map;
}

PortMap read_port_map_file(const std::string &path) {
    BoundedLineReader reader(path);
    if (!reader.is_open())
        throw Refusal(Refusal::Reason::SuspectNetlist, path + ": cannot be opened");
    PortMap map;
    std::string line;
    try {
        while (reader.next(line))
            add_line(map, line, reader.line_number());
    } catch (const Refusal &refusal) {
        throw Refusal(refusal.reason(), path + ": " + refusal.what());
    }
    if (reader.stop() != ReadStop::None)
        throw Refusal(Refusal::Reason::SuspectNetlist,
                      path + (reader.stop() == ReadStop::ReadError ? ": cannot be read" : ": is too large"));
    return map;
}

}  // namespace velnor
