// Register allocation over the list schedule. Every value that crosses a
// control step becomes a numbered variable with a lifetime; variables are then
// packed into registers, each register filled by one left-edge pick followed by
// a chain along data dependence, and the controller table records which
// variable each register holds in each step.
#include "synthesis/register_allocation.h"

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "synthesis/register_moves.h"

namespace velnor {
namespace {

// One operation of the list schedule.
struct Placed {
    int32_t step;
    int32_t id;
};

// The list schedule in walking order: steps ascending, ids in stored order.
// An id the table lacks gets its fresh record here, before any record is held.
std::vector<Placed> placed_operations(Design &design) {
    std::vector<Placed> placed;
    for (const auto &[step, ids] : design.list_steps)
        for (int32_t id : ids)
            placed.push_back(Placed{step, id});
    for (const Placed &p : placed)
        design.operations[p.id];
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
    // A reader the table lacks is added first: adding moves the records, so
    // none is held until every reader exists.
    const FlatLists::List successors = successors_of(design, placed.id);
    for (const int32_t successor : successors)
        design.operations[successor];
    Operation &op = design.operations[placed.id];
    op.output_variable = next;
    int32_t death = steps;
    if (!successors.empty()) {
        death = 0;
        for (const int32_t successor : successors) {
            Operation &reader = *find_operation(design, successor);
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

// Writes every lifetime's variable into its register for each step it lives,
// in the order of the lifetimes: where two lifetimes of one register share a
// cell, the later one stays.
void fill_controller_table(Design &design) {
    // Once a register is in the table, room is made for a run per lifetime it
    // holds, most often all the runs it gets.
    std::vector<bool> reserved(design.register_lifetimes.size() + 1, false);
    for (const Lifetime &lifetime : design.lifetimes) {
        const int32_t reg = design.register_of[static_cast<std::size_t>(lifetime.variable)];
        design.controller_table.fill(reg, lifetime.birth, lifetime.death, lifetime.variable);
        const auto index = static_cast<std::size_t>(reg);
        if (reg >= 1 && index < reserved.size() && !reserved[index] &&
            reg <= design.controller_table.highest_register()) {
            design.controller_table.reserve_runs(reg, design.register_lifetimes[index - 1].size());
            reserved[index] = true;
        }
    }
}

// The list of variables born in each step, made long enough for step.
std::vector<int32_t> &born_list(Design &design, int32_t step) {
    const auto index = static_cast<std::size_t>(step);
    if (index >= design.born_at.size())
        design.born_at.resize(index + 1);
    return design.born_at[index];
}

}  // namespace

void derive_lifetimes(Design &design, std::ostream &log) {
    const std::vector<Placed> schedule = placed_operations(design);
    int32_t next = 1;
    design.lifetimes.reserve(design.lifetimes.size() + 2 * schedule.size());  // a result and at most one input each

    // Primary inputs: the two primary operands of one operation share one
    // variable; an operation reading one primary input and one result gets a
    // variable for the primary operand alone. Both live from step 0 until the
    // step before their reader.
    int32_t primary_variables = 0;
    for (const Placed &placed : schedule) {
        Operation &op = design.operations[placed.id];
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
    for (const Placed &placed : schedule) {
        const Operation &op = design.operations[placed.id];
        if (op.first_input == 0 && op.second_input == 0)
            create_result_variable(design, placed, next++);
    }
    for (const Placed &placed : schedule)
        if (design.operations[placed.id].output_variable == -1)
            create_result_variable(design, placed, next++);

    // Each step's list is reserved at its final length first: the primary
    // inputs are born in step 0, each result in its operation's step.
    std::vector<std::size_t> born_count(1, static_cast<std::size_t>(primary_variables));
    for (const Placed &placed : schedule) {
        const auto step = static_cast<std::size_t>(placed.step);
        if (step >= born_count.size())
            born_count.resize(step + 1, 0);
        ++born_count[step];
    }
    for (std::size_t step = 0; step < born_count.size(); ++step)
        if (born_count[step] > 0) {
            std::vector<int32_t> &born = born_list(design, static_cast<int32_t>(step));
            born.reserve(born.size() + born_count[step]);
        }
    for (int32_t variable = 1; variable <= primary_variables; ++variable)
        born_list(design, 0).push_back(variable);
    for (const Placed &placed : schedule)
        born_list(design, placed.step).push_back(design.operations[placed.id].output_variable);

    const std::size_t variables = design.lifetimes.size() + 1;
    design.lifetime_of.assign(variables, {0, 0});
    for (const Lifetime &lifetime : design.lifetimes)
        design.lifetime_of[static_cast<std::size_t>(lifetime.variable)] = {lifetime.birth, lifetime.death};

    // An operation that was never scheduled has no variables to link. Sorted
    // as (variable, follower) pairs, each variable's followers come out
    // ascending, each once.
    std::vector<std::pair<int32_t, int32_t>> links;
    links.reserve(2 * design.operations.size());
    for (const auto &entry : design.operations) {
        const Operation &op = entry.second;
        if (op.output_variable == -1)
            continue;
        for (int32_t input : {op.first_input_variable, op.second_input_variable})
            if (input != -1)
                links.emplace_back(input, op.output_variable);
    }
    std::sort(links.begin(), links.end());
    links.erase(std::unique(links.begin(), links.end()), links.end());
    design.next_variables = FlatLists(variables, links);

    // Only a log that writes gets the listing: a stream in a failed state would drop it anyway.
    if (log)
        log << next_variable_listing(design);
}

std::string next_variable_listing(const Design &design) {
    // Variables are shown counted from 0.
    std::string listing = "\nnext variable \n";
    for (std::size_t variable = 1; variable < design.next_variables.size(); ++variable) {
        const FlatLists::List followers = design.next_variables[variable];
        if (followers.empty())
            continue;
        listing += std::to_string(variable - 1) + " : ";
        for (int32_t follower : followers)
            listing += std::to_string(follower - 1) + " ";
        listing += "\n";
    }
    return listing;
}

std::pair<int32_t, int32_t> FreeRegisters::earliest() const {
    if (heap_.empty())
        return {10000000, 10000000};
    return {heap_.front().second, heap_.front().first};
}

void FreeRegisters::update(int32_t reg, int32_t death) {
    const auto later = std::greater<std::pair<int32_t, int32_t>>();
    if (reg > count()) {
        last_death_.push_back(death);
    } else {
        std::pop_heap(heap_.begin(), heap_.end(), later);
        heap_.pop_back();
        last_death_[static_cast<std::size_t>(reg) - 1] = death;
    }
    heap_.emplace_back(death, reg);
    std::push_heap(heap_.begin(), heap_.end(), later);
}

void assign_registers(Design &design) {
    design.register_of.assign(design.lifetimes.size() + 1, 0);
    FreeRegisters free_at;
    std::vector<int32_t> placed;  // every variable, in the order the chains placed them
    placed.reserve(design.lifetimes.size());
    for (const std::vector<int32_t> &born : design.born_at)
        for (int32_t v : born)
            if (design.register_of[static_cast<std::size_t>(v)] == 0)
                place_chain(design, v, free_at, placed);

    // Each register's lifetimes in the order they were placed, in a list made
    // once at its final length.
    std::vector<std::size_t> held(static_cast<std::size_t>(free_at.count()), 0);
    for (int32_t v : placed)
        ++held[static_cast<std::size_t>(design.register_of[static_cast<std::size_t>(v)]) - 1];
    if (held.size() > design.register_lifetimes.size())
        design.register_lifetimes.resize(held.size());
    for (std::size_t r = 0; r < held.size(); ++r)
        design.register_lifetimes[r].reserve(design.register_lifetimes[r].size() + held[r]);
    for (int32_t v : placed)
        held_by(design, register_of_variable(design, v)).push_back(lifetime_record(design, v));
}

void allocate_registers(Design &design) {
    assign_registers(design);
    fill_controller_table(design);
    design.controller_table_before = design.controller_table;
}

int32_t place_chain(Design &design, int32_t v, FreeRegisters &free_at, std::vector<int32_t> &placed) {
    const auto [candidate, earliest] = free_at.earliest();
    // A variable may join a register only when born strictly after its last death.
    const int32_t chain_birth = design.lifetime_of[static_cast<std::size_t>(v)].first;
    const int32_t reg = chain_birth <= earliest ? free_at.count() + 1 : candidate;

    int32_t cur = v;
    int32_t last = 0;
    while (design.register_of[static_cast<std::size_t>(cur)] == 0) {
        last = design.lifetime_of[static_cast<std::size_t>(cur)].second;
        design.register_of[static_cast<std::size_t>(cur)] = reg;
        placed.push_back(cur);

        // Follow the unplaced variable computed from cur that starts after cur
        // dies and is born last; the smallest number among equal births.
        int32_t threshold = chain_birth;
        int32_t chosen = -1;
        for (int32_t s : design.next_variables[static_cast<std::size_t>(cur)]) {
            if (design.register_of[static_cast<std::size_t>(s)] != 0)
                continue;
            const int32_t s_birth = design.lifetime_of[static_cast<std::size_t>(s)].first;
            if (s_birth <= threshold)
                continue;
            if (s_birth > last) {
                chosen = s;
                threshold = s_birth;
            }
        }
        if (chosen == -1)
            break;
        cur = chosen;
    }
    free_at.update(reg, last);
    return reg;
}

}  // namespace velnor
