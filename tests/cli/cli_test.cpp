// velnor-cli through its real binary: a good run with files and JSON, the
// default output, every kind of refused value with its one-line message and
// status 2, an unwritable --out with status 1, and the demo from a folder
// that holds nothing.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include <map>
#include <sys/stat.h>

#include "tests/test_support.h"

namespace {

using velnor::test::data_path;
using velnor::test::read_file;
using velnor::test::ScratchDir;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

Outcome run_cli(const QStringList &arguments, const QString &folder = {}) {
    QProcess process;
    if (!folder.isEmpty())
        process.setWorkingDirectory(folder);
    process.start(VELNOR_CLI, arguments);
    Outcome outcome;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return outcome;
    outcome.status = process.exitCode();
    outcome.out = process.readAllStandardOutput().toStdString();
    outcome.err = process.readAllStandardError().toStdString();
    return outcome;
}

// The values of a good run over the FIR filter: 2 encodings, 20 bits.
std::map<QString, QString> good_values() {
    return {{"--dfg", QString::fromStdString(data_path("dfg/fir.txt"))},
            {"--library", QString::fromStdString(data_path("lib/library_a.txt"))},
            {"--adders", "2"},
            {"--multipliers", "2"},
            {"--encodings", "3 7"},
            {"--order", "10"},
            {"--rounds", "80 1 2 3"},
            {"--size", "20"}};
}

QStringList run_arguments(const std::map<QString, QString> &values, const QStringList &extra = {}) {
    QStringList arguments{"run"};
    for (const auto &[option, value] : values)
        arguments << option << value;
    return arguments + extra;
}

mode_t permissions(const std::string &path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

const char *const figure_labels[] = {
    "Initial area : ", "Max area : ", "Max latency : ", "area after phase 1 : ", "area after phase 2 : ",
    "Initial latency : ", "latency after phase 1 : ", "latency after phase 2 : ", "Initial cost : ",
    "cost after phase 1 : ", "cost after phase 2 : ", "probability of coincidence after phase 1 : ",
    "probability of coincidence after phase 2 : ", "number of zeros : ", "number of one's : ",
    "effective one's embedded : "};

TEST(CliRun, JsonWithOutHasEveryMemberAndWritesBothFiles) {
    ScratchDir dir;
    const Outcome run = run_cli(run_arguments(good_values(), {"--out", QString::fromStdString(dir.path()),
                                                              "--stamp", "T", "--json"}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");

    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << run.out;
    const QJsonObject json = document.object();
    const QStringList numbers{"operations",      "registers_before", "registers_after", "initial_area",
                              "initial_latency", "max_area",         "max_latency",     "area_phase1",
                              "area_phase2",     "latency_phase1",   "latency_phase2",  "initial_cost",
                              "cost_phase1",     "cost_phase2",      "pc_phase1",       "pc_phase2",
                              "zero_count",      "one_count",        "effective_one_count"};
    const QStringList strings{"dfg", "hash_output", "signature", "report_file", "key_file"};
    EXPECT_EQ(json.size(), numbers.size() + strings.size() + 1);
    for (const QString &name : numbers)
        EXPECT_TRUE(json.value(name).isDouble()) << name.toStdString();
    for (const QString &name : strings)
        EXPECT_TRUE(json.value(name).isString()) << name.toStdString();
    ASSERT_TRUE(json.value("embedded_one_operations").isArray());

    EXPECT_EQ(json["dfg"].toString(), "fir.txt");
    EXPECT_EQ(json["operations"].toInt(), 21);
    const QString hash = json["hash_output"].toString();
    const QString signature = json["signature"].toString();
    EXPECT_TRUE(QRegularExpression("^[01]{512}$").match(hash).hasMatch());
    EXPECT_EQ(signature, hash.left(20));
    EXPECT_EQ(json["zero_count"].toInt(), signature.count('0'));
    EXPECT_EQ(json["one_count"].toInt(), signature.count('1'));
    EXPECT_LE(json["effective_one_count"].toInt(), json["one_count"].toInt());
    EXPECT_GE(json["registers_after"].toInt(), json["registers_before"].toInt());
    const QJsonArray ones = json["embedded_one_operations"].toArray();
    EXPECT_EQ(ones.size(), json["effective_one_count"].toInt());
    for (int i = 0; i < ones.size(); ++i) {
        EXPECT_TRUE(ones[i].isDouble());
        EXPECT_LE(ones[i].toInt(), json["one_count"].toInt());
        if (i > 0) {
            EXPECT_LT(ones[i - 1].toInt(), ones[i].toInt());
        }
    }

    const std::string report_file = dir.path() + "/report_fir_T.txt";
    const std::string key_file = dir.path() + "/key_fir_T.txt";
    EXPECT_EQ(json["report_file"].toString().toStdString(), report_file);
    EXPECT_EQ(json["key_file"].toString().toStdString(), key_file);
    EXPECT_EQ(permissions(key_file), static_cast<mode_t>(0600));

    const std::string report = read_file(report_file);
    EXPECT_EQ(report.rfind("Input of 1st hash block: ", 0), 0u);
    EXPECT_NE(report.find("output of  hash block: B4  " + hash.toStdString() + "\n"), std::string::npos);
    EXPECT_NE(report.find("-----After embedding----------\n"), std::string::npos);

    // The key file: the key as typed (rounds 80 1 2 3 in 7-digit groups), then the figures.
    const std::string key = read_file(key_file);
    const QRegularExpression head(
        "^Adder : 2\nMultiplier : 2\n\nNumber of hash blocks : 2\n"
        "selected encoding function  : encoded string  \n3 : [01]{21}\n7 : [01]{21}\n\n\n"
        "key for selecting encoding for hash block : 10\n\nKey for number of rounds for each block :-\n"
        "1010000000000100000100000011 \\( 80 1 2 3 \\)\n\nInitial area : ");
    EXPECT_TRUE(head.match(QString::fromStdString(key)).hasMatch()) << key;
    EXPECT_NE(key.find("number of zeros : " + std::to_string(json["zero_count"].toInt()) + "\n"), std::string::npos);
    EXPECT_NE(key.find("Max area : " + QString::number(json["max_area"].toDouble(), 'g', 6).toStdString() + "\n"),
              std::string::npos);
}

TEST(CliRun, DefaultOutputIsTheKeyFilesFigureLinesThenTheSignature) {
    ScratchDir dir;
    const Outcome run =
        run_cli(run_arguments(good_values(), {"--out", QString::fromStdString(dir.path()), "--stamp", "T"}));
    ASSERT_EQ(run.status, 0) << run.err;
    const QStringList lines = QString::fromStdString(run.out).split('\n');
    ASSERT_EQ(lines.size(), 18);  // 16 figures, the signature, and nothing after the last line end
    for (int i = 0; i < 16; ++i)
        EXPECT_TRUE(lines[i].startsWith(figure_labels[i])) << lines[i].toStdString();
    EXPECT_TRUE(QRegularExpression("^signature : [01]{20}$").match(lines[16]).hasMatch());
    EXPECT_EQ(lines[17], "");

    // The same labels, numbers and order as the key file written by the same run.
    const std::string figures = run.out.substr(0, run.out.find("signature : "));
    const std::string key = read_file(dir.path() + "/key_fir_T.txt");
    EXPECT_EQ(key.substr(key.size() - figures.size()), figures);
}

TEST(CliRun, VerboseSendsTheDiagnosticLinesToStandardError) {
    const Outcome run = run_cli(run_arguments(good_values(), {"--verbose"}));
    ASSERT_EQ(run.status, 0);
    for (const char *line : {"next variable", "INPUT ORDER:\n", "Round count :\n", "area0 :", "max_area:"})
        EXPECT_NE(run.err.find(line), std::string::npos) << line;
    EXPECT_EQ(run.out.find("max_area:"), std::string::npos);
}

TEST(CliRun, OptionValuesMayBeginWithADash) {
    ScratchDir dir;
    auto values = good_values();
    values["--order"] = "-a";  // two characters, neither a '1': blocks 0 then 0
    const Outcome run = run_cli(run_arguments(values, {"--out", QString::fromStdString(dir.path()), "--stamp", "T"}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(read_file(dir.path() + "/key_fir_T.txt").find("for hash block : -a\n"), std::string::npos);
}

TEST(CliRun, CountsForTypesTheCoreLacksAreIgnored) {
    const Outcome run = run_cli(run_arguments(good_values(), {"--comparators", "7", "--subtractors", "0"}));
    EXPECT_EQ(run.status, 0) << run.err;
}

TEST(CliRun, UnwritableOutNamesBothFilesAndExitsWithOne) {
    ScratchDir dir;
    const std::string folder = dir.write("plain.txt", "x") + "/sub";
    const Outcome run = run_cli(run_arguments(good_values(), {"--out", QString::fromStdString(folder), "--stamp", "T"}));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "--out: cannot write the report file " + folder + "/report_fir_T.txt\n" +
                           "--out: cannot write the key file " + folder + "/key_fir_T.txt\n");
    EXPECT_NE(run.out.find("signature : "), std::string::npos);
}

TEST(CliDemo, RunsFromAFolderWithoutAnyFiles) {
    ScratchDir dir;
    const QString folder = QString::fromStdString(dir.path());
    const Outcome run = run_cli({"demo", "--out", ".", "--stamp", "D"}, folder);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(QRegularExpression("\nsignature : [01]{48}\n$").match(QString::fromStdString(run.out)).hasMatch());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
              (QStringList{"key_demo_filter_D.txt", "report_demo_filter_D.txt"}));
    EXPECT_EQ(permissions(dir.path() + "/key_demo_filter_D.txt"), static_cast<mode_t>(0600));

    const Outcome json = run_cli({"demo", "--json"}, folder);
    ASSERT_EQ(json.status, 0);
    const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
    EXPECT_EQ(object["dfg"].toString(), "demo_filter.txt");
    EXPECT_GE(object["operations"].toInt(), 15);
    EXPECT_LE(object["operations"].toInt(), 40);
    EXPECT_FALSE(object.contains("report_file"));
}

TEST(CliCommandLine, HelpAndVersionSucceed) {
    const Outcome help = run_cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("velnor-cli run  --dfg FILE --library FILE"), std::string::npos);
    const Outcome version = run_cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(QRegularExpression("^velnor-cli \\d+\\.\\d+\\.\\d+\n$")
                    .match(QString::fromStdString(version.out))
                    .hasMatch());
}

// One refused value: the options to change (an empty value removes the
// option), extra arguments, and the start of the one line on standard error.
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
    const std::string bad_dfg = dir.write("bad.txt", "+ 0 0 1\n* 1 3 2\n+ 0 0 3\n");
    const std::string bad_library = dir.write("lib.txt", "0 0 400 2 0 4 4\n");
    std::map<QString, QString> values = good_values();
    for (auto [option, value] : GetParam().changes) {
        value.replace("BAD_DFG", QString::fromStdString(bad_dfg));
        value.replace("BAD_LIBRARY", QString::fromStdString(bad_library));
        value.replace("DIR", QString::fromStdString(dir.path()));
        if (value.isEmpty())
            values.erase(option);
        else
            values[option] = value;
    }
    const QString out = QString::fromStdString(dir.path() + "/out");
    QDir().mkpath(out);
    // The demo row runs the demo; every other row is a run writing into out.
    const QStringList arguments = GetParam().extra.contains("demo")
                                      ? GetParam().extra
                                      : run_arguments(values, QStringList{"--out", out} + GetParam().extra);

    const Outcome run = run_cli(arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind(GetParam().message, 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_TRUE(QDir(out).isEmpty());
}

const RefusalCase refusal_cases[] = {
    {"UnknownOption", {}, {"--frobnicate", "1"}, "velnor-cli: Unknown option 'frobnicate'"},
    {"AbbreviatedOption", {}, {"--siz", "3"}, "velnor-cli: Unknown option 'siz'"},
    {"MissingValue", {}, {"--rounds"}, "velnor-cli: Missing value after '--rounds'"},
    {"RepeatedOption", {}, {"--size", "3"}, "--size: given more than once"},
    {"MissingSize", {{"--size", ""}}, {}, "--size: missing"},
    {"DemoWithARunOption", {}, {"demo", "--size", "3"}, "--size: not taken by demo"},
    {"ExtraArgument", {}, {"frob"}, "velnor-cli: unexpected argument 'frob'"},
    {"DfgUnreadable", {{"--dfg", "DIR/none.txt"}}, {}, "--dfg: cannot open "},
    {"DfgForwardReference", {{"--dfg", "BAD_DFG"}}, {}, "--dfg: bad.txt line 2: "},
    {"LibraryZeroArea", {{"--library", "BAD_LIBRARY"}}, {}, "--library: lib.txt: "},
    {"AddersNotANumber", {{"--adders", "2x"}}, {}, "--adders: '2x' is not a whole number\n"},
    {"AddersAboveLibrary",
     {{"--adders", "5"}},
     {},
     "--adders: must be from 1 to 4 (the library's largest number of adders), got 5\n"},
    {"AddersZero", {{"--adders", "0"}}, {}, "--adders: must be from 1 to 4"},
    {"MultipliersNegative", {{"--multipliers", "-1"}}, {}, "--multipliers: must be from 1 to 4"},
    {"AddersMissing",
     {{"--adders", ""}},
     {},
     "--adders: missing; the DSP core has additions, so a number of adders is needed\n"},
    {"ComparatorsNotANumber", {}, {"--comparators", "abc"}, "--comparators: 'abc' is not a whole number\n"},
    {"CountAboveNine", {}, {"--count", "10"}, "--count: the number of encodings must be from 1 to 9, got 10\n"},
    {"EncodingsRepeated", {{"--encodings", "3 3"}}, {}, "--encodings: '3 3' is not a list of distinct rule numbers"},
    {"EncodingsRuleTen", {{"--encodings", "3 10"}}, {}, "--encodings: '3 10' is not a list"},
    {"EncodingsLeadingSpace", {{"--encodings", " 3 7"}}, {}, "--encodings: ' 3 7' is not a list"},
    {"EncodingsFewerThanCount",
     {},
     {"--count", "3"},
     "--encodings: 2 rule numbers given, but --count asks for 3\n"},
    {"OrderWrongSize", {{"--order", "1"}}, {}, "--order: the key for 2 encodings has 2 characters, got 1\n"},
    {"OrderBlockTooLarge",
     {{"--encodings", "3 7 1"}, {"--order", "110000"}, {"--rounds", "1 2 3 4 5 6"}},
     {},
     "--order: each group of 2 characters must read, in binary, a block number below 3\n"},
    {"RoundsAboveEighty", {{"--rounds", "80 1 2 81"}}, {}, "--rounds: '80 1 2 81' is not a list of round counts"},
    {"RoundsTooFew",
     {{"--rounds", "80 1 2"}},
     {},
     "--rounds: 3 round counts given, but 4 blocks need one each (two per encoding)\n"},
    {"SizeNegative", {{"--size", "-1"}}, {}, "--size: constraint size should be between 0 and 528\n"},
    {"SizeAboveLargest", {{"--size", "529"}}, {}, "--size: constraint size should be between 0 and 528\n"},
    {"SizeNotANumber", {{"--size", "1e3"}}, {}, "--size: '1e3' is not a whole number\n"},
    {"FirstRefusalInFlowOrderWins", {{"--adders", "9"}, {"--size", "-1"}}, {}, "--adders: must be from 1 to 4"},
    {"StampWithSlash", {}, {"--stamp", "a/b"}, "--stamp: must not contain '/'"},
};

INSTANTIATE_TEST_SUITE_P(Values, Refusal, testing::ValuesIn(refusal_cases),
                         [](const testing::TestParamInfo<RefusalCase> &info) { return std::string(info.param.name); });

TEST(CliCommandLine, NoOrUnknownCommandIsAUsageError) {
    EXPECT_EQ(run_cli({}).status, 2);
    const Outcome unknown = run_cli({"frob"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "velnor-cli: unknown command 'frob'; use run or demo\n");
}

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
