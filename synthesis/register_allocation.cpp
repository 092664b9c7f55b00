// Register allocation over the list schedule. Every value that crosses a
// control step becomes a numbered variable with a lifetime; variables are then
// packed into registers, each register filled by one left-edge pick followed by
// a chain along data dependence, and the controller table records which
// variable each register holds in each step.
#include "synthesis/register_allocation.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace velnor {
namespace {

// One operation of the list schedule with its record.
struct Placed {
    int32_t step;
    int32_t id;
    Operation *op;
};

// The list schedule in walking order: steps ascending, ids in stored order.
// Each record is looked up once; map nodes stay put while lookups add records.
std::vector<Placed> placed_operations(Design &design) {
    std::vector<Placed> placed;
    for (const auto &[step, ids] : design.list_steps)
        for (int32_t id : ids)
            placed.push_back(Placed{step, id, &design.operations[id]});
    return placed;
}

// Stores variable in the first input-variable field of op that is still unset.
void fill_first_free_input(Operation &op, int32_t variable) {
    if (op.first_input_variable == -1)
        op.first_input_variable = variable;
    else if (op.second_input_variable == -1)
        op.second_input_variable = variable;
}

// Gives the result of a placed operation the variable number next. The result
// is held until the step before its last reader, or to the end of the schedule
// when nothing reads it; each reader records it as an input.
void create_result_variable(Design &design, const Placed &placed, int32_t next) {
    const int32_t steps = static_cast<int32_t>(design.list_steps.size());
    placed.op->output_variable = next;
    const std::vector<int32_t> &successors = placed.op->successors;
    int32_t death = steps;
    if (!successors.empty()) {
        death = 0;
        for (int32_t s : successors) {
            Operation &reader = design.operations[s];
            death = std::max(death, reader.list_step - 1);
            if (reader.first_input == placed.id && reader.second_input == placed.id) {
                reader.first_input_variable = next;
                reader.second_input_variable = next;
            } else {
                fill_first_free_input(reader, next);
            }
        }
    }
    design.lifetimes.push_back(Lifetime{placed.step, death, next});
}

// Records every lifetime's variable in its register for each step it lives.
// The table is written step by step, each step in register order, so that
// every row and every entry is appended at the end of its map. Each step looks
// at every lifetime: a few hundred thousand checks for the largest cores,
// cheaper than sorting the cells or inserting them in lifetime order.
void fill_controller_table(Design &design) {
    std::vector<std::pair<int32_t, const Lifetime *>> by_register;
    int32_t first_step = std::numeric_limits<int32_t>::max();
    int32_t last_step = std::numeric_limits<int32_t>::min();
    for (const Lifetime &lifetime : design.lifetimes) {
        if (lifetime.birth > lifetime.death)
            continue;
        by_register.emplace_back(design.register_of[lifetime.variable], &lifetime);
        first_step = std::min(first_step, lifetime.birth);
        last_step = std::max(last_step, lifetime.death);
    }
    // Stable: where two lifetimes share a cell, the later one is written last and stays.
    std::stable_sort(by_register.begin(), by_register.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });

    ControllerTable &table = design.controller_table;
    for (int32_t t = first_step; t <= last_step; ++t) {
        auto row = table.end();
        for (const auto &[reg, lifetime] : by_register) {
            if (t < lifetime->birth || t > lifetime->death)
                continue;
            if (row == table.end())
                row = table.try_emplace(table.end(), t);
            row->second.insert_or_assign(row->second.end(), reg, lifetime->variable);
        }
    }
}

}  // namespace

void derive_lifetimes(Design &design, std::ostream &log) {
    const std::vector<Placed> schedule = placed_operations(design);
    int32_t next = 1;

    // Primary inputs: the two primary operands of one operation share one
    // variable; an operation reading one primary input and one result gets a
    // variable for the primary operand alone. Both live from step 0 until the
    // step before their reader.
    int32_t primary_variables = 0;
    for (const Placed &placed : schedule) {
        Operation &op = *placed.op;
        const bool first_primary = op.first_input == 0;
        const bool second_primary = op.second_input == 0;
        if (first_primary && second_primary) {
            design.lifetimes.push_back(Lifetime{0, op.list_step - 1, next});
            op.first_input_variable = next;
            op.second_input_variable = next;
        } else if (first_primary || second_primary) {
            design.lifetimes.push_back(Lifetime{0, op.list_step - 1, next});
            fill_first_free_input(op, next);
        } else {
            continue;
        }
        ++next;
        ++primary_variables;
    }

    // Results: first those of the operations on primary inputs, then the rest.
    for (const Placed &placed : schedule)
        if (placed.op->first_input == 0 && placed.op->second_input == 0)
            create_result_variable(design, placed, next++);
    for (const Placed &placed : schedule)
        if (placed.op->output_variable == -1)
            create_result_variable(design, placed, next++);

    for (int32_t variable = 1; variable <= primary_variables; ++variable)
        design.born_at[0].push_back(variable);
    for (const Placed &placed : schedule)
        design.born_at[placed.step].push_back(placed.op->output_variable);

    for (const Lifetime &lifetime : design.lifetimes)
        design.lifetime_of[lifetime.variable] = {lifetime.birth, lifetime.death};

    // An operation that was never scheduled has no variables to link.
    for (const auto &entry : design.operations) {
        const Operation &op = entry.second;
        if (op.output_variable == -1)
            continue;
        for (int32_t input : {op.first_input_variable, op.second_input_variable})
            if (input != -1)
                design.next_variables[input].insert(op.output_variable);
    }

    // Variables are shown counted from 0.
    log << "\nnext variable \n";
    for (const auto &[variable, followers] : design.next_variables) {
        log << variable - 1 << " : ";
        for (int32_t follower : followers)
            log << follower - 1 << " ";
        log << "\n";
    }
}

void allocate_registers(Design &design) {
    std::map<int32_t, int32_t> free_at;

    for (const auto &entry : design.born_at)
        for (int32_t v : entry.second)
            if (design.register_of[v] == 0)
                allocate_chain(design, v, free_at);

    for (const auto &[reg, held] : design.register_lifetimes)
        for (const Lifetime &lifetime : held)
            design.register_of[lifetime.variable] = reg;

    fill_controller_table(design);
    design.controller_table_before = design.controller_table;
}

void allocate_chain(Design &design, int32_t v, std::map<int32_t, int32_t> &free_at) {
    // Left edge: only the register that falls free earliest is considered, the
    // lowest-numbered one on a tie.
    int32_t candidate = 10000000;
    int32_t earliest = 10000000;
    bool first = true;
    for (const auto &[reg, last_death] : free_at) {
        if (first || last_death < earliest) {
            candidate = reg;
            earliest = last_death;
            first = false;
        }
    }
    // A variable may join a register only when born strictly after its last death.
    const int32_t chain_birth = design.lifetime_of[v].first;
    const int32_t reg = chain_birth <= earliest ? static_cast<int32_t>(free_at.size()) + 1 : candidate;

    int32_t cur = v;
    int32_t last = 0;
    while (design.register_of[cur] == 0) {
        const auto [birth, death] = design.lifetime_of[cur];
        last = death;
        design.register_of[cur] = reg;
        design.register_lifetimes[reg].push_back(Lifetime{birth, death, cur});

        // Follow the unplaced variable computed from cur that starts after cur
        // dies and is born last; the smallest number among equal births.
        int32_t threshold = chain_birth;
        int32_t chosen = -1;
        for (int32_t s : design.next_variables[cur]) {
            if (design.register_of[s] != 0)
                continue;
            const int32_t s_birth = design.lifetime_of[s].first;
            if (s_birth <= threshold)
                continue;
            if (s_birth > death) {
                chosen = s;
                threshold = s_birth;
            }
        }
        if (chosen == -1)
            break;
        cur = chosen;
    }
    free_at[reg] = last;
}

}  // namespace velnor
