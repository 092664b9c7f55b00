// JSON as velnor-cli prints it: objects with their members in the order added,
// two-space indents, strings always valid UTF-8 and doubles as the shortest
// text that reads back to the same number.
#pragma once

#include <string>

namespace velnor::cli {

// A quoted JSON string; bytes that are not UTF-8 become replacement characters.
std::string json_string(const std::string &text);

// The shortest round-trip form of value; null for an infinity or a NaN.
std::string json_number(double value);

std::string json_bool(bool value);

class JsonObject {
public:
    // json_value is already JSON text (a number, a string, an object, ...).
    void add(const char *name, const std::string &json_value);
    void add_number(const char *name, double value) { add(name, json_number(value)); }
    void add_integer(const char *name, long long value) { add(name, std::to_string(value)); }
    void add_string(const char *name, const std::string &value) { add(name, json_string(value)); }
    // The object's text and a line feed.
    std::string close() const;

private:
    std::string text_;
    bool first_ = true;
};

}  // namespace velnor::cli
