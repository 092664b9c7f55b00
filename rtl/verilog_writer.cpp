// Writes the datapath's Verilog: checks first that the allocation can be built
// as described (each variable in its register from the end of its birth step
// until its last reader has read it), places every operation on a unit
// instance, then writes the controller, the registers with their input
// multiplexers, the units with theirs, and the unit modules the top uses.
#include "rtl/verilog_writer.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "rtl/datapath_evaluator.h"
#include "rtl/functional_units.h"

namespace velnor {
namespace {

// The unit instance one operation runs on.
struct Placement {
    UnitKind kind;
    int index;
};

std::string instance_name(const Placement &placement) {
    return unit_instance_stem(placement.kind) + "_" + std::to_string(placement.index);
}

std::string register_name(int32_t number) { return "r" + std::to_string(number); }

std::string state_name(int32_t step) { return "STEP_" + std::to_string(step); }

// Which unit kind an operation needs; adders and multipliers by their variant.
UnitKind unit_kind_of(const DatapathOperation &op) {
    const auto variant_of = [&op](UnitKind fast, UnitKind small) {
        if (op.variant == 1)
            return fast;
        if (op.variant == 2)
            return small;
        throw VerilogError("operation " + std::to_string(op.id) + " (" + op.type +
                           ") is bound to no module variant");
    };
    switch (op.type) {
    case '+': return variant_of(UnitKind::FastAdder, UnitKind::SmallAdder);
    case '*': return variant_of(UnitKind::FastMultiplier, UnitKind::SmallMultiplier);
    case '-': return UnitKind::Subtractor;
    case '<': return UnitKind::Comparator;
    case '/': return UnitKind::Divider;
    default: break;
    }
    throw VerilogError("operation " + std::to_string(op.id) + " has the unknown operator '" + op.type + "'");
}

// The datapath checked and laid out for writing.
struct Layout {
    std::map<std::string, const DatapathVariable *> variable;   // by name
    std::map<int32_t, std::vector<const DatapathVariable *>> held;  // register -> variables by birth
    std::vector<std::vector<const DatapathOperation *>> in_step;    // index = step, ids ascending
    std::map<int32_t, Placement> placement;                         // operation id -> unit
    std::map<UnitKind, int> instances;                              // units of each kind
    std::map<std::string, int32_t> producer;                        // result variable -> operation id
};

const DatapathVariable &variable_named(const Layout &layout, const std::string &name, int32_t id) {
    const auto found = layout.variable.find(name);
    if (found == layout.variable.end())
        throw VerilogError("operation " + std::to_string(id) + " uses the variable " + name +
                           ", which the datapath does not list");
    return *found->second;
}

Layout lay_out(const Datapath &datapath) {
    if (datapath.operations.empty() || datapath.control_steps < 1)
        throw VerilogError("the datapath has no scheduled operations");
    Layout layout;
    for (const DatapathVariable &v : datapath.variables) {
        if (!layout.variable.emplace(v.name, &v).second)
            throw VerilogError("the variable " + v.name + " is listed twice");
        if (v.register_number < 1 || v.register_number > datapath.registers)
            throw VerilogError("the variable " + v.name + " has no register of the allocation");
        if (v.birth > v.death)
            throw VerilogError("the variable " + v.name + " dies before it is born");
        layout.held[v.register_number].push_back(&v);
    }
    // One register holds one variable at a time: the lifetimes in it are disjoint.
    for (auto &[reg, held] : layout.held) {
        std::sort(held.begin(), held.end(),
                  [](const DatapathVariable *a, const DatapathVariable *b) { return a->birth < b->birth; });
        for (std::size_t k = 1; k < held.size(); ++k)
            if (held[k]->birth <= held[k - 1]->death)
                throw VerilogError("register " + std::to_string(reg) + " would hold " + held[k - 1]->name +
                                   " and " + held[k]->name + " in step " + std::to_string(held[k]->birth));
    }

    layout.in_step.resize(static_cast<std::size_t>(datapath.control_steps) + 1);
    for (const DatapathOperation &op : datapath.operations) {
        if (op.step < 1 || op.step > datapath.control_steps)
            throw VerilogError("operation " + std::to_string(op.id) + " is placed in no control step");
        const DatapathVariable &result = variable_named(layout, op.output, op.id);
        if (result.birth != op.step)
            throw VerilogError("the result " + op.output + " is not born in the step of its operation");
        for (const std::string &input : {op.first_input, op.second_input}) {
            const DatapathVariable &v = variable_named(layout, input, op.id);
            // Written at the end of its birth step, held until the end of the step after its death.
            if (v.birth >= op.step || v.death + 1 < op.step)
                throw VerilogError("operation " + std::to_string(op.id) + " reads " + input + " in step " +
                                   std::to_string(op.step) + ", outside its lifetime");
            if (v.birth == 0 && v.name != input_variable_name(op.id))
                throw VerilogError("operation " + std::to_string(op.id) + " reads " + input +
                                   ", a primary input of another operation");
        }
        layout.in_step[static_cast<std::size_t>(op.step)].push_back(&op);
        layout.producer[op.output] = op.id;
    }
    for (const DatapathVariable &v : datapath.variables)
        if ((v.birth == 0) != (v.name.rfind("in:", 0) == 0))
            throw VerilogError("the variable " + v.name + " is born in step " + std::to_string(v.birth));

    // An output keeps its register to the end: nothing is written there after it.
    for (int32_t id : output_port_ids(datapath)) {
        const DatapathVariable &v = variable_named(layout, result_variable_name(id), id);
        if (layout.held[v.register_number].back() != &v)
            throw VerilogError("the result " + v.name + " is overwritten in register " +
                               std::to_string(v.register_number) + " before the run ends");
    }

    // Within a step, operations of one kind take that kind's instances in id order.
    for (const auto &ops : layout.in_step) {
        std::map<UnitKind, int> used;
        for (const DatapathOperation *op : ops) {
            const UnitKind kind = unit_kind_of(*op);
            const int index = used[kind]++;
            layout.placement.emplace(op->id, Placement{kind, index});
            layout.instances[kind] = std::max(layout.instances[kind], index + 1);
        }
    }
    return layout;
}

const std::set<std::string> &reserved_words() {
    // Verilog-2005 and SystemVerilog keywords that a file name could plausibly spell.
    static const std::set<std::string> words = {
        "always", "and", "assign", "automatic", "begin", "buf", "case", "casex", "casez", "cell", "cmos",
        "config", "deassign", "default", "defparam", "design", "disable", "edge", "else", "end", "endcase",
        "endconfig", "endfunction", "endgenerate", "endmodule", "endprimitive", "endspecify", "endtable",
        "endtask", "event", "for", "force", "forever", "fork", "function", "generate", "genvar", "highz0",
        "highz1", "if", "ifnone", "incdir", "include", "initial", "inout", "input", "instance", "integer",
        "join", "large", "liblist", "library", "localparam", "macromodule", "medium", "module", "nand",
        "negedge", "nmos", "nor", "not", "noshowcancelled", "notif0", "notif1", "or", "output", "parameter",
        "pmos", "posedge", "primitive", "pull0", "pull1", "pulldown", "pullup", "rcmos", "real", "realtime",
        "reg", "release", "repeat", "rnmos", "rpmos", "rtran", "rtranif0", "rtranif1", "scalared",
        "showcancelled", "signed", "small", "specify", "specparam", "strong0", "strong1", "supply0",
        "supply1", "table", "task", "time", "tran", "tranif0", "tranif1", "tri", "tri0", "tri1", "triand",
        "trior", "trireg", "unsigned", "use", "uwire", "vectored", "wait", "wand", "weak0", "weak1", "while",
        "wire", "wor", "xnor", "xor", "bit", "byte", "chandle", "class", "const", "do", "enum", "export",
        "extern", "final", "import", "int", "interface", "logic", "longint", "package", "program", "ref",
        "return", "shortint", "static", "string", "struct", "super", "this", "type", "typedef", "union",
        "var", "virtual", "void"};
    return words;
}

constexpr UnitKind all_kinds[] = {UnitKind::FastAdder,  UnitKind::SmallAdder, UnitKind::FastMultiplier,
                                  UnitKind::SmallMultiplier, UnitKind::Subtractor, UnitKind::Comparator,
                                  UnitKind::Divider};

std::string operation_line(const DatapathOperation &op, const Layout &layout) {
    std::string text = "op " + std::to_string(op.id) + ": " + op.first_input + " " + op.type + " " +
                       op.second_input + " -> " + op.output + " on " + instance_name(layout.placement.at(op.id));
    const DatapathVariable &result = *layout.variable.at(op.output);
    return text + ", into " + register_name(result.register_number);
}

// A multiplexer as a case over the state: cases that share a source are
// merged, and the most frequent source is the default. With one source it is
// a plain wire. sources: step -> signal.
void write_multiplexer(std::ostringstream &out, const std::string &signal, const std::map<int32_t, std::string> &sources) {
    std::map<std::string, std::vector<int32_t>> steps_of;
    for (const auto &[step, source] : sources)
        steps_of[source].push_back(step);
    std::string fallback;
    std::size_t most = 0;
    for (const auto &[source, steps] : steps_of)
        if (steps.size() > most) {
            most = steps.size();
            fallback = source;
        }
    if (steps_of.size() == 1) {
        out << "    wire [WIDTH-1:0] " << signal << " = " << fallback << ";\n";
        return;
    }
    out << "    reg [WIDTH-1:0] " << signal << ";\n"
        << "    always @* begin\n"
        << "        case (state)\n";
    for (const auto &[source, steps] : steps_of) {
        if (source == fallback)
            continue;
        out << "            ";
        for (std::size_t k = 0; k < steps.size(); ++k)
            out << (k ? ", " : "") << state_name(steps[k]);
        out << ": " << signal << " = " << source << ";\n";
    }
    out << "            default: " << signal << " = " << fallback << ";\n"
        << "        endcase\n"
        << "    end\n";
}

void write_header(std::ostringstream &out, const Datapath &datapath, DesignStage stage, const std::string &top) {
    out << "// " << top << ": the DSP core " << datapath.dfg << " as a datapath.\n"
        << (stage == DesignStage::Signed
                ? "// Signed: the register allocation and module binding after the signature was embedded.\n"
                : "// Unsigned: the register allocation and module binding before the signature was embedded.\n")
        << "// Written by velnor. Verilog-2001, synthesizable.\n"
           "//\n"
           "// Arithmetic: every value is an unsigned WIDTH-bit word and every result is\n"
           "// taken modulo 2^WIDTH; a < b gives 1 or 0; a / b with b = 0 gives all ones.\n"
           "//\n"
           "// Timing: "
        << datapath.control_steps
        << " control steps, one clock cycle each. A rising clock edge with start\n"
           "// high loads the inputs into their registers, clears done and begins step 1\n"
           "// (start begins a new run even while one is in progress). done rises at the\n"
           "// edge that ends the last step, and the outputs hold the results until the\n"
           "// next start. rst, synchronous and active high, returns the controller to\n"
           "// idle and clears done; the data registers keep their values.\n"
           "//\n"
           "// Registers: a variable lives from its birth step to its death step. It is\n"
           "// written at the end of its birth step (a primary input, born in step 0, by\n"
           "// start) and read up to the step after its death, when its last reader runs.\n"
           "//\n"
           "// Units: each operation runs, in its step, on an instance of the unit its\n"
           "// type and module variant name:\n";
    for (UnitKind kind : all_kinds)
        out << "//   " << unit_module_name(kind) << ": " << unit_description(kind) << "\n";
    // Lint tools expect one module per file, named like the file; this file
    // holds the core and its units whatever it is called.
    out << "\n// verilator lint_off DECLFILENAME\n";
}

}  // namespace

std::string verilog_module_name(const Datapath &datapath) {
    std::string name = datapath.dfg;
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    for (char &c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'))
            c = '_';
    if (name.empty() || (name[0] >= '0' && name[0] <= '9'))
        name = "core_" + name;
    bool taken = reserved_words().count(name) > 0;
    for (UnitKind kind : all_kinds)
        taken = taken || name == unit_module_name(kind);
    return taken ? name + "_core" : name;
}

std::string datapath_verilog(const Datapath &datapath, DesignStage stage) {
    const Layout layout = lay_out(datapath);
    const std::string top = verilog_module_name(datapath);
    const std::vector<int32_t> inputs = input_port_ids(datapath);
    const std::vector<int32_t> outputs = output_port_ids(datapath);
    const int32_t steps = datapath.control_steps;
    int state_bits = 1;
    while ((int64_t{1} << state_bits) <= steps)
        ++state_bits;
    const auto state_literal = [state_bits](int32_t value) {
        return std::to_string(state_bits) + "'d" + std::to_string(value);
    };

    std::ostringstream out;
    write_header(out, datapath, stage, top);

    out << "\nmodule " << top << " #(parameter WIDTH = 16) (\n"
        << "    input  wire             clk,\n"
        << "    input  wire             rst,\n"
        << "    input  wire             start,\n"
        << "    output reg              done";
    for (int32_t id : inputs)
        out << ",\n    input  wire [WIDTH-1:0] in_" << id;
    for (int32_t id : outputs)
        out << ",\n    output wire [WIDTH-1:0] out_" << id;
    out << "\n);\n";

    // The controller.
    out << "\n    // Controller: one state per control step; IDLE between runs.\n"
        << "    localparam [" << state_bits - 1 << ":0] IDLE = " << state_literal(0) << ";\n";
    for (int32_t s = 1; s <= steps; ++s)
        out << "    localparam [" << state_bits - 1 << ":0] " << state_name(s) << " = " << state_literal(s) << ";\n";
    out << "\n    // What each state runs:\n";
    for (int32_t s = 1; s <= steps; ++s) {
        const auto &ops = layout.in_step[static_cast<std::size_t>(s)];
        if (ops.empty())
            out << "    //   " << state_name(s) << ": no operation\n";
        for (const DatapathOperation *op : ops)
            out << "    //   " << state_name(s) << ": " << operation_line(*op, layout) << "\n";
    }
    out << "    reg [" << state_bits - 1 << ":0] state;\n"
        << "    always @(posedge clk) begin\n"
        << "        if (rst) begin\n"
        << "            state <= IDLE;\n"
        << "            done <= 1'b0;\n"
        << "        end else if (start) begin\n"
        << "            state <= " << state_name(1) << ";\n"
        << "            done <= 1'b0;\n"
        << "        end else if (state == " << state_name(steps) << ") begin\n"
        << "            state <= IDLE;\n"
        << "            done <= 1'b1;\n"
        << "        end else if (state != IDLE) begin\n"
        << "            state <= state + " << state_literal(1) << ";\n"
        << "        end\n"
        << "    end\n";

    // Which variable each register holds in each step: the controller table.
    out << "\n    // Registers by control step (step 0: loaded by start):\n";
    for (int32_t t = 0; t <= steps; ++t) {
        out << "    //   step " << t << ":";
        for (const auto &[reg, held] : layout.held)
            for (const DatapathVariable *v : held)
                if (v->birth <= t && t <= v->death)
                    out << " " << register_name(reg) << "=" << v->name;
        out << "\n";
    }

    // Every unit's output is declared before the registers read it.
    out << "\n    // Unit results.\n";
    for (const auto &[kind, count] : layout.instances)
        for (int index = 0; index < count; ++index)
            out << "    wire [WIDTH-1:0] " << instance_name(Placement{kind, index}) << "_y;\n";

    out << "\n    // Registers of the allocation, each with the multiplexer of what it takes in which state.\n";
    for (int32_t reg = 1; reg <= datapath.registers; ++reg) {
        const auto found = layout.held.find(reg);
        const std::string name = register_name(reg);
        if (found == layout.held.end()) {
            out << "    // " << name << " holds no variable: it needs no flip-flops.\n";
            continue;
        }
        out << "    // " << name << " holds";
        std::string load;
        std::map<int32_t, std::string> writes;  // state -> unit result
        for (const DatapathVariable *v : found->second) {
            out << " " << v->name << " (steps " << v->birth << "-" << v->death << ")";
            // A primary input "in:ID" comes in through the port in_ID.
            if (v->birth == 0)
                load = "in_" + v->name.substr(v->name.find(':') + 1);
            else
                writes[v->birth] = instance_name(layout.placement.at(layout.producer.at(v->name))) + "_y";
        }
        out << "\n    reg [WIDTH-1:0] " << name << ";\n"
            << "    always @(posedge clk) begin\n";
        const std::string indent = load.empty() ? "            " : "                ";
        if (load.empty())
            out << "        if (!start) begin\n";
        else
            out << "        if (start) begin\n"
                << "            " << name << " <= " << load << ";\n"
                << "        end else begin\n";
        if (!writes.empty()) {
            std::map<std::string, std::vector<int32_t>> steps_of;
            for (const auto &[step, source] : writes)
                steps_of[source].push_back(step);
            out << indent.substr(4) << "case (state)\n";
            for (const auto &[source, states] : steps_of) {
                out << indent;
                for (std::size_t k = 0; k < states.size(); ++k)
                    out << (k ? ", " : "") << state_name(states[k]);
                out << ": " << name << " <= " << source << ";\n";
            }
            out << indent << "default: " << name << " <= " << name << ";\n" << indent.substr(4) << "endcase\n";
        }
        out << "        end\n"
            << "    end\n";
    }

    out << "\n    // Functional units, each with the multiplexers of its operands.\n";
    for (const auto &[kind, count] : layout.instances) {
        for (int index = 0; index < count; ++index) {
            const Placement unit{kind, index};
            const std::string name = instance_name(unit);
            std::map<int32_t, std::string> first, second;
            out << "    // " << name << ": " << unit_description(kind) << "\n";
            for (int32_t s = 1; s <= steps; ++s)
                for (const DatapathOperation *op : layout.in_step[static_cast<std::size_t>(s)]) {
                    const Placement &p = layout.placement.at(op->id);
                    if (p.kind != kind || p.index != index)
                        continue;
                    out << "    //   " << state_name(s) << ": " << operation_line(*op, layout) << "\n";
                    first[s] = register_name(layout.variable.at(op->first_input)->register_number);
                    second[s] = register_name(layout.variable.at(op->second_input)->register_number);
                }
            write_multiplexer(out, name + "_a", first);
            write_multiplexer(out, name + "_b", second);
            out << "    " << unit_module_name(kind) << " #(.WIDTH(WIDTH)) " << name << " (.a(" << name << "_a), .b("
                << name << "_b), .y(" << name << "_y));\n\n";
        }
    }

    out << "    // Outputs: the registers that hold the results nothing reads.\n";
    for (int32_t id : outputs)
        out << "    assign out_" << id << " = "
            << register_name(layout.variable.at(result_variable_name(id))->register_number) << ";  // "
            << result_variable_name(id) << "\n";
    out << "endmodule\n";

    // The unit modules this top instantiates, and the adders inside the tree multiplier.
    std::set<UnitKind> used;
    for (const auto &entry : layout.instances)
        used.insert(entry.first);
    if (used.count(UnitKind::FastMultiplier))
        used.insert(UnitKind::FastAdder);
    for (UnitKind kind : all_kinds)
        if (used.count(kind))
            out << "\n" << unit_module_text(kind);
    return out.str();
}

bool write_verilog_file(const Datapath &datapath, DesignStage stage, const std::string &path) {
    const std::string text = datapath_verilog(datapath, stage);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    return static_cast<bool>(file.flush());
}

}  // namespace velnor
