// `velnor-cli import`: another program's description of a DSP core turned into
// a DFG file (a Graphviz DOT graph with --dot, a C function compiled by clang
// with --c and --function), with an optional map from each operation's id back
// to where it came from.
#pragma once

#include <ostream>

#include <QStringList>

namespace velnor::cli {

// The usage lines of import, for --help.
extern const char import_usage_text[];

// Runs import on its arguments (those after the word "import"). The DFG text
// goes to --out, written atomically, or to out; the summary line or a one-line
// refusal to err. Returns the exit status: 0 done, 1 a file could not be
// written, 2 refused (nothing written then).
int run_import_command(const QStringList &arguments, std::ostream &out, std::ostream &err);

}  // namespace velnor::cli
