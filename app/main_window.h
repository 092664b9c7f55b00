// The one window of the tool. It owns the user's run of the flow: the main
// design, the stego key as entered, the hash output and every figure of the
// embedding. The form's fields act one after the other, each at its own entry
// stage; the slots read their widget, call the flow's stage, and paint the
// outcome.
#pragma once

#include <QMainWindow>
#include <QPixmap>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/dialogs.h"
#include "core/clock.h"
#include "flow/flow.h"

class QDockWidget;
class QIntValidator;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velnor {
class DatapathView;
enum class ResultView;
struct ExploreChoice;
}

namespace Ui {
class MainWindow;
}

// The form built from app/forms/mainwindow.ui: one pointer per widget.
using MainWindowForm = ::Ui::MainWindow;

// Outside the tool's namespace so that Qt knows the window by its class name "MainWindow".
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Replaces the boxes and file dialogs (tests answer them themselves).
    void set_dialogs(std::unique_ptr<velnor::Dialogs> dialogs);
    // Replaces the clock whose time stamps the saved files' names.
    void set_clock(velnor::Clock clock);

    // How far the user has come: 0 start, 1 files loaded, 2 constraints
    // accepted, 3..5 key fields accepted, 6 hash chain run, 8 signature embedded.
    int current_stage() const { return entry_stage; }
    // The charts of the schedule and the register allocation, in their dock.
    velnor::DatapathView *datapath_view() const { return datapath_view_; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pushButton_23_clicked();
    bool closeWindow();
    void on_pushButton_24_clicked();
    void on_lineEdit_3_editingFinished();
    void constraint_finish();
    void on_lineEdit_4_editingFinished();
    void on_lineEdit_5_editingFinished();
    void on_lineEdit_6_editingFinished();
    void on_lineEdit_7_editingFinished();
    void on_lineEdit_8_editingFinished();
    void on_lineEdit_editingFinished();
    void on_lineEdit_9_editingFinished();
    void on_pushButton_clicked();
    void write_to_console(const QString &color, const QString &message);
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();
    void on_lineEdit_10_editingFinished();
    void on_pushButton_5_clicked();
    void on_pushButton_7_clicked();
    void on_pushButton_6_clicked();
    void on_pushButton_14_clicked();
    void on_pushButton_10_clicked();
    void on_pushButton_11_clicked();
    void on_pushButton_12_clicked();
    void on_pushButton_13_clicked();
    void on_pushButton_8_clicked();
    void on_pushButton_9_clicked();
    void on_actionReset_triggered();
    void on_pushButton_15_clicked();
    void on_pushButton_17_clicked();
    void on_pushButton_16_clicked();
    void on_actionSave_triggered();
    void on_actionExplore_triggered();
    // View > Datapath charts: shows the dock of the schedule and register charts.
    void show_datapath_charts();
    void on_actionAbout_triggered();
    // File > Export datapath…: the signed and the unsigned datapath files into a chosen folder.
    void export_datapath();
    // File > Export owner record…: every option of the run and its files' SHA-512 into a chosen file.
    void export_owner_record();
    // File > Verify a design…: checks a chosen datapath file for this run's signature.
    void verify_design();
    // Writes the signed datapath as <core>.v into a chosen folder.
    void on_actionExportVerilog_triggered();
    // File > Import DSP core…: a DOT data-flow graph, or a function of a C file,
    // converted and loaded as if it were a DFG file.
    void import_dsp_core();
    // File > Open example: the demo's filter and library, loaded as if both files had been chosen.
    void open_example();

private:
    void add_datapath_dock();
    void follow_console_end();
    void focus_field(QLineEdit *field);
    QLineEdit *next_resource_field() const;
    void reset_form();
    // Whether the run may be reset: asks first when a completed run has not been saved.
    bool may_reset();
    // Resets the form, then takes both files back as they were loaded, counted once.
    void reset_keeping_files();
    // Once both files are loaded: keeps the design as they left it and moves to stage 1.
    void files_loaded();
    // "Fill the form with this row" of the Explore dialog: a new run from the
    // chosen combination, its fields typed and accepted in the form's order.
    void run_explored(const velnor::ExploreChoice &choice);
    void resource_entry(QLineEdit *field, int32_t type, QLabel *status);
    QString ask_for_text_file();
    void show_icon(QLabel *label, const QPixmap &icon);
    void mark_done(QLabel *step);
    void inform(const QString &text);
    void refuse(QLabel *status, const QString &title, const QString &text);
    void show_view(velnor::ResultView view, int stage);
    std::vector<QPushButton *> output_buttons() const;

    // Runs load, which replaces the DSP core of the run or throws a Refusal, and
    // paints the outcome as the DSP core button does; a refusal shows box_text.
    void load_core(const std::function<void()> &load, const QString &box_text);
    // Load the DSP core or the module library at path as their buttons do.
    void load_core_file(const QString &path);
    void load_library(const QString &path);
    // Runs step; a Refusal is shown as load_core shows it, and false returned.
    bool core_step(const std::function<void()> &step, const QString &box_text);
    void add_import_action();
    void add_example_action();
    void add_ownership_actions();
    void enable_ownership_actions(bool enabled);

    velnor::FlowRun run;  // the design and every value the form has accepted
    velnor::Design loaded_design;  // the design as both files left it, once both are loaded
    QAction *export_datapath_action = nullptr;
    QAction *export_record_action = nullptr;
    QAction *verify_design_action = nullptr;
    QPixmap tick_icon;
    QPixmap cross_icon;
    QPixmap asterisk_icon;
    std::unique_ptr<MainWindowForm> ui;
    QIntValidator *integer_validator = nullptr;  // a child of the window, shared by the integer fields
    std::unique_ptr<velnor::Dialogs> dialogs;
    velnor::Clock clock;
    QDockWidget *datapath_dock = nullptr;
    // The folder of the last imported core's DFG file, which the run reads
    // again (the exploration) and names (the owner record) while it is loaded.
    std::unique_ptr<QTemporaryDir> imported_folder;
    std::unique_ptr<QTemporaryDir> example_folder;  // the example's two files, while the window lives
    velnor::DatapathView *datapath_view_ = nullptr;

    int entry_stage = 0;
    // Each file counts once toward stage 1, however often it is loaded.
    bool dsp_core_loaded = false;
    bool library_loaded = false;
    // Whether the completed run has been written by Save since it was embedded.
    bool run_saved = false;
    // True while a slot runs: a field that loses focus to the slot's own
    // message box must not act a second time.
    bool busy = false;
    // True while an explored combination is entered: prompts go to the console only.
    bool running_explored = false;
    bool console_follows_end = true;  // the console scrolls to each new line
};

