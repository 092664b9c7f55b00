// File > Export datapath… and File > Verify a design…: enabled only once the
// signature is embedded, the files the same bytes as velnor-cli writes, and
// the verdict of a chosen file on the console and in a box.
#include <QAction>

#include "tests/app/batch_tool.h"

namespace velnor::test {
namespace {

TEST(Ownership, ActionsWaitForTheEmbeddingAndResetDisablesThem) {
    WindowDriver driver;
    driver.drive_to(6);
    EXPECT_FALSE(driver.find<QAction>("actionExportDatapath")->isEnabled());
    EXPECT_FALSE(driver.find<QAction>("actionVerifyDesign")->isEnabled());
    driver.type("lineEdit_10", "40");
    EXPECT_TRUE(driver.find<QAction>("actionExportDatapath")->isEnabled());
    EXPECT_TRUE(driver.find<QAction>("actionVerifyDesign")->isEnabled());
    driver.dialogs->answer_yes = true;  // a completed, unsaved run asks before Reset
    driver.find<QAction>("actionReset")->trigger();
    EXPECT_FALSE(driver.find<QAction>("actionVerifyDesign")->isEnabled());
}

TEST(Ownership, ExportsWhatTheBatchToolWritesAndVerifiesIt) {
    ScratchDir scratch;
    WindowDriver driver;
    driver.drive_to(8);
    driver.take_asked();
    driver.dialogs->directories << QString::fromStdString(scratch.path());
    driver.find<QAction>("actionExportDatapath")->trigger();
    EXPECT_EQ(driver.boxes(), QStringList{});
    const std::string signed_file = scratch.path() + "/fir.datapath.json";
    const std::string unsigned_file = scratch.path() + "/fir.unsigned.datapath.json";

    // The batch tool with the driver's inputs writes the same two files.
    const QString cli_signed = QString::fromStdString(scratch.path() + "/cli.json");
    const QString cli_unsigned = QString::fromStdString(scratch.path() + "/cli_unsigned.json");
    ASSERT_TRUE(run_batch_tool(RunInputs{}, {"--datapath", cli_signed, "--datapath-before", cli_unsigned}));
    EXPECT_EQ(read_file(signed_file), read_file(cli_signed.toStdString()));
    EXPECT_EQ(read_file(unsigned_file), read_file(cli_unsigned.toStdString()));

    driver.dialogs->files << QString::fromStdString(signed_file);
    driver.find<QAction>("actionVerifyDesign")->trigger();
    EXPECT_EQ(driver.boxes(), QStringList{"information verify: verdict : inconclusive"});
    EXPECT_TRUE(driver.console().contains("distinguishing constraints held : 10 of 10"));

    driver.dialogs->files << QString::fromStdString(scratch.write("broken.json", "{\"format\": 1}"));
    driver.find<QAction>("actionVerifyDesign")->trigger();
    const QStringList refused = driver.boxes();
    ASSERT_EQ(refused.size(), 1);
    EXPECT_TRUE(refused.first().startsWith("critical error: ")) << qPrintable(refused.first());
    EXPECT_TRUE(refused.first().endsWith("format: must be \"velnor-datapath\"")) << qPrintable(refused.first());
}

}  // namespace
}  // namespace velnor::test
