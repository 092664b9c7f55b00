// The module library reader. The file is a flat sequence of unsigned decimal
// numbers (digits, optionally '.' and more digits); everything else, signs and
// exponents included, only separates them. Fixed positions in the sequence hold
// the adder and multiplier variants and the register.
#include "core/module_library_reader.h"

#include <cctype>
#include <cstdint>
#include <fstream>
#include <limits>
#include <vector>

namespace velnor {
namespace {

struct LibraryNumber {
    double value;
    int line;
};

bool is_digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Long digit runs are shortened in messages.
std::string shown(const std::string &text) {
    if (text.size() <= 24)
        return text;
    return text.substr(0, 12) + "..." + " (" + std::to_string(text.size()) + " characters)";
}

void scan_line(const std::string &line, int line_number, std::vector<LibraryNumber> &numbers) {
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
        try {
            numbers.push_back({std::stod(text), line_number});
        } catch (const std::out_of_range &) {
            throw Refusal(Refusal::Reason::LibraryFile, "the number " + shown(text) + " on line " +
                                                 std::to_string(line_number) + " does not fit a double");
        }
    }
}

std::vector<LibraryNumber> read_numbers(const std::string &path) {
    std::ifstream in(path);
    if (!in.is_open())
        throw Refusal(Refusal::Reason::LibraryFile, "cannot open " + path);
    std::vector<LibraryNumber> numbers;
    std::string line;
    int line_number = 0;
    while (std::getline(in, line))
        scan_line(line, ++line_number, numbers);
    if (in.bad())
        throw Refusal(Refusal::Reason::LibraryFile, "the file cannot be read");
    if (numbers.size() < static_cast<std::size_t>(library_number_count))
        throw Refusal(Refusal::Reason::LibraryFile, "the file holds " + std::to_string(numbers.size()) +
                                                        " numbers; a module library needs at least " +
                                                        std::to_string(library_number_count));
    return numbers;
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

    // Refuses the file when the value at position is 0, naming what it is and where.
    void require_nonzero(int position, const std::string &what) const {
        const LibraryNumber &n = numbers_[static_cast<std::size_t>(position)];
        if (n.value == 0.0)
            throw Refusal(Refusal::Reason::LibraryFile, what + " is 0 (number " + std::to_string(position + 1) +
                                               " of the file, on line " + std::to_string(n.line) + ")");
    }

private:
    const std::vector<LibraryNumber> &numbers_;
};

}  // namespace

void read_module_library(Design &design, const std::string &path) {
    const std::vector<LibraryNumber> numbers = read_numbers(path);
    const Positions at(numbers);

    // Each value is stored before it is checked, in this order.
    design.area_table[Add] = {at[2], at[4]};
    at.require_nonzero(2, "adder variant 1 area");
    at.require_nonzero(4, "adder variant 2 area");
    design.adder_count = count_of(at[6]);
    design.area_table[Multiply] = {at[14], at[16]};
    at.require_nonzero(14, "multiplier variant 1 area");
    at.require_nonzero(16, "multiplier variant 2 area");
    design.delay_table[Add] = {at[3], at[5]};
    at.require_nonzero(3, "adder variant 1 delay");
    at.require_nonzero(5, "adder variant 2 delay");
    design.delay_table[Multiply] = {at[15], at[17]};
    at.require_nonzero(15, "multiplier variant 1 delay");
    at.require_nonzero(17, "multiplier variant 2 delay");
    design.multiplier_count = count_of(at[18]);
    design.register_area = at[25];
    at.require_nonzero(25, "register area");
    at.require_nonzero(26, "register second value");
    design.register_delay = at[26];
    design.library_path = path;
}

}  // namespace velnor
