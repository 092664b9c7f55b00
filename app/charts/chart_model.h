// The two pictures of a synthesized datapath as plain geometry: the schedule
// (control steps down, functional units across, one box per operation) and the
// register allocation (registers across, steps down, one bar per variable from
// birth to death). Built from Datapath values and the embedding's constraints
// only, so the window, the exported files and the batch tool draw exactly the
// same picture. Coordinates are pixels at zoom 1; y grows downwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/datapath.h"

namespace velnor::charts {

struct Box {
    double x = 0, y = 0, width = 0, height = 0;

    double right() const { return x + width; }
    double bottom() const { return y + height; }
    bool contains(double px, double py) const { return px >= x && px < right() && py >= y && py < bottom(); }
    bool intersects(const Box &other) const {
        return x < other.right() && other.x < right() && y < other.bottom() && other.y < bottom();
    }
};

struct Label {
    Box box;
    std::string text;
};

// What the embedding asked of the datapath, by name: the examined pairs that
// must sit in different registers, the operations bound to a fixed variant, and
// the strong embedding's pairs that must share a register.
struct ChartMarks {
    std::vector<std::pair<std::string, std::string>> zero_pairs;
    std::vector<int32_t> one_operations;
    std::vector<std::pair<std::string, std::string>> together_pairs;
};

// The marks of an embedding whose pairs are given as the design's variable
// numbers (1 = the first variable of datapath.variables). A number outside the
// datapath's variables is left out.
ChartMarks chart_marks(const Datapath &datapath, const std::vector<std::pair<int32_t, int32_t>> &zero_pairs,
                       const std::vector<int32_t> &one_operations,
                       const std::vector<std::pair<int32_t, int32_t>> &together_pairs = {});

// The lines of a table: a header row of column titles and a column of step titles.
struct Grid {
    Box cells;  // the area of all cells, below the headers and right of the step titles
    int32_t columns = 0;
    int32_t rows = 0;
    int32_t first_step = 0;  // the control step of the first row
    double column_width = 0;
    double row_height = 0;
    std::vector<Label> column_titles;
    std::vector<Label> row_titles;
};

// What a legend entry's swatch stands for; the painter gives each its fill and edge.
enum class LegendMark {
    Unit,            // the fill of one kind of unit: an operator and its variant
    OneConstraint,   // an operation the signature bound to its variant
    VariantChanged,  // an operation the embedding moved to the other variant
    Variable,        // a variable's bar
    KeptApart,       // a bar in a pair that must sit in different registers
    HeldTogether,    // a bar in a pair that must share a register
    Moved,           // a bar the embedding moved to another register
    PointedAt,       // the bar under the pointer
    Partner,         // a partner of the bar under the pointer
};

struct LegendEntry {
    LegendMark mark = LegendMark::Unit;
    char type = '+';  // a Unit's operator and variant
    ModuleVariant variant = unbound_variant;
    Box swatch;
    Label label;  // right of the swatch
};

struct OperationBox {
    int32_t id = 0;
    Box box;
    std::string text;  // "id operator variant", e.g. "12 * v2"
    char type = '+';
    ModuleVariant variant = unbound_variant;
    bool one_constraint = false;   // the embedding bound it to a fixed variant
    bool variant_changed = false;  // its variant differs in the compared datapath
};

struct ScheduleChart {
    Box frame;  // the whole chart, title included
    Label title;
    Box legend;  // the rows under the title that name every fill and edge
    std::vector<LegendEntry> legend_entries;  // left to right, wrapped within the frame
    Grid grid;
    std::vector<OperationBox> operations;  // ascending id
};

struct VariableBar {
    std::string name;
    int32_t register_number = 0;
    int32_t birth = 0;
    int32_t death = 0;
    Box box;
    bool zero_pair = false;  // one side of at least one examined pair
    bool moved = false;      // its register differs in the compared datapath
    std::vector<std::size_t> partners;  // indexes of the bars it must stay apart from
    std::vector<std::size_t> together;  // indexes of the bars it must share its register with
};

struct RegisterChart {
    Box frame;
    Label title;
    Box legend;
    std::vector<LegendEntry> legend_entries;
    Grid grid;
    std::vector<VariableBar> bars;  // in the datapath's variable order
};

// Both charts side by side on one page: the schedule left, the registers right.
struct DatapathCharts {
    Box page;
    ScheduleChart schedule;
    RegisterChart registers;
};

// The charts of shown. compared, when given, is the same run on the other side
// of the embedding: operations whose variant and variables whose register
// differ from it are flagged.
// side names the side of the embedding in the titles ("after embedding"), or is empty.
DatapathCharts build_charts(const Datapath &shown, const ChartMarks &marks, const Datapath *compared,
                            const std::string &side);

// The bar under a point of the register chart, if any.
std::optional<std::size_t> bar_at(const RegisterChart &chart, double x, double y);

// A one-line description of a bar for a tool tip: name, register, lifetime, partners.
std::string bar_description(const RegisterChart &chart, std::size_t bar);

// A plain-text dump of a chart's content (not its geometry), for tests and diffs.
std::string to_text(const ScheduleChart &chart);
std::string to_text(const RegisterChart &chart);

}  // namespace velnor::charts
