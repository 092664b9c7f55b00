// option > "Explore…": the loaded DSP core and library explored in a dialog of
// its own, and a row chosen there run in the form as a new run: the form is
// reset with both files kept, the row's values are typed into the fields and
// each field is accepted in the form's order, as Enter accepts it, so that the
// outputs, the charts and Save belong to the row's run.
#include <QAction>
#include <QScopedValueRollback>

#include "app/explore_dialog.h"
#include "app/main_window.h"
#include "flow/exploration_defaults.h"
#include "ui_mainwindow.h"

using namespace velnor;

void MainWindow::on_actionExplore_triggered() {
    if (busy)
        return;
    if (!dsp_core_loaded || !library_loaded) {
        inform("Load a DSP core and a module library first.");
        return;
    }
    const std::string dfg = run.design.dfg_path, library = run.design.library_path;
    auto *dialog = new ExploreDialog(QString::fromStdString(dfg), QString::fromStdString(library),
                                     exploration_defaults(loaded_design), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // A row belongs to the files explored: after another file is loaded, it would run on a core it was never tried on.
    connect(dialog, &ExploreDialog::combination_chosen, this, [this, dfg, library](const ExploreChoice &choice) {
        if (busy)
            return;
        if (dsp_core_loaded && library_loaded && (run.design.dfg_path != dfg || run.design.library_path != library))
            inform("The explored DSP core or module library is no longer the one loaded; explore again.");
        else
            run_explored(choice);
    });
    dialog->show();
}

void MainWindow::run_explored(const ExploreChoice &choice) {
    if (busy)
        return;
    if (!dsp_core_loaded || !library_loaded) {  // reset since the dialog opened
        inform("Load a DSP core and a module library first.");
        return;
    }
    if (!may_reset())
        return;
    reset_keeping_files();
    const std::pair<QLineEdit *, QString> fields[] = {
        {ui->lineEdit_3, choice.adders},     {ui->lineEdit_4, choice.multipliers}, {ui->lineEdit_5, choice.subtractors},
        {ui->lineEdit_6, choice.comparators}, {ui->lineEdit_7, choice.count},      {ui->lineEdit_8, choice.encodings},
        {ui->lineEdit, choice.order},         {ui->lineEdit_9, choice.rounds},     {ui->lineEdit_10, choice.size}};
    for (const auto &[field, text] : fields)
        field->setText(text);
    ui->actionStrong_embedding->setChecked(choice.embedding == "strong");
    write_to_console("blue", "Running the explored combination entered into the form.");

    // Each entry acts only at its own stage, so a refused field (which shows
    // its box as under Enter) leaves the entries after it untouched.
    const QScopedValueRollback<bool> quiet(running_explored, true);
    on_lineEdit_3_editingFinished();
    on_lineEdit_4_editingFinished();
    on_lineEdit_5_editingFinished();
    on_lineEdit_6_editingFinished();
    on_lineEdit_7_editingFinished();
    on_lineEdit_8_editingFinished();
    on_lineEdit_editingFinished();
    on_lineEdit_9_editingFinished();
    on_lineEdit_10_editingFinished();
}
