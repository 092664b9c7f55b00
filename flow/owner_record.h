// The owner's record: every option of a signed run in one JSON document
// ("velnor-record", version 1), so that the owner verifies a suspect design
// months later from one file. Its input files are named by absolute path and
// by the SHA-512 of their bytes, so a file changed since is noticed and a
// moved copy is still recognised. Holds the stego key, so it is owner-only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/embedding_mode.h"
#include "flow/flow.h"

namespace velnor {

// An input file of the run as the record names it.
struct RecordedFile {
    std::string path;    // absolute
    std::string sha512;  // of the file's bytes, 128 lowercase hexadecimal characters
};

struct OwnerRecord {
    RecordedFile dfg;
    RecordedFile library;
    // Units per control step; none for a type the DSP core lacks.
    std::optional<int> adders, multipliers, subtractors, comparators;
    int count = 0;               // the number of encodings
    std::vector<int> encodings;  // every rule number given, also those beyond count
    std::string order;           // the order key as typed, possibly empty
    std::vector<int> rounds;
    int64_t size = 0;
    EmbeddingMode embedding = EmbeddingMode::Specified;
};

// The record of a run whose signature is embedded, its files hashed as they are
// now. Refused (OwnerRecord) when a file of the run can no longer be read.
OwnerRecord owner_record_of(const FlowRun &run);

// The document: one member a line, the nested objects each on their line.
std::string owner_record_to_json(const OwnerRecord &record);

// Parses and checks a document; refused (OwnerRecord) naming the member at
// fault ("key.rounds[2]: must be a whole number"). Unknown members are ignored.
OwnerRecord owner_record_from_json(const std::string &text);

// Writes the document atomically into an owner-only (0600) file, replacing
// path. Refused (FileNotWritten) naming path.
void write_owner_record(const std::string &path, const OwnerRecord &record);

// Reads a record file of at most max_record_bytes; refused (OwnerRecord) with
// the path in front when it cannot be read, is larger, or breaks the format.
OwnerRecord read_owner_record(const std::string &path);

// A record is a few hundred bytes; anything much larger is not one.
constexpr std::uint64_t max_record_bytes = std::uint64_t{1} << 20;

// The file to read for a recorded one: copy when given (the file moved), else
// the recorded path. Refused (OwnerRecord) when its bytes are not the recorded
// ones: "fir.txt changed since the record was written", or for a copy
// "fir_copy.txt is not the recorded fir.txt: its SHA-512 differs".
std::string checked_recorded_file(const RecordedFile &recorded, const std::optional<std::string> &copy);

}  // namespace velnor
