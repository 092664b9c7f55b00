// Reading import's options, running the importer of the source given, and
// writing what it made: every check happens before the first byte is written.
#include "cli/import_command.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>

#include "cli/message_text.h"
#include "core/quoted.h"
#include "core/refusal.h"
#include "import/c_import.h"
#include "import/dot_import.h"

namespace velnor::cli {

const char import_usage_text[] =
    "  velnor-cli import --dot FILE [--strict-compare] [--out FILE] [--map FILE]\n"
    "  velnor-cli import --c FILE --function NAME [--clang-arg ARG]... [--out FILE] [--map FILE]\n";

namespace {

// The options that take one value; each source an importer reads is one of them.
const char *const value_options[] = {"dot", "c", "function", "out", "map"};

[[noreturn]] void refuse(const std::string &option, const std::string &message) {
    throw Refusal(Refusal::Reason::CommandLine, "--" + option + ": " + message);
}

std::string file_option(const QCommandLineParser &parser, const char *option) {
    const QString value = parser.value(option);
    if (value.isEmpty())
        refuse(option, "needs a file name");
    return QFile::encodeName(value).toStdString();
}

void check_options(const QCommandLineParser &parser) {
    if (!parser.positionalArguments().isEmpty())
        throw Refusal(Refusal::Reason::CommandLine,
                      "velnor-cli: unexpected argument " + quoted(parser.positionalArguments().first().toStdString()));
    for (const char *name : value_options)
        if (parser.values(name).size() > 1)
            refuse(name, "given more than once");
    if (parser.isSet("dot") && parser.isSet("c"))
        refuse("c", "given with --dot; import takes one source");
    if (parser.isSet("c")) {
        if (!parser.isSet("function"))
            refuse("function", "missing; --c needs the function to import");
        if (parser.value("function").isEmpty())
            refuse("function", "needs a function name");
        if (parser.isSet("strict-compare"))
            refuse("strict-compare", "only with --dot; a C comparison's predicate decides");
        for (const QString &argument : parser.values("clang-arg"))
            if (argument.isEmpty())
                refuse("clang-arg", "needs a value");
        return;
    }
    if (!parser.isSet("dot"))
        refuse("dot", "missing; import needs the file to import (see velnor-cli --help)");
    for (const char *name : {"function", "clang-arg"})
        if (parser.isSet(name))
            refuse(name, "only with --c");
}

// The core of the source the options name.
ImportedCore imported_source(const QCommandLineParser &parser, const std::string &source) {
    if (parser.isSet("c")) {
        ClangOptions options;
        for (const QString &argument : parser.values("clang-arg"))
            options.arguments.push_back(argument.toStdString());
        return import_c(source, parser.value("function").toStdString(), options);
    }
    DotImportOptions options;
    options.strict_compare = parser.isSet("strict-compare");
    return import_dot(source, options);
}

// Replaces path's file with text at once, so a reader never meets half a
// file. A device or a pipe (/dev/stdout, a FIFO) is written into instead: a new
// file renamed onto it would replace the device itself.
bool write_output(const std::string &path, const std::string &text) {
    const QString name = QFile::decodeName(path.c_str());
    const auto size = static_cast<qint64>(text.size());
    const QFileInfo target(name);
    if (target.exists() && !target.isFile()) {
        QFile file(name);
        return file.open(QIODevice::WriteOnly) && file.write(text.data(), size) == size && file.flush();
    }
    QSaveFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(text.data(), size) == size && file.commit();
}

}  // namespace

int run_import_command(const QStringList &arguments, std::ostream &out, std::ostream &err) {
    QCommandLineParser parser;
    for (const char *name : value_options)
        parser.addOption(QCommandLineOption(name, name, "value"));
    parser.addOption(QCommandLineOption("clang-arg", "clang-arg", "value"));
    parser.addOption(QCommandLineOption("strict-compare", "strict-compare"));
    parser.addOption(QCommandLineOption("help", "help"));

    std::string source;
    std::optional<std::string> out_file, map_file;
    ImportedCore core;
    try {
        if (!parser.parse(QStringList{"velnor-cli"} + arguments))
            throw Refusal(Refusal::Reason::CommandLine,
                          "velnor-cli: " + one_line(parser.errorText().toStdString()) + " (see velnor-cli --help)");
        if (parser.isSet("help")) {
            out << "Usage:\n" << import_usage_text << "(velnor-cli --help describes every option)\n";
            return 0;
        }
        check_options(parser);
        source = file_option(parser, parser.isSet("c") ? "c" : "dot");
        if (parser.isSet("out"))
            out_file = file_option(parser, "out");
        if (parser.isSet("map"))
            map_file = file_option(parser, "map");
        core = imported_source(parser, source);
    } catch (const Refusal &refusal) {
        err << one_line(refusal.what()) << "\n";
        return 2;
    }

    int status = 0;
    if (out_file && !write_output(*out_file, core.dfg_text)) {
        err << "--out: cannot write " << one_line(*out_file) << "\n";
        status = 1;
    }
    if (!out_file) {
        out << core.dfg_text;
        out.flush();
    }
    if (map_file && !write_output(*map_file, core.map_text)) {
        err << "--map: cannot write " << one_line(*map_file) << "\n";
        status = 1;
    }
    if (status == 0)
        err << one_line(import_summary(core, source)) << "\n";
    return status;
}

}  // namespace velnor::cli
