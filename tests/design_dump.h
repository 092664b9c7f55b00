// Plain-text dumps of a design's DFG part and library part, so that tests
// compare whole states and a mismatch shows which field differs.
#pragma once

#include <sstream>
#include <string>

#include "core/design.h"

namespace velnor::test {

inline std::string steps_text(const StepMap &steps) {
    std::ostringstream out;
    for (const auto &[step, ids] : steps) {
        out << step << ":";
        for (const int32_t id : ids)
            out << ' ' << id;
        out << "; ";
    }
    return out.str();
}

inline std::string dfg_part_text(const Design &d) {
    std::ostringstream out;
    for (const auto &[key, op] : d.operations) {
        out << "op " << key << ": " << op.first_input << ' ' << op.second_input << ' ' << op.id << ' ' << op.type
            << " succ";
        for (const int32_t s : op.successors)
            out << ' ' << s;
        out << " asap " << op.asap_step << " alap " << op.alap_step << '\n';
    }
    out << "types";
    for (const int32_t t : d.operation_types)
        out << ' ' << t;
    out << "\nasap " << steps_text(d.asap_steps) << "\nalap " << steps_text(d.alap_steps)
        << "\nbound " << d.latency_bound << " path " << d.dfg_path << " name " << d.dfg_name << " subtractors "
        << d.subtractor_count << " comparators " << d.comparator_count << '\n';
    return out.str();
}

inline std::string library_part_text(const Design &d) {
    std::ostringstream out;
    for (const auto &[type, areas] : d.area_table)
        out << "area " << type << ' ' << areas.first << '/' << areas.second << ' ';
    for (const auto &[type, delays] : d.delay_table)
        out << "delay " << type << ' ' << delays.first << '/' << delays.second << ' ';
    out << "adders " << d.adder_count << " multipliers " << d.multiplier_count << " register " << d.register_area
        << '/' << d.register_delay << " path " << d.library_path;
    return out.str();
}

}  // namespace velnor::test
