#include "tests/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace velnor::test {

std::string data_path(const std::string &name) { return std::string(VELNOR_TEST_DATA) + "/" + name; }

std::string dfg_text(const std::vector<Op> &ops) {
    static const char symbols[] = {'+', '-', '*', '/', '<'};
    std::ostringstream out;
    for (const Op &op : ops)
        out << symbols[op.type] << ' ' << op.first << ' ' << op.second << ' ' << op.id << '\n';
    return out.str();
}

std::string chain_text(int operations) {
    std::string text = "+ 0 0 1\n";
    for (int id = 2; id <= operations; ++id)
        text += "+ " + std::to_string(id - 1) + " 0 " + std::to_string(id) + "\n";
    return text;
}

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velnor-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a scratch folder");
    path_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDir::write(const std::string &name, const std::string &text) const {
    const std::string file = path_ + "/" + name;
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

std::string read_file(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ControllerTable controller_table(const std::map<int32_t, std::map<int32_t, int32_t>> &cells) {
    ControllerTable table;
    for (const auto &[step, row] : cells)
        for (const auto &[reg, variable] : row)
            table.fill(reg, step, step, variable);
    return table;
}

std::vector<int32_t> by_number(const std::map<int32_t, int32_t> &values) {
    std::vector<int32_t> table(values.empty() ? 1 : static_cast<std::size_t>(values.rbegin()->first) + 1, 0);
    for (const auto &[number, value] : values)
        table[static_cast<std::size_t>(number)] = value;
    return table;
}

}  // namespace velnor::test
