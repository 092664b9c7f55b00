// File, "Export Verilog…": enabled only once the signature is embedded, a
// cancelled folder dialog writes nothing, the file is the one the batch tool's
// --verilog writes for the same inputs, and a folder that cannot take it is
// named in a box.
#include <QAction>
#include <QDir>
#include <filesystem>

#include "tests/app/batch_tool.h"

namespace velnor::test {
namespace {

TEST(ExportVerilog, EnabledOnceEmbeddedAndWritesWhatTheBatchToolWrites) {
    ScratchDir folder, batch_out;
    WindowDriver driver;
    QAction *action = driver.find<QAction>("actionExportVerilog");
    EXPECT_EQ(action->text(), QString::fromUtf8("Export Verilog\u2026"));
    driver.drive_to(6);
    EXPECT_FALSE(action->isEnabled());
    driver.drive_to(8);
    ASSERT_TRUE(action->isEnabled());
    driver.take_asked();

    action->trigger();  // no directory queued: cancelled
    EXPECT_EQ(driver.take_asked(), QStringList{"file_dialog export Verilog: " + QDir::homePath()});
    EXPECT_FALSE(std::filesystem::exists(QDir::homePath().toStdString() + "/fir.v"));

    driver.dialogs->directories << QString::fromStdString(folder.path());
    action->trigger();
    EXPECT_EQ(driver.take_asked().size(), 1);  // the dialog, no box
    const RunInputs in;
    const std::string batch_file = batch_out.path() + "/batch.v";
    ASSERT_TRUE(run_batch_tool(in, {"--verilog", QString::fromStdString(batch_file)}));
    const std::string expected = read_file(batch_file);
    ASSERT_NE(expected.find("module fir #(parameter WIDTH = 16)"), std::string::npos);
    EXPECT_EQ(read_file(folder.path() + "/fir.v"), expected);
    EXPECT_TRUE(driver.console().contains("signed datapath written as Verilog to " +
                                          QString::fromStdString(folder.path()) + "/fir.v"));

    // The next extension dialog opens where this one was answered.
    driver.find<QAction>("actionExportDatapath")->trigger();  // cancelled
    EXPECT_EQ(driver.take_asked(), QStringList{"file_dialog export datapath: " + QString::fromStdString(folder.path())});

    driver.dialogs->directories << "/nonexistent-velnor-folder";
    action->trigger();
    EXPECT_EQ(driver.boxes(), QStringList{"critical error: could not write the Verilog file "
                                          "/nonexistent-velnor-folder/fir.v"});

    driver.dialogs->answer_yes = true;  // a completed, unsaved run asks before Reset
    driver.ctrl(Qt::Key_R);
    EXPECT_FALSE(action->isEnabled());
}

}  // namespace
}  // namespace velnor::test
