// Yosys's JSON netlist read into velnor's Netlist, and the yosys run that
// writes it. The JSON is parsed whole, then the chosen module's ports and
// cells are converted one by one; anything of another shape is refused.
#include "tools/yosys_netlist.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unordered_map>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/refusal.h"
#include "tools/yosys_run.h"

namespace velnor {
namespace {

using json = nlohmann::json;

// Yosys writes modules, cells and connections about six levels deep; far
// deeper text is no netlist, and the parser need not walk it.
constexpr int deepest_nesting = 64;

// The largest JSON file yosys may leave for reading.
constexpr std::uintmax_t largest_json_file = std::uintmax_t{2} << 30;

[[noreturn]] void refuse(const std::string &message) { throw Refusal(Refusal::Reason::SuspectNetlist, message); }

// A name from the JSON made safe for a one-line message: control characters
// become '?', and a very long name is cut.
std::string printable(const std::string &name) {
    constexpr std::size_t longest = 120;
    std::string shown = name.substr(0, longest);
    for (char &c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    return name.size() > longest ? shown + "..." : shown;
}

void check_nesting(const std::string &text) {
    int depth = 0;
    bool in_string = false;
    bool escaped = false;
    for (const char c : text) {
        if (in_string) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                in_string = false;
        } else if (c == '"') {
            in_string = true;
        } else if (c == '[' || c == '{') {
            if (++depth > deepest_nesting)
                refuse("the netlist JSON is nested more than " + std::to_string(deepest_nesting) + " levels deep");
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
}

json parse(const std::string &text) {
    check_nesting(text);
    try {
        return json::parse(text);
    } catch (const json::exception &error) {
        std::string reason = error.what();
        // nlohmann's text starts with its own tag: "[json.exception.parse_error.101] ".
        const auto tag_end = reason.find("] ");
        if (reason.rfind("[json.exception", 0) == 0 && tag_end != std::string::npos)
            reason = reason.substr(tag_end + 2);
        refuse("the netlist JSON is malformed: " + printable(reason));
    }
}

const json &object_member(const json &object, const char *key, const std::string &owner) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_object())
        refuse(owner + " has no \"" + key + "\" object");
    return *found;
}

// Whether Yosys's "top" attribute is set: a string of binary digits with a 1, or a number other than 0.
bool marked_top(const json &module) {
    const auto attributes = module.find("attributes");
    if (attributes == module.end() || !attributes->is_object())
        return false;
    const auto top = attributes->find("top");
    if (top == attributes->end())
        return false;
    if (top->is_string())
        return top->get_ref<const std::string &>().find('1') != std::string::npos;
    if (top->is_number_integer())
        return top->get<int64_t>() != 0;
    return false;
}

std::pair<std::string, const json *> chosen_module(const json &document, const std::optional<std::string> &top) {
    if (!document.is_object())
        refuse("the netlist JSON is not an object");
    const json &modules = object_member(document, "modules", "the netlist JSON");
    if (top) {
        const auto found = modules.find(*top);
        if (found == modules.end() || !found->is_object())
            refuse("the netlist has no module named " + printable(*top));
        return {*top, &*found};
    }
    std::vector<json::const_iterator> marked;
    for (auto module = modules.begin(); module != modules.end(); ++module) {
        if (!module->is_object())
            refuse("the netlist's module " + printable(module.key()) + " is not an object");
        if (marked_top(*module))
            marked.push_back(module);
    }
    if (marked.size() == 1)
        return {marked[0].key(), &*marked[0]};
    if (marked.size() > 1)
        refuse("the netlist marks " + std::to_string(marked.size()) + " modules as the top");
    if (modules.size() == 1)
        return {modules.begin().key(), &*modules.begin()};
    if (modules.empty())
        refuse("the netlist JSON has no modules");
    refuse("the netlist has " + std::to_string(modules.size()) + " modules and none is marked as the top");
}

// Yosys's net numbers made dense NetIds from 2, in the order met.
class NetNumbers {
public:
    // The NetId of one bit of a connection list; owner names it for a refusal.
    NetId of(const json &bit, const std::string &owner) {
        if (bit.is_number_unsigned() || (bit.is_number_integer() && bit.get<int64_t>() >= 0)) {
            const uint64_t number = bit.get<uint64_t>();
            const auto found = ids_.find(number);
            if (found != ids_.end())
                return found->second;
            if (count_ - 2 >= largest_netlist_size)
                refuse("the netlist has more than " + std::to_string(largest_netlist_size) +
                       " nets, more than velnor reads");
            ids_.emplace(number, count_);
            return count_++;
        }
        if (bit.is_string()) {
            const std::string &constant = bit.get_ref<const std::string &>();
            if (constant == "1")
                return constant_one_net;
            if (constant == "0" || constant == "x" || constant == "z")
                return constant_zero_net;
        }
        refuse(owner + " has a bit that is neither a net number nor 0, 1, x or z");
    }
    int32_t count() const { return count_; }

private:
    std::unordered_map<uint64_t, NetId> ids_;
    int32_t count_ = 2;
};

void read_ports(const json &module, NetNumbers &nets, Netlist &netlist) {
    const auto ports = module.find("ports");
    if (ports == module.end())
        return;
    if (!ports->is_object())
        refuse("the module " + printable(netlist.top) + " has a \"ports\" member that is not an object");
    for (auto entry = ports->begin(); entry != ports->end(); ++entry) {
        const std::string owner = "the port " + printable(entry.key());
        if (!entry->is_object())
            refuse(owner + " is not an object");
        const auto direction = entry->find("direction");
        const auto bits = entry->find("bits");
        if (direction == entry->end() || !direction->is_string())
            refuse(owner + " has no direction");
        if (bits == entry->end() || !bits->is_array())
            refuse(owner + " has no bit list");
        NetlistPort port;
        port.name = entry.key();
        const std::string &way = direction->get_ref<const std::string &>();
        if (way == "inout")
            refuse(owner + " is an inout, which velnor does not simulate");
        if (way != "input" && way != "output")
            refuse(owner + " has the direction " + printable(way) + ", neither input nor output");
        port.input = way == "input";
        port.bits.reserve(bits->size());
        for (const json &bit : *bits)
            port.bits.push_back(nets.of(bit, owner));
        netlist.ports.push_back(std::move(port));
    }
}

struct GateType {
    const char *name;
    GateKind kind;
    int inputs;  // pins A, B, C, D in that order, or A, B, S for the multiplexers
};

constexpr std::array<GateType, 16> gate_types{{
    {"$_BUF_", GateKind::Buffer, 1},  {"$_NOT_", GateKind::Not, 1},       {"$_AND_", GateKind::And, 2},
    {"$_NAND_", GateKind::Nand, 2},   {"$_OR_", GateKind::Or, 2},         {"$_NOR_", GateKind::Nor, 2},
    {"$_XOR_", GateKind::Xor, 2},     {"$_XNOR_", GateKind::Xnor, 2},     {"$_ANDNOT_", GateKind::AndNot, 2},
    {"$_ORNOT_", GateKind::OrNot, 2}, {"$_MUX_", GateKind::Mux, 3},       {"$_NMUX_", GateKind::NotMux, 3},
    {"$_AOI3_", GateKind::Aoi3, 3},   {"$_OAI3_", GateKind::Oai3, 3},     {"$_AOI4_", GateKind::Aoi4, 4},
    {"$_OAI4_", GateKind::Oai4, 4},
}};

// A flip-flop type's shape, from the letters of its name.
struct FlipFlopType {
    bool enable = false;
    bool reset = false;
    FlipFlop polarity;  // the polarities, reset value and reset_over_enable
};

// Reads "$_DFF_P_", "$_DFFE_PE_", "$_SDFF_PRV_", "$_SDFFE_PRVE_" and
// "$_SDFFCE_PRVE_" (P: the clock, rising only; E, R: P or N; V: 0 or 1).
std::optional<FlipFlopType> flip_flop_type(const std::string &type) {
    struct Family {
        const char *prefix;
        bool enable, reset, reset_over_enable;
    };
    static const Family families[] = {{"$_DFF_", false, false, true},
                                      {"$_DFFE_", true, false, true},
                                      {"$_SDFF_", false, true, true},
                                      {"$_SDFFE_", true, true, true},
                                      {"$_SDFFCE_", true, true, false}};
    for (const Family &family : families) {
        const std::string prefix = family.prefix;
        const std::size_t letters = 1 + (family.reset ? 2 : 0) + (family.enable ? 1 : 0);
        if (type.size() != prefix.size() + letters + 1 || type.compare(0, prefix.size(), prefix) != 0 ||
            type.back() != '_')
            continue;
        const std::string code = type.substr(prefix.size(), letters);
        const auto polarity = [](char letter) -> std::optional<bool> {
            if (letter == 'P')
                return true;
            if (letter == 'N')
                return false;
            return std::nullopt;
        };
        if (code[0] != 'P')
            return std::nullopt;
        FlipFlopType shape;
        shape.enable = family.enable;
        shape.reset = family.reset;
        shape.polarity.reset_over_enable = family.reset_over_enable;
        std::size_t next = 1;
        if (family.reset) {
            const auto active = polarity(code[next]);
            const char value = code[next + 1];
            if (!active || (value != '0' && value != '1'))
                return std::nullopt;
            shape.polarity.reset_active_high = *active;
            shape.polarity.reset_value = value == '1';
            next += 2;
        }
        if (family.enable) {
            const auto active = polarity(code[next]);
            if (!active)
                return std::nullopt;
            shape.polarity.enable_active_high = *active;
        }
        return shape;
    }
    return std::nullopt;
}

// One cell's pins: each connected to exactly one bit, and no pin beyond them.
class CellPins {
public:
    CellPins(const std::string &name, const std::string &type, const json &cell, NetNumbers &nets)
        : owner_("the cell " + printable(name) + " of type " + printable(type)), nets_(nets) {
        const auto found = cell.find("connections");
        if (found == cell.end() || !found->is_object())
            refuse(owner_ + " has no connections");
        connections_ = &*found;
    }

    NetId input(const char *pin) { return nets_.of(single_bit(pin), owner_); }

    NetId output(const char *pin) {
        const NetId net = nets_.of(single_bit(pin), owner_);
        if (net == constant_zero_net || net == constant_one_net)
            refuse(owner_ + " drives a constant from its pin " + pin);
        return net;
    }

    // Called once every pin has been taken: refuses a pin the type does not have.
    void check_no_other_pins(std::size_t pins_taken) const {
        if (connections_->size() == pins_taken)
            return;
        for (auto entry = connections_->begin(); entry != connections_->end(); ++entry)
            if (std::find(taken_.begin(), taken_.end(), entry.key()) == taken_.end())
                refuse(owner_ + " has the pin " + printable(entry.key()) + ", which its type does not have");
    }

private:
    const json &single_bit(const char *pin) {
        const auto found = connections_->find(pin);
        if (found == connections_->end() || !found->is_array() || found->size() != 1)
            refuse(owner_ + " has no single-bit connection on its pin " + pin);
        taken_.emplace_back(pin);
        return (*found)[0];
    }

    std::string owner_;
    NetNumbers &nets_;
    const json *connections_ = nullptr;
    std::vector<std::string> taken_;
};

void read_cells(const json &module, NetNumbers &nets, Netlist &netlist) {
    const auto cells = module.find("cells");
    if (cells == module.end())
        return;
    if (!cells->is_object())
        refuse("the module " + printable(netlist.top) + " has a \"cells\" member that is not an object");
    if (cells->size() > static_cast<std::size_t>(largest_netlist_size))
        refuse("the netlist has " + std::to_string(cells->size()) + " cells, more than velnor reads (" +
               std::to_string(largest_netlist_size) + ")");
    static constexpr std::array<const char *, 4> gate_pins{"A", "B", "C", "D"};
    static constexpr std::array<const char *, 3> mux_pins{"A", "B", "S"};
    for (auto entry = cells->begin(); entry != cells->end(); ++entry) {
        if (!entry->is_object())
            refuse("the cell " + printable(entry.key()) + " is not an object");
        const auto type_member = entry->find("type");
        if (type_member == entry->end() || !type_member->is_string())
            refuse("the cell " + printable(entry.key()) + " has no type");
        const std::string &type = type_member->get_ref<const std::string &>();
        const auto gate_type = std::find_if(gate_types.begin(), gate_types.end(),
                                            [&type](const GateType &g) { return type == g.name; });
        if (gate_type != gate_types.end()) {
            CellPins pins(entry.key(), type, *entry, nets);
            const bool multiplexer = gate_type->kind == GateKind::Mux || gate_type->kind == GateKind::NotMux;
            Gate gate;
            gate.kind = gate_type->kind;
            for (int i = 0; i < gate_type->inputs; ++i)
                gate.inputs[static_cast<std::size_t>(i)] =
                    pins.input(multiplexer ? mux_pins[static_cast<std::size_t>(i)] : gate_pins[static_cast<std::size_t>(i)]);
            gate.output = pins.output("Y");
            pins.check_no_other_pins(static_cast<std::size_t>(gate_type->inputs) + 1);
            netlist.gates.push_back(gate);
            continue;
        }
        const std::optional<FlipFlopType> shape = flip_flop_type(type);
        if (!shape)
            refuse("the netlist has a cell of type " + printable(type) + " that velnor does not simulate");
        CellPins pins(entry.key(), type, *entry, nets);
        FlipFlop ff = shape->polarity;
        ff.type = type;
        ff.clock = pins.input("C");
        ff.d = pins.input("D");
        if (shape->enable)
            ff.enable = pins.input("E");
        if (shape->reset)
            ff.reset = pins.input("R");
        ff.q = pins.output("Q");
        pins.check_no_other_pins(3 + (shape->enable ? 1 : 0) + (shape->reset ? 1 : 0));
        netlist.flip_flops.push_back(std::move(ff));
    }
}

}  // namespace

Netlist netlist_from_yosys_json(const std::string &json_text, const std::optional<std::string> &top) {
    const json document = parse(json_text);
    const auto [name, module] = chosen_module(document, top);
    Netlist netlist;
    netlist.top = name;
    NetNumbers nets;
    read_ports(*module, nets, netlist);
    read_cells(*module, nets, netlist);
    netlist.net_count = nets.count();
    return netlist;
}

Netlist read_verilog_netlist(const std::string &verilog_path, const std::optional<std::string> &top, double seconds,
                             const std::optional<std::string> &search_path) {
    if (!std::ifstream(verilog_path))
        refuse("cannot read the Verilog file " + printable(verilog_path));
    // The name goes into yosys's command script, so it must not carry a command of its own.
    if (top && !plain_module_name(*top))
        refuse("the top module name " + printable(*top) + " is not a plain Verilog identifier");
    const ScratchFolder folder;
    if (!folder.made())
        refuse("cannot make a scratch folder for yosys");
    std::error_code error;
    const std::string source = std::filesystem::absolute(verilog_path, error).string();
    if (error)
        refuse("cannot read the Verilog file " + printable(verilog_path));

    // The file goes in as yosys's input file, never inside the script, so any
    // name works; the script only names the JSON in the scratch folder, yosys's
    // working folder. Nothing is optimised: processes become flip-flops and
    // multiplexers, the hierarchy is flattened, memories and word-level cells
    // become single-bit gates, and the suspect's flip-flops stay as it has them.
    const std::string selection = top ? "-top " + *top : "-auto-top";
    const auto script = [&selection](const std::string &processes) {
        return "hierarchy -check " + selection + "; " + processes +
               "; flatten; memory_collect; memory_map; opt_clean; techmap; opt_clean; write_json netlist.json";
    };
    // proc's search for asynchronous resets (proc_arst) takes most of yosys's
    // time on a gate netlist of thousands of one-bit processes, so the first
    // reading leaves it out. A suspect that needs it (a process on two edges)
    // fails that reading and is read again with it, so that its flip-flops
    // are named in the refusal.
    const std::string without_reset_search = "proc_clean; proc_rmdead; proc_prune; proc_init; proc_rom; proc_mux;"
                                             " proc_dlatch; proc_dff; proc_memwr; proc_clean";
    ChildResult run = run_yosys({"-q", "-f", "verilog -sv", source, "-p", script(without_reset_search)},
                                folder.path(), seconds, search_path);
    if (run.end == ChildEnd::Exited && run.exit_status != 0)
        run = run_yosys({"-q", "-f", "verilog -sv", source, "-p", script("proc")}, folder.path(), seconds,
                        search_path);
    if (const auto failure = yosys_failure(run, seconds))
        refuse(printable(*failure));

    const std::string json_path = folder.path() + "/netlist.json";
    const std::uintmax_t size = std::filesystem::file_size(json_path, error);
    if (error)
        refuse("yosys wrote no netlist for " + printable(verilog_path));
    if (size > largest_json_file)
        refuse("yosys wrote a netlist of " + std::to_string(size) + " bytes for " + printable(verilog_path) +
               ", more than velnor reads");
    std::ifstream in(json_path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.eof() && in.fail())
        refuse("cannot read the netlist yosys wrote for " + printable(verilog_path));
    return netlist_from_yosys_json(text, top);
}

}  // namespace velnor
