// Importing a C function: clang compiles the file (see clang_run.h), LLVM 14's
// library reads the optimised module, and the function's one basic block
// becomes velnor's imported core. LLVM's types stay inside this module.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "import/clang_run.h"
#include "import/imported_core.h"

namespace velnor {

// A C file compiled once and read by LLVM: the window lists its functions and
// imports the one the user picks from the same compile.
class CompiledC {
public:
    // Compiles the file at path and reads the bitcode (refused as clang_bitcode
    // refuses, or when LLVM cannot read clang's output).
    CompiledC(const std::string &path, const ClangOptions &options);
    ~CompiledC();
    CompiledC(const CompiledC &) = delete;
    CompiledC &operator=(const CompiledC &) = delete;

    // The functions the file defines after optimisation, in the module's order
    // (a static function inlined everywhere is gone).
    std::vector<std::string> functions() const;

    // The operations of the named function in instruction order: add/fadd '+',
    // sub/fsub '-', mul/fmul '*', sdiv/udiv/fdiv '/', the less-than compares
    // '<' and the greater-than compares '<' with their operands swapped. Every
    // other value is a primary input. The map names each operation's debug
    // location ("file:line:column") and its instruction ("fadd", "icmp slt").
    // Refused (ImportFile) when the file defines no such function, or the
    // function is more than one basic block (a loop not fully unrolled, or a
    // branch, naming its line); otherwise as imported_core refuses.
    ImportedCore import(const std::string &function) const;

private:
    struct Module;
    std::string path_;
    std::unique_ptr<Module> module_;
};

// One compile for one use each.
std::vector<std::string> c_functions(const std::string &path, const ClangOptions &options);
ImportedCore import_c(const std::string &path, const std::string &function, const ClangOptions &options);

}  // namespace velnor
