// velnor-cli against hostile input, through the real binary: every run is a
// child with a time limit and (outside AddressSanitizer, which reserves vast
// address space for itself) an address-space limit, and its peak memory is
// measured. Refused input ends in status 2 with exactly one line on standard
// error; a pipe or FIFO gives the same figures as the plain file.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>

#include "tests/test_support.h"

#if defined(__SANITIZE_ADDRESS__)
#define VELNOR_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELNOR_UNDER_ASAN 1
#endif
#endif

namespace {

using velnor::test::chain_text;
using velnor::test::data_path;
using velnor::test::read_file;
using velnor::test::ScratchDir;

constexpr int time_limit_seconds = 10;
constexpr rlim_t address_space_limit = rlim_t{600} << 20;
constexpr long peak_memory_limit_kib = 300 * 1024;

struct Outcome {
    int status = -1;  // -1: killed or ended by a signal
    std::string out;
    std::string err;
    long peak_kib = 0;
    double seconds = 0;
};

// Runs script with bash (so that it may use process substitution and FIFOs),
// CLI, DATA and DIR set in its environment; the script execs velnor-cli.
Outcome run_bounded(const ScratchDir &dir, const std::string &script) {
    const std::string out_path = dir.path() + "/stdout", err_path = dir.path() + "/stderr";
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
#ifndef VELNOR_UNDER_ASAN
        const rlimit space{address_space_limit, address_space_limit};
        setrlimit(RLIMIT_AS, &space);
#endif
        setenv("CLI", VELNOR_CLI, 1);
        setenv("DATA", VELNOR_TEST_DATA, 1);
        setenv("DIR", dir.path().c_str(), 1);
        if (!freopen(out_path.c_str(), "w", stdout) || !freopen(err_path.c_str(), "w", stderr))
            _exit(127);
        execl("/bin/bash", "bash", "-c", script.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    Outcome outcome;
    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t ended = wait4(child, &status, WNOHANG, &usage);
        if (ended == child)
            break;
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(time_limit_seconds)) {
            kill(-child, SIGKILL);
            wait4(child, &status, 0, &usage);
            ADD_FAILURE() << "still running after " << time_limit_seconds << " s: " << script;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.peak_kib = usage.ru_maxrss;
    outcome.out = read_file(out_path);
    outcome.err = read_file(err_path);
    return outcome;
}

// library_a.txt with one number replaced: position (0-based) and its new text.
std::string library_with(std::size_t position, const std::string &value) {
    std::istringstream in(read_file(data_path("lib/library_a.txt")));
    std::string text, line;
    std::size_t seen = 0;
    while (std::getline(in, line)) {
        const std::size_t digit = line.find_first_of("0123456789");
        if (digit != std::string::npos && seen++ == position)
            line = line.substr(0, digit) + value;
        text += line + "\n";
    }
    return text;
}

// The options of a run over diffeq.txt and library A, less the files, and a key of one encoding.
const std::string units = " --adders 2 --multipliers 2 --subtractors 1 --comparators 1 --size 3";
const std::string one_encoding = " --encodings 1 --rounds '80 80'";
const std::string library_a = " --library \"$DATA/lib/library_a.txt\"";
const std::string diffeq = " --dfg \"$DATA/dfg/diffeq.txt\"";

// One refused input: files to write into DIR, the command after "$CLI run",
// and the start of the one line on standard error.
struct HostileCase {
    const char *name;
    std::vector<std::pair<std::string, std::string>> files;
    std::string arguments;
    std::string message;
};

void PrintTo(const HostileCase &c, std::ostream *out) { *out << c.name; }

class HostileInput : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileInput, RefusedInOneLineQuicklyAndSmall) {
    ScratchDir dir;
    for (const auto &[name, text] : GetParam().files)
        dir.write(name, text);
    const Outcome run = run_bounded(dir, "exec \"$CLI\" run " + GetParam().arguments);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind(GetParam().message, 0), 0u) << run.err.substr(0, 300);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err.substr(0, 300);
    EXPECT_LT(run.err.size(), 300u);
    EXPECT_LT(run.peak_kib, peak_memory_limit_kib);
}

const HostileCase hostile_cases[] = {
    {"Folder", {}, "--dfg \"$DIR\"" + library_a + units + one_encoding, "--dfg: cannot read "},
    {"DevZeroCore", {}, "--dfg /dev/zero" + library_a + units + one_encoding,
     "--dfg: zero line 1: the line is longer than 1 MiB\n"},
    {"DevZeroLibrary", {}, diffeq + " --library /dev/zero" + units + one_encoding,
     "--library: zero: line 1 is longer than 1 MiB\n"},
    {"HundredThousandOperations", {{"big.txt", chain_text(100000)}},
     "--dfg \"$DIR/big.txt\"" + library_a + units + one_encoding,
     "--dfg: big.txt has 100000 operations; the hash chain takes at most 895 with 1 encoding\n"},
    {"TwoEncodingsTakeFewerOperations", {{"mid.txt", chain_text(381)}},
     "--dfg \"$DIR/mid.txt\"" + library_a + units + " --encodings '1 5' --rounds '80 80 80 80'",
     "--dfg: mid.txt has 381 operations; the hash chain takes at most 380 with 2 encodings\n"},
    {"IdAtInt32Max", {{"g.txt", "+ 0 0 2147483647\n"}}, "--dfg \"$DIR/g.txt\"" + library_a + units + one_encoding,
     "--dfg: g.txt line 1: operation 2147483647 leaves a gap"},
    {"IdBeyondInt32Max", {{"g.txt", "+ 0 0 2147483648\n"}}, "--dfg \"$DIR/g.txt\"" + library_a + units + one_encoding,
     "--dfg: g.txt line 1: the number 2147483648 (the id, column 7) does not fit"},
    {"OperandAtInt32Max", {{"g.txt", "+ 0 0 1\n+ 2147483647 0 2\n"}},
     "--dfg \"$DIR/g.txt\"" + library_a + units + one_encoding,
     "--dfg: g.txt line 2: operation 2 reads operation 2147483647, which the file never defines\n"},
    {"FourHundredDigits", {{"g.txt", "+ 0 0 " + std::string(400, '9') + "\n"}},
     "--dfg \"$DIR/g.txt\"" + library_a + units + one_encoding,
     "--dfg: g.txt line 1: the number " + std::string(40, '9') + "... (the id, column 7) does not fit"},
    {"TenMillionDigits", {{"g.txt", "+ 0 0 " + std::string(10000000, '9') + "\n"}},
     "--dfg \"$DIR/g.txt\"" + library_a + units + one_encoding, "--dfg: g.txt line 1: the line is longer than 1 MiB\n"},
    {"LibraryOfHugeValues", {{"lib.txt", library_with(2, std::string(308, '9'))}},
     diffeq + " --library \"$DIR/lib.txt\"" + units + one_encoding,
     "--library: lib.txt: adder variant 1 area is 1e+308, above the largest value taken, 1e9"},
    {"EncodingsHoldingALineFeed", {}, diffeq + library_a + units + " --encodings $'1\\n5' --rounds '80 80'",
     "--encodings: '1\\n5' is not a list of distinct rule numbers"},
    {"CountOfFourHundredDigits", {}, diffeq + library_a + units + one_encoding + " --count " + std::string(400, '7'),
     "--count: '" + std::string(40, '7') + "...' is not a whole number\n"},
    {"LongUnknownOption", {}, diffeq + library_a + units + one_encoding + " --" + std::string(5000, 'x') + "$'\\t'",
     "velnor-cli: Unknown option '" + std::string(40, 'x') + "...'"},
};

INSTANTIATE_TEST_SUITE_P(Values, HostileInput, testing::ValuesIn(hostile_cases),
                         [](const auto &info) { return std::string(info.param.name); });

// The largest unit count an int holds, offered by the library and asked for,
// runs to the end (the sanitizer build stops on any overflow on the way).
TEST(HostileNumbers, LargestAdderCountRunsToTheEnd) {
    ScratchDir dir;
    dir.write("two.txt", "+ 0 0 1\n+ 0 0 2\n");
    dir.write("lib.txt", library_with(6, "2147483647"));
    const Outcome run = run_bounded(dir, "exec \"$CLI\" run --dfg \"$DIR/two.txt\" --library \"$DIR/lib.txt\" "
                                         "--adders 2147483647 --encodings 1 --rounds '80 80' --size 3");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\nsignature : "), std::string::npos) << run.out;
}

// The DSP core or the library read from a pipe or a FIFO gives the figures of
// the plain file.
struct StreamCase {
    const char *name;
    std::string script;
};

void PrintTo(const StreamCase &c, std::ostream *out) { *out << c.name; }

class StreamedInput : public testing::TestWithParam<StreamCase> {};

const std::string diffeq_run = "exec \"$CLI\" run --adders 2 --multipliers 2 --subtractors 1 --comparators 1 "
                               "--encodings '1 5' --rounds '80 80 80 80' --order 10 --size 30 ";

TEST_P(StreamedInput, SameFiguresAsThePlainFile) {
    ScratchDir dir;
    const Outcome plain = run_bounded(
        dir, diffeq_run + "--dfg \"$DATA/dfg/diffeq.txt\" --library \"$DATA/lib/library_a.txt\"");
    ASSERT_EQ(plain.status, 0) << plain.err;
    const Outcome streamed = run_bounded(dir, GetParam().script);
    EXPECT_EQ(streamed.status, 0) << streamed.err;
    EXPECT_EQ(streamed.out, plain.out);
    EXPECT_EQ(streamed.err, "");
}

const StreamCase stream_cases[] = {
    {"ProcessSubstitution",
     diffeq_run + "--dfg <(cat \"$DATA/dfg/diffeq.txt\") --library \"$DATA/lib/library_a.txt\""},
    {"FifoWithOneWriter", "mkfifo \"$DIR/core\" && { cat \"$DATA/dfg/diffeq.txt\" > \"$DIR/core\" & } && " + diffeq_run +
                              "--dfg \"$DIR/core\" --library \"$DATA/lib/library_a.txt\""},
    {"LibraryFifoWithOneWriter", "mkfifo \"$DIR/lib\" && { cat \"$DATA/lib/library_a.txt\" > \"$DIR/lib\" & } && " +
                                     diffeq_run + "--dfg \"$DATA/dfg/diffeq.txt\" --library \"$DIR/lib\""},
};

INSTANTIATE_TEST_SUITE_P(Values, StreamedInput, testing::ValuesIn(stream_cases),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace
