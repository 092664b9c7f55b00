// The design model: one synthesized datapath as plain data. A Design holds the
// data-flow graph (operations keyed by id), the resource limits, the module
// library values, the ASAP, ALAP and list schedules, the module binding, the
// register allocation and the figures derived from them. Every algorithm of the
// design core and of synthesis is a free function over a Design.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/controller_table.h"
#include "core/flat_lists.h"
#include "core/id_map.h"

namespace velnor {

// The integer codes key every per-type table (resources, operation_types,
// area_table, delay_table).
enum OperationType : int32_t {
    Add = 0,       // '+'
    Subtract = 1,  // '-'
    Multiply = 2,  // '*'
    Divide = 3,    // '/'
    Compare = 4,   // '<'
};

// Variant 1 or 2 of the library's adder or multiplier; -1 when unbound.
using ModuleVariant = int32_t;
constexpr ModuleVariant unbound_variant = -1;

// One DFG node. A record created by looking up an id that no line defines has
// inputs 0 and every other int field -1.
struct Operation {
    int32_t first_input = 0;   // producer id of the first operand, 0 = primary input
    int32_t second_input = 0;  // producer id of the second operand, 0 = primary input
    int32_t id = -1;
    int32_t type = -1;  // an OperationType value
    int32_t alap_step = -1;
    int32_t asap_step = -1;
    int32_t list_step = -1;
    int32_t first_input_variable = -1;
    int32_t second_input_variable = -1;
    int32_t output_variable = -1;
    ModuleVariant variant = unbound_variant;
};

// One variable's life in control steps. A primary-input variable is born in step 0.
struct Lifetime {
    int32_t birth = 0;
    int32_t death = 0;
    int32_t variable = 0;
};

inline bool operator==(const Lifetime &a, const Lifetime &b) {
    return a.birth == b.birth && a.death == b.death && a.variable == b.variable;
}

using StepMap = IdMap<std::vector<int32_t>>;  // control step -> ids in placement order
using OperationTable = IdMap<Operation>;     // DFG id -> operation

// One synthesized datapath. Operations are keyed by their DFG ids and the
// schedules by their control steps, in ordered tables that cost one step per
// lookup for the gapless numbers a loaded design uses; the small per-type
// tables are maps. The tables of variables, registers and operation ids that
// synthesis fills are vectors indexed by the dense number itself (variables
// and ids from 1, index 0 unused; registers from 1 at index r - 1), since
// those numbers run without gaps.
struct Design {
    // Reference designs made by build_reference_designs(); null until it first
    // runs. Shared and never changed once built, so that a Design stays a
    // copyable value and every run copied from a synthesized one reads the
    // same pair; building them again replaces the pair.
    std::shared_ptr<const Design> max_area_design;
    std::shared_ptr<const Design> max_latency_design;

    int32_t latency_bound = 0;  // ALAP deadline: number of ASAP control steps
    std::string dfg_path;
    std::string library_path;
    std::string dfg_name;  // the DFG file's name without its folder

    std::map<int32_t, int32_t> resources;  // OperationType -> units per control step
    double max_area = 0.0;  // the reference designs' figures: the cost normalisers
    double max_latency = 0.0;

    OperationTable operations;  // the DFG, keyed by id
    FlatLists successors;       // by id: the consumers in file order, each listed once
    std::vector<bool> released_operations;    // by id: list scheduling has made it ready
    StepMap asap_steps;
    StepMap alap_steps;
    StepMap list_steps;
    std::vector<int32_t> variant_of;  // by id: the ModuleVariant binding gave; 0 for other types
    std::set<int32_t> operation_types;      // OperationType values present in the DFG

    std::vector<Lifetime> lifetimes;  // every variable, in order of creation
    std::vector<std::vector<Lifetime>> register_lifetimes;  // register r at r - 1; size = register count
    ControllerTable controller_table;
    ControllerTable controller_table_before;  // the table before embedding, for the report
    std::vector<int32_t> register_of;         // by variable: its register, 0 = none yet
    std::vector<std::pair<int32_t, int32_t>> lifetime_of;  // by variable: (birth, death)
    std::vector<std::vector<int32_t>> born_at;             // by step: variables born there
    FlatLists next_variables;                               // by variable: variables computed from it, ascending

    std::map<int32_t, std::pair<double, double>> area_table;   // type -> (variant 1, variant 2) area
    std::map<int32_t, std::pair<double, double>> delay_table;  // type -> (variant 1, variant 2) delay
    double register_area = 0.0;
    double register_delay = 0.0;  // validated and copied, read by no formula
    int32_t adder_count = 0;       // upper bounds of the resource entries
    int32_t subtractor_count = 0;  // number of Subtract operations in the loaded DFG
    int32_t multiplier_count = 0;
    int32_t comparator_count = 0;  // number of Compare operations in the loaded DFG
};

// The operation with this id; null when there is none. Unlike
// operations[id], the lookup adds no record.
inline Operation *find_operation(Design &design, int32_t id) {
    const auto found = design.operations.find(id);
    return found == design.operations.end() ? nullptr : &found->second;
}
inline const Operation *find_operation(const Design &design, int32_t id) {
    return find_operation(const_cast<Design &>(design), id);
}

// The consumers of operation id; none for an id without a list.
inline FlatLists::List successors_of(const Design &design, int32_t id) {
    return id < 0 ? FlatLists::List{} : design.successors[static_cast<std::size_t>(id)];
}

// Sets successors from (producer, consumer) links, each producer's consumers
// in the order of the links. Ids run 1..N in every design the flow accepts,
// N the number of operations; the links of a producer beyond that are left
// out, so that a file naming a huge id costs no memory before it is refused.
void link_successors(Design &design, std::vector<std::pair<int32_t, int32_t>> links);

// The register that holds variable; 0 when it has none.
inline int32_t register_of_variable(const Design &design, int32_t variable) {
    const auto index = static_cast<std::size_t>(variable);
    return variable >= 1 && index < design.register_of.size() ? design.register_of[index] : 0;
}

// The units of a type per control step, as the resource counts give them; 0 for
// a type without a count. Never adds an entry.
int32_t unit_count(const Design &design, int32_t type);

// The operator character of the report and the views: '+' for Add, '*' for every other type.
inline char operation_symbol(int32_t type) { return type == Add ? '+' : '*'; }

// The text behind the last '/' of a path; the whole path when it has none.
std::string file_name_of(const std::string &path);

}  // namespace velnor
