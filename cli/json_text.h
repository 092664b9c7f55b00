// JSON as velnor-cli prints it: objects with their members in the order added,
// two-space indents, strings always valid UTF-8 and doubles as the shortest
// text that reads back to the same number.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velnor::cli {

// A quoted JSON string; bytes that are not UTF-8 become replacement characters.
std::string json_string(const std::string &text);

// The shortest round-trip form of value; null for an infinity or a NaN.
std::string json_number(double value);

std::string json_bool(bool value);

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

// Members in the order added: indented over several lines, or on one line
// (JSON Lines).
class JsonObject : public MemberSink {
public:
    enum class Layout { Indented, OneLine };
    explicit JsonObject(Layout layout = Layout::Indented) : layout_(layout) {}
    // json_value is already JSON text (a number, a string, an object, ...).
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

}  // namespace velnor::cli
