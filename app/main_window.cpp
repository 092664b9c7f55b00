// The window's construction, its slots and its two event handlers. Every slot
// first checks the entry stage at which it acts, then hands its field's text to
// the engine and paints the outcome: status icons, step labels, enabled output
// buttons, message boxes and console lines. Diagnostic lines of the engine go to
// standard output.
#include "app/main_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QIntValidator>
#include <QResizeEvent>
#include <QStringList>
#include <exception>
#include <iostream>

#include "app/views.h"
#include "core/binding.h"
#include "core/datapath.h"
#include "core/key_file.h"
#include "core/loading.h"
#include "core/report.h"
#include "core/save.h"
#include "hash/encoding.h"
#include "hash/hash_chain.h"
#include "hash/stego_key.h"
#include "rtl/verilog_writer.h"
#include "synthesis/key_file_contents.h"
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

// Marks a slot as running for its lifetime.
class BusyGuard {
public:
    explicit BusyGuard(bool &busy) : busy_(busy) { busy_ = true; }
    ~BusyGuard() { busy_ = false; }
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;

private:
    bool &busy_;
};

QPixmap load_icon(const QString &name, int side) {
    return QPixmap(name).scaled(side, side, Qt::KeepAspectRatio, Qt::FastTransformation);
}

int32_t register_count(const Design &design) { return static_cast<int32_t>(design.register_lifetimes.size()); }

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
    reset_form();
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
    dialogs->information(this, "info", text);
    write_to_console("blue", text);
}

void MainWindow::refuse(QLabel *status, const QString &title, const QString &text) {
    show_icon(status, cross_icon);
    dialogs->critical(this, title, text);
}

void MainWindow::write_figure(const QString &label, const QString &value) {
    write_to_console("blue", label);
    write_to_console("blue", value);
}

std::vector<QPushButton *> MainWindow::output_buttons() const {
    return {ui->pushButton,    ui->pushButton_2,  ui->pushButton_3,  ui->pushButton_4,  ui->pushButton_5,
            ui->pushButton_6,  ui->pushButton_7,  ui->pushButton_8,  ui->pushButton_9,  ui->pushButton_10,
            ui->pushButton_11, ui->pushButton_12, ui->pushButton_13, ui->pushButton_14, ui->pushButton_15,
            ui->pushButton_16, ui->pushButton_17};
}

// ---- console ----------------------------------------------------------------

void MainWindow::write_to_console(const QString &color, const QString &message) {
    ui->textEdit->setFontPointSize(10);
    ui->dockWidget->show();
    if (color == "red")
        ui->textEdit->setTextColor(Qt::red);
    else if (color == "blue")
        ui->textEdit->setTextColor(Qt::blue);
    ui->textEdit->append("-> " + message);
}

// ---- reset --------------------------------------------------------------------

void MainWindow::on_actionReset_triggered() { reset_form(); }

void MainWindow::reset_form() {
    entry_stage = stage_start;
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
    for (QLabel *step : {ui->label_3, ui->label_4, ui->label_5, ui->label_6})
        step->setStyleSheet(step_open_style);
    for (QLabel *label : {ui->label_38, ui->label_40, ui->label_39, ui->label_41, ui->label_43, ui->label_47,
                          ui->label_48, ui->label_49, ui->label_51, ui->label_53, ui->label_2, ui->label_55,
                          ui->label_57})
        label->clear();
    show_icon(ui->label_39, asterisk_icon);
    show_icon(ui->label_41, asterisk_icon);

    design = Design();
    hash_engine = HashEngine();
    encoded_inputs.clear();
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
    try {
        load_dsp_core(design, path.toStdString(), std::cout);
    } catch (const std::exception &error) {
        std::cout << error.what() << std::endl;
        dialogs->critical(this, "warning", "file read unsuccessful or invalid file   .... Try again !!");
        show_icon(ui->label_39, cross_icon);
        return;
    }
    dsp_core_loaded = true;
    show_icon(ui->label_39, tick_icon);
    ui->label_38->setText(QString::fromStdString(design.dfg_name));
    if (dsp_core_loaded && library_loaded)
        entry_stage = stage_files_loaded;
}

void MainWindow::on_pushButton_24_clicked() {
    if (entry_stage != stage_start || busy)
        return;
    const BusyGuard guard(busy);
    const QString path = ask_for_text_file();
    if (path.isEmpty())
        return;
    try {
        load_module_library(design, path.toStdString());
    } catch (const std::exception &error) {
        std::cout << error.what() << std::endl;
        dialogs->critical(this, "error", "file read error , select valid file format..!!");
        show_icon(ui->label_41, cross_icon);
        return;
    }
    library_loaded = true;
    show_icon(ui->label_41, tick_icon);
    ui->label_40->setText(QString::fromStdString(file_name_of(path.toStdString())));
    if (dsp_core_loaded && library_loaded)
        entry_stage = stage_files_loaded;
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
    const int count = text_to_int(field->text());
    const ResourceEntryVerdict verdict = check_resource_entry(design, type, count);
    if (verdict.outcome == ResourceEntryVerdict::Refused) {
        show_icon(status, cross_icon);
        if (!verdict.message.empty())
            dialogs->critical(this, "error", QString::fromStdString(verdict.message));
    } else {
        show_icon(status, tick_icon);
        if (verdict.outcome == ResourceEntryVerdict::Accepted) {
            design.resources[type] = count;
            if (type == Add)
                std::cout << count << "\n";
        }
    }
    constraint_finish();
}

void MainWindow::constraint_finish() {
    if (entry_stage != stage_files_loaded || !constraints_complete(design))
        return;
    show_icon(ui->label_51, asterisk_icon);
    try {
        synthesize_under_constraints(design, std::cout);
    } catch (const std::exception &error) {
        std::cout << error.what() << std::endl;
        dialogs->critical(this, "error", "the design could not be scheduled");
        return;
    }
    ui->pushButton->setEnabled(true);
    ui->pushButton_15->setEnabled(true);
    mark_done(ui->label_3);
    initial_area = compute_area(design, register_count(design));
    initial_latency = compute_latency(design);
    entry_stage = stage_constraints_accepted;
    inform("please enter the number of encodings for the algorithm (max 9)");
}

// ---- stego key ------------------------------------------------------------------------

void MainWindow::on_lineEdit_7_editingFinished() {
    if (entry_stage != stage_constraints_accepted || busy || ui->lineEdit_7->text().isEmpty())
        return;
    const BusyGuard guard(busy);
    const int count = text_to_int(ui->lineEdit_7->text());
    if (count < 1 || count > 9) {
        refuse(ui->label_51, "error", "Please feed the number of encodings between 1 and 9 inclusive\n ");
        return;
    }
    encoding_count = count;
    show_icon(ui->label_51, tick_icon);
    // The encodings and the hash chain see the design as it is now.
    hash_engine.operations_copy = design.operations;
    hash_engine.design_path = design.dfg_path;
    entry_stage = stage_count_accepted;
    inform(encoding_rules_text);
}

void MainWindow::on_lineEdit_8_editingFinished() {
    if (entry_stage != stage_count_accepted || busy)
        return;
    const BusyGuard guard(busy);
    std::vector<int> typed;
    std::vector<std::string> blocks;
    try {
        // Rule numbers typed beyond the count are kept but not encoded.
        typed = parse_encodings_for(ui->lineEdit_8->text(), encoding_count);
        blocks = encode_blocks(hash_engine.operations_copy, typed, encoding_count);
    } catch (const std::exception &) {
        refuse(ui->label_53, "error", "check for duplicate or invalid entry\n");
        return;
    }
    encodings = typed;
    encoded_inputs = blocks;
    show_icon(ui->label_53, tick_icon);
    ui->pushButton_2->setEnabled(true);
    entry_stage = stage_encodings_accepted;
    inform("Enter the key of size " + QString::number(order_key_size(encoding_count)));
}

std::vector<int> MainWindow::input_order(std::string s) {
    std::vector<int> order = ::velnor::input_order(s, encoding_count);
    stego_key_text = s;
    return order;
}

std::vector<int> MainWindow::input_round_count(std::string s) {
    return ::velnor::input_round_count(s, encoding_count);
}

void MainWindow::on_lineEdit_editingFinished() {
    if (entry_stage != stage_encodings_accepted || busy)
        return;
    const BusyGuard guard(busy);
    try {
        input_order_list = input_order(ui->lineEdit->text().toStdString());
    } catch (const std::exception &) {
        refuse(ui->label_2, "error", "check size of the key");
        return;
    }
    std::cout << "INPUT ORDER:\n";
    for (int block : input_order_list)
        std::cout << block << ' ';
    std::cout << std::flush;
    show_icon(ui->label_2, tick_icon);
    mark_done(ui->label_4);
    entry_stage = stage_order_accepted;
    inform("please enter number of rounds for each of " + QString::number(2 * encoding_count) +
           " blocks separated by space . \n 0<n<=80");
}

void MainWindow::on_lineEdit_9_editingFinished() {
    if (entry_stage != stage_order_accepted || busy)
        return;
    const BusyGuard guard(busy);
    const QString text = ui->lineEdit_9->text();
    std::cout << text.toStdString();
    std::string output;
    try {
        round_counts = parse_rounds_for(text, encoding_count);
        std::cout << "Round count :\n";
        for (int rounds : round_counts)
            std::cout << rounds << ' ';
        std::cout << std::flush;
        output = run_hash_chain(hash_engine, encoded_inputs, input_order_list, round_counts, std::cout);
    } catch (const std::exception &) {
        refuse(ui->label_55, "error", "check input");
        return;
    }
    hash_output = output;
    show_icon(ui->label_55, tick_icon);
    entry_stage = stage_hashed;
    initial_area = compute_area(design, register_count(design));
    initial_latency = compute_latency(design);
    ui->pushButton_3->setEnabled(true);
    ui->pushButton_4->setEnabled(true);
    mark_done(ui->label_5);
    rounds_text = text.toStdString();
    rounds_key = ::velnor::rounds_key(round_counts);
}

// ---- embedding --------------------------------------------------------------------------

void MainWindow::on_lineEdit_10_editingFinished() {
    if (entry_stage != stage_hashed || busy || ui->lineEdit_10->text().isEmpty())
        return;
    const BusyGuard guard(busy);
    const int size = text_to_int(ui->lineEdit_10->text());
    try {
        figures = embed_signature(design, hash_output, size, initial_area, initial_latency, std::cout);
    } catch (const ConstraintSizeError &) {
        refuse(ui->label_57, "error",
               "constraint size should be between 0 and " + QString::number(largest_constraint_size(design)));
        return;
    } catch (const std::exception &error) {
        std::cout << error.what() << std::endl;
        refuse(ui->label_57, "error", "the signature could not be embedded");
        return;
    }
    show_icon(ui->label_57, tick_icon);
    for (QPushButton *button : {ui->pushButton_5, ui->pushButton_6, ui->pushButton_7, ui->pushButton_8,
                                ui->pushButton_9, ui->pushButton_14, ui->pushButton_10, ui->pushButton_11,
                                ui->pushButton_12, ui->pushButton_13, ui->pushButton_16, ui->pushButton_17})
        button->setEnabled(true);
    mark_done(ui->label_6);
    entry_stage = stage_embedded;
    ui->actionExportVerilog->setEnabled(true);
}

// ---- result views -------------------------------------------------------------------------

void MainWindow::on_pushButton_clicked() {
    if (entry_stage < stage_constraints_accepted)
        return;
    write_figure("Pre-stego operator scheduling ", schedule_table(design, VariantColumn::Bound));
}

void MainWindow::on_pushButton_15_clicked() {
    if (entry_stage < stage_encodings_accepted)
        return;
    write_figure(" pre-stego register allocation ",
                 register_table(design.controller_table_before, register_count(design)));
}

void MainWindow::on_pushButton_2_clicked() {
    if (entry_stage < stage_encodings_accepted)
        return;
    write_figure("encoded string corresponding to to selected encoding rules ",
                 encoded_strings(encodings, encoded_inputs));
}

void MainWindow::on_pushButton_3_clicked() {
    if (entry_stage < stage_hashed)
        return;
    write_figure("Initial padded bit string", QString::fromStdString(hash_engine.initial_padded_block));
}

void MainWindow::on_pushButton_4_clicked() {
    if (entry_stage < stage_hashed)
        return;
    write_figure("hash output string", QString::fromStdString(hash_output));
}

void MainWindow::on_pushButton_5_clicked() {
    if (entry_stage < stage_hashed)
        return;
    write_to_console("blue", leading_bits(hash_output, figures.zero_count + figures.one_count));
}

void MainWindow::on_pushButton_7_clicked() {
    if (entry_stage < stage_hashed)
        return;
    write_figure("number of ones: ", QString::number(figures.one_count));
}

void MainWindow::on_pushButton_6_clicked() {
    if (entry_stage < stage_hashed)
        return;
    write_figure("number of zeros: ", QString::number(figures.zero_count));
}

void MainWindow::on_pushButton_9_clicked() {
    if (entry_stage < stage_hashed)
        return;
    write_figure("constraint corresponding to ones ", id_list(design.embedded_one_operations));
}

void MainWindow::on_pushButton_8_clicked() {
    if (entry_stage < stage_hashed)
        return;
    write_figure("constraints corresponding to zeros",
                 zero_constraint_list(static_cast<int>(design.lifetimes.size()), figures.zero_count));
}

void MainWindow::on_pushButton_14_clicked() {
    if (entry_stage < stage_hashed)
        return;
    write_figure("Baseline cost: ", QString::number(figures.initial_cost, 'g', 6));
}

void MainWindow::on_pushButton_10_clicked() {
    if (entry_stage < stage_hashed)
        return;
    write_figure("Cost after phase 1: ", QString::number(figures.cost_phase1, 'g', 6));
}

void MainWindow::on_pushButton_11_clicked() {
    if (entry_stage < stage_hashed)
        return;
    write_figure("Cost after phase 2: ", QString::number(figures.cost_phase2, 'g', 6));
}

void MainWindow::on_pushButton_12_clicked() {
    if (entry_stage < stage_hashed)
        return;
    write_figure("Pc value after phase 1 ", QString::number(figures.pc_phase1, 'g', 6));
}

void MainWindow::on_pushButton_13_clicked() {
    if (entry_stage < stage_hashed)
        return;
    write_figure("Pc value after phase 2 ", QString::number(figures.pc_phase2, 'g', 6));
}

void MainWindow::on_pushButton_16_clicked() {
    if (entry_stage < stage_files_loaded)
        return;
    write_figure("post-stego operator scheduling", schedule_table(design, VariantColumn::Embedded));
}

void MainWindow::on_pushButton_17_clicked() {
    if (entry_stage < stage_hashed)
        return;
    write_figure("post-stego register allocation", register_table(design.controller_table, register_count(design)));
}

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
    const SaveOutcome saved = save_run(design, hash_engine.chain_log, key_file_contents(), chosen.toStdString(),
                                       time_stamp(clock()), std::cout);
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
    const QString chosen = dialogs->existing_directory(this, tr("export Verilog"), "/home",
                                                       QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (chosen.isEmpty())
        return;  // a cancelled dialog writes nothing
    const Datapath datapath = datapath_of(design);
    const QString path = chosen + "/" + QString::fromStdString(verilog_module_name(datapath)) + ".v";
    try {
        if (!write_verilog_file(datapath, DesignStage::Signed, QFile::encodeName(path).toStdString()))
            dialogs->critical(this, "error", "could not write the Verilog file " + path);
    } catch (const VerilogError &error) {
        dialogs->critical(this, "error", QString::fromStdString(error.what()));
    }
}

// The engine's record of the figures, completed with the stego key as entered.
KeyFileContents MainWindow::key_file_contents() const {
    KeyFileContents key = ::velnor::key_file_contents(design, figures);
    key.encoding_count = encoding_count;
    key.encodings = encodings;
    key.encoded_inputs = encoded_inputs;
    key.stego_key_text = stego_key_text;
    key.rounds_key = rounds_key;
    key.rounds_text = rounds_text;
    return key;
}
