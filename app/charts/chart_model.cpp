// Lays out the schedule and register charts of a datapath: which unit column
// each operation takes in its step, where each variable's bar goes, and which
// boxes and bars the embedding's constraints mark.
#include "app/charts/chart_model.h"

#include <algorithm>
#include <map>
#include <sstream>

namespace velnor::charts {
namespace {

constexpr double margin = 12;
constexpr double title_height = 26;
constexpr double legend_row_height = 20;
constexpr double swatch_width = 22;
constexpr double swatch_gap = 4;     // between a swatch and its text
constexpr double entry_gap = 14;     // between one entry's text and the next swatch
// A generous width of one character of the legend's 11-pixel font, so that an
// entry's text never reaches the next entry whatever the font.
constexpr double legend_character_width = 7;
constexpr double header_height = 24;
constexpr double step_title_width = 52;
constexpr double row_height = 24;
constexpr double unit_width = 84;
constexpr double register_width = 64;
constexpr double gap_between_charts = 24;
constexpr double inset = 2;
constexpr double minimum_width = 800;

// The operator characters in the order their units are shown.
const std::string operator_order = "+-*/<";

// A unit kind as the binding uses it: the operator and, for adders and
// multipliers, the library variant.
struct UnitKind {
    int order = 0;
    ModuleVariant variant = unbound_variant;
    bool operator<(const UnitKind &other) const {
        return order != other.order ? order < other.order : variant < other.variant;
    }
};

UnitKind kind_of(const DatapathOperation &operation) {
    const std::size_t order = operator_order.find(operation.type);
    return {order == std::string::npos ? static_cast<int>(operator_order.size()) : static_cast<int>(order),
            operation.variant};
}

std::string variant_text(ModuleVariant variant) {
    return variant == unbound_variant ? std::string() : " v" + std::to_string(variant);
}

std::string operation_text(const DatapathOperation &operation) {
    return std::to_string(operation.id) + " " + operation.type + variant_text(operation.variant);
}

// Places the legend's entries left to right from the legend's corner, starting
// a new row where the next would pass its right edge; sets the legend's height.
void place_legend(Box &legend, std::vector<LegendEntry> &entries) {
    double x = legend.x, y = legend.y;
    for (LegendEntry &entry : entries) {
        const double text_width = legend_character_width * static_cast<double>(entry.label.text.size());
        const double width = swatch_width + swatch_gap + text_width;
        if (x > legend.x && x + width > legend.right()) {
            x = legend.x;
            y += legend_row_height;
        }
        entry.swatch = {x, y + 3, swatch_width, legend_row_height - 6};
        entry.label.box = {x + swatch_width + swatch_gap, y, text_width, legend_row_height};
        x += width + entry_gap;
    }
    legend.height = entries.empty() ? 0 : y + legend_row_height - legend.y;
}

// The frame, title, legend and grid of a chart with the given table size.
Grid place_grid(Box &frame, Label &title, Box &legend, std::vector<LegendEntry> &entries, double left, double top,
                int32_t columns, int32_t rows, double column_width) {
    Grid grid;
    grid.columns = columns;
    grid.rows = rows;
    grid.column_width = column_width;
    grid.row_height = row_height;
    // Wide enough for the title and a few legend entries even when the table is narrow.
    frame = {left, top, std::max(minimum_width, 2 * margin + step_title_width + columns * column_width), 0};
    title.box = {left + margin, top + margin, frame.width - 2 * margin, title_height};
    // The legend wraps within the narrowest chart's width, so that at full size it stays in view at the chart's
    // left edge however wide the table is.
    legend = {title.box.x, title.box.bottom(), std::min(title.box.width, minimum_width - 2 * margin), 0};
    place_legend(legend, entries);
    frame.height = 2 * margin + title_height + legend.height + header_height + rows * row_height;
    grid.cells = {left + margin + step_title_width, legend.bottom() + header_height, columns * column_width,
                  rows * row_height};
    return grid;
}

LegendEntry legend_entry(LegendMark mark, std::string text) {
    LegendEntry entry;
    entry.mark = mark;
    entry.label.text = std::move(text);
    return entry;
}

// The name of a kind of unit in the legend: "adder v1", "subtractor".
std::string unit_name(char type, ModuleVariant variant) {
    const char *name = type == '+'   ? "adder"
                       : type == '-' ? "subtractor"
                       : type == '*' ? "multiplier"
                       : type == '/' ? "divider"
                       : type == '<' ? "comparator"
                                     : "unit";
    return name + variant_text(variant);
}

void add_titles(Grid &grid, const std::vector<std::string> &column_titles, int32_t first_step) {
    grid.first_step = first_step;
    for (int32_t column = 0; column < grid.columns; ++column)
        grid.column_titles.push_back({{grid.cells.x + column * grid.column_width, grid.cells.y - header_height,
                                       grid.column_width, header_height},
                                      column_titles[static_cast<std::size_t>(column)]});
    for (int32_t row = 0; row < grid.rows; ++row)
        grid.row_titles.push_back({{grid.cells.x - step_title_width, grid.cells.y + row * grid.row_height,
                                    step_title_width, grid.row_height},
                                   std::to_string(first_step + row)});
}

ScheduleChart build_schedule(const Datapath &shown, const ChartMarks &marks, const Datapath *compared,
                             const std::string &side, double left, double top) {
    // Units per kind: as many as the busiest step of that kind uses.
    std::map<std::pair<int32_t, UnitKind>, int32_t> used_in_step;
    std::map<UnitKind, int32_t> units_of_kind;
    std::vector<int32_t> column_in_kind(shown.operations.size(), -1);
    for (std::size_t index = 0; index < shown.operations.size(); ++index) {
        const DatapathOperation &operation = shown.operations[index];
        if (operation.step < 1 || operation.step > shown.control_steps)
            continue;  // never placed: no box
        const UnitKind kind = kind_of(operation);
        column_in_kind[index] = used_in_step[{operation.step, kind}]++;
        units_of_kind[kind] = std::max(units_of_kind[kind], column_in_kind[index] + 1);
    }
    std::map<UnitKind, int32_t> first_column;
    std::vector<std::string> column_titles;
    for (const auto &[kind, units] : units_of_kind) {
        first_column[kind] = static_cast<int32_t>(column_titles.size());
        const char type = kind.order < static_cast<int>(operator_order.size()) ? operator_order[kind.order] : '?';
        for (int32_t unit = 1; unit <= units; ++unit)
            column_titles.push_back(std::string(1, type) + variant_text(kind.variant) + " #" + std::to_string(unit));
    }

    ScheduleChart chart;
    for (const auto &[kind, units] : units_of_kind) {
        const char type = kind.order < static_cast<int>(operator_order.size()) ? operator_order[kind.order] : '?';
        LegendEntry entry = legend_entry(LegendMark::Unit, unit_name(type, kind.variant));
        entry.type = type;
        entry.variant = kind.variant;
        chart.legend_entries.push_back(std::move(entry));
    }
    chart.legend_entries.push_back(legend_entry(LegendMark::OneConstraint, "bound to its variant by the signature"));
    chart.legend_entries.push_back(legend_entry(LegendMark::VariantChanged, "variant changed by the embedding"));
    chart.grid = place_grid(chart.frame, chart.title, chart.legend, chart.legend_entries, left, top,
                            static_cast<int32_t>(column_titles.size()), shown.control_steps, unit_width);
    chart.title.text = "schedule of " + shown.dfg + side + ": " + std::to_string(shown.control_steps) +
                       " control steps, " + std::to_string(shown.operations.size()) + " operations";
    add_titles(chart.grid, column_titles, 1);

    std::map<int32_t, ModuleVariant> compared_variant;
    if (compared)
        for (const DatapathOperation &operation : compared->operations)
            compared_variant[operation.id] = operation.variant;
    for (std::size_t index = 0; index < shown.operations.size(); ++index) {
        if (column_in_kind[index] < 0)
            continue;
        const DatapathOperation &operation = shown.operations[index];
        const int32_t column = first_column[kind_of(operation)] + column_in_kind[index];
        OperationBox box;
        box.id = operation.id;
        box.type = operation.type;
        box.variant = operation.variant;
        box.text = operation_text(operation);
        box.box = {chart.grid.cells.x + column * unit_width + inset,
                   chart.grid.cells.y + (operation.step - 1) * row_height + inset, unit_width - 2 * inset,
                   row_height - 2 * inset};
        box.one_constraint = std::binary_search(marks.one_operations.begin(), marks.one_operations.end(),
                                                operation.id);
        const auto other = compared_variant.find(operation.id);
        box.variant_changed = other != compared_variant.end() && other->second != operation.variant;
        chart.operations.push_back(std::move(box));
    }
    return chart;
}

RegisterChart build_registers(const Datapath &shown, const ChartMarks &marks, const Datapath *compared,
                              const std::string &side, double left, double top) {
    int32_t registers = shown.registers;
    int32_t first_step = 0, last_step = -1;
    for (const DatapathVariable &variable : shown.variables) {
        registers = std::max(registers, variable.register_number);
        if (last_step < first_step) {
            first_step = variable.birth;
            last_step = variable.death;
        }
        first_step = std::min(first_step, variable.birth);
        last_step = std::max(last_step, variable.death);
    }
    const int32_t rows = shown.variables.empty() ? 0 : last_step - first_step + 1;

    RegisterChart chart;
    chart.legend_entries.push_back(legend_entry(LegendMark::Variable, "variable, birth to death"));
    chart.legend_entries.push_back(legend_entry(LegendMark::KeptApart, "in a pair kept apart"));
    if (!marks.together_pairs.empty())
        chart.legend_entries.push_back(legend_entry(LegendMark::HeldTogether, "in a pair held together"));
    chart.legend_entries.push_back(legend_entry(LegendMark::Moved, "moved by the embedding"));
    chart.legend_entries.push_back(legend_entry(LegendMark::PointedAt, "pointed at"));
    chart.legend_entries.push_back(legend_entry(LegendMark::Partner, "its partners"));
    chart.grid = place_grid(chart.frame, chart.title, chart.legend, chart.legend_entries, left, top, registers, rows,
                            register_width);
    chart.title.text = "registers of " + shown.dfg + side + ": " + std::to_string(registers) + " registers, " +
                       std::to_string(shown.variables.size()) + " variables";
    std::vector<std::string> column_titles;
    for (int32_t reg = 1; reg <= registers; ++reg)
        column_titles.push_back("R" + std::to_string(reg));
    add_titles(chart.grid, column_titles, first_step);

    std::map<std::string, int32_t> compared_register;
    if (compared)
        for (const DatapathVariable &variable : compared->variables)
            compared_register[variable.name] = variable.register_number;
    std::map<std::string, std::size_t> bar_of;
    for (const DatapathVariable &variable : shown.variables) {
        VariableBar bar;
        bar.name = variable.name;
        bar.register_number = variable.register_number;
        bar.birth = variable.birth;
        bar.death = variable.death;
        if (variable.register_number >= 1 && variable.death >= variable.birth)
            bar.box = {chart.grid.cells.x + (variable.register_number - 1) * register_width + inset,
                       chart.grid.cells.y + (variable.birth - first_step) * row_height + inset,
                       register_width - 2 * inset, (variable.death - variable.birth + 1) * row_height - 2 * inset};
        const auto other = compared_register.find(variable.name);
        bar.moved = other != compared_register.end() && other->second != variable.register_number;
        bar_of[variable.name] = chart.bars.size();
        chart.bars.push_back(std::move(bar));
    }
    // Each pair marks both of its bars, each naming the other once.
    const auto link = [&](const std::vector<std::pair<std::string, std::string>> &pairs,
                          std::vector<std::size_t> VariableBar::*partners) {
        for (const auto &[first, second] : pairs) {
            const auto a = bar_of.find(first), b = bar_of.find(second);
            if (a == bar_of.end() || b == bar_of.end())
                continue;
            for (const auto &[from, to] : {std::pair(a->second, b->second), std::pair(b->second, a->second)}) {
                std::vector<std::size_t> &listed = chart.bars[from].*partners;
                if (std::find(listed.begin(), listed.end(), to) == listed.end())
                    listed.push_back(to);
            }
        }
    };
    link(marks.zero_pairs, &VariableBar::partners);
    link(marks.together_pairs, &VariableBar::together);
    for (VariableBar &bar : chart.bars)
        bar.zero_pair = !bar.partners.empty();
    return chart;
}

}  // namespace

ChartMarks chart_marks(const Datapath &datapath, const std::vector<std::pair<int32_t, int32_t>> &zero_pairs,
                       const std::vector<int32_t> &one_operations,
                       const std::vector<std::pair<int32_t, int32_t>> &together_pairs) {
    const auto name_of = [&datapath](int32_t number) -> const std::string * {
        if (number < 1 || static_cast<std::size_t>(number) > datapath.variables.size())
            return nullptr;
        return &datapath.variables[static_cast<std::size_t>(number) - 1].name;
    };
    const auto named = [&name_of](const std::vector<std::pair<int32_t, int32_t>> &pairs) {
        std::vector<std::pair<std::string, std::string>> names;
        for (const auto &[first, second] : pairs) {
            const std::string *a = name_of(first), *b = name_of(second);
            if (a && b)
                names.emplace_back(*a, *b);
        }
        return names;
    };
    ChartMarks marks;
    marks.zero_pairs = named(zero_pairs);
    marks.together_pairs = named(together_pairs);
    marks.one_operations = one_operations;
    std::sort(marks.one_operations.begin(), marks.one_operations.end());
    return marks;
}

DatapathCharts build_charts(const Datapath &shown, const ChartMarks &marks, const Datapath *compared,
                            const std::string &side) {
    DatapathCharts charts;
    const std::string side_text = side.empty() ? side : ", " + side;
    charts.schedule = build_schedule(shown, marks, compared, side_text, 0, 0);
    charts.registers =
        build_registers(shown, marks, compared, side_text, charts.schedule.frame.right() + gap_between_charts, 0);
    charts.page = {0, 0, charts.registers.frame.right(),
                   std::max(charts.schedule.frame.bottom(), charts.registers.frame.bottom())};
    return charts;
}

std::optional<std::size_t> bar_at(const RegisterChart &chart, double x, double y) {
    for (std::size_t index = 0; index < chart.bars.size(); ++index)
        if (chart.bars[index].box.contains(x, y))
            return index;
    return std::nullopt;
}

std::string bar_description(const RegisterChart &chart, std::size_t bar) {
    const VariableBar &shown = chart.bars.at(bar);
    std::string text = shown.name + " in R" + std::to_string(shown.register_number) + ", steps " +
                       std::to_string(shown.birth) + " to " + std::to_string(shown.death);
    if (shown.moved)
        text += ", moved by the embedding";
    const auto list = [&](const char *what, const std::vector<std::size_t> &bars) {
        if (bars.empty())
            return;
        text += what;
        for (std::size_t index = 0; index < bars.size(); ++index)
            text += (index == 0 ? " " : ", ") + chart.bars[bars[index]].name;
    };
    list(", kept apart from", shown.partners);
    list(", held together with", shown.together);
    return text;
}

std::string to_text(const ScheduleChart &chart) {
    std::ostringstream out;
    out << chart.title.text << "\n";
    for (const OperationBox &box : chart.operations) {
        const auto column = static_cast<std::size_t>((box.box.x - chart.grid.cells.x) / chart.grid.column_width);
        const auto row = static_cast<std::size_t>((box.box.y - chart.grid.cells.y) / chart.grid.row_height);
        out << "step " << chart.grid.row_titles.at(row).text << " " << chart.grid.column_titles.at(column).text
            << ": " << box.text << (box.one_constraint ? " [one]" : "") << (box.variant_changed ? " [changed]" : "")
            << "\n";
    }
    return out.str();
}

std::string to_text(const RegisterChart &chart) {
    std::ostringstream out;
    out << chart.title.text << "\n";
    for (const VariableBar &bar : chart.bars) {
        out << bar.name << " R" << bar.register_number << " " << bar.birth << ".." << bar.death;
        if (bar.moved)
            out << " [moved]";
        for (std::size_t partner : bar.partners)
            out << " apart:" << chart.bars[partner].name;
        for (std::size_t partner : bar.together)
            out << " together:" << chart.bars[partner].name;
        out << "\n";
    }
    return out.str();
}

}  // namespace velnor::charts
