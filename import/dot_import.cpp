// The DOT importer. Graphviz's cgraph parses the text from memory (never a
// file Graphviz would open itself, so the size bound holds for devices and
// pipes too); its messages are caught instead of printed; the graph is then
// walked once in the order of the file and left behind.
#include "import/dot_import.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include <graphviz/cgraph.h>

#include "core/bounded_line_reader.h"
#include "core/quoted.h"
#include "core/refusal.h"
#include "hash/stego_key.h"

// cgraph's lexer reset, exported by libcgraph but not declared in its headers:
// the reset flex generates for the DOT lexer.
extern "C" int aaglex_destroy(void);

namespace velnor {
namespace {

struct OperatorName {
    const char *name;
    int32_t type;
    bool greater_or_equal;  // a compare form that --strict-compare leaves out
};

// Every operator name a DOT graph may use for an operation, once normalized.
// A greater-than or or-equal test becomes '<' with its operands in the graph's
// order, as the rule reads: the operands are not swapped, so "a > b" imports as
// the comparison of a and b in that order. --strict-compare keeps them out.
const OperatorName operator_names[] = {
    {"ADD", Add, false},       {"IADD", Add, false},       {"FADD", Add, false},      {"ADDU", Add, false},
    {"ADDI", Add, false},      {"PLUS", Add, false},       {"+", Add, false},         {"SUB", Subtract, false},
    {"ISUB", Subtract, false}, {"FSUB", Subtract, false},  {"SUBU", Subtract, false}, {"MINUS", Subtract, false},
    {"-", Subtract, false},    {"MUL", Multiply, false},   {"MULT", Multiply, false}, {"IMUL", Multiply, false},
    {"IMULT", Multiply, false}, {"FMUL", Multiply, false}, {"MULU", Multiply, false}, {"TIMES", Multiply, false},
    {"*", Multiply, false},    {"DIV", Divide, false},     {"IDIV", Divide, false},   {"FDIV", Divide, false},
    {"DIVU", Divide, false},   {"QUO", Divide, false},     {"/", Divide, false},      {"LT", Compare, false},
    {"SLT", Compare, false},   {"SLTU", Compare, false},   {"BLT", Compare, false},   {"BLTU", Compare, false},
    {"CMPLT", Compare, false}, {"LESS", Compare, false},   {"<", Compare, false},     {"GT", Compare, true},
    {"SGT", Compare, true},    {"BGT", Compare, true},     {"BGTU", Compare, true},   {"GE", Compare, true},
    {"SGE", Compare, true},    {"BGE", Compare, true},     {"BGEU", Compare, true},   {"LE", Compare, true},
    {"SLE", Compare, true},    {"BLE", Compare, true},     {"BLEU", Compare, true},   {">", Compare, true},
    {">=", Compare, true},     {"<=", Compare, true},
};

// The node attributes that may name the operator, in the order they are tried;
// the node's name comes last.
const char *const operator_attributes[] = {"label", "opcode", "op", "type"};

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// ---- Graphviz's messages --------------------------------------------------

// cgraph reports through one process-wide handler and parses with one
// process-wide lexer: one import at a time, its messages gathered here.
std::mutex graphviz_lock;
std::string graphviz_messages;

// The handler's parameter is char * or const char * depending on the Graphviz release.
template <typename Text>
int gather_graphviz_message(Text message) {
    graphviz_messages += message;
    return 0;
}

// The first error among the gathered messages, on one line without its "Error: ".
std::string first_graphviz_error() {
    const std::string mark = "Error: ";
    const std::size_t at = graphviz_messages.find(mark);
    const std::size_t start = at == std::string::npos ? 0 : at + mark.size();
    std::string line = graphviz_messages.substr(start, graphviz_messages.find('\n', start) - start);
    while (!line.empty() && is_blank(line.back()))
        line.pop_back();
    return one_line(line.empty() ? "a syntax error" : line);
}

struct GraphClose {
    void operator()(Agraph_t *graph) const { agclose(graph); }
};
using Graph = std::unique_ptr<Agraph_t, GraphClose>;

[[noreturn]] void refuse(const std::string &name, const std::string &what) {
    throw Refusal(Refusal::Reason::ImportFile, name + " " + what);
}

// The one graph of text. The lexer keeps what follows the first graph for the
// next read, so the rest is read here to the end: another graph is refused, and
// so is a syntax error after the first graph.
Graph parse_graph(const std::string &text, const std::string &name) {
    const std::lock_guard<std::mutex> lock(graphviz_lock);
    // Graphviz's lexer keeps its buffer and state from the last read, and a
    // read that stopped at an error leaves text behind that the next read
    // would take as the start of its own file. Resetting the lexer makes every
    // import read its own text only.
    aaglex_destroy();
    graphviz_messages.clear();
    const agusererrf previous = agseterrf(&gather_graphviz_message);
    agreseterrors();
    Graph graph(agmemread(text.c_str()));
    int more_graphs = 0;
    if (graph)
        while (Graph more{agmemread("")})
            ++more_graphs;
    const bool failed = agerrors() > 0;
    agseterrf(previous);
    if (failed)
        refuse(name, "cannot be read by Graphviz: " + first_graphviz_error());
    if (!graph)
        refuse(name, "holds no graph");
    if (more_graphs > 0)
        refuse(name, "holds " + std::to_string(more_graphs + 1) + " graphs; import takes one");
    return graph;
}

// ---- the graph's nodes ----------------------------------------------------

std::string attribute_value(Agraph_t *graph, void *object, int kind, const char *attribute) {
    std::string name = attribute;
    Agsym_t *symbol = agattr(graph, kind, name.data(), nullptr);
    if (!symbol)
        return {};
    const char *value = agxget(object, symbol);
    return value ? value : "";
}

// The text that names a node's operator: its first attribute that is set and
// not Graphviz's default "\N" (the node's name), else its name.
std::string operator_text(Agraph_t *graph, Agnode_t *node) {
    for (const char *attribute : operator_attributes) {
        const std::string value = attribute_value(graph, node, AGNODE, attribute);
        if (!value.empty() && value != "\\N")
            return value;
    }
    return agnameof(node);
}

struct Node {
    Agnode_t *node;
    std::string text;                 // the operator as written
    std::optional<int32_t> type;      // none: not an operation
    std::vector<Agedge_t *> incoming;  // of an operation: its incoming edges in operand order
};

// A node's incoming edges other than self-loops, in the order the file writes
// them; by their `operand` attribute instead when every one holds an integer.
std::vector<Agedge_t *> incoming_edges(Agraph_t *graph, Agnode_t *node) {
    std::vector<Agedge_t *> edges;
    for (Agedge_t *edge = agfstin(graph, node); edge; edge = agnxtin(graph, edge))
        if (agtail(edge) != node)
            edges.push_back(edge);
    // cgraph numbers edges in the order they are made, which is the file's.
    std::sort(edges.begin(), edges.end(), [](Agedge_t *a, Agedge_t *b) { return AGSEQ(a) < AGSEQ(b); });
    std::vector<std::pair<int, Agedge_t *>> numbered;
    for (Agedge_t *edge : edges) {
        const std::optional<int> operand = parse_typed_integer(attribute_value(graph, edge, AGEDGE, "operand"));
        if (!operand)
            return edges;
        numbered.emplace_back(*operand, edge);
    }
    std::stable_sort(numbered.begin(), numbered.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t i = 0; i < numbered.size(); ++i)
        edges[i] = numbered[i].second;
    return edges;
}

// Kahn's algorithm over the operations, always taking the ready operation met
// first in the file: the operations' indices into nodes, in id order.
std::vector<std::size_t> operations_in_id_order(const std::vector<Node> &nodes,
                                                const std::map<Agnode_t *, std::size_t> &index_of,
                                                const std::string &name) {
    std::vector<std::vector<std::size_t>> consumers(nodes.size());
    std::vector<std::size_t> waiting_for(nodes.size(), 0);
    std::set<std::size_t> ready;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (!nodes[i].type)
            continue;
        for (Agedge_t *edge : nodes[i].incoming) {
            const std::size_t producer = index_of.at(agtail(edge));
            if (nodes[producer].type) {
                consumers[producer].push_back(i);
                ++waiting_for[i];
            }
        }
        if (waiting_for[i] == 0)
            ready.insert(i);
    }
    std::vector<std::size_t> order;
    while (!ready.empty()) {
        const std::size_t next = *ready.begin();
        ready.erase(ready.begin());
        order.push_back(next);
        for (std::size_t consumer : consumers[next])
            if (--waiting_for[consumer] == 0)
                ready.insert(consumer);
    }
    for (std::size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i].type && waiting_for[i] > 0)
            refuse(name, "has a cycle among its operations, through node '" + quoted(agnameof(nodes[i].node)) + "'");
    return order;
}

}  // namespace

std::string normalized_operator(const std::string &text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && is_blank(text[begin]))
        ++begin;
    while (end > begin && is_blank(text[end - 1]))
        --end;
    std::string name = text.substr(begin, end - begin);
    for (char &c : name)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    std::size_t kept = name.size();
    while (kept > 0 && (is_blank(name[kept - 1]) || (name[kept - 1] >= '0' && name[kept - 1] <= '9') ||
                        name[kept - 1] == '_'))
        --kept;
    if (kept > 0)
        name.erase(kept);
    return name;
}

std::optional<int32_t> operator_type(const std::string &normalized, DotImportOptions options) {
    for (const OperatorName &entry : operator_names)
        if (normalized == entry.name && !(entry.greater_or_equal && options.strict_compare))
            return entry.type;
    return std::nullopt;
}

ImportedCore import_dot_text(const std::string &text, const std::string &path, DotImportOptions options) {
    const std::string name = file_name_of(path);
    // Graphviz reads a C string: a NUL byte would end the graph unseen.
    if (text.find('\0') != std::string::npos)
        refuse(name, "holds a NUL byte; a DOT file is text");
    const Graph graph = parse_graph(text, name);
    if (!agisdirected(graph.get()))
        refuse(name, "is an undirected graph; a data-flow graph is a digraph");

    // Nodes in the order of their first mention: cgraph numbers them so, subgraphs' nodes included.
    std::vector<Node> nodes;
    std::map<Agnode_t *, std::size_t> index_of;
    for (Agnode_t *node = agfstnode(graph.get()); node; node = agnxtnode(graph.get(), node)) {
        index_of[node] = nodes.size();
        Node entry{node, operator_text(graph.get(), node), std::nullopt, {}};
        entry.type = operator_type(normalized_operator(entry.text), options);
        if (entry.type)
            entry.incoming = incoming_edges(graph.get(), node);
        nodes.push_back(std::move(entry));
    }
    const std::vector<std::size_t> order = operations_in_id_order(nodes, index_of, name);

    std::vector<int32_t> id_of(nodes.size(), 0);  // 0: not an operation, so a primary input
    for (std::size_t i = 0; i < order.size(); ++i)
        id_of[order[i]] = static_cast<int32_t>(i + 1);
    std::vector<ImportedOperation> operations;
    for (std::size_t index : order) {
        const Node &node = nodes[index];
        const std::vector<Agedge_t *> &edges = node.incoming;
        ImportedOperation operation;
        operation.type = *node.type;
        // The first two operands; a missing one is a primary input.
        if (!edges.empty())
            operation.first_input = id_of[index_of.at(agtail(edges[0]))];
        if (edges.size() > 1)
            operation.second_input = id_of[index_of.at(agtail(edges[1]))];
        operation.origin = agnameof(node.node);
        operation.text = node.text;
        operations.push_back(std::move(operation));
    }
    return imported_core(operations, path);
}

ImportedCore import_dot(const std::string &path, DotImportOptions options) {
    const WholeFile file = read_whole_file(path, max_dot_file_bytes);
    switch (file.stop) {
    case ReadStop::FileTooLarge: refuse(file_name_of(path), "is larger than " + std::to_string(max_dot_file_bytes >> 20) + " MiB");
    case ReadStop::ReadError:
    case ReadStop::LineTooLong: throw Refusal(Refusal::Reason::ImportFile, "cannot read " + path);
    case ReadStop::None: break;
    }
    return import_dot_text(file.text, path, options);
}

}  // namespace velnor
