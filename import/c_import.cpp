// The C importer. clang's bitcode is read into a module of its own context;
// the named function must be straight-line code after optimisation, and its
// instructions are walked once in order.
#include "import/c_import.h"

#include <map>
#include <optional>
#include <set>

#include <llvm/ADT/SCCIterator.h>
#include <llvm/IR/CFG.h>
#include <llvm/IR/DebugInfoMetadata.h>
#include <llvm/IR/Function.h>
#include <llvm/IR/InstrTypes.h>
#include <llvm/IR/LLVMContext.h>
#include <llvm/IR/Module.h>
#include <llvm/IRReader/IRReader.h>
#include <llvm/Support/MemoryBuffer.h>
#include <llvm/Support/SourceMgr.h>

#include "core/design.h"
#include "core/quoted.h"
#include "core/refusal.h"

namespace velnor {

struct CompiledC::Module {
    llvm::LLVMContext context;
    std::unique_ptr<llvm::Module> module;
};

namespace {

[[noreturn]] void refuse(const std::string &message) { throw Refusal(Refusal::Reason::ImportFile, message); }

// How many function names a refusal lists before "and N more".
constexpr std::size_t listed_functions = 20;

// "it defines: a, b" or "it defines no function".
std::string listing(const std::vector<std::string> &names) {
    if (names.empty())
        return "it defines no function";
    std::string text = "it defines: ";
    for (std::size_t i = 0; i < names.size() && i < listed_functions; ++i)
        text += (i == 0 ? "" : ", ") + one_line(names[i]);
    if (names.size() > listed_functions)
        text += " and " + std::to_string(names.size() - listed_functions) + " more";
    return text;
}

struct Operator {
    int32_t type;
    bool swapped;  // a greater-than: the operation compares its second operand with its first
};

std::optional<Operator> operator_of(const llvm::Instruction &instruction) {
    switch (instruction.getOpcode()) {
    case llvm::Instruction::Add:
    case llvm::Instruction::FAdd: return Operator{Add, false};
    case llvm::Instruction::Sub:
    case llvm::Instruction::FSub: return Operator{Subtract, false};
    case llvm::Instruction::Mul:
    case llvm::Instruction::FMul: return Operator{Multiply, false};
    case llvm::Instruction::SDiv:
    case llvm::Instruction::UDiv:
    case llvm::Instruction::FDiv: return Operator{Divide, false};
    case llvm::Instruction::ICmp:
    case llvm::Instruction::FCmp: break;
    default: return std::nullopt;
    }
    switch (llvm::cast<llvm::CmpInst>(instruction).getPredicate()) {
    case llvm::CmpInst::ICMP_SLT:
    case llvm::CmpInst::ICMP_ULT:
    case llvm::CmpInst::FCMP_OLT:
    case llvm::CmpInst::FCMP_ULT: return Operator{Compare, false};
    case llvm::CmpInst::ICMP_SGT:
    case llvm::CmpInst::ICMP_UGT:
    case llvm::CmpInst::FCMP_OGT:
    case llvm::CmpInst::FCMP_UGT: return Operator{Compare, true};
    default: return std::nullopt;  // equality, the or-equal forms, ordered/unordered tests
    }
}

// The instruction as the map names it: LLVM's opcode name, with a compare's predicate ("icmp slt").
std::string instruction_text(const llvm::Instruction &instruction) {
    std::string text = instruction.getOpcodeName();
    if (const auto *compare = llvm::dyn_cast<llvm::CmpInst>(&instruction))
        text += ' ' + llvm::CmpInst::getPredicateName(compare->getPredicate()).str();
    return text;
}

// The file of a debug location: the compiled file named as the caller named
// it, any other (a header's inlined function) by the path clang recorded.
std::string location_file(const llvm::DILocation &location, const std::string &path) {
    const llvm::DISubprogram *program = location.getScope()->getSubprogram();
    const llvm::DIFile *compiled = program && program->getUnit() ? program->getUnit()->getFile() : nullptr;
    if (compiled && compiled->getFilename() == location.getFilename() &&
        compiled->getDirectory() == location.getDirectory())
        return path;
    std::string name = location.getFilename().str();
    if (!name.empty() && name[0] != '/' && !location.getDirectory().empty())
        name = location.getDirectory().str() + '/' + name;
    return name;
}

// "file:line:column" of an instruction's debug location; without one, the compiled file at 0:0.
std::string source_location(const llvm::Instruction &instruction, const std::string &path) {
    const llvm::DebugLoc &location = instruction.getDebugLoc();
    if (!location)
        return path + ":0:0";
    return location_file(*location, path) + ':' + std::to_string(location.getLine()) + ':' +
           std::to_string(location.getCol());
}

// A function of more than one block is refused at its first branch: the first
// that leaves a block inside a loop (the loop left rolled up), else the first
// conditional branch of all.
[[noreturn]] void refuse_branches(const llvm::Function &function, const std::string &path) {
    const std::string name = file_name_of(path);
    std::set<const llvm::BasicBlock *> in_loop;
    for (auto component = llvm::scc_begin(&function); !component.isAtEnd(); ++component)
        if (component.hasCycle())
            in_loop.insert((*component).begin(), (*component).end());
    const llvm::Instruction *loop_branch = nullptr, *branch = nullptr;
    for (const llvm::BasicBlock &block : function) {
        const llvm::Instruction *end = block.getTerminator();
        if (!end || end->getNumSuccessors() < 2)
            continue;
        if (!branch)
            branch = end;
        if (!loop_branch && in_loop.count(&block))
            loop_branch = end;
    }
    const std::string subject = "function '" + quoted(function.getName().str()) + "' of " + name;
    const llvm::Instruction *at = loop_branch ? loop_branch : branch;
    if (!at)
        refuse(subject + " is " + std::to_string(function.size()) +
               " basic blocks after optimisation; import takes one");
    const llvm::DebugLoc &location = at->getDebugLoc();
    const std::string where = location ? " at " + file_name_of(location_file(*location, path)) + ':' +
                                             std::to_string(location.getLine())
                                       : " in " + subject;
    if (loop_branch)
        refuse("loop not fully unrolled" + where);
    refuse("branch left after optimisation" + where + "; import takes straight-line code");
}

}  // namespace

CompiledC::CompiledC(const std::string &path, const ClangOptions &options)
    : path_(path), module_(std::make_unique<Module>()) {
    const std::string bitcode = clang_bitcode(path, options);
    llvm::SMDiagnostic diagnostic;
    module_->module = llvm::parseIR(llvm::MemoryBufferRef(bitcode, path), diagnostic, module_->context);
    if (!module_->module)
        refuse("LLVM 14 cannot read clang's output for " + file_name_of(path) + ": " +
               one_line(diagnostic.getMessage().str()) +
               " (is clang newer than 14? install Debian's package clang-14)");
}

CompiledC::~CompiledC() = default;

std::vector<std::string> CompiledC::functions() const {
    std::vector<std::string> names;
    for (const llvm::Function &function : *module_->module)
        if (!function.isDeclaration())
            names.push_back(function.getName().str());
    return names;
}

ImportedCore CompiledC::import(const std::string &name) const {
    const std::string file = file_name_of(path_);
    const llvm::Function *function = module_->module->getFunction(name);
    if (!function || function->isDeclaration()) {
        const std::string named = "'" + quoted(name) + "'";
        refuse((function ? file + " only declares " + named : "no function " + named + " in " + file) +
               "; " + listing(functions()));
    }
    if (function->size() != 1)
        refuse_branches(*function, path_);

    std::map<const llvm::Value *, int32_t> id_of;
    std::vector<ImportedOperation> operations;
    for (const llvm::Instruction &instruction : function->getEntryBlock()) {
        const std::optional<Operator> op = operator_of(instruction);
        if (!op)
            continue;
        // Anything that is not an earlier operation's own result is a primary input.
        auto input = [&](unsigned index) {
            const auto found = id_of.find(instruction.getOperand(index));
            return found == id_of.end() ? 0 : found->second;
        };
        ImportedOperation operation;
        operation.type = op->type;
        operation.first_input = input(op->swapped ? 1 : 0);
        operation.second_input = input(op->swapped ? 0 : 1);
        operation.origin = source_location(instruction, path_);
        operation.text = instruction_text(instruction);
        operations.push_back(std::move(operation));
        id_of[&instruction] = static_cast<int32_t>(operations.size());
    }
    return imported_core(operations, path_);
}

std::vector<std::string> c_functions(const std::string &path, const ClangOptions &options) {
    return CompiledC(path, options).functions();
}

ImportedCore import_c(const std::string &path, const std::string &function, const ClangOptions &options) {
    return CompiledC(path, options).import(function);
}

}  // namespace velnor
