// The controller table as sorted runs per register; see controller_table.h.
#include "core/controller_table.h"

#include <algorithm>

namespace velnor {

const ControllerTable::Runs *ControllerTable::runs_of(int32_t reg) const {
    if (reg < 1 || reg > highest_register())
        return nullptr;
    return &registers_[static_cast<std::size_t>(reg) - 1];
}

int32_t ControllerTable::at(int32_t t, int32_t reg) const {
    const Runs *runs = runs_of(reg);
    if (!runs)
        return 0;
    // The last run that starts at or before t.
    const auto after = std::upper_bound(runs->begin(), runs->end(), t,
                                        [](int32_t step, const Run &run) { return step < run.first; });
    if (after == runs->begin())
        return 0;
    const Run &run = *(after - 1);
    return t <= run.last ? run.variable : 0;
}

bool ControllerTable::holds_none(int32_t reg, int32_t first, int32_t last) const {
    const Runs *runs = runs_of(reg);
    if (!runs || first > last)
        return true;
    // The first run that ends at or after first; free when it starts after last.
    const auto run = std::lower_bound(runs->begin(), runs->end(), first,
                                      [](const Run &r, int32_t step) { return r.last < step; });
    return run == runs->end() || run->first > last;
}

int32_t ControllerTable::read(int32_t t, int32_t reg) {
    add_rows(t, t);
    add_register(reg);
    return at(t, reg);
}

std::vector<int32_t> ControllerTable::read_variables(int32_t reg, int32_t first, int32_t last) {
    std::vector<int32_t> variables;
    if (first > last)
        return variables;
    add_rows(first, last);
    add_register(reg);
    const Runs *runs = runs_of(reg);
    if (!runs)
        return variables;
    auto run = std::lower_bound(runs->begin(), runs->end(), first,
                                [](const Run &r, int32_t step) { return r.last < step; });
    for (; run != runs->end() && run->first <= last; ++run)
        variables.push_back(run->variable);
    return variables;
}

void ControllerTable::add_rows(int32_t first, int32_t last) {
    if (first > last || last < 0)
        return;
    first = std::max(first, 0);
    // The ranges that overlap or touch first..last merge with it into one.
    auto begin = std::lower_bound(rows_.begin(), rows_.end(), first,
                                  [](const std::pair<int32_t, int32_t> &range, int32_t step) {
                                      return int64_t{range.second} + 1 < step;
                                  });
    auto end = begin;
    while (end != rows_.end() && end->first <= int64_t{last} + 1) {
        first = std::min(first, end->first);
        last = std::max(last, end->second);
        ++end;
    }
    if (begin == end) {
        rows_.insert(begin, {first, last});
        return;
    }
    *begin = {first, last};
    rows_.erase(begin + 1, end);
}

void ControllerTable::add_register(int32_t reg) {
    if (reg > highest_register())
        registers_.resize(static_cast<std::size_t>(reg));
}

void ControllerTable::fill(int32_t reg, int32_t first, int32_t last, int32_t variable) {
    if (first > last || reg < 1)
        return;
    add_rows(first, last);
    add_register(reg);
    Runs &runs = registers_[static_cast<std::size_t>(reg) - 1];

    // The runs that meet first..last: what lies outside the range survives as
    // a shorter run on either side.
    auto begin = std::lower_bound(runs.begin(), runs.end(), first,
                                  [](const Run &run, int32_t step) { return run.last < step; });
    auto end = begin;
    while (end != runs.end() && end->first <= last)
        ++end;
    Run replacement[3];
    std::size_t replacements = 0;
    if (begin != end && begin->first < first)
        replacement[replacements++] = Run{begin->first, first - 1, begin->variable};
    if (variable != 0)
        replacement[replacements++] = Run{first, last, variable};
    if (begin != end && (end - 1)->last > last)
        replacement[replacements++] = Run{last + 1, (end - 1)->last, (end - 1)->variable};
    const auto at_index = begin - runs.begin();
    const auto replaced = static_cast<std::size_t>(end - begin);
    // Overwrite the runs replaced, then insert or erase the difference.
    std::size_t n = 0;
    for (; n < replaced && n < replacements; ++n)
        runs[static_cast<std::size_t>(at_index) + n] = replacement[n];
    if (replacements > replaced)
        runs.insert(runs.begin() + at_index + static_cast<std::ptrdiff_t>(n), replacement + n,
                    replacement + replacements);
    else
        runs.erase(runs.begin() + at_index + static_cast<std::ptrdiff_t>(n),
                   runs.begin() + at_index + static_cast<std::ptrdiff_t>(replaced));

    // Neighbouring runs of one variable are one run, so that equal tables
    // compare equal whatever order their cells were written in.
    const auto from = std::max<std::ptrdiff_t>(at_index - 1, 0);
    const auto to = std::min<std::ptrdiff_t>(at_index + static_cast<std::ptrdiff_t>(replacements),
                                             static_cast<std::ptrdiff_t>(runs.size()) - 1);
    for (auto i = to; i > from; --i) {
        Run &left = runs[static_cast<std::size_t>(i) - 1];
        const Run &right = runs[static_cast<std::size_t>(i)];
        if (left.variable == right.variable && left.last + 1 == right.first) {
            left.last = right.last;
            runs.erase(runs.begin() + i);
        }
    }
}

void ControllerTable::reserve_runs(int32_t reg, std::size_t runs) {
    if (reg >= 1 && reg <= highest_register())
        registers_[static_cast<std::size_t>(reg) - 1].reserve(runs);
}

void ControllerTable::RowReader::read(int32_t t, std::vector<int32_t> &values) {
    const std::size_t held = std::min(values.size(), table_.registers_.size());
    if (next_run_.size() < held)
        next_run_.resize(held, 0);
    for (std::size_t r = 0; r < held; ++r) {
        const Run *const runs = table_.registers_[r].data();
        const std::size_t count = table_.registers_[r].size();
        std::size_t next = next_run_[r];
        while (next < count && runs[next].last < t)
            ++next;
        next_run_[r] = next;
        values[r] = next < count && runs[next].first <= t ? runs[next].variable : 0;
    }
    std::fill(values.begin() + static_cast<std::ptrdiff_t>(held), values.end(), 0);
}

std::vector<int32_t> ControllerTable::steps() const {
    std::vector<int32_t> steps;
    for (const auto &[first, last] : rows_)
        for (int32_t t = first; t <= last; ++t)
            steps.push_back(t);
    return steps;
}

int64_t ControllerTable::filled_cells() const {
    int64_t cells = 0;
    for (const Runs &runs : registers_)
        for (const Run &run : runs)
            cells += int64_t{run.last} - run.first + 1;
    return cells;
}

bool operator==(const ControllerTable &a, const ControllerTable &b) {
    return a.registers_ == b.registers_ && a.rows_ == b.rows_;
}

}  // namespace velnor
