// Reading explore's options into an exploration (every list and file checked
// before the first run), then streaming the results in order to standard
// output while the summary gathers them.
#include "cli/explore_command.h"

#include <cmath>

#include <QCommandLineParser>
#include <QFile>
#include <QRegularExpression>

#include "cli/explore_output.h"
#include "cli/keys_file.h"
#include "cli/message_text.h"
#include "cli/option_values.h"
#include "cli/output.h"
#include "cli/pictures.h"
#include "cli/progress_bar.h"
#include "flow/exploration_runner.h"
#include "flow/random_keys.h"
#include "plot/exploration_plot.h"

namespace velnor::cli {

const char explore_usage_text[] =
    "  velnor-cli explore --dfg FILE [--dfg FILE ...] --library FILE\n"
    "                  --adders \"N ...\" --multipliers \"N ...\" [--subtractors \"N ...\"] [--comparators \"N ...\"]\n"
    "                  --sizes \"N ...\" (--keys FILE | --random-keys N [--seed S])\n"
    "                  [--embedding \"specified strong\"]\n"
    "                  [--threads T] [--shard K/N] [--csv] [--summary FILE] [--target-pc P] [--plot FILE]\n";

namespace {

const char *const single_value_options[] = {"library", "adders", "multipliers", "subtractors", "comparators",
                                            "sizes",   "keys",   "random-keys", "seed",        "threads", "embedding",
                                            "shard",   "summary", "target-pc",  "plot"};
const char *const required_options[] = {"dfg", "library", "adders", "multipliers", "sizes"};

[[noreturn]] void refuse(const std::string &option, const std::string &message) {
    throw Refusal(Refusal::Reason::CommandLine, "--" + option + ": " + message);
}

std::string quoted(const QString &text) { return cli::quoted(text.toStdString()); }

// A blank-separated list of whole numbers, at least one.
std::vector<int> number_list(const QCommandLineParser &parser, const char *option) {
    const QString text = parser.value(option);
    std::vector<int> numbers;
    for (const QString &token : text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts)) {
        const std::optional<int> value = parse_typed_integer(token.toStdString());
        if (!value)
            refuse(option, quoted(token) + " is not a whole number");
        numbers.push_back(*value);
    }
    if (numbers.empty())
        refuse(option, "needs at least one number");
    return numbers;
}

// A blank-separated list of embedding names, at least one.
std::vector<EmbeddingMode> embedding_list(const QCommandLineParser &parser) {
    std::vector<EmbeddingMode> modes;
    for (const QString &token : parser.value("embedding").split(QRegularExpression("\\s+"), Qt::SkipEmptyParts)) {
        const std::optional<EmbeddingMode> mode = embedding_mode_named(token.toStdString());
        if (!mode)
            refuse("embedding", quoted(token) + " is not an embedding; use specified or strong");
        modes.push_back(*mode);
    }
    if (modes.empty())
        refuse("embedding", "needs at least one embedding");
    return modes;
}

std::vector<std::optional<int>> optional_list(const QCommandLineParser &parser, const char *option) {
    if (!parser.isSet(option))
        return {std::nullopt};
    std::vector<std::optional<int>> list;
    for (int value : number_list(parser, option))
        list.emplace_back(value);
    return list;
}

Shard shard_of(const QCommandLineParser &parser) {
    if (!parser.isSet("shard"))
        return {};
    const QRegularExpressionMatch match =
        QRegularExpression("^([0-9]+)/([0-9]+)$").match(parser.value("shard"));
    bool part_ok = false, parts_ok = false;
    const qulonglong part = match.captured(1).toULongLong(&part_ok);
    const qulonglong parts = match.captured(2).toULongLong(&parts_ok);
    if (!match.hasMatch() || !part_ok || !parts_ok || part < 1 || part > parts)
        refuse("shard", quoted(parser.value("shard")) + " is not K/N with 1 <= K <= N");
    return {part, parts};
}

std::vector<ExplorationKey> keys_of(const QCommandLineParser &parser) {
    if (parser.isSet("keys") == parser.isSet("random-keys"))
        refuse("keys", "give either --keys FILE or --random-keys N");
    if (parser.isSet("seed") && !parser.isSet("random-keys"))
        refuse("seed", "only taken with --random-keys");
    if (parser.isSet("keys"))
        return read_keys_file(parser.value("keys"));
    const long long count = counted_option(parser, "random-keys", 100000000);
    uint64_t seed = default_key_seed;
    if (parser.isSet("seed")) {
        bool ok = false;
        seed = parser.value("seed").toULongLong(&ok);
        if (!ok || parser.value("seed").startsWith('+'))
            refuse("seed", quoted(parser.value("seed")) + " is not a whole number from 0 to 2^64-1");
    }
    return random_keys(count, seed);
}

std::optional<double> target_of(const QCommandLineParser &parser) {
    if (!parser.isSet("target-pc"))
        return std::nullopt;
    if (!parser.isSet("summary"))
        refuse("target-pc", "only taken with --summary");
    bool ok = false;
    const double target = parser.value("target-pc").toDouble(&ok);
    if (!ok || !(target >= 0) || target > 1)
        refuse("target-pc", quoted(parser.value("target-pc")) + " is not a probability from 0 to 1");
    return target;
}

struct ExploreOptions {
    Exploration exploration;
    Shard shard;
    int threads = 1;
    bool csv = false;
    std::optional<QString> summary_file, plot_file;
    std::optional<double> target;
};

ExploreOptions options_of(const QCommandLineParser &parser) {
    if (!parser.positionalArguments().isEmpty())
        throw Refusal(Refusal::Reason::CommandLine,
                      "velnor-cli: unexpected argument " + quoted(parser.positionalArguments().first()));
    for (const char *name : single_value_options)
        if (parser.values(name).size() > 1)
            refuse(name, "given more than once");
    for (const char *name : required_options)
        if (!parser.isSet(name))
            refuse(name, "missing; explore needs it (see velnor-cli --help)");
    ExploreOptions options;
    Exploration &exploration = options.exploration;
    exploration.adders = number_list(parser, "adders");
    exploration.multipliers = number_list(parser, "multipliers");
    exploration.subtractors = optional_list(parser, "subtractors");
    exploration.comparators = optional_list(parser, "comparators");
    exploration.sizes = number_list(parser, "sizes");
    if (parser.isSet("embedding"))
        exploration.embeddings = embedding_list(parser);
    exploration.keys = keys_of(parser);
    options.shard = shard_of(parser);
    options.threads = thread_count(parser);
    options.csv = parser.isSet("csv");
    options.target = target_of(parser);
    if (parser.isSet("summary"))
        options.summary_file = parser.value("summary");
    if (parser.isSet("plot")) {
        if (!is_plot_file_name(parser.value("plot").toStdString()))
            refuse("plot", quoted(parser.value("plot")) + " must end in .svg or .png");
        options.plot_file = parser.value("plot");
    }
    std::vector<std::string> dfg_paths;
    for (const QString &path : parser.values("dfg"))
        dfg_paths.push_back(QFile::encodeName(path).toStdString());
    exploration.cores = load_cores(dfg_paths, QFile::encodeName(parser.value("library")).toStdString());
    combination_count(exploration);  // refuses lists too long to number
    return options;
}

bool write_file(const QString &path, const std::string &text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size());
}

bool write_plot(const QString &path, const ExplorationSummary &summary, std::string &error) {
    return paint_offscreen(
        [&] { return save_exploration_plot(QFile::encodeName(path).toStdString(), summary, error); });
}

}  // namespace

int run_explore_command(const QStringList &arguments, std::ostream &out, std::ostream &err, bool err_is_terminal) {
    QCommandLineParser parser;
    parser.addOption(QCommandLineOption("dfg", "dfg", "value"));
    for (const char *name : single_value_options)
        parser.addOption(QCommandLineOption(name, name, "value"));
    parser.addOption(QCommandLineOption("csv", "csv"));
    parser.addOption(QCommandLineOption("help", "help"));

    ExploreOptions options;
    try {
        if (!parser.parse(QStringList{"velnor-cli"} + arguments))
            throw Refusal(Refusal::Reason::CommandLine,
                          "velnor-cli: " + parser.errorText().toStdString() + " (see velnor-cli --help)");
        if (parser.isSet("help")) {
            out << "Usage:\n" << explore_usage_text << "(velnor-cli --help describes every option)\n";
            return 0;
        }
        options = options_of(parser);
    } catch (const Refusal &refusal) {
        err << refusal.what() << "\n";
        return 2;
    }

    const Exploration &exploration = options.exploration;
    const uint64_t total = shard_size(combination_count(exploration), options.shard);
    std::optional<ProgressBar> progress;
    if (err_is_terminal)
        progress.emplace(err, total);
    const bool summarise = options.summary_file || options.plot_file;
    ExplorationSummary summary(exploration, options.target);
    if (options.csv)
        out << exploration_csv_header();
    explore(exploration, options.shard, options.threads, [&](const CombinationResult &result) {
        out << (options.csv ? exploration_csv_line(exploration, result) : exploration_json_line(exploration, result));
        if (summarise)
            summary.add(result);
        if (progress)
            progress->advance();
    });
    out.flush();
    if (progress)
        progress->finish();

    int status = 0;
    if (options.summary_file && !write_file(*options.summary_file, summary_json(exploration, summary))) {
        err << "--summary: cannot write " << options.summary_file->toStdString() << "\n";
        status = 1;
    }
    std::string error;
    if (options.plot_file && !write_plot(*options.plot_file, summary, error)) {
        err << "--plot: " << error << "\n";
        status = 1;
    }
    return status;
}

}  // namespace velnor::cli
