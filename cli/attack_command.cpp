// Reading attack's options (every value checked before the owner's flow runs),
// then running the trials in parallel and printing them in task order while
// they are kept, without their constraints, for the summary.
#include "cli/attack_command.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include <QFile>
#include <QRegularExpression>

#include "cli/attack_output.h"
#include "cli/message_text.h"
#include "cli/option_values.h"
#include "cli/pictures.h"
#include "cli/progress_bar.h"
#include "cli/run_options.h"
#include "cli/verify_command.h"
#include "flow/ordered_tasks.h"
#include "flow/random_keys.h"
#include "plot/attack_plot.h"

namespace velnor::cli {

const char attack_usage_text[] =
    "  velnor-cli attack <the options of run but the output options, or --record FILE [--dfg FILE]\n"
    "                  [--library FILE]> [--fractions \"F ...\"] [--trials N] [--keys K] [--seed S]\n"
    "                  [--alpha P] [--threads T] [--json] [--plot FILE]\n";

namespace {

// Enough trials to see rates of one in a million; the forged keys are all held at once.
constexpr long long max_attack_trials = 1000000;
constexpr long long max_forged_keys = 1000000;

const char *const attack_value_options[] = {"embedding", "record", "fractions", "trials", "keys",
                                            "seed",      "alpha",  "threads",   "plot"};

[[noreturn]] void refuse(const std::string &option, const std::string &message) {
    throw Refusal(Refusal::Reason::CommandLine, "--" + option + ": " + message);
}

// Blank-separated fractions from 0 to 1, each once, at least one.
std::vector<double> fraction_list(const QString &text) {
    std::vector<double> fractions;
    for (const QString &token : text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts)) {
        const std::string word = token.toStdString();
        char *end = nullptr;
        const double fraction = std::strtod(word.c_str(), &end);
        if (end != word.c_str() + word.size() || !(fraction >= 0 && fraction <= 1))
            refuse("fractions", quoted(word) + " is not a fraction from 0 to 1");
        if (std::find(fractions.begin(), fractions.end(), fraction) != fractions.end())
            refuse("fractions", quoted(word) + " is given twice");
        fractions.push_back(fraction);
    }
    if (fractions.empty())
        refuse("fractions", "needs at least one fraction");
    return fractions;
}

struct AttackOptions {
    AttackPlan plan;
    int threads = 1;
    bool json = false;
    bool name_embedding = false;
    std::optional<QString> plot_file;
};

AttackOptions options_of(const QCommandLineParser &parser) {
    if (!parser.positionalArguments().isEmpty())
        throw Refusal(Refusal::Reason::CommandLine,
                      "velnor-cli: unexpected argument " + quoted(parser.positionalArguments().first().toStdString()));
    for (const QString &name : parser.optionNames())
        if (parser.values(name).size() > 1)
            refuse(name.toStdString(), "given more than once");
    check_record_option(parser, /*replaces_run_options=*/true);
    AttackOptions options;
    AttackPlan &plan = options.plan;
    if (parser.isSet("fractions"))
        plan.fractions = fraction_list(parser.value("fractions"));
    if (parser.isSet("trials"))
        plan.trials = counted_option(parser, "trials", max_attack_trials);
    if (parser.isSet("keys"))
        plan.keys = counted_option(parser, "keys", max_forged_keys);
    if (parser.isSet("seed"))
        plan.seed = parse_seed(parser.value("seed").toStdString());
    if (parser.isSet("alpha"))
        plan.alpha = parse_alpha(parser.value("alpha").toStdString());
    options.threads = thread_count(parser);
    options.json = parser.isSet("json");
    options.name_embedding = parser.isSet("embedding");
    if (parser.isSet("plot")) {
        if (!is_plot_file_name(parser.value("plot").toStdString()))
            refuse("plot", quoted(parser.value("plot").toStdString()) + " must end in .svg or .png");
        options.plot_file = parser.value("plot");
    }
    return options;
}

// The owner's run, synthesized once: forged keys start from the run right
// after its resource counts.
AttackTarget owner_target(const RunRequest &request) {
    std::ostream quiet(nullptr);
    FlowRun synthesized = run_resources(request, quiet);
    FlowRun owner = synthesized;
    run_key_and_size(owner, request, quiet);
    return attack_target(std::move(owner), std::move(synthesized));
}

}  // namespace

int run_attack_command(const QStringList &arguments, std::ostream &out, std::ostream &err, bool err_is_terminal) {
    QCommandLineParser parser;
    for (const char *name : run_value_options)
        parser.addOption(QCommandLineOption(name, name, "value"));
    for (const char *name : attack_value_options)
        parser.addOption(QCommandLineOption(name, name, "value"));
    parser.addOption(QCommandLineOption("json", "json"));
    parser.addOption(QCommandLineOption("help", "help"));
    if (!parser.parse(QStringList{"velnor-cli"} + arguments))
        throw Refusal(Refusal::Reason::CommandLine, "velnor-cli: " + parse_error(parser) + " (see velnor-cli --help)");
    if (parser.isSet("help")) {
        out << "Usage:\n" << attack_usage_text << "(velnor-cli --help describes every option)\n";
        return 0;
    }
    const AttackOptions options = options_of(parser);
    const AttackPlan &plan = options.plan;
    const AttackTarget target = owner_target(owner_request(parser));
    const std::vector<ExplorationKey> forged_keys = random_keys(plan.keys, plan.seed);

    std::optional<ProgressBar> progress;
    if (err_is_terminal)
        progress.emplace(err, attack_task_count(plan));
    std::vector<AttackTrial> trials;
    const auto make_worker = [&]() -> std::function<std::vector<AttackTrial>(uint64_t)> {
        return [&](uint64_t task) { return run_attack_task(target, plan, forged_keys, task); };
    };
    run_tasks_in_order<std::vector<AttackTrial>>(
        attack_task_count(plan), options.threads, make_worker, [&](std::vector<AttackTrial> &task_trials) {
            for (AttackTrial &trial : task_trials) {
                if (options.json)
                    out << attack_trial_json(trial, options.name_embedding);
                // The summary needs the verdicts and probabilities only.
                std::vector<CheckedConstraint>().swap(trial.verification.constraints);
                trials.push_back(std::move(trial));
            }
            if (progress)
                progress->advance();
        });
    if (progress)
        progress->finish();

    const std::vector<AttackSummaryRow> summary = summarize_attacks(plan, trials);
    out << (options.json ? attack_summary_json(summary) : attack_summary_table(summary));
    out.flush();

    std::string error;
    if (options.plot_file && !paint_offscreen([&] {
            const std::string subject = target.owner.design.dfg_name + ", " +
                                        embedding_mode_name(target.mode) + " embedding";
            return save_attack_plot(QFile::encodeName(*options.plot_file).toStdString(), summary, plan.alpha, subject,
                                    error);
        })) {
        err << "--plot: " << error << "\n";
        return 1;
    }
    return 0;
}

}  // namespace velnor::cli
