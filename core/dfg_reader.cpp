// The DFG file reader. Each operation is read by position: the operator
// character, one separator, the first operand's digits, the character that ends
// them, the second operand's digits, the character that ends them, and the id's
// digits. The character that ends the id is skipped and the next operation's
// operator follows at once.
#include "core/dfg_reader.h"

#include <cctype>
#include <charconv>
#include <system_error>
#include <optional>

#include "core/bounded_line_reader.h"
#include "core/quoted.h"

namespace velnor {
namespace {

std::optional<int32_t> type_of(char c) {
    switch (c) {
    case '+': return Add;
    case '-': return Subtract;
    case '*': return Multiply;
    case '/': return Divide;
    case '<': return Compare;
    default: return std::nullopt;
    }
}

// A character as the user can read it in a message.
std::string describe(char c) {
    if (c == ' ')
        return "a blank";
    if (c == '\t')
        return "a tab";
    const auto byte = static_cast<unsigned char>(c);
    if (std::isprint(byte))
        return std::string("'") + c + "'";
    return "the character with code " + std::to_string(byte);
}

std::string column(std::size_t index) { return "column " + std::to_string(index + 1); }

[[noreturn]] void refuse_line(int line_number, const std::string &reason) {
    throw Refusal(Refusal::Reason::DspCoreFile, "line " + std::to_string(line_number) + ": " + reason);
}

struct Number {
    int32_t value;
    std::size_t end;  // index of the first character after the digits
};

// Reads the digit run at start as a base-10 int, leading zeros allowed.
Number read_number(const std::string &line, std::size_t start, const char *what, int line_number) {
    if (start >= line.size())
        refuse_line(line_number, std::string("the ") + what + " is missing: the line ends before it");
    std::size_t end = start;
    while (end < line.size() && std::isdigit(static_cast<unsigned char>(line[end])))
        ++end;
    if (end == start) {
        const char c = line[start];
        if (c == '+' || c == '-')
            refuse_line(line_number, std::string("the ") + what + " at " + column(start) +
                                                  " starts with a sign; numbers are written without one");
        refuse_line(line_number, std::string("the ") + what + " is missing: " + column(start) +
                                              " holds " + describe(c) + " where its digits should start");
    }
    int32_t value = 0;
    if (std::from_chars(line.data() + start, line.data() + end, value).ec != std::errc())
        refuse_line(line_number, "the number " + quoted(line.substr(start, end - start)) + " (the " + what + ", " +
                                     column(start) + ") does not fit a 32-bit signed integer");
    return {value, end};
}

// A producer named before its own line still gets its record, as a lookup
// gives one; the link itself waits in links until the file is read.
void link(Design &design, std::vector<std::pair<int32_t, int32_t>> &links, int32_t producer, int32_t consumer) {
    design.operations[producer];
    links.emplace_back(producer, consumer);
}

// Reads every operation of one non-empty line into design, its producer links into links.
void read_line(Design &design, std::vector<std::pair<int32_t, int32_t>> &links, const std::string &line,
               int line_number, DfgListing &listing, std::size_t keep_at_most) {
    std::size_t pos = 0;
    while (pos < line.size()) {
        const std::optional<int32_t> type = type_of(line[pos]);
        if (!type)
            refuse_line(line_number, "expected an operator character '+', '-', '*', '/' or '<' at " +
                                                  column(pos) + ", found " + describe(line[pos]));
        // The type counts as present even if the operation's numbers then fail.
        design.operation_types.insert(*type);
        const Number first = read_number(line, pos + 2, "first operand", line_number);
        const Number second = read_number(line, first.end + 1, "second operand", line_number);
        const Number id = read_number(line, second.end + 1, "id", line_number);
        pos = id.end + 1;

        if (listing.operation_count++ >= keep_at_most)
            continue;
        if (first.value != 0)
            link(design, links, first.value, id.value);
        if (second.value != 0 && second.value != first.value)
            link(design, links, second.value, id.value);
        Operation op;
        op.first_input = first.value;
        op.second_input = second.value;
        op.id = id.value;
        op.type = *type;
        design.operations[id.value] = op;
        listing.operations.push_back({first.value, second.value, id.value, line_number});
    }
}

}  // namespace

void read_dfg(Design &design, const std::string &path, std::ostream &log, DfgListing &listing,
              std::size_t keep_at_most) {
    listing = DfgListing{};
    BoundedLineReader in(path);
    if (!in.is_open()) {
        log << "file read error";
        return;
    }
    listing.opened = true;
    std::string line;
    std::vector<std::pair<int32_t, int32_t>> links;  // (producer, consumer) in file order
    while (in.next(line))
        if (!line.empty())
            read_line(design, links, line, in.line_number(), listing, keep_at_most);
    switch (in.stop()) {
    case ReadStop::FileTooLarge: throw Refusal(Refusal::Reason::DspCoreFile, "is larger than 64 MiB");
    case ReadStop::LineTooLong: refuse_line(in.line_number() + 1, "the line is longer than 1 MiB");
    case ReadStop::ReadError: listing.read_failed = true; break;
    case ReadStop::None: break;
    }
    link_successors(design, std::move(links));
    design.dfg_path = path;
}

void read_dfg(Design &design, const std::string &path, std::ostream &log) {
    DfgListing ignored;
    read_dfg(design, path, log, ignored);
}

}  // namespace velnor
