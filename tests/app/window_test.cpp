// The window driven through its widgets: the whole flow with what the form
// shows after each step, the loads, each field's refusals, the views, Reset,
// closing, the shortcuts and the console.
#include <QAction>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <gtest/gtest.h>
#include <sstream>

#include "core/loading.h"
#include "synthesis/resource_constraints.h"
#include "tests/app/window_driver.h"
#include "tests/test_support.h"

namespace velnor::test {
namespace {

QString data(const char *name) { return QString::fromStdString(data_path(name)); }

// What the form shows at one point of the flow.
struct FormState {
    int stage;
    std::map<const char *, const char *> icons;  // icon label -> picture
    std::vector<const char *> done;              // step labels painted green
    QStringList enabled;                         // enabled output buttons
};

void expect_form(const WindowDriver &driver, const FormState &expected) {
    EXPECT_EQ(driver.window().current_stage(), expected.stage);
    for (const auto &[label, picture] : expected.icons)
        EXPECT_EQ(driver.icon(label), picture) << label;
    for (const char *step : {"label_3", "label_4", "label_5", "label_6"}) {
        const bool green = std::find_if(expected.done.begin(), expected.done.end(), [step](const char *done) {
                               return std::string(done) == step;
                           }) != expected.done.end();
        EXPECT_EQ(driver.done(step), green) << step;
    }
    EXPECT_EQ(driver.enabled_outputs(), expected.enabled);
}

void expect_one_box(WindowDriver &driver, const char *kind, const char *title, const QString &text) {
    const std::vector<Asked> asked = driver.take_asked();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].kind, kind);
    EXPECT_EQ(asked[0].title, title);
    EXPECT_EQ(asked[0].text, text);
}

QString last_console_line(const WindowDriver &driver) {
    return driver.find<QTextEdit>("textEdit")->document()->lastBlock().text();
}

// The main design as loading and the constraints 2 adders, 2 multipliers make it.
Design reference_design() {
    std::ostringstream ignored;
    Design design;
    load_dsp_core(design, data_path("dfg/fir.txt"), ignored);
    load_module_library(design, data_path("lib/library_a.txt"));
    design.resources[Add] = 2;
    design.resources[Multiply] = 2;
    synthesize_under_constraints(design, ignored);
    return design;
}

TEST(WindowFlow, EachStepPaintsTheFormAndAdvancesTheStage) {
    WindowDriver driver;
    expect_form(driver, {0, {{"label_39", "asterisk"}, {"label_41", "asterisk"}, {"label_43", ""}}, {}, {}});

    driver.load_dsp_core(data("dfg/fir.txt"));
    EXPECT_EQ(driver.take_asked().size(), 1u);  // the file dialog only
    EXPECT_EQ(driver.find<QLabel>("label_38")->text(), "fir.txt");
    expect_form(driver, {0, {{"label_39", "tick"}, {"label_41", "asterisk"}}, {}, {}});

    driver.load_library(data("lib/library_a.txt"));
    driver.take_asked();
    EXPECT_EQ(driver.find<QLabel>("label_40")->text(), "library_a.txt");
    expect_form(driver, {1, {{"label_39", "tick"}, {"label_41", "tick"}}, {}, {}});

    driver.type("lineEdit_3", "2");
    EXPECT_TRUE(driver.take_asked().empty());
    expect_form(driver, {1, {{"label_43", "tick"}, {"label_51", ""}}, {}, {}});

    driver.type("lineEdit_4", "2");
    expect_one_box(driver, "information", "info", "please enter the number of encodings for the algorithm (max 9)");
    EXPECT_EQ(last_console_line(driver), "-> please enter the number of encodings for the algorithm (max 9)");
    expect_form(driver, {2, {{"label_47", "tick"}, {"label_51", "asterisk"}}, {"label_3"}, {"pushButton", "pushButton_15"}});

    driver.type("lineEdit_7", "2");
    {
        const std::vector<Asked> asked = driver.take_asked();
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].title, "info");
        EXPECT_EQ(asked[0].text.size(), 928);
        EXPECT_TRUE(asked[0].text.startsWith("choose encoding of the blocks:\n1. bit \"0\" : if op# and cs#"));
        EXPECT_TRUE(asked[0].text.endsWith(
            "\n9. bit \"0\" : if cs# = 2nd odd sequence of the op# \n   bit \"1\" : for all other cases.\n( choose "
            "different encoding for different blocks , enter id of the encoding in order )\n"));
    }
    expect_form(driver, {3, {{"label_51", "tick"}}, {"label_3"}, {"pushButton", "pushButton_15"}});

    driver.type("lineEdit_8", "1 5");
    expect_one_box(driver, "information", "info", "Enter the key of size 2");
    expect_form(driver, {4, {{"label_53", "tick"}}, {"label_3"}, {"pushButton", "pushButton_15", "pushButton_2"}});

    driver.type("lineEdit", "10");
    expect_one_box(driver, "information", "info",
                   "please enter number of rounds for each of 4 blocks separated by space . \n 0<n<=80");
    expect_form(driver, {5, {{"label_2", "tick"}}, {"label_3", "label_4"}, {"pushButton", "pushButton_15", "pushButton_2"}});

    driver.type("lineEdit_9", "80 64 32 16");
    EXPECT_TRUE(driver.take_asked().empty());
    expect_form(driver, {6,
                         {{"label_55", "tick"}},
                         {"label_3", "label_4", "label_5"},
                         {"pushButton", "pushButton_15", "pushButton_2", "pushButton_3", "pushButton_4"}});

    driver.type("lineEdit_10", "40");
    EXPECT_TRUE(driver.take_asked().empty());
    expect_form(driver, {8, {{"label_57", "tick"}}, {"label_3", "label_4", "label_5", "label_6"}, output_button_names()});
}

TEST(WindowFlow, LaterEditsOfAcceptedFieldsChangeNothing) {
    WindowDriver driver;
    driver.drive_to(3);
    driver.take_asked();
    const QString console = driver.console();
    driver.type("lineEdit_3", "1");
    driver.type("lineEdit_4", "9");
    driver.type("lineEdit_7", "12");
    driver.load_dsp_core(data("dfg/arf.txt"));
    EXPECT_TRUE(driver.take_asked().empty());  // not even the file dialog opens
    EXPECT_EQ(driver.console(), console);
    EXPECT_EQ(driver.window().current_stage(), 3);
    EXPECT_EQ(driver.icon("label_47"), "tick");
}

TEST(WindowViews, EveryViewWritesItsLabelAndValue) {
    WindowDriver driver;
    driver.drive_to(8);
    const auto view = [&driver](const char *button) {
        const int before = driver.console().size();
        driver.click(button);
        return driver.console().mid(before);
    };
    const QString hash = view("pushButton_4");
    const QRegularExpression hash_view("^\n-> hash output string\n-> ([01]{512})$");
    ASSERT_TRUE(hash_view.match(hash).hasMatch()) << hash.toStdString();
    const QString bits = hash_view.match(hash).captured(1);

    EXPECT_EQ(view("pushButton_5"), "\n-> " + bits.left(40));
    const QRegularExpression count("^\n-> number of (?:ones|zeros): \n-> (\\d+)$");
    const auto ones = count.match(view("pushButton_7"));
    const auto zeros = count.match(view("pushButton_6"));
    ASSERT_TRUE(ones.hasMatch() && zeros.hasMatch());
    EXPECT_EQ(zeros.captured(1).toInt(), bits.left(40).count('0'));
    EXPECT_EQ(ones.captured(1).toInt(), bits.left(40).count('1'));

    // 21 operations: the padded block ends in 21 written in 128 binary digits.
    const QString padded = view("pushButton_3");
    EXPECT_TRUE(padded.startsWith("\n-> Initial padded bit string\n-> "));
    EXPECT_TRUE(padded.endsWith(QString(123, '0') + "10101"));
    EXPECT_EQ(padded.size(), QString("\n-> Initial padded bit string\n-> ").size() + 1024);

    EXPECT_TRUE(QRegularExpression("^\n-> encoded string corresponding to to selected encoding rules \n-> 1 : [01]{21}\n5 "
                                   ": [01]{21}\n$")
                    .match(view("pushButton_2"))
                    .hasMatch());
    EXPECT_TRUE(QRegularExpression("^\n-> constraint corresponding to ones \n-> (\\d+,)*$").match(view("pushButton_9")).hasMatch());
    EXPECT_TRUE(view("pushButton_8").startsWith("\n-> constraints corresponding to zeros\n-> ( v0, v2),"));
    const QRegularExpression figure("^\n-> %1\n-> [0-9.e+-]+$");
    for (const auto &[button, label] : {std::pair{"pushButton_14", "Baseline cost: "},
                                        std::pair{"pushButton_10", "Cost after phase 1: "},
                                        std::pair{"pushButton_11", "Cost after phase 2: "},
                                        std::pair{"pushButton_12", "Pc value after phase 1 "},
                                        std::pair{"pushButton_13", "Pc value after phase 2 "}})
        EXPECT_TRUE(QRegularExpression(figure.pattern().arg(label)).match(view(button)).hasMatch()) << button;
}

TEST(WindowViews, ScheduleAndRegisterTablesShowTheMainDesign) {
    WindowDriver driver;
    driver.drive_to(4);
    const Design expected = reference_design();

    driver.click("pushButton");
    std::vector<QStringList> table = last_console_table(driver.window());
    ASSERT_EQ(table.size(), expected.list_steps.size() + 1);
    EXPECT_EQ(table[0].value(0), "control step");
    std::size_t row = 1;
    for (const auto &[step, ids] : expected.list_steps) {
        QStringList cells{QString::number(step)};
        for (int32_t id : ids)
            cells << QString("%1 (%2) %3")
                         .arg(id)
                         .arg(expected.operations.at(id).type == Add ? "+" : "*")
                         .arg(expected.variant_of.at(id));
        EXPECT_EQ(table[row].mid(0, cells.size()), cells) << "step " << step;
        ++row;
    }
    EXPECT_TRUE(driver.console().contains("-> Pre-stego operator scheduling \n"));

    driver.click("pushButton_15");
    table = last_console_table(driver.window());
    ASSERT_EQ(table.size(), expected.controller_table_before.size() + 1);
    EXPECT_EQ(table[0].value(0), "cs(\\/)/color(->)");
    row = 1;
    for (const auto &[step, registers] : expected.controller_table_before) {
        QStringList cells{QString::number(step)};
        for (int32_t c = 1; c <= static_cast<int32_t>(expected.register_lifetimes.size()); ++c) {
            const auto held = registers.find(c);
            cells << (held == registers.end() || held->second == 0 ? QString() : QString::number(held->second - 1));
        }
        EXPECT_EQ(table[row], cells) << "step " << step;
        ++row;
    }
    EXPECT_TRUE(driver.console().contains("->  pre-stego register allocation \n"));
}

// The first stage at which each view writes anything.
struct ViewStage {
    const char *slot;
    int stage;
};
const ViewStage view_stages[] = {
    {"on_pushButton_clicked", 2},    {"on_pushButton_15_clicked", 4}, {"on_pushButton_2_clicked", 4},
    {"on_pushButton_3_clicked", 6},  {"on_pushButton_4_clicked", 6},  {"on_pushButton_5_clicked", 6},
    {"on_pushButton_7_clicked", 6},  {"on_pushButton_6_clicked", 6},  {"on_pushButton_9_clicked", 6},
    {"on_pushButton_8_clicked", 6},  {"on_pushButton_14_clicked", 6}, {"on_pushButton_10_clicked", 6},
    {"on_pushButton_11_clicked", 6}, {"on_pushButton_12_clicked", 6}, {"on_pushButton_13_clicked", 6},
    {"on_pushButton_16_clicked", 1}, {"on_pushButton_17_clicked", 6},
};

class ViewsBelowTheirStage : public ::testing::TestWithParam<int> {};

TEST_P(ViewsBelowTheirStage, WriteNothingAndDisabledButtonsIgnoreClicks) {
    WindowDriver driver;
    driver.drive_to(GetParam());
    for (const ViewStage &view : view_stages) {
        const QString before = driver.console();
        ASSERT_TRUE(QMetaObject::invokeMethod(&driver.window(), view.slot));
        EXPECT_EQ(driver.console() != before, GetParam() >= view.stage) << view.slot;
    }
    const QString before = driver.console();
    for (const QString &name : output_button_names()) {
        auto *button = driver.find<QPushButton>(name.toUtf8().constData());
        if (!button->isEnabled())
            QTest::mouseClick(button, Qt::LeftButton);
    }
    EXPECT_EQ(driver.console(), before);
}

INSTANTIATE_TEST_SUITE_P(Stages, ViewsBelowTheirStage, ::testing::Values(0, 1, 2, 4, 5),
                         [](const auto &info) { return "Stage" + std::to_string(info.param); });

TEST(WindowLoading, EitherOrderReachesStageOneAndEachFileCountsOnce) {
    WindowDriver library_first;
    library_first.load_library(data("lib/library_a.txt"));
    library_first.load_library(data("lib/library_a.txt"));
    EXPECT_EQ(library_first.window().current_stage(), 0);
    library_first.load_dsp_core(data("dfg/fir.txt"));
    EXPECT_EQ(library_first.window().current_stage(), 1);

    WindowDriver core_twice;
    core_twice.load_dsp_core(data("dfg/arf.txt"));
    core_twice.load_dsp_core(data("dfg/fir.txt"));
    EXPECT_EQ(core_twice.window().current_stage(), 0);
    EXPECT_EQ(core_twice.find<QLabel>("label_38")->text(), "fir.txt");
    core_twice.load_library(data("lib/library_a.txt"));
    EXPECT_EQ(core_twice.window().current_stage(), 1);
}

TEST(WindowLoading, FileDialogAsksForTextFilesFromTheCurrentDirectory) {
    WindowDriver driver;
    driver.click("pushButton_23");
    driver.click("pushButton_24");
    const std::vector<Asked> asked = driver.take_asked();
    ASSERT_EQ(asked.size(), 2u);
    for (const Asked &dialog : asked) {
        EXPECT_EQ(dialog.kind, "open_file");
        EXPECT_EQ(dialog.title, "open document");
        EXPECT_EQ(dialog.text, QDir::currentPath());
        EXPECT_EQ(dialog.filter, "text files(*.txt)");
    }
}

TEST(WindowLoading, CancelledDialogsChangeNothing) {
    WindowDriver driver;
    driver.click("pushButton_23");  // no answer queued: cancelled
    driver.click("pushButton_24");
    EXPECT_EQ(driver.take_asked().size(), 2u);  // the two dialogs, no box
    EXPECT_EQ(driver.icon("label_39"), "asterisk");
    EXPECT_EQ(driver.icon("label_41"), "asterisk");
    driver.load_dsp_core(data("dfg/fir.txt"));
    EXPECT_EQ(driver.window().current_stage(), 0);  // the cancelled library did not count
}

TEST(WindowLoading, RefusedDspCoreShowsWarningAndKeepsTheLoadedOne) {
    ScratchDir scratch;
    const QString gap = QString::fromStdString(scratch.write("gap.txt", "* 0 0 1\n+ 1 1 3\n"));
    WindowDriver driver;
    driver.load_dsp_core(data("dfg/fir.txt"));
    driver.load_dsp_core(gap);
    const std::vector<Asked> asked = driver.take_asked();
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[2].kind, "critical");
    EXPECT_EQ(asked[2].title, "warning");
    EXPECT_EQ(asked[2].text, "file read unsuccessful or invalid file   .... Try again !!");
    EXPECT_EQ(driver.icon("label_39"), "cross");
    EXPECT_EQ(driver.find<QLabel>("label_38")->text(), "fir.txt");

    driver.load_library(data("lib/library_a.txt"));
    EXPECT_EQ(driver.window().current_stage(), 1);
    driver.type("lineEdit_3", "2");
    driver.type("lineEdit_4", "2");  // fir's multipliers are still there to be constrained
    EXPECT_EQ(driver.window().current_stage(), 2);
}

TEST(WindowLoading, RefusedLibraryShowsErrorThenAGoodOneCounts) {
    ScratchDir scratch;
    WindowDriver driver;
    driver.load_library(QString::fromStdString(scratch.write("short.txt", "1 2 3\n")));
    std::vector<Asked> asked = driver.take_asked();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1].title, "error");
    EXPECT_EQ(asked[1].text, "file read error , select valid file format..!!");
    EXPECT_EQ(driver.icon("label_41"), "cross");
    EXPECT_EQ(driver.find<QLabel>("label_40")->text(), "");

    driver.load_library(QString::fromStdString(data_path("lib/library_a.txt")));
    driver.load_dsp_core(data("dfg/fir.txt"));
    EXPECT_EQ(driver.icon("label_41"), "tick");
    EXPECT_EQ(driver.window().current_stage(), 1);
}

// One refused entry: the field is typed at its stage, refused with its box (or
// none), and a good entry afterwards moves the stage on.
struct Refusal {
    const char *name;
    int stage;  // the stage at which the field acts
    const char *field;
    const char *typed;
    const char *box;  // nullptr: refused without a box
    const char *icon_label;
    const char *then;  // accepted entry of the same field
    RunInputs inputs;
};

RunInputs with_count(const char *count, const char *encodings) {
    RunInputs inputs;
    inputs.count = count;
    inputs.encodings = encodings;
    return inputs;
}

class FieldRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(FieldRefusal, ShowsCrossAndBoxAndKeepsTheStage) {
    const Refusal &refusal = GetParam();
    WindowDriver driver;
    driver.drive_to(refusal.stage, refusal.inputs);
    if (refusal.stage == 1)  // the other count is typed, so that this one completes the constraints
        driver.type(std::string(refusal.field) == "lineEdit_3" ? "lineEdit_4" : "lineEdit_3", "2");
    driver.take_asked();
    const int stage = driver.window().current_stage();

    driver.type(refusal.field, refusal.typed);
    if (refusal.box)
        expect_one_box(driver, "critical", "error", refusal.box);
    else
        EXPECT_TRUE(driver.take_asked().empty());
    EXPECT_EQ(driver.icon(refusal.icon_label), "cross");
    EXPECT_EQ(driver.window().current_stage(), stage);

    driver.type(refusal.field, refusal.then);
    EXPECT_EQ(driver.icon(refusal.icon_label), "tick");
    EXPECT_GT(driver.window().current_stage(), stage);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FieldRefusal,
    ::testing::Values(
        Refusal{"AdderZeroWithoutBox", 1, "lineEdit_3", "0", nullptr, "label_43", "2", {}},
        Refusal{"AdderAboveBound", 1, "lineEdit_3", "5",
                "Please feed the correct resource constraint. \nRequired adder should be less than  4", "label_43",
                "4", {}},
        Refusal{"AdderNegative", 1, "lineEdit_3", "-3",
                "Please feed the correct resource constraint. \nRequired adder should be less than  4", "label_43",
                "1", {}},
        Refusal{"MultiplierZero", 1, "lineEdit_4", "0", "Enter a non-zero number for multiplier", "label_47", "2", {}},
        Refusal{"MultiplierAboveBound", 1, "lineEdit_4", "7",
                "please feed the correct resource constraint for multiplier.\nRequired multiplier should be less than "
                "or equal to 4",
                "label_47", "4", {}},
        Refusal{"EncodingCountZero", 2, "lineEdit_7", "0",
                "Please feed the number of encodings between 1 and 9 inclusive\n ", "label_51", "2", {}},
        Refusal{"EncodingCountTen", 2, "lineEdit_7", "10",
                "Please feed the number of encodings between 1 and 9 inclusive\n ", "label_51", "9", {}},
        Refusal{"EncodingsRepeated", 3, "lineEdit_8", "5 5", "check for duplicate or invalid entry\n", "label_53",
                "5 6", {}},
        Refusal{"EncodingsTooFew", 3, "lineEdit_8", "5", "check for duplicate or invalid entry\n", "label_53",
                "5 6 7", {}},
        Refusal{"EncodingsRuleTen", 3, "lineEdit_8", "1 10", "check for duplicate or invalid entry\n", "label_53",
                "1 9", {}},
        Refusal{"EncodingsLeadingSpace", 3, "lineEdit_8", " 1 5", "check for duplicate or invalid entry\n",
                "label_53", "1 5 ", {}},
        Refusal{"KeyTooShort", 4, "lineEdit", "1", "check size of the key", "label_2", "01", {}},
        Refusal{"KeyEntryNotBelowCount", 4, "lineEdit", "110001", "check size of the key", "label_2", "011000",
                with_count("3", "1 2 3")},
        Refusal{"KeyForOneEncodingMustBeEmpty", 4, "lineEdit", "0", "check size of the key", "label_2", "",
                with_count("1", "4")},
        Refusal{"RoundsTooFew", 5, "lineEdit_9", "80 64 32", "check input", "label_55", "80  64 32 16 ", {}},
        Refusal{"RoundsZero", 5, "lineEdit_9", "80 0 32 16", "check input", "label_55", "1 2 3 4", {}},
        Refusal{"RoundsAboveEighty", 5, "lineEdit_9", "81 64 32 16", "check input", "label_55", "80 80 80 80", {}}),
    [](const auto &info) { return std::string(info.param.name); });

class ConstraintSizeRefusal : public ::testing::TestWithParam<int> {};

TEST_P(ConstraintSizeRefusal, NamesTheLargestSizeAndKeepsStageSix) {
    const Design expected = reference_design();
    const int largest = static_cast<int>(expected.lifetimes.size() * (expected.lifetimes.size() + 1) / 2);
    WindowDriver driver;
    driver.drive_to(6);
    driver.take_asked();
    driver.type("lineEdit_10", QString::number(GetParam() < 0 ? GetParam() : largest + GetParam()));
    expect_one_box(driver, "critical", "error", "constraint size should be between 0 and " + QString::number(largest));
    EXPECT_EQ(driver.icon("label_57"), "cross");
    EXPECT_EQ(driver.window().current_stage(), 6);
    EXPECT_FALSE(driver.done("label_6"));

    driver.type("lineEdit_10", QString::number(largest));
    EXPECT_EQ(driver.window().current_stage(), 8);
    EXPECT_TRUE(driver.take_asked().empty());
}

// Negative sizes, and sizes above the largest by the given amount.
INSTANTIATE_TEST_SUITE_P(Sizes, ConstraintSizeRefusal, ::testing::Values(-1, 1, 1000),
                         [](const auto &info) {
                             return info.param < 0 ? std::string("Negative") : "AboveBy" + std::to_string(info.param);
                         });

TEST(WindowFields, TypesTheDfgLacksAreTickedAndNotWaitedFor) {
    WindowDriver driver;
    driver.drive_to(1);
    driver.type("lineEdit_5", "9");
    driver.type("lineEdit_6", "0");
    EXPECT_EQ(driver.icon("label_48"), "tick");
    EXPECT_EQ(driver.icon("label_49"), "tick");
    EXPECT_EQ(driver.take_asked().size(), 2u);  // the two file dialogs
    EXPECT_EQ(driver.window().current_stage(), 1);
}

TEST(WindowFields, SubtractorsAndComparatorsAreNeededWhenTheDfgHasThem) {
    RunInputs diffeq;
    diffeq.dfg = "dfg/diffeq.txt";
    WindowDriver driver;
    driver.drive_to(2, diffeq);
    EXPECT_EQ(driver.window().current_stage(), 1);
    driver.take_asked();
    driver.type("lineEdit_5", "3");
    expect_one_box(driver, "critical", "error",
                   "Please feed the correct resource constraint for subtractor!\nnumber of subtractor should be less "
                   "than or equal to 2");
    driver.type("lineEdit_6", "0");
    expect_one_box(driver, "critical", "error", "number of comparator should be non-negative .");
    driver.type("lineEdit_5", "2");
    EXPECT_EQ(driver.window().current_stage(), 1);
    driver.type("lineEdit_6", "1");
    EXPECT_EQ(driver.window().current_stage(), 2);
}

TEST(WindowFields, AFieldLosingFocusToItsOwnBoxActsOnce) {
    WindowDriver driver;
    driver.drive_to(2);
    QApplication::setActiveWindow(&driver.window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&driver.window()));
    driver.take_asked();
    auto *field = driver.find<QLineEdit>("lineEdit_7");
    field->setFocus();
    ASSERT_TRUE(field->hasFocus());
    // A real modal box takes the focus from the field, which then reports
    // editing finished once more while the box is still open.
    driver.dialogs().while_box_open = [&driver] { driver.find<QTextEdit>("textEdit")->setFocus(); };
    QTest::keyClicks(field, "0");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(driver.take_asked().size(), 1u);
}

class ResetFrom : public ::testing::TestWithParam<int> {};

TEST_P(ResetFrom, ReturnsTheFormToItsStartState) {
    WindowDriver driver;
    driver.drive_to(GetParam());
    QApplication::setActiveWindow(&driver.window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&driver.window()));
    const QString console = driver.console();
    QTest::keyClick(&driver.window(), Qt::Key_R, Qt::ControlModifier);

    expect_form(driver, {0,
                         {{"label_39", "asterisk"}, {"label_41", "asterisk"}, {"label_43", ""}, {"label_47", ""},
                          {"label_48", ""}, {"label_49", ""}, {"label_51", ""}, {"label_53", ""}, {"label_2", ""},
                          {"label_55", ""}, {"label_57", ""}},
                         {},
                         {}});
    for (const char *field : {"lineEdit", "lineEdit_3", "lineEdit_4", "lineEdit_5", "lineEdit_6", "lineEdit_7",
                              "lineEdit_8", "lineEdit_9", "lineEdit_10"})
        EXPECT_TRUE(driver.find<QLineEdit>(field)->text().isEmpty()) << field;
    EXPECT_TRUE(driver.find<QLabel>("label_38")->text().isEmpty());
    EXPECT_TRUE(driver.find<QLabel>("label_40")->text().isEmpty());
    EXPECT_EQ(driver.console(), console);  // the console keeps its text
    EXPECT_NE(driver.find<QLineEdit>("lineEdit_3")->validator(), nullptr);

    // Both files are needed again, the earlier loads no longer count.
    driver.load_dsp_core(data("dfg/fir.txt"));
    EXPECT_EQ(driver.window().current_stage(), 0);
    driver.load_library(data("lib/library_a.txt"));
    EXPECT_EQ(driver.window().current_stage(), 1);
}

INSTANTIATE_TEST_SUITE_P(Stages, ResetFrom, ::testing::Values(0, 1, 2, 3, 4, 5, 6, 8),
                         [](const auto &info) { return "Stage" + std::to_string(info.param); });

TEST(WindowClose, ClosesWithoutQuestionBeforeBothFilesAreLoaded) {
    WindowDriver driver;
    driver.load_dsp_core(data("dfg/fir.txt"));
    driver.take_asked();
    EXPECT_TRUE(driver.window().close());
    EXPECT_TRUE(driver.take_asked().empty());
    EXPECT_FALSE(driver.window().isVisible());
}

TEST(WindowClose, AsksFromStageOneAndNoKeepsTheWindowAndItsWork) {
    WindowDriver driver;
    driver.drive_to(2);
    driver.take_asked();
    driver.dialogs().answer_yes = false;
    EXPECT_FALSE(driver.window().close());
    expect_one_box(driver, "question", "close the window", "do you want to close the window");
    EXPECT_TRUE(driver.window().isVisible());
    EXPECT_EQ(driver.window().current_stage(), 2);
    driver.type("lineEdit_7", "2");
    EXPECT_EQ(driver.window().current_stage(), 3);

    driver.take_asked();
    driver.dialogs().answer_yes = true;
    EXPECT_TRUE(driver.window().close());
    expect_one_box(driver, "question", "close the window", "do you want to close the window");
    EXPECT_FALSE(driver.window().isVisible());
}

TEST(WindowShortcuts, CtrlSAsksToCompleteFirstAndFromAFieldToo) {
    WindowDriver driver;
    driver.drive_to(6);
    QApplication::setActiveWindow(&driver.window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&driver.window()));
    driver.take_asked();
    QTest::keyClick(&driver.window(), Qt::Key_S, Qt::ControlModifier);
    expect_one_box(driver, "information", "info", "please complete the process first!");
    auto *field = driver.find<QLineEdit>("lineEdit_10");
    field->setFocus();
    QTest::keyClick(field, Qt::Key_S, Qt::ControlModifier);
    expect_one_box(driver, "information", "info", "please complete the process first!");
    QTest::keyClick(field, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(driver.window().current_stage(), 0);
}

TEST(WindowConsole, ColoursSizeAndTheDockComingBack) {
    WindowDriver driver;
    auto *console = driver.find<QTextEdit>("textEdit");
    auto *dock = driver.find<QDockWidget>("dockWidget");
    dock->close();
    ASSERT_FALSE(dock->isVisible());
    const auto write = [&driver](const char *colour, const char *text) {
        ASSERT_TRUE(QMetaObject::invokeMethod(&driver.window(), "write_to_console", Q_ARG(QString, colour),
                                              Q_ARG(QString, text)));
    };
    const auto last_format = [console] {
        const QTextBlock block = console->document()->lastBlock();
        return block.begin().fragment().charFormat();
    };
    write("red", "first");
    EXPECT_TRUE(dock->isVisible());
    EXPECT_EQ(last_format().foreground().color(), QColor(Qt::red));
    EXPECT_EQ(last_format().fontPointSize(), 10);
    write("green", "second");
    EXPECT_EQ(last_format().foreground().color(), QColor(Qt::red));
    write("blue", "third");
    EXPECT_EQ(last_format().foreground().color(), QColor(Qt::blue));
    EXPECT_EQ(driver.console(), "-> first\n-> second\n-> third");

    // The user may type into the console; what is typed stays.
    console->moveCursor(QTextCursor::End);
    QTest::keyClicks(console, " note");
    write("blue", "fourth");
    EXPECT_EQ(driver.console(), "-> first\n-> second\n-> third note\n-> fourth");
}

}  // namespace
}  // namespace velnor::test
