// The report file: the hash chain's log, then the ASAP, ALAP and list schedules
// and the controller tables before and after embedding, in fixed-width columns.
// Also the time stamp and the stamped names shared with the key file.
#include "core/report.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <sstream>

#include "core/refusal.h"

namespace velnor {
namespace {

const Operation &operation_or_fresh(const Design &design, int32_t id) {
    static const Operation fresh;
    const auto found = design.operations.find(id);
    return found == design.operations.end() ? fresh : found->second;
}

// Writes value right-aligned in width characters at field, as a stream's setw
// does; a value wider than width runs on past it. Returns the end of the field.
char *write_right(char *field, int64_t value, std::size_t width) {
    // Most fields are a register cell of 5 holding a small variable number.
    if (width == 5 && value >= 0 && value <= 99999) {
        char *digit = field + 5;
        do {
            *--digit = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        while (digit != field)
            *--digit = ' ';
        return field + 5;
    }
    char digits[24];
    const char *end = std::to_chars(digits, std::end(digits), value).ptr;
    const auto length = static_cast<std::size_t>(end - digits);
    const std::size_t pad = length < width ? width - length : 0;
    std::memset(field, ' ', pad);
    std::memcpy(field + pad, digits, length);
    return field + pad + length;
}

// Appends value right-aligned in width characters.
void append_right(std::string &out, int64_t value, std::size_t width) {
    char field[48];  // up to 16 of padding and 20 digits with a sign
    const char *end = write_right(field, value, std::min<std::size_t>(width, 16));
    out.append(field, static_cast<std::size_t>(end - field));
}

void append_operation_table(std::string &out, const Design &design, const char *heading, const StepMap &steps,
                            VariantColumn column) {
    out += heading;
    out += "control step         operators \n";  // "operators \n" right-aligned in 20
    // Each entry is "<id in 5> (<symbol>) <variant>", formatted in place and appended at once.
    char entry[64];
    for (const auto &step : steps) {
        append_right(out, step.first, 5);
        out += " :: ";
        for (int32_t id : step.second) {
            char *at = write_right(entry, id, 5);
            *at++ = ' ';
            *at++ = '(';
            *at++ = operation_symbol(operation_or_fresh(design, id).type);
            *at++ = ')';
            *at++ = ' ';
            at = std::to_chars(at, std::end(entry), shown_variant(design, id, column)).ptr;
            out.append(entry, static_cast<std::size_t>(at - entry));
        }
        out += "\n";
    }
}

// Variables are shown counted from 0; a register without a variable is blank.
void append_controller_table(std::string &out, const char *heading, const ControllerTable &table,
                             int32_t register_count) {
    out += heading;
    out += "control_step/color ";
    for (int32_t r = 1; r <= register_count; ++r)
        append_right(out, r, 5);
    out += "\n\n";
    // Each row is written into a buffer of its widest possible length (every
    // number of at most 11 characters), then appended as far as it was filled.
    // A variable holds its register for several steps in a row, so each
    // register's cell text is kept and formatted again only when it changes.
    struct Cell {
        int32_t variable = 0;
        std::size_t length = 5;
        char text[16] = {' ', ' ', ' ', ' ', ' '};
    };
    std::vector<int32_t> row(static_cast<std::size_t>(std::max(register_count, 0)));
    std::vector<Cell> cells(row.size());
    std::string line(16 + 3 + 11 * row.size() + 1 + 11, ' ');
    ControllerTable::RowReader reader(table);
    for (const int32_t step : table.steps()) {
        reader.read(step, row);
        char *at = write_right(&line[0], step, 16);
        std::memcpy(at, " : ", 3);
        at += 3;
        for (std::size_t r = 0; r < row.size(); ++r) {
            Cell &cell = cells[r];
            if (row[r] != cell.variable) {
                cell.variable = row[r];
                if (cell.variable != 0) {
                    cell.length = static_cast<std::size_t>(write_right(cell.text, int64_t{cell.variable} - 1, 5) - cell.text);
                } else {
                    std::memset(cell.text, ' ', 5);
                    cell.length = 5;
                }
            }
            if (cell.length == 5)
                std::memcpy(at, cell.text, 5);  // nearly every cell: a copy of fixed size, without a call
            else
                std::memcpy(at, cell.text, cell.length);
            at += cell.length;
        }
        *at++ = '\n';
        out.append(line.data(), static_cast<std::size_t>(at - line.data()));
    }
}

}  // namespace

int32_t shown_variant(const Design &design, int32_t id, VariantColumn column) {
    if (column == VariantColumn::BeforeEmbedding) {
        const auto index = static_cast<std::size_t>(id);
        return id >= 0 && index < design.variant_of.size() ? design.variant_of[index] : 0;
    }
    return operation_or_fresh(design, id).variant;
}

std::string time_stamp(std::time_t t) {
    static const char *const weekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm local{};
    if (!localtime_r(&t, &local))
        return "";
    // ctime's layout ("Fri Dec  4 18:56:52 2026\n") without ':', blanks and line end.
    std::ostringstream stamp;
    stamp << weekdays[local.tm_wday % 7] << months[local.tm_mon % 12] << local.tm_mday << std::setfill('0')
          << std::setw(2) << local.tm_hour << std::setw(2) << local.tm_min << std::setw(2) << local.tm_sec
          << std::setfill(' ') << (1900 + local.tm_year);
    return stamp.str();
}

std::string stamped_name(const std::string &name, const std::string &stamp) {
    std::string base = file_name_of(name);
    const auto dot = base.rfind('.');
    if (dot != std::string::npos)
        base.erase(dot);
    return base + "_" + stamp + ".txt";
}

std::string report_path(const Design &design, const std::string &directory, const std::string &stamp) {
    return directory + "/report_" + stamped_name(design.dfg_name, stamp);
}

void write_report(const Design &design, const std::string &heading, const std::string &directory,
                  const std::string &stamp, std::ostream &log) {
    log << design.dfg_name << "\n";
    const auto register_count = static_cast<int32_t>(design.register_lifetimes.size());
    const char *const list_heading = "----------------LIST SCHEDULED OP TABLE---------------\n";

    // The whole text is built first and written at once: the same bytes as
    // writing table by table, for a fraction of the formatting cost. Room for
    // it is made once: the controller tables, a row per step and five
    // characters per register, are most of it.
    const std::size_t operation_rows = design.asap_steps.size() + design.alap_steps.size() + 2 * design.list_steps.size();
    const std::size_t table_rows = design.controller_table_before.steps().size() + design.controller_table.steps().size();
    std::string text;
    text.reserve(heading.size() + 1024 + 16 * (operation_rows + design.operations.size() * 4) +
                 (table_rows + 2) * (20 + 5 * static_cast<std::size_t>(std::max(register_count, 0))));
    text += heading;
    text += "\n";
    append_operation_table(text, design, "----------------ASAP SCHEDULED OP TABLE---------------\n", design.asap_steps,
                           VariantColumn::AfterEmbedding);
    append_operation_table(text, design, "----------------ALAP SCHEDULED OP TABLE---------------\n", design.alap_steps,
                           VariantColumn::AfterEmbedding);
    append_operation_table(text, design, list_heading, design.list_steps, VariantColumn::BeforeEmbedding);
    append_controller_table(text, "----------------CONTROLLER TABLE REGISTER ALLLOCATION---------------\n",
                            design.controller_table_before, register_count);
    append_operation_table(text, design, list_heading, design.list_steps, VariantColumn::AfterEmbedding);
    append_controller_table(text,
                            "----------------CONTROLLER TABLE REGISTER ALLLOCATION-----After embedding----------\n",
                            design.controller_table, register_count);

    const std::string path = report_path(design, directory, stamp);
    std::ofstream out(path, std::ios::out | std::ios::app);
    if (out)
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (out.fail())
        throw Refusal(Refusal::Reason::FileNotWritten, "cannot write the report file " + path);
}

}  // namespace velnor
