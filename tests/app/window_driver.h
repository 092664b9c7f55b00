// Drives the real window as a user does: types into its fields and presses
// Enter, clicks its buttons, and answers its boxes and file dialogs through a
// replaced dialogs interface that records what was asked.
#pragma once

#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <algorithm>
#include <ctime>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <utility>

#include "app/dialogs.h"
#include "app/main_window.h"
#include "tests/test_support.h"

namespace velnor::test {

// Records every box and file dialog the window opens as "kind title: text"
// (a file dialog: "file_dialog caption: start directory filter", a choice:
// "choice title: label item, item") and answers the file dialogs and choices
// from the queued paths and items, cancelling when none is left.
class FakeDialogs : public Dialogs {
public:
    QString open_file(QWidget *, const QString &caption, const QString &directory, const QString &filter) override {
        asked << "file_dialog " + caption + ": " + directory + " " + filter;
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    QString save_file(QWidget *parent, const QString &caption, const QString &directory,
                      const QString &filter) override {
        return open_file(parent, caption, directory, filter);
    }
    QString existing_directory(QWidget *, const QString &caption, const QString &directory,
                               QFileDialog::Options) override {
        asked << "file_dialog " + caption + ": " + directory;
        return directories.isEmpty() ? QString() : directories.takeFirst();
    }
    void critical(QWidget *, const QString &title, const QString &text) override { box("critical", title, text); }
    void information(QWidget *, const QString &title, const QString &text) override {
        box("information", title, text);
    }
    bool question(QWidget *, const QString &title, const QString &text) override {
        asked << "question " + title + ": " + text;
        return answer_yes;
    }
    QString choose_item(QWidget *, const QString &title, const QString &label, const QStringList &items) override {
        asked << "choice " + title + ": " + label + " " + items.join(", ");
        return choices.isEmpty() ? QString() : choices.takeFirst();
    }
    void box(const QString &kind, const QString &title, const QString &text) {
        asked << kind + " " + title + ": " + text;
        if (while_box_open)
            while_box_open();
    }

    QStringList asked, files, directories, choices;
    bool answer_yes = false;
    std::function<void()> while_box_open;  // runs inside every message box
};

inline QString data(const char *name) { return QString::fromStdString(data_path(name)); }

// The values a user types, field by field.
struct RunInputs {
    const char *dfg = "dfg/fir.txt", *adders = "2", *multipliers = "2", *count = "2", *encodings = "1 5",
               *order = "10", *rounds = "80 64 32 16", *size = "40";
    const char *subtractors = nullptr, *comparators = nullptr;  // typed only when given
};

// Every output button, in the order of the output grid.
inline const QStringList output_button_names{
    "pushButton",    "pushButton_15", "pushButton_2",  "pushButton_3",  "pushButton_4",  "pushButton_5",
    "pushButton_7",  "pushButton_6",  "pushButton_9",  "pushButton_8",  "pushButton_14", "pushButton_10",
    "pushButton_11", "pushButton_12", "pushButton_13", "pushButton_16", "pushButton_17"};

class WindowDriver {
public:
    WindowDriver() {
        window.set_dialogs(std::unique_ptr<Dialogs>(dialogs));
        window.set_clock([] {  // local time
            return std::time_t(QDateTime(QDate(2026, 12, 4), QTime(18, 56, 52)).toSecsSinceEpoch());
        });
        window.show();
    }

    template <class Widget = QWidget>
    Widget *find(const QString &name) const {
        return window.findChild<Widget *>(name);
    }
    int stage() const { return window.current_stage(); }
    QString console() const { return find<QTextEdit>("textEdit")->toPlainText(); }

    // Erases the field, types text and presses Enter.
    void type(const char *field, const QString &text) {
        QLineEdit *edit = find<QLineEdit>(field);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void click(const QString &button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
    void load_dsp_core(const QString &path) { load("pushButton_23", path); }
    void load_library(const QString &path) { load("pushButton_24", path); }
    void load(const char *button, const QString &path) {
        dialogs->files << path;
        click(button);
    }
    // Ctrl+key to target, or to the window, with the window active as under a user.
    void ctrl(int key, QWidget *target = nullptr) {
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(target ? target : &window, Qt::Key(key), Qt::ControlModifier);
    }

    // Fills the form in until the window reaches stage (0..6 or 8), going on
    // from stage from.
    void drive_to(int stage, const RunInputs &in = {}, int from = 0) {
        if (stage >= 1 && from < 1) {
            load_dsp_core(data(in.dfg));
            load_library(data("lib/library_a.txt"));
        }
        if (stage >= 2 && from < 2) {
            type("lineEdit_3", in.adders);
            type("lineEdit_4", in.multipliers);
            if (in.subtractors)
                type("lineEdit_5", in.subtractors);
            if (in.comparators)
                type("lineEdit_6", in.comparators);
        }
        const std::pair<int, std::pair<const char *, const char *>> steps[] = {
            {3, {"lineEdit_7", in.count}},   {4, {"lineEdit_8", in.encodings}}, {5, {"lineEdit", in.order}},
            {6, {"lineEdit_9", in.rounds}}, {7, {"lineEdit_10", in.size}}};
        for (const auto &[reached, field] : steps)
            if (stage >= reached && from < reached)
                type(field.first, field.second);
    }

    // "tick", "cross", "aster" (the asterisk), "" (no picture) or "other".
    QString icon(const QString &label) const {
        const QImage shown = find<QLabel>(label)->pixmap(Qt::ReturnByValue).toImage();
        for (const auto &[name, side] : {std::pair{"tick", 22}, {"cross", 22}, {"aster", 7}})
            if (shown == QPixmap(QString(":%1.png").arg(name)).scaled(side, side, Qt::KeepAspectRatio).toImage())
                return name;
        return shown.isNull() ? "" : "other";
    }
    // Expects the stage, the pictures of the named icon labels, the first
    // steps_done step labels green and the others red, and the first `enabled`
    // output buttons enabled and the others disabled.
    void expect_form(int at_stage, const std::map<QString, QString> &icons, int steps_done, int enabled) const {
        EXPECT_EQ(stage(), at_stage);
        for (const auto &[label, picture] : icons)
            EXPECT_EQ(icon(label), picture) << qPrintable(label);
        const QStringList steps{"label_3", "label_4", "label_5", "label_6"};
        for (int step = 0; step < steps.size(); ++step)
            EXPECT_EQ(find<QLabel>(steps[step])->styleSheet(), step < steps_done ? "background-color:rgb(0,255,0)"
                                                                                 : "background-color:rgb(241,16,68)")
                << qPrintable(steps[step]);
        for (int button = 0; button < output_button_names.size(); ++button)
            EXPECT_EQ(find<QPushButton>(output_button_names[button])->isEnabled(), button < enabled)
                << qPrintable(output_button_names[button]);
    }
    // Boxes and file dialogs opened since the last call.
    QStringList take_asked() { return std::exchange(dialogs->asked, {}); }
    // The message boxes alone, without the file dialogs and choices.
    QStringList boxes() {
        QStringList shown = take_asked();
        shown.erase(std::remove_if(shown.begin(), shown.end(), [](const QString &asked) {
                        return asked.startsWith("file_dialog ") || asked.startsWith("choice ");
                    }), shown.end());
        return shown;
    }

    FakeDialogs *dialogs = new FakeDialogs;  // owned by the window
    ::MainWindow window;
};

}  // namespace velnor::test
