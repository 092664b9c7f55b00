// Drives the real window as a user does: types into its fields and presses
// Enter, clicks its buttons, and answers its boxes and file dialogs through a
// replaced dialogs interface that records what was asked.
#pragma once

#include <QString>
#include <QStringList>
#include <ctime>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "app/dialogs.h"
#include "app/main_window.h"

namespace velnor::test {

// One box or dialog the window opened.
struct Asked {
    QString kind;     // "critical", "information", "question", "open_file", "existing_directory"
    QString title;    // title or caption
    QString text;     // text, or the start directory of a file dialog
    QString filter;   // file dialogs only
    QFileDialog::Options options;
};

class FakeDialogs : public Dialogs {
public:
    QString open_file(QWidget *parent, const QString &caption, const QString &directory,
                      const QString &filter) override;
    QString existing_directory(QWidget *parent, const QString &caption, const QString &directory,
                               QFileDialog::Options options) override;
    void critical(QWidget *parent, const QString &title, const QString &text) override;
    void information(QWidget *parent, const QString &title, const QString &text) override;
    bool question(QWidget *parent, const QString &title, const QString &text) override;

    std::vector<Asked> asked;
    std::deque<QString> files;        // answers of the open-file dialog; empty: cancelled
    std::deque<QString> directories;  // answers of the directory dialog; empty: cancelled
    bool answer_yes = false;
    std::function<void()> while_box_open;  // runs inside every message box
};

// The values a user types, field by field.
struct RunInputs {
    QString dfg = "dfg/fir.txt";  // under tests/data
    QString library = "lib/library_a.txt";
    QString adders = "2";
    QString multipliers = "2";
    QString subtractors;  // typed only when not empty
    QString comparators;
    QString count = "2";
    QString encodings = "1 5";
    QString order = "10";
    QString rounds = "80 64 32 16";
    QString size = "40";
};

// 4 December 2026, 18:56:52 local time: the clock every driven window reads.
std::time_t fixed_time();

class WindowDriver {
public:
    WindowDriver();
    ~WindowDriver();

    ::MainWindow &window() { return *window_; }
    const ::MainWindow &window() const { return *window_; }
    FakeDialogs &dialogs() { return *dialogs_; }

    template <class Widget>
    Widget *find(const char *name) const {
        return window_->findChild<Widget *>(name);
    }

    // Erases the field, types text and presses Enter.
    void type(const char *field, const QString &text);
    void click(const char *button);
    void load_dsp_core(const QString &path);
    void load_library(const QString &path);
    // Fills the form in until the window reaches stage (0..6 or 8).
    void drive_to(int stage, const RunInputs &inputs = {});

    // "tick", "cross", "asterisk", "" (no picture) or "other".
    QString icon(const char *label) const;
    bool done(const char *step_label) const;  // painted green
    QStringList enabled_outputs() const;      // names of the enabled output buttons
    QString console() const;
    // Boxes and dialogs opened since the last call.
    std::vector<Asked> take_asked();

private:
    std::unique_ptr<::MainWindow> window_;
    FakeDialogs *dialogs_;
};

// Every output button, in the order of the output grid.
const QStringList &output_button_names();

// The cell texts of the last table in the console, row by row.
std::vector<QStringList> last_console_table(const ::MainWindow &window);

}  // namespace velnor::test
