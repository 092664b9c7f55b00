// Reads a synthesized design into its Datapath value: the only place that
// knows how the design numbers its variables.
#include "core/datapath.h"

#include <algorithm>
#include <vector>

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
    // its primary input (both primary operands share it). Only the variables
    // of the lifetimes are named, and they are dense numbers, so both tables
    // are vectors indexed by the variable.
    int32_t highest = 0;
    for (const Lifetime &lifetime : design.lifetimes)
        highest = std::max(highest, lifetime.variable);
    const auto named = [highest](int32_t variable) { return variable > 0 && variable <= highest; };
    std::vector<char> is_result(static_cast<std::size_t>(highest) + 1, 0);
    for (const auto &entry : design.operations)
        if (named(entry.second.output_variable))
            is_result[static_cast<std::size_t>(entry.second.output_variable)] = 1;
    std::vector<std::string> name_of(static_cast<std::size_t>(highest) + 1);  // empty: no source found
    for (const auto &[id, op] : design.operations) {
        if (named(op.output_variable))
            name_of[static_cast<std::size_t>(op.output_variable)] = result_variable_name(id);
        if (op.first_input != 0 && op.second_input != 0)
            continue;
        for (int32_t variable : {op.first_input_variable, op.second_input_variable})
            if (named(variable) && !is_result[static_cast<std::size_t>(variable)])
                name_of[static_cast<std::size_t>(variable)] = input_variable_name(id);
    }

    datapath.operations.reserve(design.operations.size());
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

    datapath.variables.reserve(design.lifetimes.size());
    for (const Lifetime &lifetime : design.lifetimes) {
        DatapathVariable variable;
        // Every variable of an allocated design has a source; a bare number
        // would only show for a design whose tables disagree.
        const auto index = static_cast<std::size_t>(lifetime.variable);
        const bool has_name = named(lifetime.variable) && !name_of[index].empty();
        variable.name = has_name ? name_of[index] : "var:" + std::to_string(lifetime.variable);
        variable.birth = lifetime.birth;
        variable.death = lifetime.death;
        variable.register_number = register_of_variable(design, lifetime.variable);
        datapath.variables.push_back(std::move(variable));
    }
    return datapath;
}

}  // namespace velnor
