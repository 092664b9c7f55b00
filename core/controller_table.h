// The controller table: which variable each register holds in each control
// step. A variable holds its register for a run of consecutive steps, so each
// register keeps its runs, sorted by step, and the table costs memory in
// proportion to the variables it holds, however many steps and registers the
// design has. A cell without a variable reads as 0.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace velnor {

class ControllerTable {
public:
    // The variable in register reg (from 1) at step t (from 0); 0 when none.
    int32_t at(int32_t t, int32_t reg) const;

    // The same, and step t and register reg become part of the table as if a
    // value had been written there.
    int32_t read(int32_t t, int32_t reg);

    // True when register reg holds no variable in any of steps first..last
    // (so also when first > last): one search, however long the span.
    bool holds_none(int32_t reg, int32_t first, int32_t last) const;

    // The variables register reg holds in steps first..last, ascending by step;
    // those steps and the register become part of the table as read() does.
    std::vector<int32_t> read_variables(int32_t reg, int32_t first, int32_t last);

    // Register reg holds variable in steps first..last (nothing when first >
    // last), replacing what those cells held; a variable of 0 clears them.
    void fill(int32_t reg, int32_t first, int32_t last, int32_t variable);

    // Room for runs runs in register reg, so that filling it grows no storage
    // up to then; nothing for a register not in the table yet.
    void reserve_runs(int32_t reg, std::size_t runs);

    // The cells of registers 1..values.size() at step t, into values. Steps
    // must come in ascending order from one reader: each register's runs are
    // walked once over all the rows.
    class RowReader {
    public:
        explicit RowReader(const ControllerTable &table) : table_(table) {}
        void read(int32_t t, std::vector<int32_t> &values);

    private:
        const ControllerTable &table_;
        std::vector<std::size_t> next_run_;  // per register: the first run that may hold t or a later step
    };

    // The steps that have a row (a cell written or read), ascending.
    std::vector<int32_t> steps() const;
    bool empty() const { return rows_.empty(); }

    // The highest register of any cell written or read; 0 for an empty table.
    int32_t highest_register() const { return static_cast<int32_t>(registers_.size()); }

    // Every cell that holds a variable.
    int64_t filled_cells() const;

    friend bool operator==(const ControllerTable &a, const ControllerTable &b);
    friend bool operator!=(const ControllerTable &a, const ControllerTable &b) { return !(a == b); }

private:
    struct Run {
        int32_t first;
        int32_t last;
        int32_t variable;
        friend bool operator==(const Run &a, const Run &b) {
            return a.first == b.first && a.last == b.last && a.variable == b.variable;
        }
    };
    using Runs = std::vector<Run>;  // disjoint, ascending, never of variable 0

    void add_rows(int32_t first, int32_t last);
    void add_register(int32_t reg);
    const Runs *runs_of(int32_t reg) const;

    std::vector<Runs> registers_;  // register r at r - 1
    // The steps that have a row, as disjoint ascending ranges (first, last)
    // that never touch: usually one range, from step 0 to the last step.
    std::vector<std::pair<int32_t, int32_t>> rows_;
};

}  // namespace velnor
