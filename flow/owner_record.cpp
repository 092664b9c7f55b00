// JSON form of the owner's record, its owner-only file, and the check that the
// files it names still hold the bytes the run read. Reading checks format and
// version first, then each member, and names the first one at fault.
#include "flow/owner_record.h"

#include <filesystem>
#include <limits>

#include <nlohmann/json.hpp>

#include "core/bounded_line_reader.h"
#include "core/json_document.h"
#include "core/private_file.h"
#include "hash/encoding.h"
#include "hash/file_digest.h"
#include "hash/hash_engine.h"

namespace velnor {
namespace {

using nlohmann::json;

const char format_name[] = "velnor-record";
constexpr int64_t format_version = 1;

[[noreturn]] void refuse(const std::string &where, const std::string &why) {
    throw Refusal(Refusal::Reason::OwnerRecord, where + ": " + why);
}

std::string path_of(const std::string &where, const char *name) { return json_path(where, name); }

const json &member(const json &object, const std::string &where, const char *name) {
    return json_member(object, where, name, Refusal::Reason::OwnerRecord);
}

const json &object_member(const json &object, const char *name) {
    const json &value = member(object, "", name);
    if (!value.is_object())
        refuse(name, "must be an object");
    return value;
}

// A whole number from least to most; where names it in a refusal.
int whole_number(const json &value, const std::string &where, int64_t least,
                 int64_t most = std::numeric_limits<int>::max()) {
    if (!value.is_number_integer())
        refuse(where, "must be a whole number");
    const bool huge = value.is_number_unsigned() && value.get<uint64_t>() > uint64_t{INT64_MAX};
    const int64_t number = huge ? std::numeric_limits<int64_t>::max() : value.get<int64_t>();
    if (number < least || number > most)
        refuse(where, "must be from " + std::to_string(least) + " to " + std::to_string(most));
    return static_cast<int>(number);
}

std::string text(const json &object, const std::string &where, const char *name) {
    const json &value = member(object, where, name);
    if (!value.is_string())
        refuse(path_of(where, name), "must be a string");
    return value.get<std::string>();
}

std::vector<int> whole_numbers(const json &object, const std::string &where, const char *name, int64_t least,
                               int64_t most) {
    const json &value = member(object, where, name);
    if (!value.is_array())
        refuse(path_of(where, name), "must be an array of whole numbers");
    std::vector<int> numbers;
    for (std::size_t i = 0; i < value.size(); ++i)
        numbers.push_back(whole_number(value[i], path_of(where, name) + "[" + std::to_string(i) + "]", least, most));
    return numbers;
}

bool is_digest(const std::string &digest) {
    return digest.size() == 128 && digest.find_first_not_of("0123456789abcdef") == std::string::npos;
}

RecordedFile recorded_file_from(const json &document, const char *name) {
    const json &object = object_member(document, name);
    RecordedFile file;
    file.path = text(object, name, "path");
    if (file.path.empty() || file.path.front() != '/')
        refuse(path_of(name, "path"), "must be an absolute path");
    file.sha512 = text(object, name, "sha512");
    if (!is_digest(file.sha512))
        refuse(path_of(name, "sha512"), "must be 128 lowercase hexadecimal digits");
    return file;
}

std::optional<int> unit_count_from(const json &resources, const char *name) {
    const json &value = member(resources, "resources", name);
    if (value.is_null())
        return std::nullopt;
    return whole_number(value, path_of("resources", name), 1);
}

// The file's name without its folder, as refusals name it.
std::string file_name(const std::string &path) { return std::filesystem::path(path).filename().string(); }

// The SHA-512 of a file the record names; path is how refusals show where it was looked for.
std::string digest_of(const std::string &path) {
    const FileDigest digest = sha512_of_file(path);
    if (digest.stop == ReadStop::FileTooLarge)
        throw Refusal(Refusal::Reason::OwnerRecord, file_name(path) + " is larger than 64 MiB");
    if (digest.stop != ReadStop::None)
        throw Refusal(Refusal::Reason::OwnerRecord, file_name(path) + " cannot be read at " + path);
    return digest.sha512;
}

RecordedFile recorded(const std::string &path) {
    const std::string absolute = std::filesystem::absolute(path).lexically_normal().string();
    return {absolute, digest_of(absolute)};
}

std::optional<int> unit_count_of(const Design &design, int32_t type) {
    if (design.operation_types.count(type) == 0)
        return std::nullopt;
    return unit_count(design, type);
}

// A value on one line: ", " between entries and ": " after names, as a person writes JSON.
std::string inline_value(const nlohmann::ordered_json &value) {
    if (value.is_object()) {
        std::string line = "{";
        for (auto entry = value.begin(); entry != value.end(); ++entry)
            line += (entry == value.begin() ? "" : ", ") + json(entry.key()).dump() + ": " + inline_value(entry.value());
        return line + "}";
    }
    if (value.is_array()) {
        std::string line = "[";
        for (std::size_t i = 0; i < value.size(); ++i)
            line += (i == 0 ? "" : ", ") + inline_value(value[i]);
        return line + "]";
    }
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace

OwnerRecord owner_record_of(const FlowRun &run) {
    OwnerRecord record;
    record.dfg = recorded(run.design.dfg_path);
    record.library = recorded(run.design.library_path);
    record.adders = unit_count_of(run.design, Add);
    record.multipliers = unit_count_of(run.design, Multiply);
    record.subtractors = unit_count_of(run.design, Subtract);
    record.comparators = unit_count_of(run.design, Compare);
    record.count = run.encoding_count;
    record.encodings = run.encodings;
    record.order = run.order_key;
    record.rounds = run.rounds;
    record.size = run.constraint_size;
    record.embedding = run.embedding.figures.mode;
    return record;
}

std::string owner_record_to_json(const OwnerRecord &record) {
    using ordered = nlohmann::ordered_json;
    const auto file = [](const RecordedFile &f) { return ordered{{"path", f.path}, {"sha512", f.sha512}}; };
    const auto count = [](const std::optional<int> &units) { return units ? ordered(*units) : ordered(); };
    const std::pair<const char *, ordered> members[] = {
        {"format", format_name},
        {"version", format_version},
        {"dfg", file(record.dfg)},
        {"library", file(record.library)},
        {"resources", ordered{{"adders", count(record.adders)},
                              {"multipliers", count(record.multipliers)},
                              {"subtractors", count(record.subtractors)},
                              {"comparators", count(record.comparators)}}},
        {"key", ordered{{"count", record.count},
                        {"encodings", record.encodings},
                        {"order", record.order},
                        {"rounds", record.rounds}}},
        {"size", record.size},
        {"embedding", embedding_mode_name(record.embedding)},
    };
    std::string document = "{";
    for (const auto &[name, value] : members)
        document += std::string(document.size() == 1 ? "\n  \"" : ",\n  \"") + name + "\": " + inline_value(value);
    return document + "\n}\n";
}

OwnerRecord owner_record_from_json(const std::string &text_of_file) {
    const json document =
        checked_json_document(text_of_file, format_name, format_version, Refusal::Reason::OwnerRecord);

    OwnerRecord record;
    record.dfg = recorded_file_from(document, "dfg");
    record.library = recorded_file_from(document, "library");
    const json &resources = object_member(document, "resources");
    record.adders = unit_count_from(resources, "adders");
    record.multipliers = unit_count_from(resources, "multipliers");
    record.subtractors = unit_count_from(resources, "subtractors");
    record.comparators = unit_count_from(resources, "comparators");
    const json &key = object_member(document, "key");
    // The ranges of the key's fields, so that a record edited by hand is refused here, naming its member.
    record.count = whole_number(member(key, "key", "count"), "key.count", 1, encoding_rule_count);
    record.encodings = whole_numbers(key, "key", "encodings", 1, encoding_rule_count);
    record.order = text(key, "key", "order");
    record.rounds = whole_numbers(key, "key", "rounds", 1, sha512_rounds);
    record.size = whole_number(member(document, "", "size"), "size", 0);
    const std::optional<EmbeddingMode> mode = embedding_mode_named(text(document, "", "embedding"));
    if (!mode)
        refuse("embedding", "must be \"specified\" or \"strong\"");
    record.embedding = *mode;
    return record;
}

void write_owner_record(const std::string &path, const OwnerRecord &record) {
    replace_private_file(path, owner_record_to_json(record));
}

OwnerRecord read_owner_record(const std::string &path) {
    const WholeFile file = read_whole_file(path, max_record_bytes);
    if (file.stop != ReadStop::None)
        throw Refusal(Refusal::Reason::OwnerRecord,
                      path + (file.stop == ReadStop::FileTooLarge ? ": larger than 1 MiB, so not a record"
                                                                  : ": cannot be read"));
    try {
        return owner_record_from_json(file.text);
    } catch (const Refusal &refusal) {
        throw Refusal(refusal.reason(), path + ": " + refusal.what());
    }
}

std::string checked_recorded_file(const RecordedFile &recorded_file, const std::optional<std::string> &copy) {
    const std::string path = copy.value_or(recorded_file.path);
    if (digest_of(path) == recorded_file.sha512)
        return path;
    if (copy)
        throw Refusal(Refusal::Reason::OwnerRecord, file_name(path) + " is not the recorded " +
                                                        file_name(recorded_file.path) + ": its SHA-512 differs");
    throw Refusal(Refusal::Reason::OwnerRecord, file_name(path) + " changed since the record was written");
}

}  // namespace velnor
