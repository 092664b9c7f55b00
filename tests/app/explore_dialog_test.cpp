// The window's Explore dialog: refused before both files are loaded; lists that
// open fitted to the loaded core; a run in the background fills the table with
// one row per combination and counts the refused ones by reason; a chosen row
// becomes the window's new run, after the same question as Reset.
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QSpinBox>
#include <QTableWidget>

#include "app/explore_dialog.h"
#include "tests/app/window_driver.h"

namespace velnor::test {
namespace {

const QString reset_question =
    "question reset: the completed run has not been saved; do you want to reset the form?";

// Opens the dialog on the loaded files.
ExploreDialog *open_explore(WindowDriver &driver) {
    driver.window.findChild<QAction *>("actionExplore")->trigger();
    return driver.window.findChild<ExploreDialog *>();
}

QTableWidget *run_exploration(ExploreDialog *dialog) {
    auto *run = dialog->findChild<QPushButton *>("run");
    QTest::mouseClick(run, Qt::LeftButton);
    EXPECT_FALSE(run->isEnabled());
    EXPECT_TRUE(QTest::qWaitFor([run] { return run->isEnabled(); }, 120000));
    return dialog->findChild<QTableWidget *>("results");
}

int column(const QTableWidget *table, const QString &title) {
    for (int c = 0; c < table->columnCount(); ++c)
        if (table->horizontalHeaderItem(c)->text() == title)
            return c;
    ADD_FAILURE() << "no column " << qPrintable(title);
    return 0;
}

QString cell(const QTableWidget *table, int row, const QString &title) {
    const QTableWidgetItem *item = table->item(row, column(table, title));
    return item ? item->text() : QString();
}

std::vector<int> numbers(const QLineEdit *field) {
    std::vector<int> values;
    for (const QString &token : field->text().split(' ', Qt::SkipEmptyParts))
        values.push_back(token.toInt());
    return values;
}

TEST(ExploreDialog, NeedsBothFilesLoaded) {
    WindowDriver driver;
    driver.load_dsp_core(data("dfg/fir.txt"));
    driver.take_asked();
    driver.window.findChild<QAction *>("actionExplore")->trigger();
    EXPECT_EQ(driver.take_asked(), QStringList{"information info: Load a DSP core and a module library first."});
    EXPECT_EQ(driver.window.findChild<ExploreDialog *>(), nullptr);
}

// fir has additions and multiplications only; diffeq has two subtractions and one comparison.
TEST(ExploreDialog, DefaultsFitTheCoreAndRunWithoutRefusingEverything) {
    WindowDriver fir;
    fir.drive_to(1);
    ExploreDialog *dialog = open_explore(fir);
    EXPECT_EQ(dialog->findChild<QLineEdit *>("subtractors")->text(), "");
    EXPECT_EQ(dialog->findChild<QLineEdit *>("comparators")->text(), "");
    for (const char *name : {"adders", "multipliers"})
        for (int count : numbers(dialog->findChild<QLineEdit *>(name)))
            EXPECT_TRUE(count >= 1 && count <= 4) << name << " " << count;  // library_a: at most 4

    WindowDriver diffeq;
    diffeq.drive_to(1, RunInputs{"dfg/diffeq.txt"});
    dialog = open_explore(diffeq);
    const std::pair<const char *, int> bounds[] = {
        {"adders", 2}, {"multipliers", 4}, {"subtractors", 2}, {"comparators", 1}};
    for (const auto &[name, bound] : bounds) {
        const std::vector<int> counts = numbers(dialog->findChild<QLineEdit *>(name));
        EXPECT_FALSE(counts.empty()) << name;
        for (int count : counts)
            EXPECT_TRUE(count >= 1 && count <= bound) << name << " " << count;
    }
    dialog->findChild<QSpinBox *>("random_keys")->setValue(2);
    QTableWidget *table = run_exploration(dialog);
    int accepted = 0;
    for (int row = 0; row < table->rowCount(); ++row)
        accepted += cell(table, row, "refused because").isEmpty();
    EXPECT_GT(accepted, 0) << qPrintable(cell(table, 0, "refused because"));
}

TEST(ExploreDialog, CountsRefusalsByReasonAndShowsEachReasonWhole) {
    WindowDriver driver;
    driver.drive_to(1);
    ExploreDialog *dialog = open_explore(driver);
    dialog->findChild<QLineEdit *>("adders")->setText("1 9");
    dialog->findChild<QLineEdit *>("multipliers")->setText("2");
    dialog->findChild<QLineEdit *>("sizes")->setText("40 5000");
    dialog->findChild<QSpinBox *>("random_keys")->setValue(2);
    QTableWidget *table = run_exploration(dialog);
    ASSERT_EQ(table->rowCount(), 8);

    QString too_many_adders, too_large;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem *reason = table->item(row, column(table, "refused because"));
        if (!reason)
            continue;
        EXPECT_EQ(reason->toolTip(), reason->text());
        (cell(table, row, "add") == "9" ? too_many_adders : too_large) = reason->toolTip();
    }
    EXPECT_TRUE(too_many_adders.startsWith("--adders: ") && too_many_adders.endsWith("got 9"))
        << qPrintable(too_many_adders);
    EXPECT_TRUE(too_large.startsWith("--size: ")) << qPrintable(too_large);
    EXPECT_EQ(dialog->findChild<QLabel *>("refusals")->text(),
              QString::fromUtf8("6 of the 8 combinations run were refused:\n4 × %1\n2 × %2")
                  .arg(too_many_adders, too_large));
}

TEST(ExploreDialog, AChosenRowBecomesTheNewRunAfterTheResetQuestion) {
    WindowDriver driver;
    driver.drive_to(8);  // fir, 2 adders, 2 multipliers, size 40, specified: completed and not saved
    ExploreDialog *dialog = open_explore(driver);
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QLineEdit *>("adders")->setText("1 3");
    dialog->findChild<QLineEdit *>("multipliers")->setText("2");
    dialog->findChild<QLineEdit *>("sizes")->setText("10 300");
    dialog->findChild<QSpinBox *>("random_keys")->setValue(3);
    dialog->findChild<QComboBox *>("embeddings")->setCurrentText("specified and strong");
    QTableWidget *table = run_exploration(dialog);
    ASSERT_EQ(table->rowCount(), 24);  // 2 adder counts x 3 keys x 2 embeddings x 2 sizes
    table->sortItems(column(table, "#"), Qt::DescendingOrder);
    EXPECT_EQ(cell(table, 0, "#"), "23");
    EXPECT_EQ(cell(table, 0, "embedding"), "strong");
    table->selectRow(0);
    const QString console = driver.console();
    driver.take_asked();

    // Declined: nothing changes.
    QTest::mouseClick(dialog->findChild<QPushButton *>("use"), Qt::LeftButton);
    EXPECT_EQ(driver.take_asked(), QStringList{reset_question});
    EXPECT_EQ(driver.stage(), 8);
    EXPECT_EQ(driver.find<QLineEdit>("lineEdit_3")->text(), "2");
    EXPECT_EQ(driver.find<QLineEdit>("lineEdit_10")->text(), "40");
    EXPECT_FALSE(driver.window.findChild<QAction *>("actionStrong_embedding")->isChecked());
    EXPECT_EQ(driver.console(), console);

    // Accepted: the row's run, completed, on the same two files, with no box
    // but the question and no file dialog.
    driver.dialogs->answer_yes = true;
    QTest::mouseClick(dialog->findChild<QPushButton *>("use"), Qt::LeftButton);
    EXPECT_EQ(driver.take_asked(), QStringList{reset_question});
    driver.expect_form(8, {{"label_39", "tick"}, {"label_41", "tick"}, {"label_43", "tick"}, {"label_57", "tick"}}, 4,
                       17);
    EXPECT_EQ(driver.find<QLabel>("label_38")->text(), "fir.txt");
    EXPECT_EQ(driver.find<QLabel>("label_40")->text(), "library_a.txt");
    EXPECT_EQ(driver.find<QLineEdit>("lineEdit_3")->text(), "3");
    EXPECT_EQ(driver.find<QLineEdit>("lineEdit_4")->text(), "2");
    EXPECT_EQ(driver.find<QLineEdit>("lineEdit_8")->text(), cell(table, 0, "encodings"));
    EXPECT_EQ(driver.find<QLineEdit>("lineEdit_9")->text(), cell(table, 0, "rounds"));
    EXPECT_EQ(driver.find<QLineEdit>("lineEdit_10")->text(), "300");
    auto *strong = driver.window.findChild<QAction *>("actionStrong_embedding");
    EXPECT_TRUE(strong->isChecked());
    EXPECT_FALSE(strong->isEnabled());
    const double pc_phase2 = table->item(0, column(table, "pc_phase2"))->data(Qt::DisplayRole).toDouble();
    driver.click("pushButton_13");
    const QString last_lines = driver.console().section("\n", -2);
    const QString pc_line = "-> Pc value after phase 2 \n-> " + QString::number(pc_phase2, 'g', 6) + " (log10 ";
    EXPECT_TRUE(last_lines.startsWith(pc_line))
        << qPrintable(last_lines);

    // Another core loaded since: the row is not run on it.
    driver.find<QAction>("actionReset")->trigger();
    driver.drive_to(1, RunInputs{"dfg/arf.txt"});
    driver.take_asked();
    QTest::mouseClick(dialog->findChild<QPushButton *>("use"), Qt::LeftButton);
    EXPECT_EQ(driver.take_asked(),
              QStringList{"information info: The explored DSP core or module library is no longer the one loaded; "
                          "explore again."});
    EXPECT_EQ(driver.stage(), 1);
    dialog->close();
}

}  // namespace
}  // namespace velnor::test
