// The module library reader. The file is a flat sequence of unsigned decimal
// numbers (digits, optionally '.' and more digits); everything else, signs and
// exponents included, only separates them. Fixed positions in the sequence hold
// the adder and multiplier variants and the register.
#include "core/module_library_reader.h"

#include <cctype>
#include <cstdint>
#include <limits>
#include <optional>
#include <sstream>
#include <vector>

#include "core/bounded_line_reader.h"
#include "core/quoted.h"

namespace velnor {
namespace {

struct LibraryNumber {
    double value;
    int line;
};

bool is_digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// The numbers of the file: only the first library_number_count are kept, since
// nothing reads the others, but every one is converted and counted.
struct LibraryNumbers {
    std::vector<LibraryNumber> kept;
    std::size_t count = 0;
};

void scan_line(const std::string &line, int line_number, LibraryNumbers &numbers) {
    std::size_t pos = 0;
    while (pos < line.size()) {
        if (!is_digit(line[pos])) {
            ++pos;
            continue;
        }
        const std::size_t start = pos;
        while (pos < line.size() && is_digit(line[pos]))
            ++pos;
        if (pos < line.size() && line[pos] == '.') {
            ++pos;
            while (pos < line.size() && is_digit(line[pos]))
                ++pos;
        }
        const std::string text = line.substr(start, pos - start);
        double value = 0.0;
        try {
            value = std::stod(text);
        } catch (const std::out_of_range &) {
            throw Refusal(Refusal::Reason::LibraryFile, "the number " + quoted(text) + " on line " +
                                                            std::to_string(line_number) + " does not fit a double");
        }
        if (numbers.kept.size() < static_cast<std::size_t>(library_number_count))
            numbers.kept.push_back({value, line_number});
        ++numbers.count;
    }
}

// The numbers kept from the file; none when it cannot be opened.
std::optional<std::vector<LibraryNumber>> read_numbers(const std::string &path) {
    BoundedLineReader in(path);
    if (!in.is_open())
        return std::nullopt;
    LibraryNumbers numbers;
    std::string line;
    while (in.next(line))
        scan_line(line, in.line_number(), numbers);
    switch (in.stop()) {
    case ReadStop::ReadError: throw Refusal(Refusal::Reason::LibraryFile, "the file cannot be read");
    case ReadStop::FileTooLarge: throw Refusal(Refusal::Reason::LibraryFile, "the file is larger than 64 MiB");
    case ReadStop::LineTooLong:
        throw Refusal(Refusal::Reason::LibraryFile,
                      "line " + std::to_string(in.line_number() + 1) + " is longer than 1 MiB");
    case ReadStop::None: break;
    }
    if (numbers.count < static_cast<std::size_t>(library_number_count))
        throw Refusal(Refusal::Reason::LibraryFile, "the file holds " + std::to_string(numbers.count) +
                                                        " numbers; a module library needs at least " +
                                                        std::to_string(library_number_count));
    return numbers.kept;
}

// A unit count, truncated toward zero; counts beyond the int range are capped.
int32_t count_of(double value) {
    if (value >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

class Positions {
public:
    explicit Positions(const std::vector<LibraryNumber> &numbers) : numbers_(numbers) {}
    double operator[](int position) const { return numbers_[static_cast<std::size_t>(position)].value; }

    // Refuses the file when the value at position is 0 or above the largest
    // value taken, naming what it is, the value and where.
    void require_usable(int position, const std::string &what) const {
        const LibraryNumber &n = numbers_[static_cast<std::size_t>(position)];
        const std::string where =
            " (number " + std::to_string(position + 1) + " of the file, on line " + std::to_string(n.line) + ")";
        if (n.value == 0.0)
            throw Refusal(Refusal::Reason::LibraryFile, what + " is 0" + where);
        if (n.value > largest_library_value) {
            std::ostringstream value;
            value.precision(10);  // enough digits that a value just above the bound does not read as 1e+09
            value << n.value;
            throw Refusal(Refusal::Reason::LibraryFile,
                          what + " is " + value.str() + ", above the largest value taken, 1e9" + where);
        }
    }

private:
    const std::vector<LibraryNumber> &numbers_;
};

}  // namespace

void read_module_library(Design &design, const std::string &path) {
    bool opened = false;
    read_module_library(design, path, opened);
    if (!opened)
        throw Refusal(Refusal::Reason::LibraryFile, "cannot open " + path);
}

void read_module_library(Design &design, const std::string &path, bool &opened) {
    const std::optional<std::vector<LibraryNumber>> numbers = read_numbers(path);
    opened = numbers.has_value();
    if (!opened)
        return;
    const Positions at(*numbers);

    // Each value is stored before it is checked, in this order.
    design.area_table[Add] = {at[2], at[4]};
    at.require_usable(2, "adder variant 1 area");
    at.require_usable(4, "adder variant 2 area");
    design.adder_count = count_of(at[6]);
    design.area_table[Multiply] = {at[14], at[16]};
    at.require_usable(14, "multiplier variant 1 area");
    at.require_usable(16, "multiplier variant 2 area");
    design.delay_table[Add] = {at[3], at[5]};
    at.require_usable(3, "adder variant 1 delay");
    at.require_usable(5, "adder variant 2 delay");
    design.delay_table[Multiply] = {at[15], at[17]};
    at.require_usable(15, "multiplier variant 1 delay");
    at.require_usable(17, "multiplier variant 2 delay");
    design.multiplier_count = count_of(at[18]);
    design.register_area = at[25];
    at.require_usable(25, "register area");
    at.require_usable(26, "register second value");
    design.register_delay = at[26];
    design.library_path = path;
}

}  // namespace velnor
