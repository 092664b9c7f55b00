// Reading velnor's own JSON documents (the datapath file, the owner's
// record): the member lookup that names a missing member by its path, and the
// check every document starts with, its format name and version. Each reader
// passes the reason its refusals carry.
#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "core/refusal.h"

namespace velnor {

// "name" at the top, "where.name" inside.
inline std::string json_path(const std::string &where, const char *name) {
    return where.empty() ? name : where + "." + name;
}

// The member name of object; refused as "where.name: missing".
inline const nlohmann::json &json_member(const nlohmann::json &object, const std::string &where, const char *name,
                                         Refusal::Reason reason) {
    const auto found = object.find(name);
    if (found == object.end())
        throw Refusal(reason, json_path(where, name) + ": missing");
    return *found;
}

// Parses text as one JSON object whose "format" is format and whose "version"
// is version; refused with reason, naming what is wrong.
inline nlohmann::json checked_json_document(const std::string &text, const char *format, int64_t version,
                                            Refusal::Reason reason) {
    nlohmann::json document = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (document.is_discarded())
        throw Refusal(reason, "not a JSON document");
    if (!document.is_object())
        throw Refusal(reason, "the document must be a JSON object");
    const nlohmann::json &named = json_member(document, "", "format", reason);
    if (!named.is_string() || named.get<std::string>() != format)
        throw Refusal(reason, std::string("format: must be \"") + format + "\"");
    const nlohmann::json &numbered = json_member(document, "", "version", reason);
    if (!numbered.is_number_integer() || numbered.get<int64_t>() != version)
        throw Refusal(reason, "version: must be " + std::to_string(version) + " (this velnor reads version " +
                                  std::to_string(version) + ")");
    return document;
}

}  // namespace velnor
