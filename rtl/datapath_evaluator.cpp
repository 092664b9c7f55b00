// Evaluation of the datapath's operations in id order: every operand is
// written before its consumer, so one pass computes everything.
#include "rtl/datapath_evaluator.h"

#include <set>

namespace velnor {

std::vector<int32_t> input_port_ids(const Datapath &datapath) {
    std::vector<int32_t> ids;
    for (const DatapathOperation &op : datapath.operations)
        if (op.first_operand == 0 || op.second_operand == 0)
            ids.push_back(op.id);
    return ids;
}

std::vector<int32_t> output_port_ids(const Datapath &datapath) {
    std::set<int32_t> read;
    for (const DatapathOperation &op : datapath.operations) {
        read.insert(op.first_operand);
        read.insert(op.second_operand);
    }
    std::vector<int32_t> ids;
    for (const DatapathOperation &op : datapath.operations)
        if (read.count(op.id) == 0)
            ids.push_back(op.id);
    return ids;
}

std::map<int32_t, uint64_t> evaluate_datapath(const Datapath &datapath, const std::map<int32_t, uint64_t> &inputs,
                                              int width) {
    const uint64_t mask = width >= 64 ? ~uint64_t{0} : (uint64_t{1} << width) - 1;
    std::map<int32_t, uint64_t> value;
    const auto operand = [&](int32_t producer, int32_t reader) -> uint64_t {
        if (producer == 0) {
            const auto input = inputs.find(reader);
            return input == inputs.end() ? 0 : input->second & mask;
        }
        const auto result = value.find(producer);
        return result == value.end() ? 0 : result->second;
    };
    for (const DatapathOperation &op : datapath.operations) {
        const uint64_t a = operand(op.first_operand, op.id);
        const uint64_t b = operand(op.second_operand, op.id);
        uint64_t y = 0;
        switch (op.type) {
        case '+': y = a + b; break;
        case '-': y = a - b; break;
        case '*': y = a * b; break;
        case '/': y = b == 0 ? mask : a / b; break;
        case '<': y = a < b ? 1 : 0; break;
        default: break;
        }
        value[op.id] = y & mask;
    }
    return value;
}

}  // namespace velnor
