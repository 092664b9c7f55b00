// File > "Open example": the filter and module library that velnor-cli demo
// runs, written into a folder the window keeps and loaded from there exactly
// as the two load buttons load files, so a newcomer sees the whole job
// without files of their own.
#include <QAction>
#include <QMenu>
#include <QTemporaryDir>

#include "app/busy_guard.h"
#include "app/folder_file.h"
#include "app/main_window.h"
#include "flow/demo_inputs.h"
#include "ui_mainwindow.h"

using namespace velnor;

namespace {

// The values velnor-cli demo types into the form, field by field, as a hint of what to enter next.
QString demo_values(const DemoInputs &demo) {
    const int encoding_count = QString(demo.encodings).split(' ', Qt::SkipEmptyParts).size();
    return QString("%1 adders, %2 multipliers, %3 subtractor, %4 encodings (rules %5), stego key %6, rounds %7 and "
                   "constraint size %8")
        .arg(QString(demo.adders), QString(demo.multipliers), QString(demo.subtractors),
             QString::number(encoding_count), QString(demo.encodings), QString(demo.order), QString(demo.rounds),
             QString(demo.size));
}

}  // namespace

void MainWindow::add_example_action() {
    QAction *action = new QAction(tr("Open example"), this);
    action->setObjectName("actionOpenExample");
    ui->menuFile->insertAction(ui->menuFile->actions().value(1), action);
    connect(action, &QAction::triggered, this, &MainWindow::open_example);
}

void MainWindow::open_example() {
    if (entry_stage != 0 || busy)  // only at the start, as the load buttons
        return;
    const BusyGuard guard(busy);
    const DemoInputs &demo = demo_inputs();
    auto folder = std::make_unique<QTemporaryDir>();
    const QString core = write_folder_file(*folder, demo.dfg_name, demo.dfg_text);
    const QString library = write_folder_file(*folder, demo.library_name, demo.library_text);
    if (core.isEmpty() || library.isEmpty()) {
        write_to_console("red", "cannot write the example's files into " + folder->path());
        return;
    }
    load_core_file(core);
    load_library(library);
    example_folder = std::move(folder);
    if (dsp_core_loaded && library_loaded)
        write_to_console("blue", "opened the example: DSP core " + QString(demo.dfg_name) + " and module library " +
                                     QString(demo.library_name) + "; velnor-cli demo runs it with " +
                                     demo_values(demo));
}
