// The form as built: object names, classes, texts, fonts, palettes, the output
// grid, the menus, the dock, the validators, the title and the credits.
#include <QAction>
#include <QDockWidget>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTest>
#include <QTextEdit>
#include <QValidator>
#include <gtest/gtest.h>

#include "tests/app/window_driver.h"

namespace velnor::test {
namespace {

struct NamedText {
    const char *name;
    const char *text;
};

TEST(Form, LabelsAndButtonsCarryTheirTexts) {
    WindowDriver driver;
    const NamedText labels[] = {
        {"label_7", "Hash chaining based Hardware steganography"},
        {"label_42", "Adder"},
        {"label_44", "Multiplier"},
        {"label_45", "Subtractor"},
        {"label_46", "Comparator"},
        {"label_50", "Number of Encodings"},
        {"label_52", "Encodings"},
        {"label", "stego key "},
        {"label_54", "Round of hashes "},
        {"label_56", "constraint size"},
        {"label_3", "DFG scheduled"},
        {"label_4", "Encoding selection"},
        {"label_5", "Run hash"},
        {"label_6", "Insert constraint"},
    };
    for (const auto &[name, text] : labels) {
        const QLabel *label = driver.find<QLabel>(name);
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->text(), text) << name;
    }
    for (const auto &[name, text] : {NamedText{"pushButton_23", "Load DSP core"},
                                     NamedText{"pushButton_24", "Load module library"}}) {
        ASSERT_NE(driver.find<QPushButton>(name), nullptr) << name;
        EXPECT_EQ(driver.find<QPushButton>(name)->text(), text) << name;
    }
    const NamedText groups[] = {{"groupBox_10", "Input"},
                                {"groupBox_9", "Status"},
                                {"groupBox_8", "Output"},
                                {"groupBox_11", "Designer Specified Resource Constraint"}};
    for (const auto &[name, title] : groups) {
        ASSERT_NE(driver.find<QGroupBox>(name), nullptr) << name;
        EXPECT_EQ(driver.find<QGroupBox>(name)->title(), title) << name;
    }
    for (const char *status : {"label_3", "label_4", "label_5", "label_6"})
        EXPECT_EQ(driver.find<QLabel>(status)->alignment(), Qt::AlignCenter) << status;
    const QFont heading = driver.find<QLabel>("label_7")->font();
    EXPECT_EQ(heading.pointSize(), 14);
    EXPECT_TRUE(heading.bold());
    EXPECT_EQ(driver.window().font().pointSize(), 10);
}

TEST(Form, OutputButtonsSitInTheirGridCells) {
    WindowDriver driver;
    struct Cell {
        const char *name;
        const char *text;
        int row;
        int column;
    };
    const Cell cells[] = {
        {"pushButton", "Initial scheduled DFG", 0, 0},     {"pushButton_15", "Initial register allocation", 0, 1},
        {"pushButton_2", "Encoded Bit Stream", 1, 0},      {"pushButton_3", "Input to hash block 1", 1, 1},
        {"pushButton_4", "Final Hash output", 2, 0},       {"pushButton_5", "truncated bit stream", 2, 1},
        {"pushButton_7", "# of one's", 3, 0},              {"pushButton_6", "# of zeros", 3, 1},
        {"pushButton_9", "constraint of 1's", 4, 0},       {"pushButton_8", "constraint of 0's", 4, 1},
        {"pushButton_14", "Baseline cost", 5, 0},          {"pushButton_10", "cost phase 1", 5, 1},
        {"pushButton_11", "Final cost", 6, 0},             {"pushButton_12", "Pc phase 1", 6, 1},
        {"pushButton_13", "Final Pc", 7, 0},               {"pushButton_16", "Final scheduled DFG", 7, 1},
        {"pushButton_17", "Final register allocation", 8, 1},
    };
    const auto *grid = driver.find<QGridLayout>("gridLayout");
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->count(), 17);
    for (const Cell &cell : cells) {
        QPushButton *button = driver.find<QPushButton>(cell.name);
        ASSERT_NE(button, nullptr) << cell.name;
        EXPECT_EQ(button->text(), cell.text) << cell.name;
        int row = -1, column = -1, row_span = 0, column_span = 0;
        grid->getItemPosition(grid->indexOf(button), &row, &column, &row_span, &column_span);
        EXPECT_EQ(std::make_tuple(row, column, row_span, column_span), std::make_tuple(cell.row, cell.column, 1, 1))
            << cell.name;
    }
}

TEST(Form, QtKnowsTheWindowByItsClassName) {
    WindowDriver driver;
    EXPECT_STREQ(driver.window().metaObject()->className(), "MainWindow");
}

TEST(Form, MenusActionsDockAndStatusBar) {
    WindowDriver driver;
    const auto *save = driver.find<QAction>("actionSave");
    const auto *reset = driver.find<QAction>("actionReset");
    ASSERT_TRUE(save && reset);
    EXPECT_EQ(save->text(), "Save");
    EXPECT_EQ(save->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(reset->text(), "Reset");
    EXPECT_EQ(reset->shortcut(), QKeySequence("Ctrl+R"));

    const QList<QAction *> menus = driver.find<QMenuBar>("menubar")->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), "File");
    EXPECT_EQ(menus[1]->text(), "option");
    EXPECT_EQ(driver.find<QMenu>("menuFile")->actions(), QList<QAction *>{const_cast<QAction *>(save)});
    EXPECT_EQ(driver.find<QMenu>("menuoption")->actions(), QList<QAction *>{const_cast<QAction *>(reset)});
    EXPECT_EQ(driver.window().statusBar(), driver.find<QStatusBar>("statusbar"));

    auto *dock = driver.find<QDockWidget>("dockWidget");
    ASSERT_NE(dock, nullptr);
    EXPECT_EQ(driver.window().dockWidgetArea(dock), Qt::BottomDockWidgetArea);
    EXPECT_FALSE(driver.find<QTextEdit>("textEdit")->isReadOnly());
    EXPECT_TRUE(driver.find<QScrollArea>("scrollArea_2")->widgetResizable());
}

TEST(Form, PalettesOfTheWindowAndTheCentralWidget) {
    WindowDriver driver;
    const QPalette window = driver.window().palette();
    EXPECT_EQ(window.color(QPalette::Active, QPalette::WindowText), QColor(0, 0, 127));
    EXPECT_EQ(window.color(QPalette::Active, QPalette::ButtonText), QColor(112, 0, 0));
    EXPECT_EQ(window.color(QPalette::Active, QPalette::Window), QColor(170, 170, 255));
    EXPECT_EQ(window.color(QPalette::Inactive, QPalette::WindowText), QColor(0, 0, 0));
    EXPECT_EQ(window.color(QPalette::Disabled, QPalette::Base), QColor(170, 170, 255));
    EXPECT_EQ(window.color(QPalette::Active, QPalette::PlaceholderText), QColor(0, 0, 127, 128));
    EXPECT_EQ(window.color(QPalette::Disabled, QPalette::PlaceholderText), QColor(0, 0, 0, 128));
    const QPalette central = driver.find<QWidget>("centralwidget")->palette();
    EXPECT_EQ(central.color(QPalette::Active, QPalette::Window), QColor(151, 156, 247));
    EXPECT_EQ(central.color(QPalette::Disabled, QPalette::Base), QColor(151, 156, 247));
}

TEST(Form, IntegerFieldsRefuseLettersAndFreeTextFieldsTakeThem) {
    WindowDriver driver;
    for (const char *field : {"lineEdit_3", "lineEdit_4", "lineEdit_5", "lineEdit_6", "lineEdit_7", "lineEdit_10"}) {
        auto *edit = driver.find<QLineEdit>(field);
        QTest::keyClicks(edit, "a-3b");
        EXPECT_EQ(edit->text(), "-3") << field;
    }
    for (const char *field : {"lineEdit_8", "lineEdit", "lineEdit_9"}) {
        auto *edit = driver.find<QLineEdit>(field);
        QTest::keyClicks(edit, "a-3b");
        EXPECT_EQ(edit->text(), "a-3b") << field;
    }
}

TEST(Form, TitleBarShowsTheProductNameAfterEveryResize) {
    WindowDriver driver;
    EXPECT_EQ(driver.window().windowTitle(), "velnor");
    driver.window().setWindowTitle("other");
    driver.window().resize(800, 600);
    QApplication::processEvents();
    EXPECT_EQ(driver.window().windowTitle(), "velnor");
}

TEST(Form, CreditsDescribeTheToolAndItsVersion) {
    WindowDriver driver;
    EXPECT_TRUE(driver.find<QLabel>("label_8")->text().contains("velnor"));
    EXPECT_TRUE(driver.find<QLabel>("label_9")->text().contains(VELNOR_VERSION));
    EXPECT_EQ(driver.find<QLabel>("label_9")->alignment(), Qt::AlignRight | Qt::AlignTrailing | Qt::AlignVCenter);
}

}  // namespace
}  // namespace velnor::test
