// File > Import DSP core…: a DOT data-flow graph, or a C file's function,
// chosen in the (fake) dialogs is converted and loaded as a DFG file, the
// console naming the file and the counts; a refused import leaves the loaded
// core as it was, and the imported core runs the whole form.
#include <QAction>

#include "tests/app/window_driver.h"

namespace velnor::test {
namespace {

void import(WindowDriver &driver, const QString &path) {
    driver.dialogs->files << path;
    driver.find<QAction>("actionImportDspCore")->trigger();
}

TEST(WindowImport, ImportsABenchmarkAndRunsItToTheSignature) {
    WindowDriver driver;
    import(driver, data("dot/diffeq.gv"));
    EXPECT_EQ(driver.take_asked(), QStringList{"file_dialog import DSP core: " + QDir::currentPath() +
                                               " DSP cores (*.dot *.gv *.c);;DOT data-flow graphs (*.dot *.gv);;C files (*.c)"});
    EXPECT_TRUE(driver.console().endsWith("-> imported 11 operations (+ 2, - 2, * 6, / 0, < 1) from " +
                                          data("dot/diffeq.gv")))
        << qPrintable(driver.console());
    EXPECT_EQ(driver.icon("label_39"), "tick");
    EXPECT_EQ(driver.find<QLabel>("label_38")->text(), "diffeq.txt");
    EXPECT_EQ(driver.stage(), 0);
    driver.load_library(data("lib/library_a.txt"));
    EXPECT_EQ(driver.stage(), 1);

    RunInputs inputs;
    inputs.adders = "1";
    inputs.subtractors = "1";
    inputs.comparators = "1";
    inputs.count = "1";
    inputs.encodings = "3";
    inputs.order = "";  // one block: an empty key
    inputs.rounds = "80 64";
    inputs.size = "6";
    driver.drive_to(8, inputs, /*from=*/1);
    EXPECT_EQ(driver.stage(), 8) << qPrintable(driver.boxes().join("\n"));
}

TEST(WindowImport, ARefusedImportKeepsTheLoadedCore) {
    ScratchDir scratch;
    WindowDriver driver;
    driver.find<QAction>("actionImportDspCore")->trigger();  // no answer queued: cancelled
    EXPECT_EQ(driver.boxes(), QStringList{});
    EXPECT_EQ(driver.icon("label_39"), "aster");

    driver.load_dsp_core(data("dfg/fir.txt"));
    for (const std::string &refused :
         {scratch.write("cycle.dot", "digraph { a [label=add]; b [label=mul]; a -> b -> a }"),
          scratch.write("plain.txt", "digraph { a [label=add] }")}) {
        import(driver, QString::fromStdString(refused));
        EXPECT_EQ(driver.boxes(), QStringList{"critical warning: the file could not be imported   .... Try again !!"});
        EXPECT_EQ(driver.icon("label_39"), "cross");
        EXPECT_EQ(driver.find<QLabel>("label_38")->text(), "fir.txt");
    }
    EXPECT_TRUE(driver.console().contains("-> cycle.dot has a cycle among its operations, through node 'a'"));
    EXPECT_TRUE(driver.console().endsWith("-> plain.txt is not a DOT data-flow graph (.dot or .gv) or a C file (.c)"));

    // The core loaded before still counts: with the library the form moves on.
    driver.load_library(data("lib/library_a.txt"));
    EXPECT_EQ(driver.stage(), 1);
    driver.type("lineEdit_3", "2");
    driver.type("lineEdit_4", "2");
    EXPECT_EQ(driver.stage(), 2);
}

TEST(WindowImport, AnImportReplacesTheCoreAndCountsOnce) {
    ScratchDir scratch;
    WindowDriver driver;
    import(driver, QString::fromStdString(scratch.write("one.dot", "digraph { a [label=add]; b [label=mul]; a -> b }")));
    import(driver, QString::fromStdString(scratch.write("two.gv", "digraph { s [label=sub] }")));
    EXPECT_EQ(driver.find<QLabel>("label_38")->text(), "two.txt");
    EXPECT_EQ(driver.stage(), 0);
    driver.load_library(data("lib/library_a.txt"));
    EXPECT_EQ(driver.stage(), 1);
    // Only the imported subtraction is left: the adder and multiplier counts are not asked for.
    driver.type("lineEdit_5", "1");
    EXPECT_EQ(driver.stage(), 2) << qPrintable(driver.console());
    // The import acts at the start only, as the DSP core button.
    import(driver, QString::fromStdString(scratch.write("three.dot", "digraph { d [label=div] }")));
    EXPECT_EQ(driver.find<QLabel>("label_38")->text(), "two.txt");
}

TEST(WindowImport, ImportsTheChosenFunctionOfACFile) {
    WindowDriver driver;
    const QString biquad = data("c/biquad.c");
    driver.dialogs->choices << "biquad_cascade";
    import(driver, biquad);
    EXPECT_EQ(driver.take_asked().last(),
              "choice import DSP core: Function of biquad.c to import: biquad, biquad_cascade");
    EXPECT_TRUE(driver.console().endsWith("-> imported 18 operations (+ 4, - 4, * 10, / 0, < 0) from " + biquad))
        << qPrintable(driver.console());
    EXPECT_EQ(driver.icon("label_39"), "tick");
    EXPECT_EQ(driver.find<QLabel>("label_38")->text(), "biquad.txt");

    // A cancelled choice changes nothing; a function left with a loop is refused.
    import(driver, data("c/fir.c"));
    EXPECT_EQ(driver.find<QLabel>("label_38")->text(), "biquad.txt");
    EXPECT_EQ(driver.boxes(), QStringList{});
    driver.dialogs->choices << "sum";
    import(driver, data("c/rolled.c"));
    EXPECT_EQ(driver.boxes(), QStringList{"critical warning: the file could not be imported   .... Try again !!"});
    EXPECT_TRUE(driver.console().endsWith("-> loop not fully unrolled at rolled.c:4")) << qPrintable(driver.console());
    EXPECT_EQ(driver.find<QLabel>("label_38")->text(), "biquad.txt");
    driver.load_library(data("lib/library_a.txt"));
    EXPECT_EQ(driver.stage(), 1);
}

}  // namespace
}  // namespace velnor::test
