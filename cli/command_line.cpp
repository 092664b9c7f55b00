// Parses velnor-cli's options (exact names only; a value may begin with '-'),
// runs the flow on the given files or on the compiled-in demo, and prints.
#include "cli/command_line.h"

#include <algorithm>
#include <iterator>

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "cli/attack_command.h"
#include "flow/demo_inputs.h"
#include "cli/explore_command.h"
#include "cli/option_values.h"
#include "cli/import_command.h"
#include "cli/output.h"
#include "cli/pictures.h"
#include "cli/run_flow.h"
#include "cli/run_options.h"
#include "cli/verify_command.h"
#include "cli/verilog_export.h"
#include "core/datapath_file.h"
#include "core/quoted.h"
#include "core/report.h"
#include "core/save.h"
#include "core/version.h"
#include "flow/owner_record.h"
#include "flow/typed_entries.h"

namespace velnor::cli {
namespace {

const char usage_text[] =
    "Usage:\n"
    "  velnor-cli run  --dfg FILE --library FILE\n"
    "                  --adders N --multipliers N [--subtractors N] [--comparators N]\n"
    "                  [--count N] --encodings \"R R ...\" [--order KEY] --rounds \"r r ...\" --size N\n"
    "                  [--embedding specified|strong] [--out DIR] [--stamp TEXT] [--json] [--verbose]\n"
    "                  [--datapath FILE] [--datapath-before FILE] [--record FILE]\n"
    "                  [--verilog FILE] [--verilog-before FILE] [--verilog-stats] [--svg FILE] [--dot FILE]\n"
    "  velnor-cli demo [--embedding specified|strong] [--out DIR] [--stamp TEXT] [--json] [--verbose]\n"
    "                  [--datapath FILE] [--datapath-before FILE] [--record FILE]\n"
    "                  [--verilog FILE] [--verilog-before FILE] [--verilog-stats] [--svg FILE] [--dot FILE]\n"
    "  velnor-cli verify --design FILE <the options of run but --out, --stamp, --datapath*, --svg, --dot>\n"
    "                  [--alpha P] [--null-samples N [--seed S]] [--json] [--verbose]\n"
    "  velnor-cli verify --design FILE|--verilog FILE --record FILE [--dfg FILE] [--library FILE]\n"
    "                  [--alpha P] [--null-samples N [--seed S]] [--json] [--verbose]\n"
    "  velnor-cli verify --verilog FILE [--top NAME] [--ports FILE] [--vectors N] [--seed S]\n"
    "                  [--recovered FILE] [--yosys-seconds T] <the options of run as above>\n"
    "                  [--alpha P] [--json] [--verbose]\n"
    "%EXPLORE%"
    "%ATTACK%"
    "%IMPORT%"
    "  velnor-cli --help | --version\n"
    "\n"
    "Hides a signature derived from a stego key in the register allocation and\n"
    "module binding of a DSP core, and reports area, latency, cost and the\n"
    "probability of coincidence. `demo` runs a compiled-in example.\n"
    "\n"
    "Options of run:\n"
    "  --dfg FILE          the DSP core's data-flow graph\n"
    "  --library FILE      the module library\n"
    "  --adders N, --multipliers N, --subtractors N, --comparators N\n"
    "                      units per control step; needed for each type the DSP core holds\n"
    "  --count N           number of encodings, 1 to 9 (default: the rule numbers given)\n"
    "  --encodings \"R ..\"  the encoding rule (1 to 9) of each hash block\n"
    "  --order KEY         the order in which the blocks are hashed again (default empty)\n"
    "  --rounds \"r ..\"     rounds of each of the 2 x count hash blocks, 1 to 80\n"
    "  --size N            constraint size: how many leading hash bits are embedded\n"
    "  --embedding MODE    specified (default): zero and one constraints; strong: each bit a\n"
    "                      together constraint that the unsigned design breaks, at no register cost\n"
    "Output:\n"
    "  --out DIR           also write the report and the key file into DIR\n"
    "  --stamp TEXT        use TEXT as the time stamp of the saved files' names\n"
    "  --json              print one JSON object instead of labelled lines (with --embedding,\n"
    "                      it names the embedding)\n"
    "  --verbose           print the diagnostic lines on standard error\n"
    "  --svg FILE          also draw the schedule and the register allocation after\n"
    "                      the embedding as an SVG picture\n"
    "  --dot FILE          also write the scheduled data-flow graph as Graphviz DOT\n"
    "  --datapath FILE     write the datapath after the embedding as JSON\n"
    "  --datapath-before FILE\n"
    "                      write the unsigned datapath of the same run as JSON\n"
    "  --record FILE       write the owner's record (owner-only): every option of the\n"
    "                      run and its files' SHA-512, for verify --record; demo also\n"
    "                      writes its DSP core and library beside FILE\n"
    "Hardware (needs yosys for --verilog-stats):\n"
    "  --verilog FILE      write the signed datapath as synthesizable Verilog\n"
    "  --verilog-before FILE  the same for the unsigned datapath of the run\n"
    "  --verilog-stats     print both designs' yosys cell and flip-flop counts and\n"
    "                      library areas on standard error\n"
    "verify checks a suspect datapath file for the signature of the key given:\n"
    "  --design FILE       the suspect design, a datapath file\n"
    "  --alpha P           the largest probability of coincidence that proves\n"
    "                      the signature present (default 1e-6)\n"
    "  --null-samples N    also estimate the probability from N random register\n"
    "                      allocations of the same variables (1 to 1000000)\n"
    "  --seed S            the seed of those allocations and of the input vectors (default 1)\n"
    "verify --verilog checks suspect hardware (needs yosys): RTL or a gate netlist\n"
    "  --verilog FILE      the suspect Verilog, in place of --design\n"
    "  --top NAME          its top module (default: yosys's automatic top)\n"
    "  --ports FILE        one 'velnor-name suspect-name' line per renamed port\n"
    "  --vectors N         random input vectors simulated (1 to 4096, default 64)\n"
    "  --recovered FILE    write the recovered datapath as JSON\n"
    "  --yosys-seconds T   how long yosys may take (default 300)\n"
    "  --record FILE       the owner's record in place of the run's options; --dfg and\n"
    "                      --library beside it name moved copies of the recorded files\n"
    "Options of explore (lists are blank-separated; one run per combination):\n"
    "  --dfg FILE          a DSP core; give it again for more cores\n"
    "  --adders \"N ..\", --multipliers \"N ..\", --subtractors \"N ..\", --comparators \"N ..\"\n"
    "  --sizes \"N ..\"      constraint sizes\n"
    "  --embedding \"M ..\"  embeddings to try, specified and/or strong (default specified)\n"
    "  --keys FILE         one key a line: --count N --encodings \"..\" --order KEY --rounds \"..\"\n"
    "  --random-keys N     N keys drawn from --seed S (default 1)\n"
    "  --threads T         parallel runs (default: the number of cores)\n"
    "  --shard K/N         only the combinations i with i mod N = K-1\n"
    "  --csv               CSV with a header instead of JSON Lines\n"
    "  --summary FILE      Pareto fronts per core as JSON; --target-pc P adds the cheapest reaching P\n"
    "  --plot FILE         the probabilities against the overhead, as .svg or .png\n"
    "Options of attack (the owner's run given as for verify, then trials verified as verify does):\n"
    "  --fractions \"F ..\"  fractions of the variables moved and of the operations switched to\n"
    "                      their other variant (default \"0 0.05 0.1 0.2 0.3 0.5 0.75 1\")\n"
    "  --trials N          trials per attack and fraction, and reallocations (default 20)\n"
    "  --keys K            forged claims with random keys (default 1000)\n"
    "  --seed S            the seed of every trial and forged key (default 1)\n"
    "  --alpha P           the verdicts' alpha (default 1e-6)\n"
    "  --threads T         parallel trials (default: the number of cores)\n"
    "  --json              a JSON line per trial, then a summary line, instead of the table\n"
    "  --plot FILE         the median probability against the fraction, as .svg or .png\n"
    "Options of import (the DFG file goes to standard output without --out):\n"
    "  --dot FILE          a Graphviz DOT data-flow graph to convert into a DFG file\n"
    "  --strict-compare    only the less-than forms are comparisons; greater-than and\n"
    "                      the or-equal forms are no operation\n"
    "  --c FILE            a C file, compiled by clang (-O3, loops unrolled), whose function\n"
    "                      --function NAME is converted; it must be straight-line code then\n"
    "  --clang-arg ARG     one more argument for clang (-I, -D, -std=...); repeatable\n"
    "  --out FILE          write the DFG file here, replacing it at once\n"
    "  --map FILE          write one 'id node-name label' line per operation (DOT) or\n"
    "                      'id file:line:column instruction' (C)\n"
    "Exit status: 0 success, 1 a file under --out, a datapath, a Verilog file, a summary\n"
    "or a plot could not be written or yosys failed, 2 a refused value or a usage error;\n"
    "verify: 0 present, 3 absent, 4 inconclusive, 2 refused input.\n";

const char *const output_value_options[] = {"out",      "stamp",   "datapath", "datapath-before",
                                            "verilog", "verilog-before", "svg", "dot"};
const char *const verify_value_options[] = {"design", "alpha", "null-samples", "seed"};
// verify's options of a suspect given as Verilog.
const char *const hardware_value_options[] = {"top", "ports", "vectors", "recovered", "yosys-seconds"};
const char *const commands[] = {"run", "demo", "verify"};

// The options of run, demo and verify, made once: each call of the batch
// tool's entry point parses with the same list.
const QList<QCommandLineOption> &command_options() {
    static const QList<QCommandLineOption> options = [] {
        QList<QCommandLineOption> list;
        const auto add_valued = [&list](const char *name) { list.append(QCommandLineOption(name, name, "value")); };
        std::for_each(std::begin(run_value_options), std::end(run_value_options), add_valued);
        std::for_each(std::begin(output_value_options), std::end(output_value_options), add_valued);
        add_valued("embedding");
        add_valued("record");
        std::for_each(std::begin(verify_value_options), std::end(verify_value_options), add_valued);
        std::for_each(std::begin(hardware_value_options), std::end(hardware_value_options), add_valued);
        for (const char *name : {"json", "verbose", "help", "version", "verilog-stats"})
            list.append(QCommandLineOption(name, name));
        return list;
    }();
    return options;
}

// A command that cannot run as given; the message names the option at fault
// or, when there is none, says who speaks.
[[noreturn]] void refuse_option(const std::string &option, const std::string &message) {
    throw Refusal(Refusal::Reason::CommandLine, "--" + option + ": " + message);
}

[[noreturn]] void refuse_command(const std::string &message) {
    throw Refusal(Refusal::Reason::CommandLine, "velnor-cli: " + message);
}

// Writes the demo's files into folder and returns the request that runs them.
RunRequest demo_request(const QString &folder) {
    const DemoInputs &demo = demo_inputs();
    // A file already holding the demo's bytes is kept; another one of that name is never overwritten.
    const auto write = [&folder](const char *name, const char *text) {
        const QString path = folder + "/" + name;
        QFile file(path);
        const QByteArray bytes(text);
        if (file.exists()) {
            if (file.open(QIODevice::ReadOnly) && file.read(bytes.size() + 1) == bytes)
                return path;
            throw Refusal(Refusal::Reason::FileNotWritten,
                          "cannot write the demo's file " + path.toStdString() + ": another file of that name is there");
        }
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            throw Refusal(Refusal::Reason::FileNotWritten, "cannot write the demo's file " + path.toStdString());
        return path;
    };
    RunRequest request;
    request.dfg = write(demo.dfg_name, demo.dfg_text);
    request.library = write(demo.library_name, demo.library_text);
    request.adders = QString(demo.adders);
    request.multipliers = QString(demo.multipliers);
    request.subtractors = QString(demo.subtractors);
    request.encodings = demo.encodings;
    request.order = demo.order;
    request.rounds = demo.rounds;
    request.size = demo.size;
    return request;
}

// Writes the owner's record of a completed run; false, with the failure on err, when it cannot.
bool write_record(const FlowRun &run, const QString &file, std::ostream &err) {
    try {
        write_owner_record(QFile::encodeName(file).toStdString(), owner_record_of(run));
        return true;
    } catch (const Refusal &refusal) {
        err << "--record: " << one_line(refusal.what()) << "\n";
        return false;
    }
}

void check_parsed(const QCommandLineParser &parser, const QString &command) {
    for (const QString &name : parser.optionNames())
        if (parser.values(name).size() > 1)
            refuse_option(name.toStdString(), "given more than once");
    if (command == "demo")
        for (const char *name : run_value_options)
            if (parser.isSet(name))
                refuse_option(name, "not taken by demo, which runs its own DSP core, library and key");
    if (command == "verify") {
        for (const char *name : output_value_options)
            if (parser.isSet(name) && std::string(name) != "verilog")
                refuse_option(name, "not taken by verify, which writes nothing");
        if (parser.isSet("verilog-stats"))
            refuse_option("verilog-stats", "not taken by verify, which synthesizes nothing");
        const bool hardware = parser.isSet("verilog");
        if (!parser.isSet("design") && !hardware)
            refuse_option("design", "missing; verify needs the suspect, a datapath file (--design) or Verilog (--verilog)");
        if (parser.isSet("design") && hardware)
            refuse_option("verilog", "not taken with --design; give one suspect");
        if (hardware && parser.value("verilog").isEmpty())
            refuse_option("verilog", "needs a file name");
        if (!hardware)
            for (const char *name : hardware_value_options)
                if (parser.isSet(name))
                    refuse_option(name, "taken with --verilog only");
        if (parser.isSet("seed") && !parser.isSet("null-samples") && !hardware)
            refuse_option("seed", "taken with --null-samples or --verilog only");
    } else {
        for (const char *name : verify_value_options)
            if (parser.isSet(name))
                refuse_option(name, "taken by verify only");
        for (const char *name : hardware_value_options)
            if (parser.isSet(name))
                refuse_option(name, "taken by verify --verilog only");
    }
    for (const char *name : {"datapath", "datapath-before", "verilog", "verilog-before"})
        if (parser.isSet(name) && parser.value(name).isEmpty())
            refuse_option(name, "needs a file name");
    if (parser.isSet("out") && parser.value("out").isEmpty())
        refuse_option("out", "needs a folder");
    for (const char *name : {"svg", "dot"})
        if (parser.isSet(name) && parser.value(name).isEmpty())
            refuse_option(name, "needs a file name");
    if (parser.value("stamp").contains('/'))
        refuse_option("stamp", "must not contain '/', it becomes part of a file name");
    check_record_option(parser, /*replaces_run_options=*/command == "verify");
}

int run_and_print(const RunRequest &request, const QCommandLineParser &parser, std::ostream &out,
                  std::ostream &err, const Clock &clock) {
    // Without --verbose the diagnostic lines go nowhere: a stream without a
    // buffer is in a failed state, so it skips formatting them at all.
    std::ostream quiet(nullptr);
    std::ostream &log = parser.isSet("verbose") ? err : quiet;

    const FlowRun run = run_flow(request, log);

    std::optional<SaveOutcome> saved;
    if (parser.isSet("out")) {
        // Scripts may name a folder that does not exist yet; if it cannot be
        // made, saving reports both files as unwritable.
        QDir().mkpath(parser.value("out"));
        const std::string folder = QFile::encodeName(parser.value("out")).toStdString();
        const std::string stamp =
            parser.isSet("stamp") ? parser.value("stamp").toStdString() : time_stamp(clock());
        saved = save_run(run.design, run.hash_engine.chain_log, key_file_contents(run), folder, stamp, log);
    }
    log.flush();

    out << (parser.isSet("json") ? figures_json(run, saved ? &*saved : nullptr, parser.isSet("embedding"))
                                 : figures_text(run));
    out.flush();

    int status = Success;
    for (const std::string &failure : write_pictures(run, optional_value(parser, "svg"), optional_value(parser, "dot"))) {
        err << failure << "\n";
        status = WriteFailed;
    }
    if (saved && !saved->report_written) {
        err << "--out: cannot write the report file " << one_line(saved->report_file) << "\n";
        status = WriteFailed;
    }
    if (saved && !saved->key_written) {
        err << "--out: cannot write the key file " << one_line(saved->key_file) << "\n";
        status = WriteFailed;
    }
    const auto write_datapath = [&](const char *option, const Design &design) {
        const std::string path = QFile::encodeName(parser.value(option)).toStdString();
        if (!write_datapath_file(path, datapath_of(design))) {
            err << "--" << option << ": cannot write " << path << "\n";
            status = WriteFailed;
        }
    };
    if (parser.isSet("datapath"))
        write_datapath("datapath", run.design);
    if (parser.isSet("datapath-before"))
        write_datapath("datapath-before", run.unsigned_design);
    VerilogRequest hardware;
    if (parser.isSet("verilog"))
        hardware.signed_file = QFile::encodeName(parser.value("verilog")).toStdString();
    if (parser.isSet("verilog-before"))
        hardware.unsigned_file = QFile::encodeName(parser.value("verilog-before")).toStdString();
    hardware.stats = parser.isSet("verilog-stats");
    if (!export_verilog(run, hardware, err))
        status = WriteFailed;
    if (parser.isSet("record") && !write_record(run, parser.value("record"), err))
        status = WriteFailed;
    return status;
}

// verify --verilog: the suspect read by yosys, its registers recovered, and,
// with --recovered, the recovered datapath written after the verdict is printed.
int verify_hardware_and_print(const RunRequest &request, const QCommandLineParser &parser, double alpha,
                              const std::optional<NullSampling> &null_sampling, std::ostream &out,
                              std::ostream &err, std::ostream &log) {
    HardwareRequest hardware;
    hardware.verilog = QFile::encodeName(parser.value("verilog")).toStdString();
    const auto text = [&parser](const char *name) -> std::optional<std::string> {
        if (!parser.isSet(name))
            return std::nullopt;
        return parser.value(name).toStdString();
    };
    hardware.top = text("top");
    if (parser.isSet("ports"))
        hardware.ports_file = QFile::encodeName(parser.value("ports")).toStdString();
    hardware.vectors = text("vectors");
    hardware.seed = text("seed");
    hardware.yosys_seconds = text("yosys-seconds");
    const HardwareVerification checked = verify_verilog_file(request, hardware, alpha, null_sampling, log);
    log.flush();
    out << (parser.isSet("json") ? verification_json(checked.verification, parser.isSet("embedding"))
                                 : verification_text(checked.verification));
    out.flush();
    if (parser.isSet("recovered")) {
        const std::string path = QFile::encodeName(parser.value("recovered")).toStdString();
        if (path.empty() || !write_datapath_file(path, checked.recovered.datapath)) {
            err << "--recovered: cannot write " << one_line(path) << "\n";
            return WriteFailed;
        }
    }
    return verify_status(checked.verification.verdict);
}

int verify_and_print(const RunRequest &request, const QCommandLineParser &parser, std::ostream &out,
                     std::ostream &err) {
    std::ostream quiet(nullptr);
    std::ostream &log = parser.isSet("verbose") ? err : quiet;
    const double alpha = parser.isSet("alpha") ? parse_alpha(parser.value("alpha").toStdString()) : default_alpha;
    std::optional<NullSampling> null_sampling;
    if (parser.isSet("null-samples")) {
        const std::optional<QString> seed = optional_value(parser, "seed");
        null_sampling = parse_null_sampling(parser.value("null-samples").toStdString(),
                                            seed ? std::optional<std::string>(seed->toStdString()) : std::nullopt);
    }
    if (parser.isSet("verilog"))
        return verify_hardware_and_print(request, parser, alpha, null_sampling, out, err, log);
    const Verification verification = verify_design_file(
        request, QFile::encodeName(parser.value("design")).toStdString(), alpha, null_sampling, log);
    log.flush();
    out << (parser.isSet("json") ? verification_json(verification, parser.isSet("embedding"))
                                 : verification_text(verification));
    out.flush();
    return verify_status(verification.verdict);
}

// The demo's files live in a temporary folder that goes when the demo ends;
// with --record they are written beside the record instead, so that the files
// it names stay for verify --record.
int run_demo(const QCommandLineParser &parser, std::ostream &out, std::ostream &err, const Clock &clock) {
    const bool recording = parser.isSet("record");
    std::optional<QTemporaryDir> temporary;
    if (!recording && !temporary.emplace().isValid()) {
        err << "demo: cannot create a temporary folder for its files\n";
        return WriteFailed;
    }
    RunRequest demo;
    try {
        demo = demo_request(recording ? QFileInfo(parser.value("record")).absolutePath() : temporary->path());
    } catch (const Refusal &refusal) {
        if (!recording)
            throw;
        err << "--record: " << one_line(refusal.what()) << "\n";
        return WriteFailed;
    }
    demo.embedding = optional_value(parser, "embedding");
    return run_and_print(demo, parser, out, err, clock);
}

}  // namespace

// The usage text with explore's, attack's and import's lines in their place.
std::string usage() {
    std::string text = usage_text;
    for (const auto &[mark, lines] : {std::pair<std::string, const char *>{"%EXPLORE%", explore_usage_text},
                                      std::pair<std::string, const char *>{"%ATTACK%", attack_usage_text},
                                      std::pair<std::string, const char *>{"%IMPORT%", import_usage_text}})
        text.replace(text.find(mark), mark.size(), lines);
    return text;
}

int run_command_line(const QStringList &arguments, std::ostream &out, std::ostream &err, const Clock &clock,
                     bool err_is_terminal) {
    if (!arguments.isEmpty() && arguments.first() == "explore") {
        try {
            return run_explore_command(arguments.mid(1), out, err, err_is_terminal);
        } catch (const std::exception &failure) {
            err << "velnor-cli: " << failure.what() << "\n";
            return WriteFailed;
        }
    }
    if (!arguments.isEmpty() && arguments.first() == "import")
        return run_import_command(arguments.mid(1), out, err);
    QCommandLineParser parser;
    parser.addOptions(command_options());
    parser.addPositionalArgument("command", "run, demo, verify, explore, attack or import");

    try {
        if (!arguments.isEmpty() && arguments.first() == "attack")
            return run_attack_command(arguments.mid(1), out, err, err_is_terminal);
        if (!parser.parse(QStringList{"velnor-cli"} + arguments))
            refuse_command(parse_error(parser) + " (see velnor-cli --help)");
        if (parser.isSet("help")) {
            out << usage();
            return Success;
        }
        if (parser.isSet("version")) {
            out << "velnor-cli " << product_version << "\n";
            return Success;
        }
        const QStringList positional = parser.positionalArguments();
        if (positional.isEmpty())
            refuse_command("no command given; use run, demo, verify, explore, attack or import (see velnor-cli --help)");
        const QString command = positional.first();
        if (std::find(std::begin(commands), std::end(commands), command) == std::end(commands))
            refuse_command("unknown command '" + quoted(command.toStdString()) +
                           (command == "explore" || command == "attack" || command == "import"
                                ? "'; " + command.toStdString() + " comes first, before its options"
                                : std::string("'; use run, demo, verify, explore, attack or import")));
        if (positional.size() > 1)
            refuse_command("unexpected argument '" + quoted(positional.at(1).toStdString()) + "'");
        check_parsed(parser, command);

        if (command == "run")
            return run_and_print(request_from(parser), parser, out, err, clock);
        if (command == "verify")
            return verify_and_print(owner_request(parser), parser, out, err);
        return run_demo(parser, out, err, clock);
    } catch (const Refusal &refusal) {
        switch (refusal.reason()) {
        case Refusal::Reason::FileNotWritten:
        case Refusal::Reason::InvalidArgument:
        case Refusal::Reason::BrokenInvariant:
            // Not a value the user gave: the tool says what went wrong in itself.
            err << "velnor-cli: " << one_line(refusal.what()) << "\n";
            return WriteFailed;
        default:
            err << one_line(refusal.what()) << "\n";
            return Refused;
        }
    } catch (const std::exception &failure) {
        // Nothing the flow expects ends here; say what happened rather than abort.
        err << "velnor-cli: " << one_line(failure.what()) << "\n";
        return WriteFailed;
    }
}

}  // namespace velnor::cli
