// velnor-cli explore through the real binary: a line equals what `run --json`
// prints for its combination, keys files good and bad, the CSV form, the
// summary and the plot, and refused options with status 2 and one line.
#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "tests/cli/process_outcome.h"
#include "tests/test_support.h"

namespace {

using velnor::test::data_path;
using velnor::test::json_lines;
using velnor::test::ScratchDir;

using velnor::test::Outcome;

Outcome run_cli(const QStringList &arguments) {
    velnor::test::RunOptions options;
    options.whole_allocation_stacks = true;
    return velnor::test::run_program(VELNOR_CLI, arguments, options);
}

QString data(const char *name) { return QString::fromStdString(data_path(name)); }

QStringList explore_arguments(const QStringList &extra, const QString &sizes = "5 300") {
    return QStringList{"explore", "--dfg", data("dfg/fir.txt"), "--library", data("lib/library_a.txt"),
                       "--adders", "1 2", "--multipliers", "2", "--sizes", sizes} +
           extra;
}

// What `run --json` prints for the combination of an explored line: every
// member but the hash output equals the line's.
QJsonObject expect_line_is_its_run(const QJsonObject &line) {
    QStringList arguments = {"run", "--json", "--dfg", data("dfg/fir.txt"), "--library", data("lib/library_a.txt"),
                             "--adders", QString::number(line["adders"].toInt()), "--multipliers", "2", "--size",
                             QString::number(line["size"].toInt()), "--embedding", line["embedding"].toString(),
                             "--count", QString::number(line["count"].toInt()), "--encodings",
                             line["encodings"].toString(), "--rounds", line["rounds"].toString()};
    if (!line["order"].toString().isEmpty())
        arguments << "--order" << line["order"].toString();
    const Outcome run = run_cli(arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    const QJsonObject figures = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
    EXPECT_FALSE(figures.isEmpty());
    for (const QString &member : figures.keys()) {
        if (member == "hash_output")
            EXPECT_FALSE(line.contains(member));
        else
            EXPECT_EQ(line[member], figures[member]) << member.toStdString();
    }
    return figures;
}

// Keys from a file, two embeddings and two sizes: the embedding turns between
// the key and the size, and each line is the run of its combination.
TEST(CliExplore, ALineIsTheRunOfItsCombination) {
    ScratchDir dir;
    const std::string keys = dir.write("keys.txt", "# two keys\n--encodings \"3 7\" --order 10 --rounds '80 1 2 3'\n\n"
                                                   "--count 1 --encodings 4 --rounds \"9 9\"\n");
    const Outcome explored = run_cli(explore_arguments(
        {"--keys", QString::fromStdString(keys), "--threads", "2", "--embedding", "strong specified"}, "40 300"));
    ASSERT_EQ(explored.status, 0) << explored.err;
    const std::vector<QJsonObject> lines = json_lines(explored.out);
    ASSERT_EQ(lines.size(), 16u);  // 2 adder counts x 2 keys x 2 embeddings x 2 sizes
    std::vector<std::pair<QString, int>> order;
    for (std::size_t i = 0; i < 4; ++i)
        order.emplace_back(lines[i]["embedding"].toString(), lines[i]["size"].toInt());
    EXPECT_EQ(order, (std::vector<std::pair<QString, int>>{{"strong", 40}, {"strong", 300}, {"specified", 40},
                                                           {"specified", 300}}));
    EXPECT_FALSE(lines[2].contains("together"));

    const QJsonObject &specified = lines[15];  // adders 2, the second key, size 300
    EXPECT_EQ(specified["adders"].toInt(), 2);
    EXPECT_EQ(specified["encodings"].toString(), "4");
    const QJsonObject figures = expect_line_is_its_run(specified);
    EXPECT_DOUBLE_EQ(specified["overhead"].toDouble(),
                     figures["cost_phase2"].toDouble() / figures["initial_cost"].toDouble() - 1);
    EXPECT_LE(specified["distinguishing"].toInt(), figures["zero_count"].toInt() + figures["one_count"].toInt());
    EXPECT_GE(specified["pc_distinguishing"].toDouble(), figures["pc_phase2"].toDouble());
    EXPECT_GT(expect_line_is_its_run(lines[9])["together"].toInt(), 0);  // adders 2, the first key, strong, 300
}

TEST(CliExplore, RefusedCombinationsAreLinesAndTheRestRuns) {
    const Outcome listed = run_cli({"explore", "--dfg", data("dfg/fir.txt"), "--library", data("lib/library_a.txt"),
                                    "--adders", "0 1", "--multipliers", "2", "--sizes", "5", "--random-keys", "2"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    const std::vector<QJsonObject> lines = json_lines(listed.out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(lines[0]["error"].toString().startsWith("--adders: must be from 1 to 4"));
    EXPECT_FALSE(lines[0].contains("pc_phase2"));
    EXPECT_FALSE(lines[2].contains("error"));
}

TEST(CliExplore, CsvCarriesTheSameRowsUnderAHeader) {
    const QStringList arguments = explore_arguments({"--random-keys", "2", "--seed", "3"});
    const Outcome json = run_cli(arguments);
    const Outcome csv = run_cli(arguments + QStringList{"--csv"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    const QList<QByteArray> rows = QByteArray::fromStdString(csv.out).trimmed().split('\n');
    ASSERT_EQ(static_cast<std::size_t>(rows.size()), json_lines(json.out).size() + 1);
    const QList<QByteArray> header = rows[0].split(',');
    EXPECT_EQ(header.first(), "dfg");
    EXPECT_EQ(header.last(), "error");
    const QJsonObject first = json_lines(json.out)[0];
    const QList<QByteArray> cells = rows[1].split(',');
    ASSERT_EQ(cells.size(), header.size());
    EXPECT_EQ(cells[header.indexOf("pc_phase2")].toDouble(), first["pc_phase2"].toDouble());
    EXPECT_EQ(cells[header.indexOf("signature")], first["signature"].toString().toUtf8());
}

TEST(CliExplore, SummaryFrontsAndCheapestWithAPlot) {
    ScratchDir dir;
    const QString summary_file = QString::fromStdString(dir.path() + "/summary.json");
    const QString png = QString::fromStdString(dir.path() + "/plot.png");
    const QString svg = QString::fromStdString(dir.path() + "/plot.svg");
    const QStringList arguments =
        explore_arguments({"--random-keys", "6", "--summary", summary_file, "--target-pc", "1e-10"}, "20 100 512");
    const Outcome with_png = run_cli(arguments + QStringList{"--plot", png});
    ASSERT_EQ(with_png.status, 0) << with_png.err;
    EXPECT_EQ(with_png.err, "");
    const Outcome with_svg = run_cli(arguments + QStringList{"--plot", svg});
    ASSERT_EQ(with_svg.status, 0) << with_svg.err;

    const QImage image(png);
    EXPECT_EQ(image.size(), QSize(960, 640));
    EXPECT_NE(velnor::test::read_file(svg.toStdString()).find("<svg"), std::string::npos);

    const QJsonObject summary =
        QJsonDocument::fromJson(QByteArray::fromStdString(velnor::test::read_file(summary_file.toStdString()))).object();
    const QJsonObject core = summary["cores"].toArray()[0].toObject();
    EXPECT_EQ(core["dfg"].toString(), "fir.txt");
    EXPECT_EQ(core["combinations"].toInt(), 36);
    const QJsonArray front = core["front_pc_phase2"].toArray();
    ASSERT_FALSE(front.isEmpty());
    for (int i = 1; i < front.size(); ++i) {
        EXPECT_GT(front[i]["overhead"].toDouble(), front[i - 1]["overhead"].toDouble());
        EXPECT_LT(front[i]["pc_phase2"].toDouble(), front[i - 1]["pc_phase2"].toDouble());
    }
    // No line beats the cheapest that reaches the target.
    const QJsonObject cheapest = core["cheapest_pc_phase2"].toObject();
    ASSERT_FALSE(cheapest.isEmpty());
    EXPECT_LE(cheapest["pc_phase2"].toDouble(), 1e-10);
    for (const QJsonObject &line : json_lines(with_png.out)) {
        if (line["pc_phase2"].toDouble() <= 1e-10) {
            EXPECT_GE(line["overhead"].toDouble(), cheapest["overhead"].toDouble());
        }
    }
}

struct KeyLineRow {
    const char *name;
    const char *line;
    const char *encodings, *order, *rounds;
};

class KeysFileLine : public ::testing::TestWithParam<KeyLineRow> {};

// Each line is one key, read with shell quoting; the line's values reach the run.
TEST_P(KeysFileLine, ReadsTheKeyAsTheShellWould) {
    ScratchDir dir;
    const std::string keys = dir.write("keys.txt", std::string(GetParam().line) + "\n");
    const Outcome outcome = run_cli({"explore", "--dfg", data("dfg/fir.txt"), "--library", data("lib/library_a.txt"),
                                     "--adders", "2", "--multipliers", "2", "--sizes", "10", "--keys",
                                     QString::fromStdString(keys)});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const std::vector<QJsonObject> lines = json_lines(outcome.out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["encodings"].toString(), GetParam().encodings);
    EXPECT_EQ(lines[0]["order"].toString(), GetParam().order);
    EXPECT_EQ(lines[0]["rounds"].toString(), GetParam().rounds);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, KeysFileLine,
    ::testing::Values(
        KeyLineRow{"double_quotes", "--encodings \"3 7\" --order 10 --rounds \"80 1 2 3\"", "3 7", "10", "80 1 2 3"},
        KeyLineRow{"single_quotes_and_tabs", "\t--rounds '9 9'\t--encodings '4'", "4", "", "9 9"},
        KeyLineRow{"escaped_blank", "--encodings 3\\ 7 --rounds \"1 2 3 4\" --order 01", "3 7", "01", "1 2 3 4"},
        KeyLineRow{"quotes_inside_a_word", "--encodings 3\" \"7 --rounds \"5 5\"' 5 5' --order \"\"10", "3 7", "10",
                   "5 5 5 5"},
        KeyLineRow{"order_that_starts_with_a_dash", "--order -1 --encodings \"3 7\" --rounds \"1 1 1 1\"", "3 7",
                   "-1", "1 1 1 1"}),
    [](const auto &info) { return std::string(info.param.name); });

struct RefusedRow {
    const char *name;
    QStringList extra;  // replaces the key option when it names one
    const char *message_start;
};

class CliExploreRefused : public ::testing::TestWithParam<RefusedRow> {};

TEST(CliExplore, AKeysFileIsRefusedWithTheLineAtFault) {
    ScratchDir dir;
    const std::string keys = dir.write("keys.txt", "--encodings 1 --rounds \"80 80\"\n\n--encodings 2 --rounds \"80 80\" --colour red\n");
    const Outcome outcome = run_cli(explore_arguments({"--keys", QString::fromStdString(keys)}));
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err, "--keys: " + keys + ", line 3: '--colour' is not one of --count, --encodings, --order, --rounds\n");
}

TEST_P(CliExploreRefused, OneLineStatusTwoNothingPrinted) {
    ScratchDir dir;
    const std::string bad_keys = dir.write("bad.txt", "--encodings 1 --rounds \"80 80\"\n# fine so far\n"
                                                      "--encodings 1 --rounds \"80 80\" --colour red\n");
    QStringList extra = GetParam().extra;
    extra.replaceInStrings("BAD_KEYS", QString::fromStdString(bad_keys));
    if (!extra.contains("--keys") && !extra.contains("--random-keys"))
        extra << "--random-keys" << "1";
    const Outcome outcome = run_cli(explore_arguments({}) + extra);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err.rfind(GetParam().message_start, 0), 0u) << outcome.err;
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CliExploreRefused,
    ::testing::Values(
        RefusedRow{"keys_file_missing", {"--keys", "/nonexistent/keys.txt"}, "--keys: cannot read"},
        RefusedRow{"both_key_sources", {"--keys", "BAD_KEYS", "--random-keys", "2"}, "--keys: give either"},
        RefusedRow{"list_with_a_word", {"--subtractors", "1 two"}, "--subtractors: 'two' is not a whole number"},
        RefusedRow{"empty_list", {"--comparators", " "}, "--comparators: needs at least one number"},
        RefusedRow{"shard_zero", {"--shard", "0/3"}, "--shard: '0/3' is not K/N"},
        RefusedRow{"shard_past_the_end", {"--shard", "4/3"}, "--shard: '4/3' is not K/N"},
        RefusedRow{"no_threads", {"--threads", "0"}, "--threads: '0' is not a whole number from 1"},
        RefusedRow{"plot_format", {"--plot", "plot.pdf"}, "--plot: 'plot.pdf' must end in .svg or .png"},
        RefusedRow{"target_without_summary", {"--target-pc", "1e-9"}, "--target-pc: only taken with --summary"},
        RefusedRow{"unknown_embedding", {"--embedding", "specified weak"},
                   "--embedding: 'weak' is not an embedding; use specified or strong"},
        RefusedRow{"core_that_does_not_load", {"--dfg", "/nonexistent/core.txt"}, "--dfg: "}),
    [](const auto &info) { return std::string(info.param.name); });

}  // namespace
