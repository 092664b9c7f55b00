// What velnor-cli prints on standard output: the figures as labelled lines in
// the key file's format, or one JSON object.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/save.h"
#include "flow/flow.h"
#include "flow/run_figures.h"

namespace velnor::cli {

// A JSON string of UTF-8 text (other bytes become replacement characters).
std::string json_string(const std::string &text);

// A double as the shortest text that reads back as the same value; null when
// it is not finite.
std::string json_number(double value);

// Named values written one after another, as JSON members or as CSV cells.
class MemberSink {
public:
    virtual ~MemberSink() = default;
    virtual void add_number(const char *name, double value) = 0;
    virtual void add_integer(const char *name, long long value) = 0;
    virtual void add_string(const char *name, const std::string &value) = 0;
    virtual void add_integers(const char *name, const std::vector<int32_t> &values) = 0;
    virtual void add_null(const char *name) = 0;
};

// A JSON object built member by member, in the order they are added: indented
// over several lines, or on one line (JSON Lines).
class JsonObject : public MemberSink {
public:
    enum class Layout { Indented, OneLine };
    explicit JsonObject(Layout layout = Layout::Indented) : layout_(layout) {}
    // A member whose value is already JSON text.
    void add(const char *name, const std::string &json_value);
    void add_number(const char *name, double value) override { add(name, json_number(value)); }
    void add_integer(const char *name, long long value) override { add(name, std::to_string(value)); }
    void add_string(const char *name, const std::string &value) override { add(name, json_string(value)); }
    void add_integers(const char *name, const std::vector<int32_t> &values) override;
    void add_null(const char *name) override { add(name, "null"); }
    // The object's text and a line feed.
    std::string close() const;

private:
    Layout layout_;
    std::string text_;
    bool first_ = true;
};

// Which of `run --json`'s members from dfg to signature to write.
struct FigureMembers {
    bool dfg = true;
    bool hash_output = true;
};

// The members of `run --json` from dfg to signature.
void add_figure_members(MemberSink &sink, const RunFigures &run, FigureMembers which = {});

// One line per figure as in the key file, then "signature : " and the bits.
std::string figures_text(const FlowRun &run);

// One JSON object; saved is null when nothing was saved (no --out).
std::string figures_json(const FlowRun &run, const SaveOutcome *saved);

}  // namespace velnor::cli
