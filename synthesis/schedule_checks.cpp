// Checks of the list schedule and the register allocation, written apart from
// the algorithms they check: each walks the design by operation or by variable
// rather than in the algorithms' own order, and reports the first break found.
#include "synthesis/schedule_checks.h"

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "core/binding.h"
#include "synthesis/check_message.h"

namespace velnor {
namespace {

bool find_lifetime(const Design &design, int32_t variable, std::pair<int32_t, int32_t> &lifetime) {
    if (variable < 1 || static_cast<std::size_t>(variable) >= design.lifetime_of.size())
        return false;
    lifetime = design.lifetime_of[static_cast<std::size_t>(variable)];
    return true;
}

// The variable of a primary operand of op: born in step 0, dead the step before op runs.
std::string check_primary_variable(const Design &design, const Operation &op, int32_t variable) {
    std::pair<int32_t, int32_t> lifetime;
    if (!find_lifetime(design, variable, lifetime))
        return check_message("operation ", op.id, " reads a primary input through variable ", variable,
                       ", which has no lifetime");
    if (lifetime != std::make_pair(0, op.list_step - 1))
        return check_message("operation ", op.id, " in step ", op.list_step, " reads a primary input through variable ",
                       variable, " living ", lifetime.first, "..", lifetime.second, ", expected 0..",
                       op.list_step - 1);
    return {};
}

std::string check_input_variables(const Design &design, const Operation &op) {
    const int32_t a = op.first_input;
    const int32_t b = op.second_input;
    const int32_t f = op.first_input_variable;
    const int32_t g = op.second_input_variable;
    auto result_of = [&](int32_t producer) {
        const Operation *p = find_operation(design, producer);
        return p ? p->output_variable : -1;
    };
    const std::string where = check_message("operation ", op.id, " (inputs ", a, ", ", b, ") records input variables ",
                                       f, " and ", g);
    if (a == 0 && b == 0) {
        if (f != g)
            return where + ", expected one shared primary-input variable";
        return check_primary_variable(design, op, f);
    }
    if (a == b) {
        if (f != result_of(a) || g != result_of(a))
            return check_message(where, ", expected ", result_of(a), " twice");
        return {};
    }
    if (a != 0 && b != 0) {
        std::vector<int32_t> got{f, g};
        std::vector<int32_t> want{result_of(a), result_of(b)};
        std::sort(got.begin(), got.end());
        std::sort(want.begin(), want.end());
        if (got != want)
            return check_message(where, ", expected ", want[0], " and ", want[1]);
        return {};
    }
    const int32_t produced = result_of(a != 0 ? a : b);
    if (f == produced && g != produced)
        return check_primary_variable(design, op, g);
    if (g == produced && f != produced)
        return check_primary_variable(design, op, f);
    return check_message(where, ", expected ", produced, " and a primary-input variable");
}

}  // namespace

std::string check_step_table(const Design &design, const StepMap &table, int32_t Operation::*step_field,
                             const std::string &name, bool every_operation_placed) {
    std::map<int32_t, int32_t> step_of;
    for (const auto &[step, ids] : table) {
        for (int32_t id : ids) {
            const Operation *op = find_operation(design, id);
            if (!op)
                return check_message(name, " step ", step, " holds ", id, ", which is no operation");
            const auto [earlier, fresh] = step_of.emplace(id, step);
            if (!fresh)
                return check_message("operation ", id, " stands in ", name, " steps ", earlier->second, " and ", step);
            if (op->*step_field != step)
                return check_message("operation ", id, " stands in ", name, " step ", step, " but its own step is ",
                               op->*step_field);
        }
    }
    for (const auto &[id, op] : design.operations) {
        const int32_t step = op.*step_field;
        if (step == -1) {
            if (every_operation_placed)
                return check_message("operation ", id, " has no ", name, " step");
            continue;
        }
        if (step_of.count(id) == 0)
            return check_message("operation ", id, " has ", name, " step ", step, " but stands in no ", name, " step");
    }
    return {};
}

std::string check_precedence(const Design &design) {
    for (const auto &[id, op] : design.operations) {
        if (op.list_step == -1)
            continue;
        for (int32_t producer : {op.first_input, op.second_input}) {
            if (producer == 0)
                continue;
            const Operation *p = find_operation(design, producer);
            const int32_t producer_step = p ? p->list_step : -1;
            if (producer_step == -1)
                return check_message("operation ", id, " in step ", op.list_step, " reads ", producer,
                               ", which is not scheduled");
            if (producer_step >= op.list_step)
                return check_message("operation ", id, " in step ", op.list_step, " reads ", producer, " of step ",
                               producer_step);
        }
    }
    return {};
}

std::string check_step_limits(const Design &design, const ResourceLimits &limits) {
    for (const auto &[step, ids] : design.list_steps) {
        std::map<int32_t, int32_t> used;
        for (int32_t id : ids) {
            const Operation *op = find_operation(design, id);
            if (op)
                ++used[op->type];
        }
        for (const auto &[type, count] : used) {
            const auto limit = limits.find(type);
            const int32_t allowed = limit == limits.end() ? 0 : limit->second;
            if (count > allowed)
                return check_message("list step ", step, " runs ", count, " operations of type ", type, ", limit ",
                               allowed);
        }
    }
    return {};
}

std::string check_variant_quota(const Design &design) {
    for (const auto &[step, ids] : design.list_steps) {
        std::map<std::pair<int32_t, ModuleVariant>, int32_t> used;  // (type, variant) -> operations
        for (int32_t id : ids)
            if (const Operation *op = find_operation(design, id); op && (op->type == Add || op->type == Multiply))
                ++used[{op->type, op->variant}];
        for (const auto &[bound, count] : used) {
            const auto [type, variant] = bound;
            const int32_t units = unit_count(design, type);
            const int32_t allowed = variant == 1 ? variant1_units(units) : variant == 2 ? variant2_units(units) : 0;
            if (count > allowed)
                return check_message("list step ", step, " runs ", count, " operations of type ", type,
                                     " on variant ", variant, ", which has ", allowed, " units");
        }
    }
    return {};
}

std::string check_lifetimes(const Design &design) {
    for (std::size_t index = 0; index < design.lifetimes.size(); ++index) {
        const Lifetime &lifetime = design.lifetimes[index];
        const auto expected = static_cast<int32_t>(index + 1);
        if (lifetime.variable != expected)
            return check_message("lifetime ", index, " carries variable ", lifetime.variable, ", expected ", expected);
        std::pair<int32_t, int32_t> mirrored;
        if (!find_lifetime(design, lifetime.variable, mirrored) ||
            mirrored != std::make_pair(lifetime.birth, lifetime.death))
            return check_message("variable ", lifetime.variable, " lives ", lifetime.birth, "..", lifetime.death,
                           " but lifetime_of says otherwise");
    }
    if (design.lifetime_of.size() != design.lifetimes.size() + 1)
        return check_message("lifetime_of has ", design.lifetime_of.size(), " entries, lifetimes ",
                       design.lifetimes.size(), " variables");

    const auto steps = static_cast<int32_t>(design.list_steps.size());
    for (const auto &[id, op] : design.operations) {
        if (op.list_step == -1)
            continue;
        int32_t death = steps;
        if (const FlatLists::List successors = successors_of(design, id); !successors.empty()) {
            death = 0;
            for (int32_t s : successors) {
                const Operation *reader = find_operation(design, s);
                death = std::max(death, (reader ? reader->list_step : -1) - 1);
            }
        }
        std::pair<int32_t, int32_t> lifetime;
        if (!find_lifetime(design, op.output_variable, lifetime))
            return check_message("operation ", id, " in step ", op.list_step, " has no result variable");
        if (lifetime != std::make_pair(op.list_step, death))
            return check_message("result variable ", op.output_variable, " of operation ", id, " lives ",
                           lifetime.first, "..", lifetime.second, ", expected ", op.list_step, "..", death);
        const std::string inputs = check_input_variables(design, op);
        if (!inputs.empty())
            return inputs;
    }
    return {};
}

std::string check_registers(const Design &design) {
    std::map<int32_t, std::vector<std::pair<int32_t, int32_t>>> held;  // register -> (birth, variable)
    for (const Lifetime &lifetime : design.lifetimes) {
        const int32_t reg = register_of_variable(design, lifetime.variable);
        if (reg < 1)
            return check_message("variable ", lifetime.variable, " has no register");
        held[reg].emplace_back(lifetime.birth, lifetime.variable);
    }
    for (auto &[reg, variables] : held) {
        std::sort(variables.begin(), variables.end());
        // Sorted by birth, a variable overlaps an earlier one exactly when it is
        // born before the latest death seen so far.
        int32_t latest_death = -1;
        int32_t latest_variable = 0;
        for (const auto &[birth, variable] : variables) {
            const int32_t death = design.lifetime_of[static_cast<std::size_t>(variable)].second;
            if (death < birth)
                continue;
            if (birth <= latest_death)
                return check_message("register ", reg, " holds variables ", latest_variable, " and ", variable,
                               " both in step ", birth);
            latest_death = death;
            latest_variable = variable;
        }
    }
    return {};
}

std::string check_controller_table(const Design &design) {
    int64_t occupied = 0;
    for (const Lifetime &lifetime : design.lifetimes) {
        const int32_t variable = lifetime.variable;
        const int32_t reg = register_of_variable(design, variable);
        if (reg < 1)
            return check_message("variable ", variable, " has no register");
        for (int32_t t = lifetime.birth; t <= lifetime.death; ++t) {
            ++occupied;
            if (design.controller_table.at(t, reg) != variable)
                return check_message("controller table step ", t, " register ", reg, " does not hold variable ",
                               variable);
        }
    }
    const int64_t filled = design.controller_table.filled_cells();
    if (filled != occupied)
        return check_message("controller table holds ", filled, " variable entries, the lifetimes ", occupied);
    return {};
}

std::string check_controller_table_unchanged(const Design &design) {
    const ControllerTable &now = design.controller_table;
    const ControllerTable &before = design.controller_table_before;
    const std::vector<int32_t> now_steps = now.steps();
    const std::vector<int32_t> before_steps = before.steps();
    std::set<int32_t> steps(now_steps.begin(), now_steps.end());
    steps.insert(before_steps.begin(), before_steps.end());
    const int32_t registers = std::max(now.highest_register(), before.highest_register());
    for (int32_t step : steps) {
        const bool in_now = std::binary_search(now_steps.begin(), now_steps.end(), step);
        const bool in_before = std::binary_search(before_steps.begin(), before_steps.end(), step);
        if (!in_now || !in_before)
            return check_message("controller table step ", step, !in_now ? " has gone" : " is new",
                           " since allocation");
        for (int32_t reg = 1; reg <= registers; ++reg)
            if (now.at(step, reg) != before.at(step, reg))
                return check_message("controller table step ", step,
                                     " differs from the copy taken after allocation");
    }
    return {};
}

}  // namespace velnor
