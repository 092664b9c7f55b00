// Reads a synthesized design into its Datapath value: the only place that
// knows how the design numbers its variables.
#include "core/datapath.h"

#include <map>
#include <set>

namespace velnor {

std::string result_variable_name(int32_t id) { return "op:" + std::to_string(id); }
std::string input_variable_name(int32_t id) { return "in:" + std::to_string(id); }

char operator_character(int32_t type) {
    switch (type) {
    case Add: return '+';
    case Subtract: return '-';
    case Multiply: return '*';
    case Divide: return '/';
    case Compare: return '<';
    default: return '?';
    }
}

Datapath datapath_of(const Design &design) {
    Datapath datapath;
    datapath.dfg = design.dfg_name;
    datapath.adders = unit_count(design, Add);
    datapath.multipliers = unit_count(design, Multiply);
    datapath.subtractors = unit_count(design, Subtract);
    datapath.comparators = unit_count(design, Compare);
    datapath.control_steps = static_cast<int32_t>(design.list_steps.size());
    datapath.registers = static_cast<int32_t>(design.register_lifetimes.size());

    // Name every variable by its source. A result variable is an operation's
    // output; of an operation's input variables, the one that is no result is
    // its primary input (both primary operands share it).
    std::set<int32_t> results;
    for (const auto &entry : design.operations)
        if (entry.second.output_variable != -1)
            results.insert(entry.second.output_variable);
    std::map<int32_t, std::string> name_of;
    for (const auto &[id, op] : design.operations) {
        if (op.output_variable != -1)
            name_of[op.output_variable] = result_variable_name(id);
        if (op.first_input != 0 && op.second_input != 0)
            continue;
        for (int32_t variable : {op.first_input_variable, op.second_input_variable})
            if (variable != -1 && results.count(variable) == 0)
                name_of[variable] = input_variable_name(id);
    }

    for (const auto &[id, op] : design.operations) {
        DatapathOperation out;
        out.id = id;
        out.type = operator_character(op.type);
        out.step = op.list_step;
        out.variant = op.variant;
        out.first_operand = op.first_input;
        out.second_operand = op.second_input;
        // Operand order comes from the operands themselves: the design's input
        // fields are filled in the order the producers were met.
        out.first_input = op.first_input == 0 ? input_variable_name(id) : result_variable_name(op.first_input);
        out.second_input = op.second_input == 0 ? input_variable_name(id) : result_variable_name(op.second_input);
        out.output = result_variable_name(id);
        datapath.operations.push_back(std::move(out));
    }

    for (const Lifetime &lifetime : design.lifetimes) {
        DatapathVariable variable;
        // Every variable of an allocated design has a source; a bare number
        // would only show for a design whose tables disagree.
        const auto name = name_of.find(lifetime.variable);
        variable.name = name == name_of.end() ? "var:" + std::to_string(lifetime.variable) : name->second;
        variable.birth = lifetime.birth;
        variable.death = lifetime.death;
        variable.register_number = register_of_variable(design, lifetime.variable);
        datapath.variables.push_back(std::move(variable));
    }
    return datapath;
}

}  // namespace velnor
