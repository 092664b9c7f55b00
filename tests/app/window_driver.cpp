// The window driver and the recording dialogs.
#include "tests/app/window_driver.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>
#include <QTextTable>
#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace velnor::test {

QString FakeDialogs::open_file(QWidget *, const QString &caption, const QString &directory, const QString &filter) {
    asked.push_back({"open_file", caption, directory, filter, {}});
    if (files.empty())
        return {};
    const QString answer = files.front();
    files.pop_front();
    return answer;
}

QString FakeDialogs::existing_directory(QWidget *, const QString &caption, const QString &directory,
                                        QFileDialog::Options options) {
    asked.push_back({"existing_directory", caption, directory, {}, options});
    if (directories.empty())
        return {};
    const QString answer = directories.front();
    directories.pop_front();
    return answer;
}

void FakeDialogs::critical(QWidget *, const QString &title, const QString &text) {
    asked.push_back({"critical", title, text, {}, {}});
    if (while_box_open)
        while_box_open();
}

void FakeDialogs::information(QWidget *, const QString &title, const QString &text) {
    asked.push_back({"information", title, text, {}, {}});
    if (while_box_open)
        while_box_open();
}

bool FakeDialogs::question(QWidget *, const QString &title, const QString &text) {
    asked.push_back({"question", title, text, {}, {}});
    return answer_yes;
}

std::time_t fixed_time() {
    std::tm when{};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 11;
    when.tm_mday = 4;
    when.tm_hour = 18;
    when.tm_min = 56;
    when.tm_sec = 52;
    when.tm_isdst = -1;
    return std::mktime(&when);
}

WindowDriver::WindowDriver() : window_(std::make_unique<::MainWindow>()) {
    auto dialogs = std::make_unique<FakeDialogs>();
    dialogs_ = dialogs.get();
    window_->set_dialogs(std::move(dialogs));
    window_->set_clock(fixed_time);
    window_->show();
}

WindowDriver::~WindowDriver() = default;

void WindowDriver::type(const char *field, const QString &text) {
    QLineEdit *edit = find<QLineEdit>(field);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

void WindowDriver::click(const char *button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }

void WindowDriver::load_dsp_core(const QString &path) {
    dialogs_->files.push_back(path);
    click("pushButton_23");
}

void WindowDriver::load_library(const QString &path) {
    dialogs_->files.push_back(path);
    click("pushButton_24");
}

void WindowDriver::drive_to(int stage, const RunInputs &in) {
    const auto data = [](const QString &name) { return QString::fromStdString(data_path(name.toStdString())); };
    if (stage >= 1) {
        load_dsp_core(data(in.dfg));
        load_library(data(in.library));
    }
    if (stage >= 2) {
        type("lineEdit_3", in.adders);
        type("lineEdit_4", in.multipliers);
        if (!in.subtractors.isEmpty())
            type("lineEdit_5", in.subtractors);
        if (!in.comparators.isEmpty())
            type("lineEdit_6", in.comparators);
    }
    if (stage >= 3)
        type("lineEdit_7", in.count);
    if (stage >= 4)
        type("lineEdit_8", in.encodings);
    if (stage >= 5)
        type("lineEdit", in.order);
    if (stage >= 6)
        type("lineEdit_9", in.rounds);
    if (stage >= 8)
        type("lineEdit_10", in.size);
}

QString WindowDriver::icon(const char *label) const {
    const QPixmap shown = find<QLabel>(label)->pixmap(Qt::ReturnByValue);
    if (shown.isNull())
        return "";
    const QImage image = shown.toImage();
    const auto same = [&image](const char *resource, int side) {
        return image ==
               QPixmap(resource).scaled(side, side, Qt::KeepAspectRatio, Qt::FastTransformation).toImage();
    };
    if (same(":tick.png", 22))
        return "tick";
    if (same(":cross.png", 22))
        return "cross";
    if (same(":aster.png", 7))
        return "asterisk";
    return "other";
}

bool WindowDriver::done(const char *step_label) const {
    const QString style = find<QLabel>(step_label)->styleSheet();
    if (style == "background-color:rgb(0,255,0)")
        return true;
    EXPECT_EQ(style, "background-color:rgb(241,16,68)") << step_label;
    return false;
}

QStringList WindowDriver::enabled_outputs() const {
    QStringList enabled;
    for (const QString &name : output_button_names())
        if (find<QPushButton>(name.toUtf8().constData())->isEnabled())
            enabled << name;
    return enabled;
}

QString WindowDriver::console() const { return find<QTextEdit>("textEdit")->toPlainText(); }

std::vector<Asked> WindowDriver::take_asked() {
    std::vector<Asked> taken;
    taken.swap(dialogs_->asked);
    return taken;
}

const QStringList &output_button_names() {
    static const QStringList names{"pushButton",    "pushButton_15", "pushButton_2",  "pushButton_3",
                                   "pushButton_4",  "pushButton_5",  "pushButton_7",  "pushButton_6",
                                   "pushButton_9",  "pushButton_8",  "pushButton_14", "pushButton_10",
                                   "pushButton_11", "pushButton_12", "pushButton_13", "pushButton_16",
                                   "pushButton_17"};
    return names;
}

std::vector<QStringList> last_console_table(const ::MainWindow &window) {
    const QTextDocument *document = window.findChild<QTextEdit *>("textEdit")->document();
    QTextTable *table = nullptr;
    for (QTextFrame *frame : document->rootFrame()->childFrames())
        if (auto *found = qobject_cast<QTextTable *>(frame))
            table = found;
    std::vector<QStringList> rows;
    if (!table)
        return rows;
    for (int r = 0; r < table->rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            QTextCursor cursor = cell.firstCursorPosition();
            cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
            cells << cursor.selectedText();
        }
        rows.push_back(cells);
    }
    return rows;
}

}  // namespace velnor::test
