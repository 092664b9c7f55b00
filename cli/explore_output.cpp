// Rows are written through one member list (the inputs, the figures of
// `run --json`, the three figures an exploration adds), whether into a JSON
// object or a CSV record, so both forms always carry the same columns.
#include "cli/explore_output.h"

#include <utility>
#include <vector>

#include "cli/output.h"

namespace velnor::cli {
namespace {

// A CSV record whose cells are named, so a row without some members still
// lands in the right columns.
class CsvRecord : public MemberSink {
public:
    void add_number(const char *name, double value) override {
        const std::string text = json_number(value);
        add(name, text == "null" ? std::string() : text);
    }
    void add_integer(const char *name, long long value) override { add(name, std::to_string(value)); }
    void add_string(const char *name, const std::string &value) override { add(name, quoted(value)); }
    void add_integers(const char *name, const std::vector<int32_t> &values) override {
        std::string list;
        for (std::size_t i = 0; i < values.size(); ++i)
            list += (i == 0 ? "" : " ") + std::to_string(values[i]);
        add(name, list);
    }
    void add_null(const char *name) override { add(name, ""); }

    const std::vector<std::pair<std::string, std::string>> &cells() const { return cells_; }

private:
    void add(const char *name, std::string cell) { cells_.emplace_back(name, std::move(cell)); }

    // A cell holding a comma, a quote or a line break is quoted, quotes doubled.
    static std::string quoted(const std::string &text) {
        if (text.find_first_of(",\"\r\n") == std::string::npos)
            return text;
        std::string cell = "\"";
        for (char c : text)
            cell += c == '"' ? std::string("\"\"") : std::string(1, c);
        return cell + "\"";
    }

    std::vector<std::pair<std::string, std::string>> cells_;
};

void add_optional(MemberSink &sink, const char *name, const std::optional<int> &value) {
    if (value)
        sink.add_integer(name, *value);
    else
        sink.add_null(name);
}

void add_row(MemberSink &sink, const Exploration &exploration, const CombinationResult &result) {
    const Combination &c = result.combination;
    const ExplorationKey &key = exploration.keys[c.key];
    sink.add_string("dfg", exploration.cores[c.core].dfg_name);
    sink.add_integer("adders", exploration.adders[c.adders]);
    sink.add_integer("multipliers", exploration.multipliers[c.multipliers]);
    add_optional(sink, "subtractors", exploration.subtractors[c.subtractors]);
    add_optional(sink, "comparators", exploration.comparators[c.comparators]);
    sink.add_integer("count", key_encoding_count(key));
    sink.add_string("encodings", key.encodings.text);
    sink.add_string("order", key.order);
    sink.add_string("rounds", key.rounds.text);
    sink.add_string("embedding", embedding_mode_name(exploration.embeddings[c.embedding]));
    sink.add_integer("size", exploration.sizes[c.size]);
    if (result.error) {
        sink.add_string("error", *result.error);
        return;
    }
    add_figure_members(sink, result.run, FigureMembers{/*dfg=*/false, /*hash_output=*/false});
    sink.add_number("overhead", result.overhead);
    sink.add_integer("distinguishing", result.distinguishing);
    sink.add_number("pc_distinguishing", result.pc_distinguishing);
}

// The columns: a full row's members (a strong run's, which has every one), then error.
std::vector<std::string> csv_columns() {
    Exploration one;
    one.cores.resize(1);
    one.adders = one.multipliers = {1};
    one.keys.resize(1);
    one.sizes = {0};
    CombinationResult strong;
    strong.run.figures.mode = EmbeddingMode::Strong;
    CsvRecord record;
    add_row(record, one, strong);
    std::vector<std::string> columns;
    for (const auto &cell : record.cells())
        columns.push_back(cell.first);
    columns.push_back("error");
    return columns;
}

const std::vector<std::string> &columns() {
    static const std::vector<std::string> all = csv_columns();
    return all;
}

void add_result(JsonObject &json, const Exploration &exploration, const CombinationResult &result) {
    json.add_integer("index", static_cast<long long>(result.combination.index));
    add_row(json, exploration, result);
}

std::string front_json(const Exploration &exploration, const ParetoFront &front) {
    std::string text = "[";
    for (std::size_t i = 0; i < front.members().size(); ++i) {
        JsonObject member(JsonObject::Layout::OneLine);
        add_result(member, exploration, front.members()[i]);
        std::string line = member.close();
        line.pop_back();
        text += (i == 0 ? "\n      " : ",\n      ") + line;
    }
    return text + (front.members().empty() ? "]" : "\n    ]");
}

std::string cheapest_json(const Exploration &exploration, const std::optional<CheapestReaching> &cheapest) {
    if (!cheapest || !cheapest->best())
        return "null";
    JsonObject best(JsonObject::Layout::OneLine);
    add_result(best, exploration, *cheapest->best());
    std::string line = best.close();
    line.pop_back();
    return line;
}

}  // namespace

std::string exploration_json_line(const Exploration &exploration, const CombinationResult &result) {
    JsonObject json(JsonObject::Layout::OneLine);
    add_row(json, exploration, result);
    return json.close();
}

std::string exploration_csv_header() {
    std::string header;
    for (const std::string &column : columns())
        header += (header.empty() ? "" : ",") + column;
    return header + "\n";
}

std::string exploration_csv_line(const Exploration &exploration, const CombinationResult &result) {
    CsvRecord record;
    add_row(record, exploration, result);
    std::string line;
    std::size_t next = 0;
    for (std::size_t i = 0; i < columns().size(); ++i) {
        const bool present = next < record.cells().size() && record.cells()[next].first == columns()[i];
        line += (i == 0 ? "" : ",") + (present ? record.cells()[next++].second : std::string());
    }
    return line + "\n";
}

std::string summary_json(const Exploration &exploration, const ExplorationSummary &summary) {
    std::string cores;
    for (const CoreSummary &core : summary.cores()) {
        std::string text = "  {\n    \"dfg\": " + json_string(core.dfg) +
                           ",\n    \"combinations\": " + std::to_string(core.combinations) +
                           ",\n    \"refused\": " + std::to_string(core.refused) +
                           ",\n    \"front_pc_phase2\": " + front_json(exploration, core.phase2) +
                           ",\n    \"front_pc_distinguishing\": " + front_json(exploration, core.distinguishing) +
                           ",\n    \"cheapest_pc_phase2\": " + cheapest_json(exploration, core.cheapest_phase2) +
                           ",\n    \"cheapest_pc_distinguishing\": " +
                           cheapest_json(exploration, core.cheapest_distinguishing) + "\n  }";
        cores += (cores.empty() ? "\n" : ",\n") + text;
    }
    const std::string target = summary.target() ? json_number(*summary.target()) : "null";
    return "{\n\"target_pc\": " + target + ",\n\"cores\": [" + cores + "\n]\n}\n";
}

}  // namespace velnor::cli
