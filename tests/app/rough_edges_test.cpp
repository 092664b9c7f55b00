// What a new user met in the window beyond the specified texts: the reason of
// a refused load, Reset of an unsaved run, the next field kept in view, and
// standard output lines. Where Save put its files is checked with Save, the
// step labels' font with Reset.
#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextEdit>
#include <QTemporaryDir>
#include <iostream>
#include <sstream>

#include "tests/app/window_driver.h"

namespace velnor::test {
namespace {

// Collects what the window writes to standard output while it lives.
class CapturedOutput {
public:
    CapturedOutput() : previous_(std::cout.rdbuf(captured_.rdbuf())) {}
    ~CapturedOutput() { std::cout.rdbuf(previous_); }
    std::string text() const { return captured_.str(); }

private:
    std::ostringstream captured_;
    std::streambuf *previous_;
};

TEST(RoughEdges, ResetAsksBeforeThrowingAwayACompletedUnsavedRun) {
    WindowDriver driver;
    driver.drive_to(6);
    driver.take_asked();
    driver.window.findChild<QAction *>("actionReset")->trigger();
    EXPECT_EQ(driver.stage(), 0);  // an unfinished run is reset at once
    EXPECT_TRUE(driver.boxes().isEmpty());

    driver.drive_to(8);
    driver.boxes();
    driver.window.findChild<QAction *>("actionReset")->trigger();
    EXPECT_EQ(driver.boxes(), QStringList{"question reset: the completed run has not been saved; do you want to "
                                          "reset the form?"});
    EXPECT_EQ(driver.stage(), 8);  // No keeps the run

    QTemporaryDir folder;
    driver.dialogs->directories << folder.path();
    driver.window.findChild<QAction *>("actionSave")->trigger();
    driver.take_asked();
    driver.window.findChild<QAction *>("actionReset")->trigger();
    EXPECT_TRUE(driver.boxes().isEmpty());  // saved: nothing to lose
    EXPECT_EQ(driver.stage(), 0);
}

TEST(RoughEdges, TheNextFieldToFillIsScrolledIntoViewAndFocused) {
    WindowDriver driver;
    driver.window.resize(1029, 714);  // the form's own size
    QApplication::setActiveWindow(&driver.window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&driver.window));
    const auto *column = driver.find<QScrollArea>("scrollArea_2");
    const char *const next_after[] = {"lineEdit_3", "lineEdit_7", "lineEdit_8", "lineEdit",
                                      "lineEdit_9", "lineEdit_10"};
    const int stages[] = {1, 2, 3, 4, 5, 6};
    for (int index = 0; index < 6; ++index) {
        driver.drive_to(stages[index], {}, index == 0 ? 0 : stages[index - 1]);
        QWidget *field = driver.find<QLineEdit>(next_after[index]);
        EXPECT_EQ(QApplication::focusWidget(), field) << "at stage " << stages[index];
        const QRect shown(field->mapTo(column->viewport(), QPoint(0, 0)), field->size());
        EXPECT_TRUE(column->viewport()->rect().contains(shown)) << "at stage " << stages[index];
    }
}

// A refused load writes its reason in red to the console, after its box, and
// to standard output after the unreadable-file note.
TEST(RoughEdges, ARefusedLoadGivesItsReasonOnTheConsoleAndStandardOutput) {
    CapturedOutput output;
    WindowDriver driver;
    QTemporaryDir folder;
    const QString missing = folder.filePath("nosuch.txt");
    driver.load_dsp_core(missing);
    EXPECT_EQ(output.text(), "file read error\ncannot open " + missing.toStdString() + "\n");
    driver.load_library(missing);
    const QString console = driver.console();
    EXPECT_TRUE(console.contains("-> cannot open " + missing + "\n-> cannot open " + missing))
        << qPrintable(console);
    QTextCursor cursor = driver.find<QTextEdit>("textEdit")->textCursor();
    cursor.movePosition(QTextCursor::End);
    EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(Qt::red));
    EXPECT_EQ(driver.boxes().size(), 2);
}

TEST(RoughEdges, StandardOutputNamesTheRoundCount) {
    CapturedOutput output;
    WindowDriver driver;
    driver.drive_to(5);
    driver.type("lineEdit_9", "80 64 32");  // parses, but four blocks need four counts
    EXPECT_EQ(driver.stage(), 5);
    const std::string text = output.text();
    EXPECT_NE(text.find("80 64 32Round count :\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace velnor::test

namespace velnor::test {
namespace {

// The console stays at its newest line when the Datapath dock opens and the
// window changes size; a user who scrolled back to read is left there.
TEST(RoughEdges, TheConsoleKeepsItsNewestLineInView) {
    WindowDriver driver;
    driver.window.resize(900, 600);
    driver.drive_to(8);
    QScrollBar *bar = driver.find<QTextEdit>("textEdit")->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
    driver.find<QAction>("actionDatapath")->trigger();
    driver.window.resize(700, 500);
    QApplication::processEvents();
    EXPECT_EQ(bar->value(), bar->maximum());

    bar->setValue(0);  // reading the beginning
    driver.window.resize(900, 650);
    QApplication::processEvents();
    EXPECT_EQ(bar->value(), 0);
    driver.find<QPushButton>("pushButton_5")->click();  // the signature: a new line brings the end back
    QApplication::processEvents();
    EXPECT_EQ(bar->value(), bar->maximum());
}

// The console says which embedding ran once the constraint size is accepted.
TEST(RoughEdges, TheConsoleNamesTheEmbeddingThatRan) {
    WindowDriver specified;
    specified.drive_to(8);
    EXPECT_TRUE(specified.console().contains(QRegularExpression("specified embedding: \\d+ zero and \\d+ one constraints")));
    WindowDriver strong;
    strong.find<QAction>("actionStrong_embedding")->setChecked(true);
    strong.drive_to(8);
    EXPECT_TRUE(strong.console().contains(QRegularExpression("strong embedding: \\d+ together constraints placed")))
        << qPrintable(strong.console().right(300));
}

}  // namespace
}  // namespace velnor::test
