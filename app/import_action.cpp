// File > "Import DSP core…": a data-flow graph another program wrote (Graphviz
// DOT), or a function of a C file the user picks after clang compiled it, is
// converted by the same importer as velnor-cli import, written as a DFG file
// into a folder the window keeps, and loaded from there exactly as the DSP core
// button loads a DFG file: all or nothing, counted once.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <iostream>
#include <memory>

#include "app/busy_guard.h"
#include "app/folder_file.h"
#include "app/main_window.h"
#include "core/loading.h"
#include "hash/hash_chain.h"
#include "import/c_import.h"
#include "import/dot_import.h"
#include "ui_mainwindow.h"

using namespace velnor;

namespace {

// The files the import offers, one importer per kind.
const char *const import_filter = "DSP cores (*.dot *.gv *.c);;DOT data-flow graphs (*.dot *.gv);;C files (*.c)";

bool is_c_file(const QString &path) { return QFileInfo(path).suffix().toLower() == "c"; }

// The core the chosen graph file describes, read by the importer its extension names.
ImportedCore import_graph_file(const QString &path) {
    const std::string file = QFile::encodeName(path).toStdString();
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == "dot" || extension == "gv")
        return import_dot(file);
    throw Refusal(Refusal::Reason::ImportFile,
                  file_name_of(file) + " is not a DOT data-flow graph (.dot or .gv) or a C file (.c)");
}

// Writes the core's DFG text into folder, named after the imported file
// ("fir.dot" -> "fir.txt"), and returns the DFG file's path.
std::string write_dfg_file(const QTemporaryDir &folder, const QString &source, const ImportedCore &core) {
    const QString name = QFileInfo(source).completeBaseName() + ".txt";
    const QString path = write_folder_file(folder, name, QByteArray::fromStdString(core.dfg_text));
    if (path.isEmpty())
        throw Refusal(Refusal::Reason::FileNotWritten,
                      "cannot write the imported DFG file " + folder.filePath(name).toStdString());
    return QFile::encodeName(path).toStdString();
}

}  // namespace

void MainWindow::add_import_action() {
    QAction *action = new QAction(QString::fromUtf8("Import DSP core…"), this);
    action->setObjectName("actionImportDspCore");
    ui->menuFile->insertAction(ui->menuFile->actions().value(0), action);
    connect(action, &QAction::triggered, this, &MainWindow::import_dsp_core);
}

void MainWindow::import_dsp_core() {
    if (entry_stage != 0 || busy)  // only at the start, as the DSP core button
        return;
    const BusyGuard guard(busy);
    const QString path = dialogs->open_file(this, tr("import DSP core"), QDir::currentPath(), tr(import_filter));
    if (path.isEmpty())
        return;  // a cancelled dialog changes nothing
    // A C file is compiled once: its functions are offered, and the one chosen
    // is imported from the same compile.
    std::unique_ptr<CompiledC> compiled;
    std::string function;
    if (is_c_file(path)) {
        const std::string file = QFile::encodeName(path).toStdString();
        QStringList names;
        const bool compiled_well = core_step(
            [&] {
                compiled = std::make_unique<CompiledC>(file, ClangOptions{});
                for (const std::string &name : compiled->functions())
                    names << QString::fromStdString(name);
                if (names.isEmpty())
                    throw Refusal(Refusal::Reason::ImportFile, file_name_of(file) + " defines no function");
            },
            "the file could not be imported   .... Try again !!");
        if (!compiled_well)
            return;
        const QString label = tr("Function of %1 to import:").arg(QFileInfo(path).fileName());
        const QString chosen = dialogs->choose_item(this, tr("import DSP core"), label, names);
        if (chosen.isEmpty())
            return;  // cancelled: nothing changes
        function = chosen.toStdString();
    }
    load_core(
        [&] {
            const ImportedCore core = compiled ? compiled->import(function) : import_graph_file(path);
            // A fresh folder each time: the loaded core's file stays until another replaces it.
            auto folder = std::make_unique<QTemporaryDir>();
            load_dsp_core(run.design, write_dfg_file(*folder, path, core), std::cout, operation_limit(1));
            imported_folder = std::move(folder);
            write_to_console("blue", QString::fromStdString(import_summary(core, QFile::encodeName(path).toStdString())));
        },
        "the file could not be imported   .... Try again !!");
}
