// The window driven through its widgets: its title and fields, the whole flow
// with what the form shows after each step, the loads, each field's refusals,
// the views, Reset, closing and the shortcuts.
#include <QDir>
#include <QScrollBar>
#include <QTextBlock>
#include <QMenu>
#include <QRegularExpression>

#include "flow/demo_inputs.h"
#include "tests/app/window_driver.h"

namespace velnor::test {
namespace {

// The title stays the product's name, the integer fields take only signed
// numbers, and Help, About names the version, the description and the license.
TEST(Form, TitleIntegerFieldsAndHelpAbout) {
    WindowDriver driver;
    driver.window.setWindowTitle("other");
    driver.window.resize(800, 600);
    QApplication::processEvents();
    EXPECT_EQ(driver.window.windowTitle(), "velnor");
    for (QLineEdit *field : driver.window.findChildren<QLineEdit *>()) {
        QTest::keyClicks(field, "a-3b");
        const bool free_text = QStringList{"lineEdit", "lineEdit_8", "lineEdit_9"}.contains(field->objectName());
        EXPECT_EQ(field->text(), free_text ? "a-3b" : "-3") << qPrintable(field->objectName());
    }

    QMenu *help = driver.find<QMenu>("menuHelp");
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->title(), "Help");
    ASSERT_EQ(help->actions().size(), 1);
    help->actions().first()->trigger();
    EXPECT_EQ(driver.boxes(), QStringList{"information About velnor: velnor " VELNOR_VERSION
                                          "\nHash-chain hardware steganography in high-level synthesis"
                                          "\nLicensed under the Apache License 2.0."});
    EXPECT_EQ(driver.window.current_stage(), 0);
}

TEST(WindowFlow, EachStepPaintsTheFormAndLaterEditsChangeNothing) {
    WindowDriver driver;
    driver.expect_form(0, {{"label_39", "aster"}, {"label_41", "aster"}, {"label_43", ""}}, 0, 0);

    driver.load_dsp_core(data("dfg/fir.txt"));
    EXPECT_EQ(driver.take_asked(),
              QStringList{"file_dialog open document: " + QDir::currentPath() + " text files(*.txt)"});
    EXPECT_EQ(driver.find<QLabel>("label_38")->text(), "fir.txt");
    driver.expect_form(0, {{"label_39", "tick"}, {"label_41", "aster"}}, 0, 0);

    driver.load_library(data("lib/library_a.txt"));
    EXPECT_EQ(driver.find<QLabel>("label_40")->text(), "library_a.txt");
    driver.expect_form(1, {{"label_41", "tick"}}, 0, 0);

    driver.type("lineEdit_3", "2");
    driver.type("lineEdit_5", "9");  // fir has no subtractors: ticked, not waited for
    driver.expect_form(1, {{"label_43", "tick"}, {"label_48", "tick"}, {"label_51", ""}}, 0, 0);

    const QString count_prompt = "please enter the number of encodings for the algorithm (max 9)";
    driver.type("lineEdit_4", "2");
    EXPECT_EQ(driver.boxes(), QStringList{"information info: " + count_prompt});
    EXPECT_TRUE(driver.console().endsWith("-> " + count_prompt));
    driver.expect_form(2, {{"label_47", "tick"}, {"label_51", "aster"}}, 1, 2);

    driver.type("lineEdit_7", "2");
    const QStringList rules = driver.boxes();
    ASSERT_EQ(rules.size(), 1);
    EXPECT_EQ(rules[0].size(), QString("information info: ").size() + 928);
    EXPECT_TRUE(rules[0].startsWith("information info: choose encoding of the blocks:\n1. bit \"0\" : if op# and cs#"));
    driver.expect_form(3, {{"label_51", "tick"}}, 1, 2);

    driver.type("lineEdit_8", "1 5");
    EXPECT_EQ(driver.boxes(), QStringList{"information info: Enter the key of size 2"});
    driver.expect_form(4, {{"label_53", "tick"}}, 1, 3);

    driver.type("lineEdit", "10");
    EXPECT_EQ(driver.boxes(), QStringList{"information info: please enter number of rounds for each of 4 blocks "
                                          "separated by space . \n 0<n<=80"});
    driver.expect_form(5, {{"label_2", "tick"}}, 2, 3);

    driver.type("lineEdit_9", "80 64 32 16");
    driver.expect_form(6, {{"label_55", "tick"}}, 3, 5);

    driver.type("lineEdit_10", "40");
    EXPECT_TRUE(driver.take_asked().empty());
    driver.expect_form(8, {{"label_57", "tick"}}, 4, 17);

    // A field accepted once cannot be changed, nor can the files.
    const QString console = driver.console();
    driver.type("lineEdit_3", "1");
    driver.type("lineEdit_7", "12");
    driver.type("lineEdit_10", "3");
    driver.load_dsp_core(data("dfg/arf.txt"));
    EXPECT_TRUE(driver.take_asked().empty());  // not even the file dialog opens
    EXPECT_EQ(driver.console(), console);
    driver.expect_form(8, {{"label_39", "tick"}, {"label_43", "tick"}}, 4, 17);

    // The views of the hash output and of the signature taken from it agree.
    const auto view = [&driver](const char *button) {
        const int before = driver.console().size();
        driver.click(button);
        return driver.console().mid(before + 4);  // after "\n-> "
    };
    const QString hash = view("pushButton_4");
    ASSERT_TRUE(QRegularExpression("^hash output string\n-> [01]{512}$").match(hash).hasMatch()) << qPrintable(hash);
    const QString signature = hash.right(512).left(40);
    EXPECT_EQ(view("pushButton_5"), signature);
    EXPECT_EQ(view("pushButton_7"), "number of ones: \n-> " + QString::number(signature.count('1')));
    EXPECT_EQ(view("pushButton_6"), "number of zeros: \n-> " + QString::number(signature.count('0')));
}

TEST(WindowConsole, ShowsTheDockAgainAndKeepsTheColourForUnknownNames) {
    WindowDriver driver;
    driver.find<QWidget>("dockWidget")->close();
    const auto write = [&](const char *color, const char *message) {
        QMetaObject::invokeMethod(&driver.window, "write_to_console", Q_ARG(QString, color), Q_ARG(QString, message));
        return driver.find<QTextEdit>("textEdit")->textColor();
    };
    EXPECT_EQ(write("red", "first"), QColor(Qt::red));
    EXPECT_TRUE(driver.find<QWidget>("dockWidget")->isVisible());
    EXPECT_EQ(write("green", "second"), QColor(Qt::red));
    EXPECT_EQ(write("blue", "third"), QColor(Qt::blue));
    EXPECT_TRUE(driver.console().endsWith("-> first\n-> second\n-> third"));
}

TEST(WindowConsole, AViewsTableIsAGridOfWholeNumbersThatScrollsSideways) {
    WindowDriver driver;
    driver.drive_to(8);
    driver.click("pushButton_17");
    const QTextEdit *console = driver.find<QTextEdit>("textEdit");
    EXPECT_EQ(console->lineWrapMode(), QTextEdit::NoWrap);
    EXPECT_TRUE(driver.console().contains("-> post-stego register allocation\n-> \ncs(\\/)/color(->) | 1  | 2  |"))
        << qPrintable(driver.console());
    EXPECT_TRUE(driver.console().contains("\n-----------------+----+----+"));
    // The next message is no longer in the grid's fixed-pitch font.
    QMetaObject::invokeMethod(&driver.window, "write_to_console", Q_ARG(QString, "blue"), Q_ARG(QString, "next"));
    const QTextBlock last = console->document()->lastBlock();
    EXPECT_EQ(last.text(), "-> next");
    EXPECT_FALSE(last.begin().fragment().charFormat().fontFixedPitch());
    EXPECT_TRUE(last.previous().begin().fragment().charFormat().fontFixedPitch());
    EXPECT_EQ(console->verticalScrollBar()->value(), console->verticalScrollBar()->maximum());
}

TEST(WindowViews, ViewsBelowTheirStageWriteNothing) {
    const QMap<QString, int> first_stage{{"pushButton_16", 1}, {"pushButton", 2}, {"pushButton_15", 4},
                                         {"pushButton_2", 4}};  // all others: 6
    for (int stage : {0, 1, 3, 5}) {
        WindowDriver driver;
        driver.drive_to(stage);
        for (const QString &button : output_button_names) {
            const QString before = driver.console();
            ASSERT_TRUE(QMetaObject::invokeMethod(&driver.window, qPrintable("on_" + button + "_clicked")));
            EXPECT_EQ(driver.console() != before, stage >= first_stage.value(button, 6)) << qPrintable(button);
        }
    }
}

TEST(WindowLoading, CancelledRefusedAndRepeatedLoads) {
    ScratchDir scratch;
    WindowDriver driver;
    driver.click("pushButton_23");  // no answer queued: cancelled
    driver.click("pushButton_24");
    EXPECT_EQ(driver.take_asked().size(), 2);  // the two dialogs, no box
    driver.expect_form(0, {{"label_39", "aster"}, {"label_41", "aster"}}, 0, 0);

    driver.load_dsp_core(data("dfg/arf.txt"));
    driver.load_dsp_core(QString::fromStdString(scratch.write("gap.txt", "* 0 0 1\n+ 1 1 3\n")));
    EXPECT_EQ(driver.boxes(),
              QStringList{"critical warning: file read unsuccessful or invalid file   .... Try again !!"});
    EXPECT_EQ(driver.icon("label_39"), "cross");
    EXPECT_EQ(driver.find<QLabel>("label_38")->text(), "arf.txt");
    driver.load_dsp_core(data("dfg/fir.txt"));  // replaces arf; one DSP core twice is still one file
    EXPECT_EQ(driver.find<QLabel>("label_38")->text(), "fir.txt");
    EXPECT_EQ(driver.stage(), 0);

    driver.load_library(QString::fromStdString(scratch.write("short.txt", "1 2 3\n")));
    EXPECT_EQ(driver.boxes(), QStringList{"critical error: file read error , select valid file format..!!"});
    EXPECT_EQ(driver.icon("label_41"), "cross");
    EXPECT_EQ(driver.stage(), 0);
    driver.load_library(data("lib/library_a.txt"));
    EXPECT_EQ(driver.icon("label_41"), "tick");
    EXPECT_EQ(driver.stage(), 1);
}

TEST(WindowLoading, OpenExampleLoadsTheDemosTwoFilesAndItsValuesRunTheWholeJob) {
    WindowDriver driver;
    driver.find<QAction>("actionOpenExample")->trigger();
    driver.expect_form(1, {{"label_39", "tick"}, {"label_41", "tick"}}, 0, 0);
    EXPECT_EQ(driver.find<QLabel>("label_38")->text(), "demo_filter.txt");
    EXPECT_EQ(driver.find<QLabel>("label_40")->text(), "demo_library.txt");
    EXPECT_TRUE(driver.console().contains("-> opened the example: DSP core demo_filter.txt and module library "
                                          "demo_library.txt; velnor-cli demo runs it with 2 adders"));
    const DemoInputs &demo = demo_inputs();
    RunInputs in;
    in.adders = demo.adders;
    in.multipliers = demo.multipliers;
    in.subtractors = demo.subtractors;
    in.count = "3";
    in.encodings = demo.encodings;
    in.order = demo.order;
    in.rounds = demo.rounds;
    in.size = demo.size;
    driver.drive_to(8, in, 1);
    EXPECT_EQ(driver.stage(), 8);
    // Only at the start, as the load buttons.
    const QString console = driver.console();
    driver.find<QAction>("actionOpenExample")->trigger();
    EXPECT_EQ(driver.stage(), 8);
    EXPECT_EQ(driver.console(), console);
}

TEST(WindowLoading, ACoreTheHashChainCannotTakeIsRefusedWithItsCountInRed) {
    ScratchDir scratch;
    WindowDriver driver;
    driver.load_dsp_core(data("dfg/arf.txt"));
    driver.take_asked();
    driver.load_dsp_core(QString::fromStdString(scratch.write("big.txt", chain_text(896))));
    EXPECT_EQ(driver.boxes(),
              QStringList{"critical warning: file read unsuccessful or invalid file   .... Try again !!"});
    EXPECT_EQ(driver.icon("label_39"), "cross");
    EXPECT_TRUE(driver.console().endsWith("-> big.txt has 896 operations; the hash chain takes at most 895"))
        << qPrintable(driver.console());
    EXPECT_EQ(driver.find<QTextEdit>("textEdit")->textColor(), QColor(Qt::red));
    EXPECT_EQ(driver.find<QLabel>("label_38")->text(), "arf.txt");
    driver.load_dsp_core(QString::fromStdString(scratch.write("largest.txt", chain_text(895))));
    EXPECT_EQ(driver.icon("label_39"), "tick");
    EXPECT_EQ(driver.find<QLabel>("label_38")->text(), "largest.txt");
}

// One refused entry: the field is typed at its stage and refused with its box
// (or none); a good entry afterwards moves the stage on.
struct Refusal {
    const char *name;
    int stage;  // the stage at which the field acts
    const char *field, *typed;
    const char *box;  // "": refused without a box
    const char *icon_label;
    const char *then;  // an accepted entry of the same field
    RunInputs inputs = {};
};

class FieldRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(FieldRefusal, ShowsCrossAndBoxAndKeepsTheStage) {
    const Refusal &refusal = GetParam();
    WindowDriver driver;
    driver.drive_to(refusal.stage, refusal.inputs);
    if (refusal.stage == 1)  // the other counts first, so that this one completes the constraints
        for (const auto &[field, count] : {std::pair{"lineEdit_3", "2"}, {"lineEdit_4", "2"}, {"lineEdit_5", "2"},
                                           {"lineEdit_6", "1"}})
            if (field != std::string(refusal.field))
                driver.type(field, count);
    driver.take_asked();

    driver.type(refusal.field, refusal.typed);
    EXPECT_EQ(driver.boxes(), *refusal.box ? QStringList{QString("critical error: ") + refusal.box} : QStringList());
    EXPECT_EQ(driver.icon(refusal.icon_label), "cross");
    EXPECT_EQ(driver.stage(), refusal.stage);

    driver.type(refusal.field, refusal.then);
    EXPECT_EQ(driver.icon(refusal.icon_label), "tick");
    EXPECT_GT(driver.stage(), refusal.stage);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FieldRefusal,
    ::testing::Values(
        Refusal{"AdderZeroWithoutBox", 1, "lineEdit_3", "0", "", "label_43", "2"},
        Refusal{"AdderAboveBound", 1, "lineEdit_3", "5",
                "Please feed the correct resource constraint. \nRequired adder should be less than  4", "label_43",
                "4"},
        Refusal{"MultiplierZero", 1, "lineEdit_4", "0", "Enter a non-zero number for multiplier", "label_47", "2"},
        Refusal{"SubtractorAboveBound", 1, "lineEdit_5", "3",
                "Please feed the correct resource constraint for subtractor!\nnumber of subtractor should be less "
                "than or equal to 2",
                "label_48", "2", {"dfg/diffeq.txt"}},
        Refusal{"ComparatorZero", 1, "lineEdit_6", "0", "number of comparator should be non-negative .", "label_49",
                "1", {"dfg/diffeq.txt"}},
        Refusal{"EncodingCountTen", 2, "lineEdit_7", "10",
                "Please feed the number of encodings between 1 and 9 inclusive\n ", "label_51", "9"},
        Refusal{"EncodingsRepeated", 3, "lineEdit_8", "5 5", "check for duplicate or invalid entry\n", "label_53",
                "5 6"},
        Refusal{"KeyTooShort", 4, "lineEdit", "1", "check size of the key", "label_2", "01"},
        Refusal{"RoundsAboveEighty", 5, "lineEdit_9", "81 64 32 16", "check input", "label_55", "80 80 80 80"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(WindowFields, ConstraintSizeOutsideZeroToLargestIsRefusedAndSaveWaits) {
    // fir under 2 adders and 2 multipliers has 32 variables (11 primary inputs,
    // 21 results), so at most 32 * 33 / 2 constraints.
    WindowDriver driver;
    driver.drive_to(6);
    driver.take_asked();
    for (const char *size : {"-1", "529"}) {
        driver.type("lineEdit_10", size);
        EXPECT_EQ(driver.boxes(), QStringList{"critical error: constraint size should be between 0 and 528"});
        EXPECT_EQ(driver.icon("label_57"), "cross");
        EXPECT_EQ(driver.stage(), 6);
    }
    driver.ctrl(Qt::Key_S, driver.find("lineEdit_10"));  // Save before the embedding
    EXPECT_EQ(driver.boxes(), QStringList{"information info: please complete the process first!"});
    driver.type("lineEdit_10", "528");
    EXPECT_EQ(driver.stage(), 8);
}

TEST(WindowFields, AFieldLosingFocusToItsOwnBoxActsOnce) {
    WindowDriver driver;
    driver.drive_to(2);
    QApplication::setActiveWindow(&driver.window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&driver.window));
    driver.take_asked();
    auto *field = driver.find<QLineEdit>("lineEdit_7");
    field->setFocus();
    ASSERT_TRUE(field->hasFocus());
    // A real modal box takes the focus from the field, which then reports
    // editing finished once more while the box is still open.
    driver.dialogs->while_box_open = [&driver] { driver.find<QTextEdit>("textEdit")->setFocus(); };
    QTest::keyClicks(field, "0");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(driver.take_asked().size(), 1);
}

class ResetFrom : public ::testing::TestWithParam<int> {};

TEST_P(ResetFrom, CtrlRInAFieldReturnsTheFormToItsStartStateAndKeepsTheConsole) {
    WindowDriver driver;
    // The step labels keep the window's font whatever their colour.
    const auto expect_window_font = [&driver](const char *when) {
        for (const char *name : {"label_3", "label_4", "label_5", "label_6"})
            EXPECT_EQ(driver.find<QLabel>(name)->font().toString(), driver.window.font().toString()) << name << when;
    };
    driver.drive_to(GetParam());
    expect_window_font(" before Reset");
    const QString console = driver.console();
    driver.dialogs->answer_yes = true;  // a completed, unsaved run asks first
    driver.ctrl(Qt::Key_R, driver.find("lineEdit_9"));

    driver.expect_form(0, {}, 0, 0);
    expect_window_font(" after Reset");
    for (const QLabel *label : driver.window.findChildren<QLabel *>()) {
        const bool marked = label->objectName() == "label_39" || label->objectName() == "label_41";
        EXPECT_EQ(driver.icon(label->objectName()), marked ? "aster" : "") << qPrintable(label->objectName());
    }
    for (const QLineEdit *field : driver.window.findChildren<QLineEdit *>())
        EXPECT_TRUE(field->text().isEmpty()) << qPrintable(field->objectName());
    EXPECT_TRUE(driver.find<QLabel>("label_38")->text().isEmpty());
    EXPECT_TRUE(driver.find<QLabel>("label_40")->text().isEmpty());
    EXPECT_EQ(driver.console(), console);
    QTest::keyClicks(driver.find<QLineEdit>("lineEdit_3"), "a1");  // the validator is still in place
    EXPECT_EQ(driver.find<QLineEdit>("lineEdit_3")->text(), "1");

    // Both files are needed again, in either order; the earlier loads no longer count.
    driver.load_library(data("lib/library_a.txt"));
    EXPECT_EQ(driver.stage(), 0);
    driver.load_dsp_core(data("dfg/fir.txt"));
    EXPECT_EQ(driver.stage(), 1);
}

INSTANTIATE_TEST_SUITE_P(Stages, ResetFrom, ::testing::Values(0, 1, 2, 3, 4, 5, 6, 8),
                         [](const auto &info) { return "Stage" + std::to_string(info.param); });

TEST(WindowClose, AsksOnlyFromStageOneAndNoKeepsTheWindowAndItsWork) {
    WindowDriver driver;
    driver.load_dsp_core(data("dfg/fir.txt"));
    driver.take_asked();
    EXPECT_TRUE(driver.window.close());
    EXPECT_TRUE(driver.take_asked().empty());

    driver.window.show();
    driver.load_library(data("lib/library_a.txt"));
    ASSERT_EQ(driver.stage(), 1);
    const QStringList question{"question close the window: do you want to close the window"};
    EXPECT_FALSE(driver.window.close());
    EXPECT_EQ(driver.boxes(), question);
    driver.type("lineEdit_3", "2");
    driver.type("lineEdit_4", "2");
    EXPECT_EQ(driver.stage(), 2);  // the work goes on

    driver.take_asked();
    driver.dialogs->answer_yes = true;
    EXPECT_TRUE(driver.window.close());
    EXPECT_EQ(driver.boxes(), question);
}

}  // namespace
}  // namespace velnor::test
