// velnor-cli through its real binary: a good run with files and JSON, each kind
// of refused value with its one-line message and status 2, an unwritable --out
// with status 1, and the demo from a folder that holds nothing.
#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include <map>

#include "tests/cli/process_outcome.h"
#include "tests/test_support.h"

namespace {

using velnor::test::data_path;
using velnor::test::ScratchDir;

using velnor::test::Outcome;

Outcome run_cli(const QStringList &arguments, const std::string &folder = {}) {
    return velnor::test::run_program(VELNOR_CLI, arguments, {QString::fromStdString(folder)});
}

// A good run over the FIR filter (2 encodings, 20 bits) with values changed and
// arguments added.
QStringList run_arguments(const std::map<QString, QString> &changes = {}, const QStringList &extra = {}) {
    std::map<QString, QString> values = {
        {"--dfg", QString::fromStdString(data_path("dfg/fir.txt"))},
        {"--library", QString::fromStdString(data_path("lib/library_a.txt"))},
        {"--adders", "2"}, {"--multipliers", "2"}, {"--encodings", "3 7"}, {"--order", "10"},
        {"--rounds", "80 1 2 3"}, {"--size", "20"}};
    for (const auto &[option, value] : changes)
        values[option] = value;
    QStringList arguments{"run"};
    for (const auto &[option, value] : values)
        arguments << option << value;
    return arguments + extra;
}

TEST(CliRun, JsonWithOutNamesBothFilesInAFolderMadeOnDemand) {
    ScratchDir dir;
    const QString out = QString::fromStdString(dir.path() + "/new/folder/");  // made on demand
    const Outcome run = run_cli(run_arguments({}, {"--out", out, "--stamp", "T", "--json"}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out;
    EXPECT_EQ(json["report_file"].toString().toStdString(), dir.path() + "/new/folder/report_fir_T.txt");
    EXPECT_EQ(json["key_file"].toString().toStdString(), dir.path() + "/new/folder/key_fir_T.txt");
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 2);
}

TEST(CliRun, UnwritableOutNamesBothFilesAndExitsWithOne) {
    ScratchDir dir;
    const std::string folder = dir.write("plain.txt", "x") + "/sub";
    const Outcome run = run_cli(run_arguments({}, {"--out", QString::fromStdString(folder), "--stamp", "T"}));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "--out: cannot write the report file " + folder + "/report_fir_T.txt\n" +
                           "--out: cannot write the key file " + folder + "/key_fir_T.txt\n");
}

TEST(CliDemo, RunsFromAFolderWithoutAnyFiles) {
    ScratchDir dir;
    const Outcome run = run_cli({"demo", "--out", ".", "--stamp", "D"}, dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(QRegularExpression("\nsignature : [01]{48}\n$").match(QString::fromStdString(run.out)).hasMatch());
    EXPECT_EQ(QDir(QString::fromStdString(dir.path())).entryList(QDir::Files, QDir::Name),
              (QStringList{"key_demo_filter_D.txt", "report_demo_filter_D.txt"}));
}

QJsonObject json_of(const Outcome &run) {
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error).object();
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out;
    return json;
}

TEST(CliStrong, RunNamesItsEmbeddingAndVerifyFindsItWithReproducibleNullSamples) {
    ScratchDir dir;
    const QString design = QString::fromStdString(dir.path() + "/signed.json");
    const QString unsigned_design = QString::fromStdString(dir.path() + "/unsigned.json");
    const std::map<QString, QString> full = {{"--size", "512"}};
    const Outcome run = run_cli(run_arguments(
        full, {"--embedding", "strong", "--json", "--datapath", design, "--datapath-before", unsigned_design}));
    ASSERT_EQ(run.status, 0) << run.err;
    const QJsonObject figures = json_of(run);
    EXPECT_EQ(figures["embedding"].toString(), "strong");
    ASSERT_GT(figures["together"].toInt(), 0);
    EXPECT_LT(figures["log10_pc"].toDouble(), -6);

    const QStringList verify_options = {"--embedding", "strong", "--design", design, "--null-samples", "300",
                                        "--seed", "9", "--json"};
    QStringList verify = run_arguments(full, verify_options);
    verify[0] = "verify";
    const Outcome found = run_cli(verify);
    ASSERT_EQ(found.status, 0) << found.err;
    const QJsonObject result = json_of(found);
    EXPECT_EQ(result["verdict"].toString(), "present");
    EXPECT_EQ(result["together"].toObject()["held"].toInt(), figures["together"].toInt());
    EXPECT_EQ(result["pc_all"].toDouble(), figures["pc_phase2"].toDouble());
    EXPECT_EQ(result["constraints"].toArray().first().toObject()["kind"].toString(), "together");
    EXPECT_TRUE(result["pc_empirical"].isDouble());
    EXPECT_EQ(run_cli(verify).out, found.out);  // the same seed, the same estimate

    // The unsigned design of the same run, also written by run, is read and found without the signature.
    verify[verify.indexOf("--design") + 1] = unsigned_design;
    const Outcome plain = run_cli(verify);
    EXPECT_EQ(plain.status, 3) << plain.err;
    EXPECT_EQ(json_of(plain)["verdict"].toString(), "absent");
}

TEST(CliStrong, OnlyARunThatChoosesAnEmbeddingNamesIt) {
    EXPECT_FALSE(json_of(run_cli(run_arguments({}, {"--json"}))).contains("embedding"));
    const QJsonObject chosen = json_of(run_cli(run_arguments({}, {"--json", "--embedding", "specified"})));
    EXPECT_EQ(chosen["embedding"].toString(), "specified");
    EXPECT_FALSE(chosen.contains("together"));
    const Outcome strong = run_cli(run_arguments({}, {"--embedding", "strong"}));
    EXPECT_TRUE(QRegularExpression("\nembedding : strong\ntogether constraints : \\d+\n"
                                   "log10 probability of coincidence : -?[0-9.e+-]+\nsignature : [01]{20}\n$")
                    .match(QString::fromStdString(strong.out))
                    .hasMatch())
        << strong.out;
}

// The hardware options add files and lines on standard error; standard output
// stays byte for byte what the run prints without them.
TEST(CliVerilog, FilesAndGateCountsLeaveStandardOutputAsItIs) {
    ScratchDir dir;
    // A small core keeps the two syntheses short.
    const std::map<QString, QString> small = {
        {"--dfg", QString::fromStdString(dir.write("tap.txt", "* 0 0 1\n* 0 0 2\n+ 1 2 3\n+ 3 0 4\n"))},
        {"--size", "12"}};
    const Outcome plain = run_cli(run_arguments(small));
    ASSERT_EQ(plain.status, 0) << plain.err;
    const std::string signed_file = dir.path() + "/signed.v", unsigned_file = dir.path() + "/unsigned.v";
    const Outcome run = run_cli(run_arguments(small, {"--verilog", QString::fromStdString(signed_file), "--verilog-before",
                                                   QString::fromStdString(unsigned_file), "--verilog-stats"}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, plain.out);
    const std::string signed_text = velnor::test::read_file(signed_file);
    const std::string unsigned_text = velnor::test::read_file(unsigned_file);
    EXPECT_EQ(signed_text.rfind("// tap: the DSP core tap.txt as a datapath.\n// Signed: ", 0), 0u);
    EXPECT_EQ(unsigned_text.rfind("// tap: the DSP core tap.txt as a datapath.\n// Unsigned: ", 0), 0u);
    EXPECT_NE(signed_text.find("\nmodule tap #(parameter WIDTH = 16) ("), std::string::npos);
    EXPECT_TRUE(QRegularExpression("^verilog-stats unsigned : cells [0-9]+ flip-flops [0-9]+ library area [0-9]+\n"
                                   "verilog-stats signed : cells [0-9]+ flip-flops [0-9]+ library area [0-9]+\n$")
                    .match(QString::fromStdString(run.err))
                    .hasMatch())
        << run.err;
}

TEST(CliVerilog, UnwritableFileIsNamedAndExitsWithOne) {
    const Outcome run = run_cli(run_arguments({}, {"--verilog", "/nonexistent-velnor-folder/fir.v"}));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "--verilog: cannot write /nonexistent-velnor-folder/fir.v\n");
    EXPECT_NE(run.out.find("\nsignature : "), std::string::npos);
}

// One row per kind of refused value: the options to change, extra arguments,
// and the start of the one line on standard error. A refused order key and
// size are characterization cases.
struct RefusalCase {
    const char *name;
    std::map<QString, QString> changes;
    QStringList extra;
    std::string message;
};

void PrintTo(const RefusalCase &c, std::ostream *out) { *out << c.name; }

class Refusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, OneLineNamingTheOptionAndStatusTwo) {
    ScratchDir dir;
    std::map<QString, QString> changes = GetParam().changes;
    if (changes.count("--dfg"))  // a graph whose operation 2 reads the later operation 3
        changes["--dfg"] = QString::fromStdString(dir.write("bad.txt", "+ 0 0 1\n* 1 3 2\n+ 0 0 3\n"));
    const QString out = QString::fromStdString(dir.path() + "/out");
    QDir().mkpath(out);
    const Outcome run = run_cli(run_arguments(changes, QStringList{"--out", out} + GetParam().extra));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind(GetParam().message, 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_TRUE(QDir(out).isEmpty());
}

const RefusalCase refusal_cases[] = {
    {"UnknownOption", {}, {"--siz", "3"}, "velnor-cli: Unknown option 'siz'"},
    {"VerilogWithoutFile", {}, {"--verilog", ""}, "--verilog: needs a file name\n"},
    {"File", {{"--dfg", "BAD"}}, {}, "--dfg: bad.txt line 2: "},
    {"Count", {{"--adders", "5"}}, {},
     "--adders: must be from 1 to 4 (the library's largest number of adders), got 5\n"},
    {"Encodings", {{"--encodings", "3 3"}}, {}, "--encodings: '3 3' is not a list of distinct rule numbers"},
    {"Rounds", {{"--rounds", "80 1 2"}}, {},
     "--rounds: 3 round counts given, but 4 blocks need one each (two per encoding)\n"},
    {"Embedding", {}, {"--embedding", "weak"}, "--embedding: 'weak' is not an embedding; use specified or strong\n"},
};

INSTANTIATE_TEST_SUITE_P(Values, Refusal, testing::ValuesIn(refusal_cases),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace
