// The child process runner on small system programs: what it captures from
// each stream, exit statuses, arguments passed untouched, the working folder,
// a program missing from the search path, and the time limit.
#include "tools/child_process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/test_support.h"

namespace velnor {
namespace {

struct RunCase {
    const char *name;
    std::string program;
    std::vector<std::string> arguments;
    ChildEnd end;
    int exit_status;
    std::string standard_output;
    bool standard_error_empty;
};

void PrintTo(const RunCase &c, std::ostream *out) { *out << c.name; }

class ChildRun : public testing::TestWithParam<RunCase> {};

TEST_P(ChildRun, EndsAndCapturesAsExpected) {
    const RunCase &c = GetParam();
    ChildRequest request;
    request.program = c.program;
    request.arguments = c.arguments;
    request.seconds = 30;
    const ChildResult result = run_child_process(request);
    EXPECT_EQ(result.end, c.end) << result.failure;
    EXPECT_EQ(result.exit_status, c.exit_status);
    EXPECT_EQ(result.standard_output, c.standard_output);
    EXPECT_EQ(result.standard_error.empty(), c.standard_error_empty) << result.standard_error;
}

INSTANTIATE_TEST_SUITE_P(
    Programs, ChildRun,
    testing::Values(
        RunCase{"ArgumentsReachTheProgramUntouched", "printf", {"[%s][%s]", "a b'c\"d", "$HOME;*"},
                ChildEnd::Exited, 0, "[a b'c\"d][$HOME;*]", true},
        RunCase{"StatusAndStandardErrorOfAFailure", "ls", {"/velnor-no-such-folder"}, ChildEnd::Exited, 2, "",
                false},
        RunCase{"ProgramByPath", "/bin/echo", {"hello"}, ChildEnd::Exited, 0, "hello\n", true},
        RunCase{"ProgramMissingFromThePath", "velnor-no-such-program", {}, ChildEnd::NotFound, -1, "", true},
        RunCase{"ProgramPathMissing", "/velnor/no/such/program", {}, ChildEnd::NotFound, -1, "", true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ChildProcess, ReadsOutputFarBeyondAPipesBuffer) {
    ChildRequest request;
    request.program = "head";
    request.arguments = {"-c", "5000000", "/dev/zero"};
    const ChildResult result = run_child_process(request);
    EXPECT_EQ(result.end, ChildEnd::Exited);
    EXPECT_EQ(result.standard_output.size(), 5000000U);
}

TEST(ChildProcess, RunsInTheWorkingFolderGiven) {
    const test::ScratchDir dir;
    ChildRequest request;
    request.program = "pwd";
    request.working_directory = dir.path();
    const ChildResult result = run_child_process(request);
    EXPECT_EQ(result.standard_output, dir.path() + "\n");
    // A missing folder is no missing program.
    request.working_directory = dir.path() + "/absent";
    EXPECT_EQ(run_child_process(request).end, ChildEnd::NotStarted);
}

TEST(ChildProcess, SearchPathReplacesPath) {
    const test::ScratchDir empty;
    ChildRequest request;
    request.program = "ls";
    request.search_path = empty.path();
    EXPECT_EQ(run_child_process(request).end, ChildEnd::NotFound);
    // The child sees the replaced PATH too.
    request.program = "/usr/bin/printenv";
    request.arguments = {"PATH"};
    EXPECT_EQ(run_child_process(request).standard_output, empty.path() + "\n");
}

TEST(ChildProcess, IsKilledAtTheTimeLimit) {
    ChildRequest request;
    request.program = "sleep";
    request.arguments = {"30"};
    request.seconds = 0.2;
    const ChildResult result = run_child_process(request);
    EXPECT_EQ(result.end, ChildEnd::TimedOut);
}

}  // namespace
}  // namespace velnor
