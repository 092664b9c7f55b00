// The texts that the output buttons write to the console: the schedule and the
// register allocation as HTML tables, the constraints derived from the
// signature, the encoded strings and the used part of the hash output.
#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/design.h"
#include "core/report.h"
#include "flow/flow.h"

namespace velnor {

// One row per list-scheduled control step: the step, then "id (symbol) variant" per operation.
QString schedule_table(const Design &design, VariantColumn column);

// One row per control step of table, one column per register 1..register_count;
// a cell shows its variable counted from 0, or nothing.
QString register_table(const ControllerTable &table, int register_count);

// The examined pairs of the zero constraints, variables counted from 0, in the
// embedding's order: "( v0, v2),( v0, v4),".
QString zero_constraint_list(const std::vector<std::pair<int32_t, int32_t>> &pairs);

// Each id followed by ",".
QString id_list(const std::vector<int32_t> &ids);

// One line per encoded block: rule number, " : ", the bit string.
QString encoded_strings(const std::vector<int> &encodings, const std::vector<std::string> &encoded_inputs);

// The 17 result views of the output buttons.
enum class ResultView {
    ScheduleBefore, RegistersBefore, EncodedStrings, PaddedBlock, HashOutput, Signature, Ones, Zeros,
    OneConstraints, ZeroConstraints, BaselineCost, CostPhase1, CostPhase2, PcPhase1, PcPhase2, ScheduleAfter,
    RegistersAfter,
};
constexpr int result_view_count = 17;

// What a view writes to the console, one message each: a label and its value,
// or one text.
std::vector<QString> view_messages(const FlowRun &run, ResultView view);

}  // namespace velnor
