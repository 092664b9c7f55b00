// The owner's record through the real binary: run and demo write it owner-only,
// verify --record gives what verify with every option gives, moved copies of
// the files are accepted by their bytes, and a record beside the run's options
// or one that cannot be written is refused with one line.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "tests/cli/process_outcome.h"
#include "tests/test_support.h"

namespace {

using velnor::test::data_path;
using velnor::test::Outcome;
using velnor::test::read_file;
using velnor::test::run_program;
using velnor::test::ScratchDir;

Outcome cli(const QStringList &arguments) { return run_program(VELNOR_CLI, arguments); }

QString q(const std::string &text) { return QString::fromStdString(text); }

QStringList options_of(const std::string &dfg, const QString &size) {
    return {"--dfg", q(dfg), "--library", q(data_path("lib/library_a.txt")), "--adders", "2", "--multipliers", "2",
            "--subtractors", "2", "--comparators", "2", "--encodings", "4", "--rounds", "80 80", "--size", size};
}

int line_count(const std::string &text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

TEST(CliRecord, VerifyFromTheRecordSaysWhatVerifyWithEveryOptionSays) {
    ScratchDir dir;
    const std::string record = dir.path() + "/gen_247.record.json";
    const std::string signed_file = dir.path() + "/signed.json";
    const QStringList options = options_of(data_path("characterization/gen_247.txt"), "512");
    const Outcome run = cli(QStringList{"run"} + options + QStringList{"--datapath", q(signed_file), "--record", q(record)});
    ASSERT_EQ(run.status, 0) << run.err;

    struct stat status {};
    ASSERT_EQ(::stat(record.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    for (const QStringList &extra : {QStringList{}, QStringList{"--json"}}) {
        const Outcome by_options = cli(QStringList{"verify", "--design", q(signed_file)} + options + extra);
        const Outcome by_record = cli(QStringList{"verify", "--design", q(signed_file), "--record", q(record)} + extra);
        ASSERT_EQ(by_options.status, 0) << by_options.err;
        EXPECT_EQ(by_record.status, 0) << by_record.err;
        EXPECT_EQ(by_record.out, by_options.out);
        EXPECT_EQ(by_record.err, "");
    }
}

TEST(CliRecord, MovedFilesAreFoundByTheirBytes) {
    ScratchDir dir;
    const std::string dfg = dir.write("fir.txt", read_file(data_path("dfg/fir.txt")));
    const std::string record = dir.path() + "/fir.record.json";
    const std::string signed_file = dir.path() + "/signed.json";
    ASSERT_EQ(cli(QStringList{"run"} + options_of(dfg, "40") + QStringList{"--datapath", q(signed_file), "--record", q(record)})
                  .status,
              0);
    const QStringList verify{"verify", "--design", q(signed_file), "--record", q(record)};
    const std::string moved = dir.path() + "/moved_fir.txt";
    ASSERT_EQ(std::rename(dfg.c_str(), moved.c_str()), 0);

    const Outcome gone = cli(verify);
    EXPECT_EQ(gone.status, 2);
    EXPECT_EQ(gone.err, "--record: fir.txt cannot be read at " + dfg + "\n");
    const Outcome copy = cli(verify + QStringList{"--dfg", q(moved)});
    EXPECT_EQ(copy.status, 4) << copy.err;  // fir at size 40 is inconclusive
    EXPECT_NE(copy.out.find("verdict : inconclusive\n"), std::string::npos) << copy.out;

    dir.write("moved_fir.txt", read_file(moved) + "+ 1 2 22\n");
    const Outcome other = cli(verify + QStringList{"--dfg", q(moved)});
    EXPECT_EQ(other.status, 2);
    EXPECT_EQ(other.err, "--dfg: moved_fir.txt is not the recorded fir.txt: its SHA-512 differs\n");

    dir.write("fir.txt", read_file(data_path("dfg/arf.txt")));  // another file where the record looks
    const Outcome changed = cli(verify);
    EXPECT_EQ(changed.status, 2);
    EXPECT_EQ(changed.err, "--record: fir.txt changed since the record was written\n");
}

struct RefusedLine {
    const char *name;
    QStringList extra;
    const char *message;
};

class CliRecordRefuses : public ::testing::TestWithParam<RefusedLine> {};

TEST_P(CliRecordRefuses, WithOneLineAndStatus2) {
    ScratchDir dir;
    const std::string not_a_record = dir.write("notes.json", "[]");
    QStringList arguments{"verify", "--design", q(dir.path() + "/suspect.json")};
    for (const QString &argument : GetParam().extra)
        arguments << QString(argument).replace("$NOTES", q(not_a_record));
    const Outcome v = cli(arguments);
    std::string message = GetParam().message;
    const auto at = message.find("$NOTES");
    if (at != std::string::npos)
        message.replace(at, 6, not_a_record);
    EXPECT_EQ(v.status, 2);
    EXPECT_EQ(v.out, "");
    EXPECT_EQ(v.err, message + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CliRecordRefuses,
    ::testing::Values(
        RefusedLine{"WithAdders", {"--record", "$NOTES", "--adders", "2"},
                    "--record: replaces the run's options; do not give --adders too"},
        RefusedLine{"WithSize", {"--size", "40", "--record", "$NOTES"},
                    "--record: replaces the run's options; do not give --size too"},
        RefusedLine{"WithEmbedding", {"--record", "$NOTES", "--embedding", "strong"},
                    "--record: replaces the run's options; do not give --embedding too"},
        RefusedLine{"WithoutAName", {"--record", ""}, "--record: needs a file name"},
        RefusedLine{"NotARecord", {"--record", "$NOTES"}, "--record: $NOTES: the document must be a JSON object"}),
    [](const ::testing::TestParamInfo<RefusedLine> &info) { return std::string(info.param.name); });

TEST(CliRecord, ARecordThatCannotBeWrittenEndsWithStatus1) {
    ScratchDir dir;
    const std::string record = dir.path() + "/no/such/folder/fir.record.json";
    const Outcome run = cli(QStringList{"run"} + options_of(data_path("dfg/fir.txt"), "40") + QStringList{"--record", q(record)});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("signature : "), std::string::npos);  // the run itself went through
    EXPECT_EQ(run.err, "--record: cannot write " + record + "\n");
}

TEST(CliRecord, DemoKeepsItsFilesBesideTheRecord) {
    ScratchDir dir;
    const std::string record = dir.path() + "/demo.record.json";
    const std::string signed_file = dir.path() + "/signed.json";
    const Outcome demo = cli({"demo", "--record", q(record), "--datapath", q(signed_file)});
    ASSERT_EQ(demo.status, 0) << demo.err;
    EXPECT_NE(read_file(dir.path() + "/demo_filter.txt"), "");
    EXPECT_NE(read_file(dir.path() + "/demo_library.txt"), "");
    EXPECT_NE(read_file(record).find("\"path\": \"" + dir.path() + "/demo_filter.txt\""), std::string::npos);
    const Outcome v = cli({"verify", "--design", q(signed_file), "--record", q(record)});
    EXPECT_EQ(v.err, "");
    EXPECT_NE(v.out.find("verdict : "), std::string::npos) << v.out;

    // The same files are kept on a second demo; a different file of that name is never overwritten.
    EXPECT_EQ(cli({"demo", "--record", q(record)}).status, 0);
    dir.write("demo_library.txt", "my own library\n");
    const Outcome refused = cli({"demo", "--record", q(record)});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(line_count(refused.err), 1) << refused.err;
    EXPECT_EQ(refused.err.rfind("--record: cannot write the demo's file " + dir.path() + "/demo_library.txt", 0), 0u)
        << refused.err;
    EXPECT_EQ(read_file(dir.path() + "/demo_library.txt"), "my own library\n");
}

}  // namespace
