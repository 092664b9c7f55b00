// The SHA-512 of a file's bytes against coreutils' sha512sum, at the lengths
// where the padding changes shape and across the reader's chunks, and the
// files it refuses to hash.
#include "hash/file_digest.h"

#include <cstdio>

#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace velnor {
namespace {

// The digest sha512sum prints for path.
std::string sha512sum(const std::string &path) {
    FILE *pipe = ::popen(("sha512sum '" + path + "'").c_str(), "r");
    if (!pipe)
        return "sha512sum did not start";
    char digest[129] = {};
    const std::size_t got = std::fread(digest, 1, 128, pipe);
    ::pclose(pipe);
    return std::string(digest, got);
}

// length bytes that are not all alike, so a word taken in the wrong order shows.
std::string bytes_of_length(std::size_t length) {
    std::string bytes(length, '\0');
    for (std::size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>((i * 31 + 7) & 0xff);
    return bytes;
}

struct Length {
    const char *name;
    std::size_t bytes;
};

class FileDigestMatchesSha512sum : public ::testing::TestWithParam<Length> {};

TEST_P(FileDigestMatchesSha512sum, ForEveryLength) {
    const test::ScratchDir scratch;
    const std::string path = scratch.write("input", bytes_of_length(GetParam().bytes));
    const FileDigest digest = sha512_of_file(path);
    EXPECT_EQ(digest.stop, ReadStop::None);
    EXPECT_EQ(digest.sha512, sha512sum(path));
    EXPECT_EQ(sha512_of_bytes(bytes_of_length(GetParam().bytes)), digest.sha512);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, FileDigestMatchesSha512sum,
    ::testing::Values(Length{"Empty", 0}, Length{"OneByte", 1},
                      Length{"LengthStillFits", 111},     // the 0x80 and the 16-byte length fill the block exactly
                      Length{"LengthSpillsOver", 112},    // the length goes into a second padding block
                      Length{"OneShortOfABlock", 127}, Length{"OneBlock", 128}, Length{"BlockAndOne", 129},
                      Length{"AcrossReadChunks", 300001}),  // more than four of the reader's 64 KiB chunks
    [](const ::testing::TestParamInfo<Length> &info) { return std::string(info.param.name); });

TEST(FileDigest, RefusesWhatItCannotReadWhole) {
    const test::ScratchDir scratch;
    const std::string path = scratch.write("input", bytes_of_length(101));
    EXPECT_EQ(sha512_of_file(path, /*limit=*/100).stop, ReadStop::FileTooLarge);
    EXPECT_EQ(sha512_of_file(path, /*limit=*/101).stop, ReadStop::None);
    EXPECT_EQ(sha512_of_file(scratch.path() + "/missing").stop, ReadStop::ReadError);
    EXPECT_EQ(sha512_of_file(scratch.path()).stop, ReadStop::ReadError);  // a folder
    EXPECT_EQ(sha512_of_file(scratch.path()).sha512, "");
}

}  // namespace
}  // namespace velnor
