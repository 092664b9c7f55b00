// Bounded reading: lines as the readers see them, and the refusals of a line or
// a file beyond the bounds, from a regular file and a pipe; devices and
// folders are offered to the batch tool in the hostile input test.
#include "core/bounded_line_reader.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "tests/test_support.h"

namespace velnor {
namespace {

using test::ScratchDir;

std::vector<std::string> lines_of(const std::string &path) {
    BoundedLineReader reader(path);
    std::vector<std::string> lines;
    std::string line;
    while (reader.next(line))
        lines.push_back(line);
    EXPECT_EQ(reader.stop(), ReadStop::None);
    EXPECT_EQ(reader.line_number(), static_cast<int>(lines.size()));
    return lines;
}

// Why reading path stopped, and after how many whole lines.
std::pair<ReadStop, int> stop_of(const std::string &path) {
    BoundedLineReader reader(path);
    std::string line;
    while (reader.next(line)) {
    }
    return {reader.stop(), reader.line_number()};
}

TEST(BoundedLineReader, SplitsAtLineFeedsOnly) {
    ScratchDir dir;
    EXPECT_EQ(lines_of(dir.write("a.txt", "+ 0 0 1\n\n\r\n* 1 1 2")),
              (std::vector<std::string>{"+ 0 0 1", "", "\r", "* 1 1 2"}));
    EXPECT_EQ(lines_of(dir.write("b.txt", "")), std::vector<std::string>{});
    EXPECT_EQ(lines_of(dir.write("c.txt", std::string("a\0b\n", 4))), std::vector<std::string>{std::string("a\0b", 3)});
}

TEST(BoundedLineReader, ALineOfOneMebibyteIsTakenOneCharacterMoreIsRefused) {
    ScratchDir dir;
    const std::string longest(max_input_line_bytes, '7');
    EXPECT_EQ(lines_of(dir.write("ok.txt", "1\n" + longest + "\n2")).at(1), longest);
    EXPECT_EQ(stop_of(dir.write("long.txt", "1\n" + longest + "7\n2\n")), std::make_pair(ReadStop::LineTooLong, 1));
}

TEST(BoundedLineReader, ALargeRegularFileIsRefusedBeforeAnyRead) {
    ScratchDir dir;
    const std::string path = dir.write("sparse.txt", "");
    std::filesystem::resize_file(path, max_input_file_bytes + 1);  // sparse: costs no disk
    EXPECT_EQ(stop_of(path), std::make_pair(ReadStop::FileTooLarge, 0));
}

// A pipe has no size to look at: its bytes are counted as they come.
TEST(BoundedLineReader, APipeIsCutAtTheFileBound) {
    ScratchDir dir;
    const std::string fifo = dir.path() + "/pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Once the reader gives up, the writer's next write fails instead of killing the test.
    std::signal(SIGPIPE, SIG_IGN);
    std::thread writer([&fifo] {
        std::ofstream out(fifo, std::ios::binary);
        std::string lines(1 << 16, 'x');
        for (std::size_t end = 1023; end < lines.size(); end += 1024)
            lines[end] = '\n';
        for (std::uint64_t written = 0; written <= max_input_file_bytes && out; written += lines.size())
            out << lines;
    });
    EXPECT_EQ(stop_of(fifo).first, ReadStop::FileTooLarge);
    writer.join();
}

// A whole file at the limit, and one past it whose last read also reaches its end.
struct WholeFileCase {
    const char *name;
    std::size_t bytes;
    std::uint64_t limit;
    ReadStop stop;
};

class ReadWholeFile : public ::testing::TestWithParam<WholeFileCase> {};

TEST_P(ReadWholeFile, StopsPastTheLimit) {
    const test::ScratchDir scratch;
    const WholeFileCase &row = GetParam();
    const WholeFile file = read_whole_file(scratch.write("input", std::string(row.bytes, 'x')), row.limit);
    EXPECT_EQ(file.stop, row.stop);
    if (row.stop == ReadStop::None) {
        EXPECT_EQ(file.text.size(), row.bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ReadWholeFile,
    ::testing::Values(WholeFileCase{"Empty", 0, 100, ReadStop::None}, WholeFileCase{"AtTheLimit", 100, 100, ReadStop::None},
                      WholeFileCase{"OneBytePast", 101, 100, ReadStop::FileTooLarge},
                      WholeFileCase{"PastAtTheEndOfAChunk", 65537, 65536, ReadStop::FileTooLarge},
                      WholeFileCase{"ManyChunksPast", 300000, 65536 * 2, ReadStop::FileTooLarge}),
    [](const ::testing::TestParamInfo<WholeFileCase> &info) { return std::string(info.param.name); });

TEST(ReadWholeFile, CannotReadAMissingFileOrAFolder) {
    const test::ScratchDir scratch;
    EXPECT_EQ(read_whole_file(scratch.path() + "/missing").stop, ReadStop::ReadError);
    EXPECT_EQ(read_whole_file(scratch.path()).stop, ReadStop::ReadError);
}

}  // namespace
}  // namespace velnor
