// velnor-cli attack through the real binary: the same seed gives the same
// lines whatever the threads, the summary agrees with the lines it sums up,
// the owner's record stands for the run's options, the plot is written, and
// refused options end with one line and status 2.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>

#include "tests/cli/process_outcome.h"
#include "tests/test_support.h"

namespace {

using velnor::test::data_path;
using velnor::test::json_lines;
using velnor::test::Outcome;
using velnor::test::read_file;
using velnor::test::ScratchDir;

Outcome cli(const QStringList &arguments) {
    velnor::test::RunOptions options;
    options.whole_allocation_stacks = true;  // the plot starts Qt's offscreen platform
    return velnor::test::run_program(VELNOR_CLI, arguments, options);
}

QString q(const std::string &text) { return QString::fromStdString(text); }

QStringList run_options() {
    return {"--dfg",      q(data_path("dfg/fir.txt")), "--library", q(data_path("lib/library_a.txt")),
            "--adders",   "2",                         "--multipliers", "2",
            "--encodings", "1",                        "--rounds",  "80 80",
            "--size",     "40"};
}

// A small attack: 3 fractions x 3 trials x 2 attacks, 3 reallocations, 3 forged keys.
QStringList small_attack(const QStringList &extra, const QString &seed = "7") {
    return QStringList{"attack"} + run_options() +
           QStringList{"--fractions", "0 0.5 1", "--trials", "3", "--keys", "3", "--seed", seed} + extra;
}

int line_count(const std::string &text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

TEST(CliAttack, TheSameSeedGivesTheSameLinesWhateverTheThreads) {
    const Outcome one = cli(small_attack({"--json", "--threads", "1"}));
    const Outcome three = cli(small_attack({"--json", "--threads", "3"}));
    ASSERT_EQ(one.status, 0) << one.err;
    ASSERT_EQ(three.status, 0) << three.err;
    EXPECT_EQ(three.out, one.out);
    EXPECT_EQ(one.err, "");
    const Outcome other_seed = cli(small_attack({"--json", "--threads", "3"}, /*seed=*/"8"));
    ASSERT_EQ(other_seed.status, 0) << other_seed.err;
    EXPECT_NE(other_seed.out, one.out);  // the forged keys at least are others
}

// What the lines of one attack and fraction (or one forge target) add up to.
struct Recount {
    int trials = 0, present = 0, absent = 0, inconclusive = 0;
    long long moved = 0, stuck = 0;
    std::vector<double> log10_pcs;
};

double log10_pc_of(const QJsonObject &line) {
    return line.contains("log10_pc_distinguishing") ? line["log10_pc_distinguishing"].toDouble()
                                                    : std::log10(line["pc_distinguishing"].toDouble());
}

class CliAttackSummary : public ::testing::TestWithParam<const char *> {};

TEST_P(CliAttackSummary, AgreesWithTheLines) {
    const Outcome attack = cli(small_attack({"--json", "--embedding", GetParam(), "--threads", "2"}));
    ASSERT_EQ(attack.status, 0) << attack.err;
    std::vector<QJsonObject> lines = json_lines(attack.out);
    ASSERT_EQ(lines.size(), 3u * 3 * 2 + 3 + 3 * 2 + 1);
    const QJsonObject summary = lines.back()["summary"].toObject();
    lines.pop_back();

    // Task order: per fraction the moves, then the rebinds; the reallocations; each key against both designs.
    std::vector<std::tuple<QString, double, int>> order;
    for (const QJsonObject &line : lines)
        order.emplace_back(line["attack"].toString(), line["fraction"].toDouble(-1), line["trial"].toInt());
    std::vector<std::tuple<QString, double, int>> expected;
    for (double fraction : {0.0, 0.5, 1.0})
        for (const char *kind : {"move", "rebind"})
            for (int trial = 0; trial < 3; ++trial)
                expected.emplace_back(kind, fraction, trial);
    for (int trial = 0; trial < 3; ++trial)
        expected.emplace_back("reallocate", -1, trial);
    for (int key = 0; key < 3; ++key)
        for (int target = 0; target < 2; ++target)
            expected.emplace_back("forge", -1, key);
    EXPECT_EQ(order, expected);

    std::map<std::pair<QString, QString>, Recount> recounts;  // (attack, fraction or target)
    for (const QJsonObject &line : lines) {
        ASSERT_FALSE(line.contains("error")) << QJsonDocument(line).toJson().toStdString();
        EXPECT_FALSE(line.contains("constraints"));
        const QString attack_name = line["attack"].toString();
        const QString where = attack_name == "forge" ? line["against"].toString()
                                                     : QString::number(line["fraction"].toDouble(1), 'g', 17);
        Recount &r = recounts[{attack_name, where}];
        ++r.trials;
        const QString verdict = line["verdict"].toString();
        r.present += verdict == "present";
        r.absent += verdict == "absent";
        r.inconclusive += verdict == "inconclusive";
        r.moved += line["moved"].toInt();
        r.stuck += line["stuck"].toInt();
        r.log10_pcs.push_back(log10_pc_of(line));
    }

    int rows = 0;
    for (const QString attack_name : {"move", "rebind", "reallocate", "forge"}) {
        for (const QJsonValue &value : summary[attack_name].toArray()) {
            const QJsonObject row = value.toObject();
            ++rows;
            const QString where = attack_name == "forge" ? row["against"].toString()
                                                         : QString::number(row["fraction"].toDouble(1), 'g', 17);
            SCOPED_TRACE((attack_name + " " + where).toStdString());
            ASSERT_EQ(recounts.count({attack_name, where}), 1u);
            Recount r = recounts[{attack_name, where}];
            std::sort(r.log10_pcs.begin(), r.log10_pcs.end());
            if (attack_name == "forge") {
                EXPECT_EQ(row["claims"].toInt(), r.trials);
                EXPECT_EQ(row["false_claims"].toInt(), r.present);
                EXPECT_NEAR(row["smallest_log10_pc_distinguishing"].toDouble(), r.log10_pcs.front(), 1e-9);
                continue;
            }
            EXPECT_EQ(row["trials"].toInt(), r.trials);
            EXPECT_EQ(row["present"].toInt(), r.present);
            EXPECT_EQ(row["absent"].toInt(), r.absent);
            EXPECT_EQ(row["inconclusive"].toInt(), r.inconclusive);
            EXPECT_NEAR(row["median_log10_pc_distinguishing"].toDouble(), r.log10_pcs[r.log10_pcs.size() / 2], 1e-9);
            EXPECT_NEAR(row["largest_log10_pc_distinguishing"].toDouble(), r.log10_pcs.back(), 1e-9);
            if (attack_name != "reallocate") {
                EXPECT_EQ(row["moved"].toInt(), r.moved);
            }
            if (attack_name == "move") {
                EXPECT_EQ(row["stuck"].toInt(), r.stuck);
            }
        }
    }
    EXPECT_EQ(rows, static_cast<int>(recounts.size()));
}

INSTANTIATE_TEST_SUITE_P(Embeddings, CliAttackSummary, ::testing::Values("specified", "strong"),
                         [](const auto &info) { return std::string(info.param); });

TEST(CliAttack, TheTableHasARowPerAttackAndFractionAndPerForgeTarget) {
    const Outcome table = cli(small_attack({}));
    ASSERT_EQ(table.status, 0) << table.err;
    const QStringList lines = q(table.out).split('\n');
    ASSERT_GE(lines.size(), 12);
    EXPECT_TRUE(lines[0].startsWith("attack")) << table.out;
    EXPECT_TRUE(lines[0].contains("median log10 pc")) << table.out;
    int move = 0, rebind = 0, reallocate = 0;
    for (const QString &line : lines) {
        move += line.startsWith("move ");
        rebind += line.startsWith("rebind ");
        reallocate += line.startsWith("reallocate ");
    }
    EXPECT_EQ(std::make_tuple(move, rebind, reallocate), std::make_tuple(3, 3, 1)) << table.out;
    // Every row of the first table is as long as its header: the columns line up.
    for (int row = 1; row <= 7; ++row)
        EXPECT_EQ(lines[row].size(), lines[0].size()) << lines[row].toStdString();
    EXPECT_TRUE(lines[9].startsWith("forged claims against")) << table.out;
    EXPECT_TRUE(lines[10].startsWith("signed ") && lines[10].contains(" of 3")) << table.out;
    EXPECT_TRUE(lines[11].startsWith("unsigned ") && lines[11].contains(" of 3")) << table.out;
}

TEST(CliAttack, TheRecordStandsForTheRunsOptions) {
    ScratchDir dir;
    const std::string record = dir.path() + "/fir.record.json";
    ASSERT_EQ(cli(QStringList{"run"} + run_options() + QStringList{"--record", q(record)}).status, 0);
    const QStringList plan{"--fractions", "0.2", "--trials", "3", "--keys", "2", "--json"};
    const Outcome by_options = cli(QStringList{"attack"} + run_options() + plan);
    const Outcome by_record = cli(QStringList{"attack", "--record", q(record)} + plan);
    ASSERT_EQ(by_options.status, 0) << by_options.err;
    EXPECT_EQ(by_record.status, 0) << by_record.err;
    EXPECT_EQ(by_record.out, by_options.out);
}

TEST(CliAttack, ThePlotIsWrittenAsSvgOrPng) {
    ScratchDir dir;
    const std::string svg = dir.path() + "/attack.svg";
    const std::string png = dir.path() + "/attack.png";
    const Outcome with_svg = cli(small_attack({"--plot", q(svg)}));
    ASSERT_EQ(with_svg.status, 0) << with_svg.err;
    EXPECT_EQ(with_svg.err, "");
    QXmlStreamReader xml(QByteArray::fromStdString(read_file(svg)));
    bool svg_root = false;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && !svg_root)
            svg_root = xml.name() == QLatin1String("svg");
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(svg_root);
    EXPECT_NE(read_file(svg).find("fraction tampered"), std::string::npos);

    ASSERT_EQ(cli(small_attack({"--plot", q(png)})).status, 0);
    EXPECT_EQ(QImage(q(png)).size(), QSize(960, 640));

    const std::string nowhere = dir.path() + "/no/such/folder/attack.svg";
    const Outcome unwritten = cli(small_attack({"--plot", q(nowhere)}));
    EXPECT_EQ(unwritten.status, 1);
    EXPECT_NE(unwritten.out.find("forged claims against"), std::string::npos);  // the summary still printed
    EXPECT_EQ(unwritten.err, "--plot: cannot write the plot " + nowhere + "\n");
}

struct RefusedRow {
    const char *name;
    QStringList arguments;  // after "attack"; RUN: the run's options; RECORD, DFG, LIB: files' paths
    const char *message;
};

class CliAttackRefused : public ::testing::TestWithParam<RefusedRow> {};

TEST_P(CliAttackRefused, WithOneLineAndStatus2) {
    ScratchDir dir;
    const std::string record = dir.path() + "/fir.record.json";
    ASSERT_EQ(cli(QStringList{"run"} + run_options() + QStringList{"--record", q(record)}).status, 0);
    QStringList arguments{"attack"};
    for (const QString &argument : GetParam().arguments) {
        if (argument == "RUN")
            arguments << run_options();
        else
            arguments << QString(argument)
                             .replace("RECORD", q(record))
                             .replace("DFG", q(data_path("dfg/fir.txt")))
                             .replace("LIB", q(data_path("lib/library_a.txt")));
    }
    const Outcome refused = cli(arguments);
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, std::string(GetParam().message) + "\n");
    EXPECT_EQ(line_count(refused.err), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CliAttackRefused,
    ::testing::Values(
        RefusedRow{"FractionAboveOne", {"RUN", "--fractions", "0 1.5"}, "--fractions: '1.5' is not a fraction from 0 to 1"},
        RefusedRow{"FractionNotANumber", {"RUN", "--fractions", "0 half"}, "--fractions: 'half' is not a fraction from 0 to 1"},
        RefusedRow{"FractionTwice", {"RUN", "--fractions", "0.5 0.50"}, "--fractions: '0.50' is given twice"},
        RefusedRow{"NoFractions", {"RUN", "--fractions", " "}, "--fractions: needs at least one fraction"},
        RefusedRow{"NoTrials", {"RUN", "--trials", "0"}, "--trials: '0' is not a whole number from 1 to 1000000"},
        RefusedRow{"NoKeys", {"RUN", "--keys", "none"}, "--keys: 'none' is not a whole number from 1 to 1000000"},
        RefusedRow{"BadSeed", {"RUN", "--seed", "-1"}, "--seed: must be a whole number from 0 to 18446744073709551615"},
        RefusedRow{"BadAlpha", {"RUN", "--alpha", "0"}, "--alpha: must be a number above 0 and at most 1"},
        RefusedRow{"NoThreads", {"RUN", "--threads", "0"}, "--threads: '0' is not a whole number from 1 to 1024"},
        RefusedRow{"PlotFormat", {"RUN", "--plot", "attack.pdf"}, "--plot: 'attack.pdf' must end in .svg or .png"},
        RefusedRow{"RecordWithAdders", {"--record", "RECORD", "--adders", "2"},
                   "--record: replaces the run's options; do not give --adders too"},
        RefusedRow{"RecordWithEmbedding", {"--record", "RECORD", "--embedding", "strong"},
                   "--record: replaces the run's options; do not give --embedding too"},
        RefusedRow{"UnknownOption", {"RUN", "--colour", "red"}, "velnor-cli: Unknown option 'colour'. (see velnor-cli --help)"},
        RefusedRow{"OutputOptionOfRun", {"RUN", "--out", "results"}, "velnor-cli: Unknown option 'out'. (see velnor-cli --help)"},
        RefusedRow{"GivenTwice", {"RUN", "--trials", "2", "--trials", "3"}, "--trials: given more than once"},
        RefusedRow{"MissingRunOption", {"--dfg", "fir.txt"}, "--library: missing; run needs it (see velnor-cli --help)"},
        RefusedRow{"RunValueRefused", {"--adders", "9", "--dfg", "DFG", "--library", "LIB", "--multipliers", "2",
                                       "--encodings", "1", "--rounds", "80 80", "--size", "40"},
                   "--adders: must be from 1 to 4 (the library's largest number of adders), got 9"}),
    [](const ::testing::TestParamInfo<RefusedRow> &info) { return std::string(info.param.name); });

}  // namespace
