// JSON text for velnor-cli's outputs.
#include "cli/json_text.h"

#include <cmath>
#include <cstdio>

#include <QLocale>
#include <QString>

namespace velnor::cli {

std::string json_string(const std::string &text) {
    // Any bytes that are not UTF-8 become replacement characters, so the output stays valid JSON.
    const std::string utf8 = QString::fromStdString(text).toStdString();
    std::string out = "\"";
    for (char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::string json_number(double value) {
    if (!std::isfinite(value))
        return "null";
    return QString::number(value, 'g', QLocale::FloatingPointShortest).toStdString();
}

std::string json_bool(bool value) { return value ? "true" : "false"; }

void JsonObject::add(const char *name, const std::string &json_value) {
    if (layout_ == Layout::Indented)
        text_ += first_ ? "{\n  " : ",\n  ";
    else
        text_ += first_ ? "{" : ", ";
    first_ = false;
    text_ += json_string(name) + ": " + json_value;
}

void JsonObject::add_integers(const char *name, const std::vector<int32_t> &values) {
    std::string list = "[";
    for (std::size_t i = 0; i < values.size(); ++i)
        list += (i == 0 ? "" : ", ") + std::to_string(values[i]);
    add(name, list + "]");
}

std::string JsonObject::close() const {
    if (layout_ == Layout::OneLine)
        return (first_ ? std::string("{") : text_) + "}\n";
    return (first_ ? std::string("{") : text_ + "\n") + "}\n";
}

}  // namespace velnor::cli
