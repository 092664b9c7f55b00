// Independent checks of what scheduling and register allocation promise. Each
// returns an empty string when the promise holds, otherwise one line naming
// what broke and where (the step, the operation, the register, the count).
#pragma once

#include <cstdint>
#include <string>

#include "core/design.h"
#include "synthesis/list_schedule.h"

namespace velnor {

// Every id of table names an operation, stands there once and under the key
// equal to the operation's step field; every operation with a step stands in
// table. With every_operation_placed, no operation may have step -1. name
// ("ASAP", "ALAP", "list") labels the message.
std::string check_step_table(const Design &design, const StepMap &table, int32_t Operation::*step_field,
                             const std::string &name, bool every_operation_placed);

// Every list-scheduled operation runs in a later step than each operation it reads.
std::string check_precedence(const Design &design);

// No list step uses more units of a type than limits allows (a type without a
// limit allows none).
std::string check_step_limits(const Design &design, const ResourceLimits &limits);

// Every bound adder and multiplier of a list step runs on variant 1 or 2, and
// no step uses more units of a variant than the type's split gives it.
std::string check_variant_quota(const Design &design);

// The variables match the schedule: numbered 1.. in lifetimes order and
// mirrored in lifetime_of; each scheduled operation's result lives from its own
// step to the step before its last reader (to the last step when nothing reads
// it, never below 0); each input variable is the producer's result, or for a
// primary operand a variable born in step 0 that dies the step before.
std::string check_lifetimes(const Design &design);

// Every variable has a register, and no register holds two variables whose
// lifetimes share a control step.
std::string check_registers(const Design &design);

// controller_table says, in every step of each lifetime, that the variable's
// register holds it, and nothing else.
std::string check_controller_table(const Design &design);

// controller_table equals controller_table_before.
std::string check_controller_table_unchanged(const Design &design);

}  // namespace velnor
