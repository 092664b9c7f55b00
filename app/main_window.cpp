// The window's construction, its slots and its two event handlers. Every slot
// first checks the entry stage at which it acts, then hands its field's text to
// the engine and paints the outcome: status icons, step labels, enabled output
// buttons, message boxes and console lines. Diagnostic lines of the engine go to
// standard output.
#include "app/main_window.h"


#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QFile>
#include <QIntValidator>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStringList>
#include <iostream>

#include "app/charts/chart_model.h"
#include "app/datapath_view.h"
#include "app/busy_guard.h"
#include "app/console.h"
#include "app/views.h"
#include "core/datapath.h"
#include "core/loading.h"
#include "core/report.h"
#include "core/save.h"
#include "core/version.h"
#include "hash/hash_chain.h"
#include "hash/key_text.h"
#include "rtl/verilog_writer.h"
#include "synthesis/resource_constraints.h"
#include "ui_mainwindow.h"

// The icons are compiled into this static library; register them before use.
static void register_icon_resources() { Q_INIT_RESOURCE(resources); }

namespace velnor {
namespace {

// The entry stages, in the order the form is filled in.
constexpr int stage_start = 0;
constexpr int stage_files_loaded = 1;
constexpr int stage_constraints_accepted = 2;
constexpr int stage_count_accepted = 3;
constexpr int stage_encodings_accepted = 4;
constexpr int stage_order_accepted = 5;
constexpr int stage_hashed = 6;
constexpr int stage_embedded = 8;

const char *const step_done_style = "background-color:rgb(0,255,0)";
const char *const step_open_style = "background-color:rgb(241,16,68)";

const char *const encoding_rules_text =
    "choose encoding of the blocks:\n"
    "1. bit \"0\" : if op# and cs# assigned to that op are both even\n"
    "   bit \"1\" : for all other cases.\n"
    "2. bit \"0\" : if op# and cs# assigned to that op are same parity\n"
    "   bit \"1\" : for all other cases.\n"
    "3. bit \"0\" : if op# and cs# assigned to that op are both odd\n"
    "   bit \"1\" : for all other cases.\n"
    "4. bit \"0\" : if op# and cs# assigned to that op are different parity\n"
    "   bit \"1\" : for all other cases.\n"
    "5. bit \"0\" : if op# and cs# assigned to that op are both prime\n"
    "   bit \"1\" : for all other cases.\n"
    "6. bit \"1\" : if op# and cs# assigned to that op are both prime\n"
    "   bit \"0\" : for all other cases.\n"
    "7. bit \"0\" : if gcd(op# , cs#)=1 \n"
    "   bit \"1\" : for all other cases.\n"
    "8. bit \"0\" : if ((op#) mod (cs#))=0 \n"
    "   bit \"1\" : for all other cases.\n"
    "9. bit \"0\" : if cs# = 2nd odd sequence of the op# \n"
    "   bit \"1\" : for all other cases.\n"
    "( choose different encoding for different blocks , enter id of the encoding in order )\n";


QPixmap load_icon(const QString &name, int side) {
    return QPixmap(name).scaled(side, side, Qt::KeepAspectRatio, Qt::FastTransformation);
}

// The box a refused resource count shows: per type, one text for a zero and
// one, followed by the bound, for any other count out of range. An empty text
// shows no box.
QString resource_refusal_text(int32_t type, Refusal::Reason reason, int32_t bound) {
    struct Texts {
        const char *zero;
        const char *range;
    };
    const Texts texts = [type]() -> Texts {
        switch (type) {
        case Add: return {"", "Please feed the correct resource constraint. \nRequired adder should be less than  "};
        case Multiply:
            return {"Enter a non-zero number for multiplier",
                    "please feed the correct resource constraint for multiplier.\nRequired multiplier should be "
                    "less than or equal to "};
        case Subtract:
            return {"number of subtractor should be non-negative.",
                    "Please feed the correct resource constraint for subtractor!\nnumber of subtractor should be "
                    "less than or equal to "};
        default:
            return {"number of comparator should be non-negative .",
                    "Please feed the correct resource constraint for comparator!\nnumber of comparator should be "
                    "less than or equal to "};
        }
    }();
    if (reason == Refusal::Reason::ResourceCountZero)
        return texts.zero;
    return texts.range + QString::number(bound);
}

}  // namespace
}  // namespace velnor

using namespace velnor;

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent),
      ui(std::make_unique<MainWindowForm>()),
      dialogs(std::make_unique<QtDialogs>()),
      clock(system_time) {
    ui->setupUi(this);
    register_icon_resources();
    tick_icon = load_icon(":tick.png", 22);
    cross_icon = load_icon(":cross.png", 22);
    asterisk_icon = load_icon(":aster.png", 7);
    add_datapath_dock();
    prepare_console(*ui->textEdit);
    // A newcomer's first step, shown until the console has its first line.
    ui->textEdit->setPlaceholderText(
        tr("Load a DSP core and a module library to begin, or choose File > Open example to run a small filter."));
    follow_console_end();
    // A style sheet makes a label take the application's font instead of the
    // window's; the step labels keep the window's font whatever their colour.
    for (QLabel *step : {ui->label_3, ui->label_4, ui->label_5, ui->label_6})
        step->setFont(font());
    ui->label_9->setText(QString("version ") + product_version);
    add_import_action();
    add_example_action();
    add_ownership_actions();
    reset_form();
}

void MainWindow::add_datapath_dock() {
    datapath_view_ = new DatapathView([this]() -> Dialogs & { return *dialogs; });
    datapath_dock = new QDockWidget("Datapath", this);
    datapath_dock->setObjectName("datapath_dock");
    datapath_dock->setWidget(datapath_view_);
    addDockWidget(Qt::BottomDockWidgetArea, datapath_dock);
    splitDockWidget(ui->dockWidget, datapath_dock, Qt::Horizontal);
    datapath_dock->hide();

    QMenu *view_menu = menuBar()->addMenu("View");
    view_menu->setObjectName("menuView");
    QAction *show_charts = view_menu->addAction("Datapath charts");
    show_charts->setObjectName("actionDatapath");
    show_charts->setShortcut(QKeySequence("Ctrl+D"));
    connect(show_charts, &QAction::triggered, this, &MainWindow::show_datapath_charts);
}

void MainWindow::show_datapath_charts() {
    datapath_dock->show();
    datapath_dock->raise();
}

MainWindow::~MainWindow() = default;

void MainWindow::set_dialogs(std::unique_ptr<Dialogs> replacement) { dialogs = std::move(replacement); }

void MainWindow::set_clock(Clock replacement) { clock = std::move(replacement); }

void MainWindow::resizeEvent(QResizeEvent *event) {
    setWindowTitle("velnor");
    QMainWindow::resizeEvent(event);
}

void MainWindow::closeEvent(QCloseEvent *event) {
    if (closeWindow())
        event->accept();
    else
        event->ignore();
}

bool MainWindow::closeWindow() {
    if (entry_stage == stage_start)
        return true;
    return dialogs->question(this, "close the window", "do you want to close the window");
}

// ---- painting helpers -------------------------------------------------------

void MainWindow::show_icon(QLabel *label, const QPixmap &icon) { label->setPixmap(icon); }

void MainWindow::mark_done(QLabel *step) { step->setStyleSheet(step_done_style); }

void MainWindow::inform(const QString &text) {
    if (!running_explored)  // the prompts ask for what the explored combination already holds
        dialogs->information(this, "info", text);
    write_to_console("blue", text);
}

void MainWindow::refuse(QLabel *status, const QString &title, const QString &text) {
    show_icon(status, cross_icon);
    dialogs->critical(this, title, text);
}

std::vector<QPushButton *> MainWindow::output_buttons() const {
    return {ui->pushButton,    ui->pushButton_2,  ui->pushButton_3,  ui->pushButton_4,  ui->pushButton_5,
            ui->pushButton_6,  ui->pushButton_7,  ui->pushButton_8,  ui->pushButton_9,  ui->pushButton_10,
            ui->pushButton_11, ui->pushButton_12, ui->pushButton_13, ui->pushButton_14, ui->pushButton_15,
            ui->pushButton_16, ui->pushButton_17};
}

// Brings the next field to fill into view and gives it the keyboard, so the
// user can type on without scrolling the input column.
void MainWindow::focus_field(QLineEdit *field) {
    ui->scrollArea_2->ensureWidgetVisible(field);
    field->setFocus(Qt::OtherFocusReason);
}

// The first resource field still empty, in the form's order; none once all are filled.
QLineEdit *MainWindow::next_resource_field() const {
    for (QLineEdit *field : {ui->lineEdit_3, ui->lineEdit_4, ui->lineEdit_5, ui->lineEdit_6})
        if (field->text().isEmpty())
            return field;
    return nullptr;
}

// ---- console ----------------------------------------------------------------

void MainWindow::write_to_console(const QString &color, const QString &message) {
    ui->dockWidget->show();
    append_to_console(*ui->textEdit, color, message);
    // The newest line is always in view, even when the console's size changes later.
    console_follows_end = true;
    ui->textEdit->verticalScrollBar()->setValue(ui->textEdit->verticalScrollBar()->maximum());
}

// Keeps the console at its newest line while its height changes (a dock opens,
// the window is resized), unless the user scrolled back to read.
void MainWindow::follow_console_end() {
    QScrollBar *bar = ui->textEdit->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this,
            [this, bar](int value) { console_follows_end = value == bar->maximum(); });
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int maximum) {
        if (console_follows_end)
            bar->setValue(maximum);
    });
}

// ---- about -------------------------------------------------------------------

void MainWindow::on_actionAbout_triggered() {
    dialogs->information(this, QString("About ") + product_name,
                         QString("%1 %2\n%3\nLicensed under the %4.")
                             .arg(product_name, product_version, product_description, product_license));
}

// ---- reset --------------------------------------------------------------------

void MainWindow::on_actionReset_triggered() {
    if (may_reset())
        reset_form();
}

// A completed run that Save has not written is lost by Reset, as by closing: ask first.
bool MainWindow::may_reset() {
    return entry_stage != stage_embedded || run_saved ||
           dialogs->question(this, "reset", "the completed run has not been saved; do you want to reset the form?");
}

void MainWindow::reset_form() {
    entry_stage = stage_start;
    enable_ownership_actions(false);
    ui->actionExportVerilog->setEnabled(false);
    dsp_core_loaded = false;
    library_loaded = false;

    for (QLineEdit *field : {ui->lineEdit, ui->lineEdit_3, ui->lineEdit_4, ui->lineEdit_5, ui->lineEdit_6,
                             ui->lineEdit_7, ui->lineEdit_8, ui->lineEdit_9, ui->lineEdit_10})
        field->clear();

    // A fresh validator for the six integer fields; the old one goes once none uses it.
    QIntValidator *previous = integer_validator;
    integer_validator = new QIntValidator(this);
    for (QLineEdit *field : {ui->lineEdit_3, ui->lineEdit_4, ui->lineEdit_5, ui->lineEdit_6, ui->lineEdit_7,
                             ui->lineEdit_10})
        field->setValidator(integer_validator);
    delete previous;

    for (QPushButton *button : output_buttons())
        button->setEnabled(false);
    ui->actionStrong_embedding->setEnabled(true);  // the user's choice stays, open again until the size is accepted
    for (QLabel *step : {ui->label_3, ui->label_4, ui->label_5, ui->label_6})
        step->setStyleSheet(step_open_style);
    for (QLabel *label : {ui->label_38, ui->label_40, ui->label_39, ui->label_41, ui->label_43, ui->label_47,
                          ui->label_48, ui->label_49, ui->label_51, ui->label_53, ui->label_2, ui->label_55,
                          ui->label_57})
        label->clear();
    show_icon(ui->label_39, asterisk_icon);
    show_icon(ui->label_41, asterisk_icon);

    run = FlowRun();
    loaded_design = Design();
    run_saved = false;
    datapath_view_->clear();
}

void MainWindow::reset_keeping_files() {
    Design loaded = std::move(loaded_design);
    const QString core_name = ui->label_38->text(), library_name = ui->label_40->text();
    reset_form();
    run.design = std::move(loaded);
    dsp_core_loaded = library_loaded = true;
    show_icon(ui->label_39, tick_icon);
    show_icon(ui->label_41, tick_icon);
    ui->label_38->setText(core_name);
    ui->label_40->setText(library_name);
    files_loaded();
}

void MainWindow::files_loaded() {
    if (!dsp_core_loaded || !library_loaded)
        return;
    loaded_design = run.design;
    entry_stage = stage_files_loaded;
    focus_field(ui->lineEdit_3);
}

// ---- loading the two files ------------------------------------------------------

QString MainWindow::ask_for_text_file() {
    return dialogs->open_file(this, tr("open document"), QDir::currentPath(), tr("text files(*.txt)"));
}

void MainWindow::on_pushButton_23_clicked() {
    if (entry_stage != stage_start || busy)
        return;
    const BusyGuard guard(busy);
    const QString path = ask_for_text_file();
    if (path.isEmpty())
        return;  // a cancelled dialog changes nothing
    load_core_file(path);
}

void MainWindow::load_core_file(const QString &path) {
    // A core the hash chain could never take is refused now, not after synthesis.
    load_core([&] { load_dsp_core(run.design, path.toStdString(), std::cout, operation_limit(1)); },
              "file read unsuccessful or invalid file   .... Try again !!");
}

bool MainWindow::core_step(const std::function<void()> &step, const QString &box_text) {
    try {
        step();
    } catch (const Refusal &error) {
        std::cout << error.what() << std::endl;
        dialogs->critical(this, "warning", box_text);
        show_icon(ui->label_39, cross_icon);
        write_to_console("red", QString::fromStdString(error.what()));
        return false;
    }
    return true;
}

void MainWindow::load_core(const std::function<void()> &load, const QString &box_text) {
    if (!core_step(load, box_text))
        return;
    dsp_core_loaded = true;
    show_icon(ui->label_39, tick_icon);
    ui->label_38->setText(QString::fromStdString(run.design.dfg_name));
    files_loaded();
}

void MainWindow::on_pushButton_24_clicked() {
    if (entry_stage != stage_start || busy)
        return;
    const BusyGuard guard(busy);
    const QString path = ask_for_text_file();
    if (path.isEmpty())
        return;
    load_library(path);
}

void MainWindow::load_library(const QString &path) {
    try {
        load_module_library(run.design, path.toStdString());
    } catch (const Refusal &error) {
        std::cout << error.what() << std::endl;
        dialogs->critical(this, "error", "file read error , select valid file format..!!");
        show_icon(ui->label_41, cross_icon);
        write_to_console("red", QString::fromStdString(error.what()));
        return;
    }
    library_loaded = true;
    show_icon(ui->label_41, tick_icon);
    ui->label_40->setText(QString::fromStdString(file_name_of(path.toStdString())));
    files_loaded();
}

// ---- resource constraints -----------------------------------------------------------

void MainWindow::on_lineEdit_3_editingFinished() { resource_entry(ui->lineEdit_3, Add, ui->label_43); }
void MainWindow::on_lineEdit_4_editingFinished() { resource_entry(ui->lineEdit_4, Multiply, ui->label_47); }
void MainWindow::on_lineEdit_5_editingFinished() { resource_entry(ui->lineEdit_5, Subtract, ui->label_48); }
void MainWindow::on_lineEdit_6_editingFinished() { resource_entry(ui->lineEdit_6, Compare, ui->label_49); }

void MainWindow::resource_entry(QLineEdit *field, int32_t type, QLabel *status) {
    if (entry_stage != stage_files_loaded || busy || field->text().isEmpty())
        return;
    const BusyGuard guard(busy);
    try {
        accept_resource_count(run, type, text_to_int(field->text()), std::cout);
        show_icon(status, tick_icon);
        if (QLineEdit *next = next_resource_field())
            focus_field(next);
    } catch (const Refusal &refusal) {
        show_icon(status, cross_icon);
        const int32_t bound = resource_bound(run.design, type).value_or(0);
        const QString text = resource_refusal_text(type, refusal.reason(), bound);
        if (!text.isEmpty())
            dialogs->critical(this, "error", text);
    }
    constraint_finish();
}

void MainWindow::constraint_finish() {
    if (entry_stage != stage_files_loaded || !constraints_complete(run.design))
        return;
    show_icon(ui->label_51, asterisk_icon);
    try {
        accept_resource_constraints(run, std::cout);
    } catch (const Refusal &error) {
        std::cout << error.what() << std::endl;
        dialogs->critical(this, "error", "the design could not be scheduled");
        return;
    }
    ui->pushButton->setEnabled(true);
    ui->pushButton_15->setEnabled(true);
    mark_done(ui->label_3);
    entry_stage = stage_constraints_accepted;
    datapath_view_->show_unsigned(datapath_of(run.design));
    inform("please enter the number of encodings for the algorithm (max 9)");
    focus_field(ui->lineEdit_7);
}

// ---- stego key ------------------------------------------------------------------------

void MainWindow::on_lineEdit_7_editingFinished() {
    if (entry_stage != stage_constraints_accepted || busy || ui->lineEdit_7->text().isEmpty())
        return;
    const BusyGuard guard(busy);
    try {
        accept_encoding_count(run, text_to_int(ui->lineEdit_7->text()));
    } catch (const Refusal &) {
        refuse(ui->label_51, "error", "Please feed the number of encodings between 1 and 9 inclusive\n ");
        return;
    }
    show_icon(ui->label_51, tick_icon);
    entry_stage = stage_count_accepted;
    inform(encoding_rules_text);
    focus_field(ui->lineEdit_8);
}

void MainWindow::on_lineEdit_8_editingFinished() {
    if (entry_stage != stage_count_accepted || busy)
        return;
    const BusyGuard guard(busy);
    try {
        accept_encodings(run, number_line(ui->lineEdit_8->text()));
    } catch (const Refusal &) {
        refuse(ui->label_53, "error", "check for duplicate or invalid entry\n");
        return;
    }
    show_icon(ui->label_53, tick_icon);
    ui->pushButton_2->setEnabled(true);
    entry_stage = stage_encodings_accepted;
    inform("Enter the key of size " + QString::number(order_key_size(run.encoding_count)));
    focus_field(ui->lineEdit);
}

void MainWindow::on_lineEdit_editingFinished() {
    if (entry_stage != stage_encodings_accepted || busy)
        return;
    const BusyGuard guard(busy);
    try {
        accept_order_key(run, ui->lineEdit->text().toStdString(), std::cout);
    } catch (const Refusal &) {
        refuse(ui->label_2, "error", "check size of the key");
        return;
    }
    show_icon(ui->label_2, tick_icon);
    mark_done(ui->label_4);
    entry_stage = stage_order_accepted;
    inform("please enter number of rounds for each of " + QString::number(2 * run.encoding_count) +
           " blocks separated by space . \n 0<n<=80");
    focus_field(ui->lineEdit_9);
}

void MainWindow::on_lineEdit_9_editingFinished() {
    if (entry_stage != stage_order_accepted || busy)
        return;
    const BusyGuard guard(busy);
    try {
        accept_rounds(run, number_line(ui->lineEdit_9->text()), std::cout);
    } catch (const Refusal &) {
        refuse(ui->label_55, "error", "check input");
        return;
    }
    show_icon(ui->label_55, tick_icon);
    entry_stage = stage_hashed;
    ui->pushButton_3->setEnabled(true);
    ui->pushButton_4->setEnabled(true);
    mark_done(ui->label_5);
    focus_field(ui->lineEdit_10);
}

// ---- embedding --------------------------------------------------------------------------

void MainWindow::on_lineEdit_10_editingFinished() {
    if (entry_stage != stage_hashed || busy || ui->lineEdit_10->text().isEmpty())
        return;
    const BusyGuard guard(busy);
    try {
        accept_constraint_size(run, text_to_int(ui->lineEdit_10->text()), std::cout,
                               ui->actionStrong_embedding->isChecked() ? EmbeddingMode::Strong
                                                                       : EmbeddingMode::Specified);
    } catch (const Refusal &refusal) {
        if (refusal.reason() == Refusal::Reason::ConstraintSize) {
            refuse(ui->label_57, "error", refusal.what());
        } else {
            std::cout << refusal.what() << std::endl;
            refuse(ui->label_57, "error", "the signature could not be embedded");
        }
        return;
    }
    show_icon(ui->label_57, tick_icon);
    ui->actionStrong_embedding->setEnabled(false);  // this run's embedding is made
    for (QPushButton *button : {ui->pushButton_5, ui->pushButton_6, ui->pushButton_7, ui->pushButton_8,
                                ui->pushButton_9, ui->pushButton_14, ui->pushButton_10, ui->pushButton_11,
                                ui->pushButton_12, ui->pushButton_13, ui->pushButton_16, ui->pushButton_17})
        button->setEnabled(true);
    mark_done(ui->label_6);
    entry_stage = stage_embedded;
    run_saved = false;
    const Datapath signed_datapath = datapath_of(run.design);
    datapath_view_->show_signed(signed_datapath,
                                charts::chart_marks(signed_datapath, run.embedding.constraints.zero_pairs,
                                                    run.embedding.constraints.one_operations,
                                                    run.embedding.constraints.together_pairs));
    enable_ownership_actions(true);
    ui->actionExportVerilog->setEnabled(true);
    const EmbeddingFigures &figures = run.embedding.figures;
    write_to_console("blue", figures.mode == EmbeddingMode::Strong
                                 ? "strong embedding: " + QString::number(figures.together_count) +
                                       " together constraints placed"
                                 : "specified embedding: " + QString::number(figures.zero_count) + " zero and " +
                                       QString::number(figures.one_count) + " one constraints");
}

// ---- result views -------------------------------------------------------------------------

// Each view writes its messages once its stage is reached; below it, nothing.
void MainWindow::show_view(ResultView view, int stage) {
    if (entry_stage < stage)
        return;
    for (const QString &message : view_messages(run, view))
        write_to_console("blue", message);
}

void MainWindow::on_pushButton_clicked() { show_view(ResultView::ScheduleBefore, stage_constraints_accepted); }
void MainWindow::on_pushButton_15_clicked() { show_view(ResultView::RegistersBefore, stage_encodings_accepted); }
void MainWindow::on_pushButton_2_clicked() { show_view(ResultView::EncodedStrings, stage_encodings_accepted); }
void MainWindow::on_pushButton_3_clicked() { show_view(ResultView::PaddedBlock, stage_hashed); }
void MainWindow::on_pushButton_4_clicked() { show_view(ResultView::HashOutput, stage_hashed); }
void MainWindow::on_pushButton_5_clicked() { show_view(ResultView::Signature, stage_hashed); }
void MainWindow::on_pushButton_7_clicked() { show_view(ResultView::Ones, stage_hashed); }
void MainWindow::on_pushButton_6_clicked() { show_view(ResultView::Zeros, stage_hashed); }
void MainWindow::on_pushButton_9_clicked() { show_view(ResultView::OneConstraints, stage_hashed); }
void MainWindow::on_pushButton_8_clicked() { show_view(ResultView::ZeroConstraints, stage_hashed); }
void MainWindow::on_pushButton_14_clicked() { show_view(ResultView::BaselineCost, stage_hashed); }
void MainWindow::on_pushButton_10_clicked() { show_view(ResultView::CostPhase1, stage_hashed); }
void MainWindow::on_pushButton_11_clicked() { show_view(ResultView::CostPhase2, stage_hashed); }
void MainWindow::on_pushButton_12_clicked() { show_view(ResultView::PcPhase1, stage_hashed); }
void MainWindow::on_pushButton_13_clicked() { show_view(ResultView::PcPhase2, stage_hashed); }
void MainWindow::on_pushButton_16_clicked() { show_view(ResultView::ScheduleAfter, stage_files_loaded); }
void MainWindow::on_pushButton_17_clicked() { show_view(ResultView::RegistersAfter, stage_hashed); }

// ---- save --------------------------------------------------------------------------------

void MainWindow::on_actionSave_triggered() {
    if (busy)
        return;
    if (entry_stage < stage_embedded) {
        dialogs->information(this, "info", "please complete the process first!");
        return;
    }
    const BusyGuard guard(busy);
    const QString chosen = dialogs->existing_directory(this, tr("open directory"), "/home",
                                                 QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (chosen.isEmpty())
        return;  // a cancelled dialog writes nothing
    const SaveOutcome saved = save_run(run.design, run.hash_engine.chain_log, key_file_contents(run),
                                       chosen.toStdString(), time_stamp(clock()), std::cout);
    if (saved.report_written)
        write_to_console("blue", "report file: " + QString::fromStdString(saved.report_file));
    if (saved.key_written)
        write_to_console("blue", "key file: " + QString::fromStdString(saved.key_file));
    run_saved = saved.report_written && saved.key_written;
    QStringList failures;
    if (!saved.report_written)
        failures << "could not write the report file " + QString::fromStdString(saved.report_file);
    if (!saved.key_written)
        failures << "could not write the key file " + QString::fromStdString(saved.key_file);
    if (!failures.isEmpty())
        dialogs->critical(this, "error", failures.join("\n"));
}

void MainWindow::on_actionExportVerilog_triggered() {
    if (busy || entry_stage < stage_embedded)
        return;
    const BusyGuard guard(busy);
    const QString chosen = dialogs->existing_directory(this, tr("export Verilog"), dialogs->extension_folder(),
                                                       QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (chosen.isEmpty())
        return;  // a cancelled dialog writes nothing
    dialogs->remember_folder(chosen);
    const Datapath datapath = datapath_of(run.design);
    const QString path = chosen + "/" + QString::fromStdString(verilog_module_name(datapath)) + ".v";
    try {
        if (!write_verilog_file(datapath, DesignStage::Signed, QFile::encodeName(path).toStdString()))
            dialogs->critical(this, "error", "could not write the Verilog file " + path);
        else
            write_to_console("blue", "signed datapath written as Verilog to " + path);
    } catch (const VerilogError &error) {
        dialogs->critical(this, "error", QString::fromStdString(error.what()));
    }
}
