// The window's side of proving ownership: File > "Export datapath…" writes the
// run's signed and unsigned datapath files, "Export owner record…" every option
// of the run in one file for a later verification, and "Verify a design…"
// checks a suspect datapath file, or suspect Verilog (RTL or a gate netlist,
// read by yosys), against this run's signature. All call the same engine
// functions as velnor-cli; the verdict goes to the console and a box.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QStringList>

#include <sstream>

#include "app/busy_guard.h"
#include "app/main_window.h"
#include "core/datapath_file.h"
#include "flow/owner_record.h"
#include "flow/verification.h"
#include "tools/suspect_verilog.h"
#include "ui_mainwindow.h"

using namespace velnor;

namespace {

// "fir.txt" -> "fir": the DSP core's name without its extension.
QString core_name(const Design &design) {
    const QString name = QString::fromStdString(design.dfg_name);
    const int dot = name.lastIndexOf('.');
    return dot > 0 ? name.left(dot) : name;
}

}  // namespace

void MainWindow::add_ownership_actions() {
    export_datapath_action = ui->menuFile->addAction(QString::fromUtf8("Export datapath…"));
    export_datapath_action->setObjectName("actionExportDatapath");
    connect(export_datapath_action, &QAction::triggered, this, &MainWindow::export_datapath);
    export_record_action = ui->menuFile->addAction(QString::fromUtf8("Export owner record…"));
    export_record_action->setObjectName("actionExportOwnerRecord");
    connect(export_record_action, &QAction::triggered, this, &MainWindow::export_owner_record);
    verify_design_action = ui->menuFile->addAction(QString::fromUtf8("Verify a design…"));
    verify_design_action->setObjectName("actionVerifyDesign");
    connect(verify_design_action, &QAction::triggered, this, &MainWindow::verify_design);
}

void MainWindow::enable_ownership_actions(bool enabled) {
    export_datapath_action->setEnabled(enabled);
    export_record_action->setEnabled(enabled);
    verify_design_action->setEnabled(enabled);
}

void MainWindow::export_datapath() {
    if (busy || !export_datapath_action->isEnabled())
        return;
    const BusyGuard guard(busy);
    const QString folder = dialogs->existing_directory(this, tr("export datapath"), dialogs->extension_folder(),
                                                       QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (folder.isEmpty())
        return;  // a cancelled dialog writes nothing
    dialogs->remember_folder(folder);
    const QString base = folder + "/" + core_name(run.design);
    const QString signed_file = base + ".datapath.json";
    const QString unsigned_file = base + ".unsigned.datapath.json";
    QStringList failures;
    if (!write_datapath_file(QFile::encodeName(signed_file).toStdString(), datapath_of(run.design)))
        failures << "could not write the datapath file " + signed_file;
    if (!write_datapath_file(QFile::encodeName(unsigned_file).toStdString(), datapath_of(run.unsigned_design)))
        failures << "could not write the datapath file " + unsigned_file;
    if (!failures.isEmpty()) {
        dialogs->critical(this, "error", failures.join("\n"));
        return;
    }
    write_to_console("blue", "datapath after the embedding written to " + signed_file);
    write_to_console("blue", "datapath before the embedding written to " + unsigned_file);
}

void MainWindow::export_owner_record() {
    if (busy || !export_record_action->isEnabled())
        return;
    const BusyGuard guard(busy);
    const QString file = dialogs->save_file(this, tr("export owner record"),
                                            dialogs->extension_folder() + "/" + core_name(run.design) + ".record.json",
                                            tr("Owner record (*.json);;All files (*)"));
    if (file.isEmpty())
        return;  // a cancelled dialog writes nothing
    dialogs->remember_file(file);
    try {
        write_owner_record(QFile::encodeName(file).toStdString(), owner_record_of(run));
    } catch (const Refusal &refusal) {
        dialogs->critical(this, "error", QString::fromStdString(refusal.what()));
        return;
    }
    write_to_console("blue", "owner record written to " + file);
}

void MainWindow::verify_design() {
    if (busy || !verify_design_action->isEnabled())
        return;
    const BusyGuard guard(busy);
    const QString file = dialogs->open_file(this, tr("verify a design"), dialogs->extension_folder(),
                                            tr("Datapath or Verilog (*.json *.v *.sv *.vh);;All files (*)"));
    if (file.isEmpty())
        return;
    dialogs->remember_file(file);
    const std::string path = QFile::encodeName(file).toStdString();
    try {
        Verification v;
        if (is_verilog_file_name(path)) {
            // Yosys takes seconds on a large netlist; the cursor says the window is working.
            QApplication::setOverrideCursor(Qt::WaitCursor);
            std::ostringstream log;
            SuspectVerilog suspect;
            suspect.path = path;
            try {
                v = verify_suspect_verilog(run.unsigned_design, run.embedding, suspect, default_alpha, log).verification;
            } catch (...) {
                QApplication::restoreOverrideCursor();
                throw;
            }
            QApplication::restoreOverrideCursor();
            for (const QString &line : QString::fromStdString(log.str()).split('\n', Qt::SkipEmptyParts))
                write_to_console("blue", line);
        } else {
            v = verify_datapath(run.unsigned_design, run.embedding, read_datapath_file(path), default_alpha);
        }
        write_to_console("blue", "verification of " + file);
        const QStringList lines = QString::fromStdString(verification_text(v)).split('\n', Qt::SkipEmptyParts);
        for (const QString &line : lines)
            write_to_console("blue", line);
        // The box repeats the whole result and says what the verdict means.
        const QString sentence = QString::fromStdString(verdict_sentence(v));
        write_to_console("blue", sentence);
        dialogs->information(this, "verify", lines.join("\n") + "\n\n" + sentence);
    } catch (const Refusal &refusal) {
        write_to_console("red", QString::fromStdString(refusal.what()));
        dialogs->critical(this, "error", QString::fromStdString(refusal.what()));
    }
}
