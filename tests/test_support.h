// Helpers shared by the engine tests: tiny designs built in code, scratch files
// and folders, and the path of the test data.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/design.h"

namespace velnor::test {

// Path of a file under tests/data.
std::string data_path(const std::string &name);

// One operation of a DFG written in code: type, operands, id.
struct Op {
    int32_t type;
    int32_t first;
    int32_t second;
    int32_t id;
};

// The DFG file text of ops, one operation per line ("+ 0 0 1").
std::string dfg_text(const std::vector<Op> &ops);

// The DFG file text of a chain of additions, each reading the one before.
std::string chain_text(int operations);

// A fresh folder under the system's temporary folder, removed by the caller's
// ScratchDir destructor.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;
    const std::string &path() const { return path_; }
    // Writes text into a file of the folder and returns its path.
    std::string write(const std::string &name, const std::string &text) const;

private:
    std::string path_;
};

std::string read_file(const std::string &path);

// A controller table written cell by cell: step -> (register -> variable); a
// cell of 0 is written as an empty cell.
ControllerTable controller_table(const std::map<int32_t, std::map<int32_t, int32_t>> &cells);

// A table indexed by number (variable or id, from 1) with the values given and 0 elsewhere.
std::vector<int32_t> by_number(const std::map<int32_t, int32_t> &values);

}  // namespace velnor::test
