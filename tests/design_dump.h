// Plain-text dumps of a design's DFG part and library part, so that tests
// compare whole states and a mismatch shows which field differs.
#pragma once

#include <sstream>
#include <string>

#include "core/design.h"

namespace velnor::test {

// The consumers of operation id, blank-separated.
inline std::string successors_text(const Design &d, int32_t id) {
    std::string text;
    for (const int32_t s : successors_of(d, id))
        text += (text.empty() ? "" : " ") + std::to_string(s);
    return text;
}

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
            << " succ " << successors_text(d, key) << ' ' << op.asap_step << ' ' << op.alap_step << '\n';
    }
    out << "types " << steps_text({{0, {d.operation_types.begin(), d.operation_types.end()}}}) << "asap "
        << steps_text(d.asap_steps) << "alap " << steps_text(d.alap_steps) << "bound " << d.latency_bound << ' '
        << d.dfg_path << ' ' << d.dfg_name << ' ' << d.subtractor_count << ' ' << d.comparator_count;
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
