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

}  // namespace velnor::test
