// The window's Explore dialog: refused before both files are loaded; a run in
// the background fills the table with one row per combination, and a chosen
// row is typed into the form's fields.
#include <QAction>
#include <QComboBox>
#include <QSpinBox>
#include <QTableWidget>

#include "app/explore_dialog.h"
#include "tests/app/window_driver.h"

namespace velnor::test {
namespace {

TEST(ExploreDialog, NeedsBothFilesLoaded) {
    WindowDriver driver;
    driver.load_dsp_core(data("dfg/fir.txt"));
    driver.take_asked();
    driver.window.findChild<QAction *>("actionExplore")->trigger();
    EXPECT_EQ(driver.take_asked(), QStringList{"information info: Load a DSP core and a module library first."});
    EXPECT_EQ(driver.window.findChild<ExploreDialog *>(), nullptr);
}

TEST(ExploreDialog, RunsEveryCombinationAndAChosenRowFillsTheForm) {
    WindowDriver driver;
    driver.load_dsp_core(data("dfg/fir.txt"));
    driver.load_library(data("lib/library_a.txt"));
    driver.window.findChild<QAction *>("actionExplore")->trigger();
    auto *dialog = driver.window.findChild<ExploreDialog *>();
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QLineEdit *>("adders")->setText("1 3");
    dialog->findChild<QLineEdit *>("multipliers")->setText("2");
    dialog->findChild<QLineEdit *>("sizes")->setText("10 300");
    dialog->findChild<QSpinBox *>("random_keys")->setValue(3);
    dialog->findChild<QComboBox *>("embeddings")->setCurrentText("specified and strong");
    auto *run = dialog->findChild<QPushButton *>("run");
    QTest::mouseClick(run, Qt::LeftButton);
    EXPECT_FALSE(run->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(run->isEnabled(), 60000);

    auto *table = dialog->findChild<QTableWidget *>("results");
    ASSERT_EQ(table->rowCount(), 24);  // 2 adder counts x 3 keys x 2 embeddings x 2 sizes
    table->sortItems(/*column=*/0, Qt::DescendingOrder);
    EXPECT_EQ(table->item(0, 0)->data(Qt::DisplayRole).toInt(), 23);
    EXPECT_EQ(table->item(0, 9)->text(), "strong");
    table->selectRow(0);
    QTest::mouseClick(dialog->findChild<QPushButton *>("use"), Qt::LeftButton);
    EXPECT_EQ(driver.find<QLineEdit>("lineEdit_3")->text(), "3");
    EXPECT_EQ(driver.find<QLineEdit>("lineEdit_4")->text(), "2");
    EXPECT_EQ(driver.find<QLineEdit>("lineEdit_8")->text(), table->item(0, 6)->text());
    EXPECT_EQ(driver.find<QLineEdit>("lineEdit_9")->text(), table->item(0, 8)->text());
    EXPECT_EQ(driver.find<QLineEdit>("lineEdit_10")->text(), "300");
    EXPECT_TRUE(driver.window.findChild<QAction *>("actionStrong_embedding")->isChecked());
    dialog->close();
}

}  // namespace
}  // namespace velnor::test
