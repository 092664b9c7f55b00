// The owner's record: the document as written, read back equal, each malformed
// member refused with its name, and the check that a recorded file or its
// moved copy still holds the recorded bytes. The record of a real run is
// checked through the window and velnor-cli.
#include "flow/owner_record.h"

#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "hash/file_digest.h"
#include "tests/test_support.h"

namespace velnor {
namespace {

OwnerRecord sample_record() {
    OwnerRecord record;
    record.dfg = {"/data/fir.txt", std::string(128, 'a')};
    record.library = {"/data/lib.txt", std::string(128, 'b')};
    record.adders = 2;
    record.multipliers = 1;
    record.comparators = 3;
    record.count = 2;
    record.encodings = {1, 5, 9};
    record.order = "10";
    record.rounds = {80, 64, 32, 16};
    record.size = 40;
    record.embedding = EmbeddingMode::Strong;
    return record;
}

TEST(OwnerRecord, WritesTheDocumentMemberByMember) {
    const std::string expected = "{\n"
                                 "  \"format\": \"velnor-record\",\n"
                                 "  \"version\": 1,\n"
                                 "  \"dfg\": {\"path\": \"/data/fir.txt\", \"sha512\": \"" + std::string(128, 'a') + "\"},\n"
                                 "  \"library\": {\"path\": \"/data/lib.txt\", \"sha512\": \"" + std::string(128, 'b') + "\"},\n"
                                 "  \"resources\": {\"adders\": 2, \"multipliers\": 1, \"subtractors\": null, \"comparators\": 3},\n"
                                 "  \"key\": {\"count\": 2, \"encodings\": [1, 5, 9], \"order\": \"10\", \"rounds\": [80, 64, 32, 16]},\n"
                                 "  \"size\": 40,\n"
                                 "  \"embedding\": \"strong\"\n"
                                 "}\n";
    EXPECT_EQ(owner_record_to_json(sample_record()), expected);
}

TEST(OwnerRecord, ReadsBackWhatItWritesIntoAnOwnerOnlyFile) {
    const test::ScratchDir scratch;
    const std::string path = scratch.path() + "/fir.record.json";
    scratch.write("fir.record.json", "an older record, readable by all");
    ::chmod(path.c_str(), 0644);
    write_owner_record(path, sample_record());

    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    const OwnerRecord read = read_owner_record(path);
    EXPECT_EQ(owner_record_to_json(read), owner_record_to_json(sample_record()));
    EXPECT_EQ(read.subtractors, std::nullopt);
    EXPECT_EQ(read.embedding, EmbeddingMode::Strong);
    // Nothing is left beside the record: the temporary file was renamed into place.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.path()), {}), 1);
}

struct Malformed {
    const char *name;
    const char *from;  // text to replace in the written document; empty: the whole document
    const char *to;
    const char *message;
};

class OwnerRecordRefuses : public ::testing::TestWithParam<Malformed> {};

TEST_P(OwnerRecordRefuses, NamingTheMember) {
    const Malformed &row = GetParam();
    std::string text = owner_record_to_json(sample_record());
    if (*row.from == '\0') {
        text = row.to;
    } else {
        const auto at = text.find(row.from);
        ASSERT_NE(at, std::string::npos) << row.from;
        text.replace(at, std::string(row.from).size(), row.to);
    }
    try {
        owner_record_from_json(text);
        FAIL() << "accepted";
    } catch (const Refusal &refusal) {
        EXPECT_EQ(refusal.reason(), Refusal::Reason::OwnerRecord);
        EXPECT_STREQ(refusal.what(), row.message);
    }
}

const std::string a128(128, 'a');
const std::string b128(128, 'b');
const std::string upper128(128, 'B');
const std::string a127(127, 'a');

INSTANTIATE_TEST_SUITE_P(
    Members, OwnerRecordRefuses,
    ::testing::Values(
        Malformed{"NotJson", "", "{\"format\": ", "not a JSON document"},
        Malformed{"NotAnObject", "", "[1, 2]", "the document must be a JSON object"},
        Malformed{"OtherFormat", "\"velnor-record\"", "\"velnor-datapath\"", "format: must be \"velnor-record\""},
        Malformed{"LaterVersion", "\"version\": 1", "\"version\": 2", "version: must be 1 (this velnor reads version 1)"},
        Malformed{"MissingKey", "\"key\":", "\"keys\":", "key: missing"},
        Malformed{"MissingRounds", "\"rounds\":", "\"round\":", "key.rounds: missing"},
        Malformed{"PathAsNumber", "\"/data/fir.txt\"", "7", "dfg.path: must be a string"},
        Malformed{"RelativePath", "\"/data/fir.txt\"", "\"data/fir.txt\"", "dfg.path: must be an absolute path"},
        Malformed{"ShortDigest", a128.c_str(), a127.c_str(), "dfg.sha512: must be 128 lowercase hexadecimal digits"},
        Malformed{"UppercaseDigest", b128.c_str(), upper128.c_str(),
                  "library.sha512: must be 128 lowercase hexadecimal digits"},
        Malformed{"LibraryAsText", "\"library\": {", "\"library\": \"lib.txt\", \"x\": {", "library: must be an object"},
        Malformed{"UnitsAsText", "\"adders\": 2", "\"adders\": \"2\"", "resources.adders: must be a whole number"},
        Malformed{"NoUnits", "\"multipliers\": 1", "\"multipliers\": 0",
                  "resources.multipliers: must be from 1 to 2147483647"},
        Malformed{"RoundAsText", "[80, 64, 32, 16]", "[80, 64, \"32\", 16]", "key.rounds[2]: must be a whole number"},
        Malformed{"EncodingsAsText", "[1, 5, 9]", "\"1 5 9\"", "key.encodings: must be an array of whole numbers"},
        Malformed{"OrderAsNumber", "\"order\": \"10\"", "\"order\": 10", "key.order: must be a string"},
        Malformed{"NoSuchRule", "[1, 5, 9]", "[1, 5, 10]", "key.encodings[2]: must be from 1 to 9"},
        Malformed{"RoundPastFullStrength", "[80, 64, 32, 16]", "[81, 64, 32, 16]", "key.rounds[0]: must be from 1 to 80"},
        Malformed{"NegativeSize", "\"size\": 40", "\"size\": -1", "size: must be from 0 to 2147483647"},
        Malformed{"HugeSize", "\"size\": 40", "\"size\": 18446744073709551615", "size: must be from 0 to 2147483647"},
        Malformed{"UnknownEmbedding", "\"strong\"", "\"weak\"", "embedding: must be \"specified\" or \"strong\""}),
    [](const ::testing::TestParamInfo<Malformed> &info) { return std::string(info.param.name); });

TEST(OwnerRecord, RefusesARecordFileItCannotRead) {
    const test::ScratchDir scratch;
    const std::string missing = scratch.path() + "/missing.json";
    const std::string large = scratch.write("large.json", std::string(max_record_bytes + 1, ' '));
    const std::string broken = scratch.write("broken.json", "{\"format\": \"velnor-record\"}");
    for (const auto &[path, message] :
         {std::pair{missing, missing + ": cannot be read"},
          std::pair{large, large + ": larger than 1 MiB, so not a record"},
          std::pair{broken, broken + ": version: missing"}}) {
        try {
            read_owner_record(path);
            ADD_FAILURE() << path << " accepted";
        } catch (const Refusal &refusal) {
            EXPECT_EQ(refusal.reason(), Refusal::Reason::OwnerRecord);
            EXPECT_EQ(refusal.what(), message);
        }
    }
}

// What becomes of the recorded fir.txt before verification, and whether a copy is given.
struct FileFate {
    const char *name;
    const char *bytes_at_its_place;  // null: the file is gone
    const char *copy_bytes;          // null: no copy given
    const char *message;             // null: accepted; "$DIR" stands for the scratch folder
};

const char recorded_bytes[] = "+ 0 0 1\n";

class RecordedFileCheck : public ::testing::TestWithParam<FileFate> {};

TEST_P(RecordedFileCheck, ByItsBytes) {
    const FileFate &row = GetParam();
    const test::ScratchDir scratch;
    const RecordedFile recorded{scratch.path() + "/fir.txt", sha512_of_bytes(recorded_bytes)};
    if (row.bytes_at_its_place)
        scratch.write("fir.txt", row.bytes_at_its_place);
    std::optional<std::string> copy;
    if (row.copy_bytes)
        copy = scratch.write("fir_copy.txt", row.copy_bytes);
    try {
        const std::string checked = checked_recorded_file(recorded, copy);
        EXPECT_EQ(row.message, nullptr) << "accepted";
        EXPECT_EQ(checked, copy.value_or(recorded.path));
    } catch (const Refusal &refusal) {
        ASSERT_NE(row.message, nullptr) << refusal.what();
        std::string message = row.message;
        const auto at = message.find("$DIR");
        if (at != std::string::npos)
            message.replace(at, 4, scratch.path());
        EXPECT_EQ(refusal.reason(), Refusal::Reason::OwnerRecord);
        EXPECT_EQ(refusal.what(), message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fates, RecordedFileCheck,
    ::testing::Values(FileFate{"Unchanged", recorded_bytes, nullptr, nullptr},
                      FileFate{"Changed", "+ 0 0 1\n+ 1 1 2\n", nullptr, "fir.txt changed since the record was written"},
                      FileFate{"Gone", nullptr, nullptr, "fir.txt cannot be read at $DIR/fir.txt"},
                      FileFate{"MovedCopyWithTheSameBytes", nullptr, recorded_bytes, nullptr},
                      FileFate{"CopyPreferredToTheChangedOriginal", "changed", recorded_bytes, nullptr},
                      FileFate{"MovedCopyWithOtherBytes", nullptr, "* 0 0 1\n",
                               "fir_copy.txt is not the recorded fir.txt: its SHA-512 differs"}),
    [](const ::testing::TestParamInfo<FileFate> &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velnor
