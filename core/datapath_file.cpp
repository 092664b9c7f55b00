// JSON form of a Datapath. The member checks mirror docs/datapath.schema.json,
// so a file that passes here passes the published schema and the other way
// round; each refusal names the member by its path in the document.
#include "core/datapath_file.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>
#include <regex>

#include <nlohmann/json.hpp>

#include "core/bounded_line_reader.h"
#include "core/json_document.h"

namespace velnor {
namespace {

using nlohmann::json;

const char format_name[] = "velnor-datapath";
constexpr int64_t format_version = 1;

[[noreturn]] void refuse(const std::string &where, const std::string &why) {
    throw Refusal(Refusal::Reason::DatapathFile, where + ": " + why);
}

const json &member(const json &object, const std::string &where, const char *name) {
    return json_member(object, where, name, Refusal::Reason::DatapathFile);
}

std::string path_of(const std::string &where, const char *name) { return json_path(where, name); }

int32_t integer(const json &object, const std::string &where, const char *name, int64_t least) {
    const json &value = member(object, where, name);
    if (!value.is_number_integer())
        refuse(path_of(where, name), "must be a whole number");
    const int64_t number = value.is_number_unsigned() && value.get<uint64_t>() > INT64_MAX
                               ? std::numeric_limits<int64_t>::max()
                               : value.get<int64_t>();
    if (number < least || number > std::numeric_limits<int32_t>::max())
        refuse(path_of(where, name),
               "must be from " + std::to_string(least) + " to " + std::to_string(std::numeric_limits<int32_t>::max()));
    return static_cast<int32_t>(number);
}

bool is_variable_name(const std::string &text) {
    static const std::regex name_form("(op|in):[1-9][0-9]{0,9}");
    return std::regex_match(text, name_form);
}

std::string variable_name(const json &value, const std::string &where) {
    if (!value.is_string() || !is_variable_name(value.get<std::string>()))
        refuse(where, "must be a variable name such as \"op:12\" or \"in:3\"");
    return value.get<std::string>();
}

const json &array(const json &object, const char *name) {
    const json &value = member(object, "", name);
    if (!value.is_array())
        refuse(name, "must be an array");
    return value;
}

DatapathOperation operation_from(const json &entry, const std::string &where) {
    if (!entry.is_object())
        refuse(where, "must be an object");
    DatapathOperation op;
    op.id = integer(entry, where, "id", 1);
    const json &type = member(entry, where, "type");
    const std::string types = "+-*/<";
    if (!type.is_string() || type.get<std::string>().size() != 1 ||
        types.find(type.get<std::string>()[0]) == std::string::npos)
        refuse(where + ".type", "must be one of \"+\", \"-\", \"*\", \"/\", \"<\"");
    op.type = type.get<std::string>()[0];
    op.step = integer(entry, where, "step", 1);
    const json &variant = member(entry, where, "variant");
    if (variant.is_null())
        op.variant = unbound_variant;
    else if (variant.is_number_integer() && (variant.get<int64_t>() == 1 || variant.get<int64_t>() == 2))
        op.variant = static_cast<ModuleVariant>(variant.get<int64_t>());
    else
        refuse(where + ".variant", "must be 1, 2 or null");
    const json &inputs = member(entry, where, "inputs");
    if (!inputs.is_array() || inputs.size() != 2)
        refuse(where + ".inputs", "must be an array of two variable names");
    op.first_input = variable_name(inputs[0], where + ".inputs[0]");
    op.second_input = variable_name(inputs[1], where + ".inputs[1]");
    op.output = variable_name(member(entry, where, "output"), where + ".output");
    // The producers follow from the names: "op:ID" is ID's result, "in:ID" a primary input.
    const auto producer = [](const std::string &name) {
        return name.compare(0, 3, "op:") == 0 ? static_cast<int32_t>(std::stoll(name.substr(3))) : 0;
    };
    op.first_operand = producer(op.first_input);
    op.second_operand = producer(op.second_input);
    return op;
}

DatapathVariable variable_from(const json &entry, const std::string &where) {
    if (!entry.is_object())
        refuse(where, "must be an object");
    DatapathVariable variable;
    variable.name = variable_name(member(entry, where, "name"), where + ".name");
    variable.birth = integer(entry, where, "birth", 0);
    variable.death = integer(entry, where, "death", 0);
    variable.register_number = integer(entry, where, "register", 1);
    return variable;
}

}  // namespace

std::string datapath_to_json(const Datapath &datapath) {
    // Ordered so that the members appear in the format's own order.
    using ordered = nlohmann::ordered_json;
    ordered operations = ordered::array();
    for (const DatapathOperation &op : datapath.operations)
        operations.push_back(ordered{{"id", op.id},
                                     {"type", std::string(1, op.type)},
                                     {"step", op.step},
                                     {"variant", op.variant == 1 || op.variant == 2 ? ordered(op.variant) : ordered()},
                                     {"inputs", ordered::array({op.first_input, op.second_input})},
                                     {"output", op.output}});
    ordered variables = ordered::array();
    for (const DatapathVariable &variable : datapath.variables)
        variables.push_back(ordered{{"name", variable.name},
                                    {"birth", variable.birth},
                                    {"death", variable.death},
                                    {"register", variable.register_number}});
    // One operation or variable a line, the rest pretty-printed: a diff of two files shows what moved.
    const auto dump = [](const ordered &value) { return value.dump(-1, ' ', false, ordered::error_handler_t::replace); };
    const auto lines = [&dump](const ordered &entries) {
        if (entries.empty())
            return std::string("[]");
        std::string text = "[";
        for (std::size_t i = 0; i < entries.size(); ++i)
            text += (i == 0 ? "\n    " : ",\n    ") + dump(entries[i]);
        return text + "\n  ]";
    };
    const ordered resources{{"adders", datapath.adders},
                            {"multipliers", datapath.multipliers},
                            {"subtractors", datapath.subtractors},
                            {"comparators", datapath.comparators}};
    const std::string source = datapath.source.empty() ? "" : ",\n  \"source\": " + dump(datapath.source);
    return "{\n  \"format\": " + dump(format_name) + ",\n  \"version\": " + dump(format_version) + source +
           ",\n  \"dfg\": " + dump(datapath.dfg) + ",\n  \"resources\": " + dump(resources) +
           ",\n  \"control_steps\": " + dump(datapath.control_steps) + ",\n  \"registers\": " +
           dump(datapath.registers) + ",\n  \"operations\": " + lines(operations) + ",\n  \"variables\": " +
           lines(variables) + "\n}\n";
}

Datapath datapath_from_json(const std::string &text) {
    const json document = checked_json_document(text, format_name, format_version, Refusal::Reason::DatapathFile);

    Datapath datapath;
    const json &dfg = member(document, "", "dfg");
    if (!dfg.is_string())
        refuse("dfg", "must be a string");
    datapath.dfg = dfg.get<std::string>();
    const auto source = document.find("source");
    if (source != document.end()) {
        if (!source->is_string() || source->get<std::string>() != "verilog")
            refuse("source", "must be \"verilog\" when present");
        datapath.source = source->get<std::string>();
    }
    const json &resources = member(document, "", "resources");
    if (!resources.is_object())
        refuse("resources", "must be an object");
    datapath.adders = integer(resources, "resources", "adders", 0);
    datapath.multipliers = integer(resources, "resources", "multipliers", 0);
    datapath.subtractors = integer(resources, "resources", "subtractors", 0);
    datapath.comparators = integer(resources, "resources", "comparators", 0);
    datapath.control_steps = integer(document, "", "control_steps", 0);
    datapath.registers = integer(document, "", "registers", 0);

    const json &operations = array(document, "operations");
    for (std::size_t i = 0; i < operations.size(); ++i)
        datapath.operations.push_back(operation_from(operations[i], "operations[" + std::to_string(i) + "]"));
    const json &variables = array(document, "variables");
    for (std::size_t i = 0; i < variables.size(); ++i)
        datapath.variables.push_back(variable_from(variables[i], "variables[" + std::to_string(i) + "]"));
    return datapath;
}

Datapath read_datapath_file(const std::string &path) {
    const WholeFile file = read_whole_file(path);
    if (file.stop != ReadStop::None)
        throw Refusal(Refusal::Reason::DatapathFile,
                      path + (file.stop == ReadStop::FileTooLarge ? ": larger than 64 MiB" : ": cannot be read"));
    try {
        return datapath_from_json(file.text);
    } catch (const Refusal &refusal) {
        throw Refusal(refusal.reason(), path + ": " + refusal.what());
    }
}

bool write_datapath_file(const std::string &path, const Datapath &datapath) {
    const std::string text = datapath_to_json(datapath);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return !out.fail();
}

}  // namespace velnor
