// File > Export datapath…, Export owner record… and Verify a design…: enabled
// only once the signature is embedded, the files the same bytes as velnor-cli
// writes, and the verdict of a chosen file on the console and in a box.
#include <QAction>
#include <QDir>

#include "flow/owner_record.h"
#include "hash/file_digest.h"

#include "tests/app/batch_tool.h"

namespace velnor::test {
namespace {

TEST(Ownership, ActionsWaitForTheEmbeddingAndResetDisablesThem) {
    WindowDriver driver;
    driver.drive_to(6);
    EXPECT_FALSE(driver.find<QAction>("actionExportDatapath")->isEnabled());
    EXPECT_FALSE(driver.find<QAction>("actionVerifyDesign")->isEnabled());
    EXPECT_FALSE(driver.find<QAction>("actionExportOwnerRecord")->isEnabled());
    driver.type("lineEdit_10", "40");
    EXPECT_TRUE(driver.find<QAction>("actionExportDatapath")->isEnabled());
    EXPECT_TRUE(driver.find<QAction>("actionVerifyDesign")->isEnabled());
    EXPECT_TRUE(driver.find<QAction>("actionExportOwnerRecord")->isEnabled());
    driver.dialogs->answer_yes = true;  // a completed, unsaved run asks before Reset
    driver.find<QAction>("actionReset")->trigger();
    EXPECT_FALSE(driver.find<QAction>("actionVerifyDesign")->isEnabled());
    EXPECT_FALSE(driver.find<QAction>("actionExportOwnerRecord")->isEnabled());
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
    // The box repeats the whole result and says what the verdict means.
    const QStringList verdict = driver.boxes();
    ASSERT_EQ(verdict.size(), 1);
    EXPECT_TRUE(verdict.first().startsWith("information verify: zero constraints held : 22 of 22\n"))
        << qPrintable(verdict.first());
    for (const char *part : {"distinguishing constraints held : 10 of 10\n", "probability of coincidence (all) : ",
                             "probability of coincidence (distinguishing) : ",
                             "verdict : inconclusive\n\nalpha 1e-06: inconclusive: even if all 10 distinguishing"})
        EXPECT_TRUE(verdict.first().contains(part)) << part;
    EXPECT_TRUE(driver.console().contains("distinguishing constraints held : 10 of 10"));

    driver.dialogs->files << QString::fromStdString(scratch.write("broken.json", "{\"format\": 1}"));
    driver.find<QAction>("actionVerifyDesign")->trigger();
    const QStringList refused = driver.boxes();
    ASSERT_EQ(refused.size(), 1);
    EXPECT_TRUE(refused.first().startsWith("critical error: ")) << qPrintable(refused.first());
    EXPECT_TRUE(refused.first().endsWith("format: must be \"velnor-datapath\"")) << qPrintable(refused.first());
}

// A Verilog file chosen in the same dialog goes through yosys and the register
// recovery: the console tells what was read and found, the box the verdict.
TEST(Ownership, VerifiesTheBatchToolsVerilogOfTheSameRun) {
    ScratchDir scratch;
    WindowDriver driver;
    driver.drive_to(8);
    driver.take_asked();
    const QString verilog = QString::fromStdString(scratch.path() + "/fir signed.v");
    ASSERT_TRUE(run_batch_tool(RunInputs{}, {"--verilog", verilog}));
    driver.dialogs->files << verilog;
    driver.find<QAction>("actionVerifyDesign")->trigger();
    const QStringList verdict = driver.boxes();
    ASSERT_EQ(verdict.size(), 1);
    EXPECT_TRUE(verdict.first().contains("variables found : 32 of 32\n")) << qPrintable(verdict.first());
    EXPECT_TRUE(verdict.first().contains("verdict : inconclusive\n\nalpha 1e-06: inconclusive"));
    const QString console = driver.console();
    EXPECT_TRUE(console.contains("flip-flops, read by yosys in")) << qPrintable(console);
    // Every variable of fir is found; the 17 one constraints cannot be seen in
    // hardware, which leaves 4 of the datapath file's 10 distinguishing ones.
    EXPECT_TRUE(console.contains("variables found : 32 of 32")) << qPrintable(console);
    EXPECT_TRUE(console.contains("constraints unchecked : 17")) << qPrintable(console);
    EXPECT_TRUE(console.contains("distinguishing constraints held : 4 of 4")) << qPrintable(console);

    driver.dialogs->files << QString::fromStdString(scratch.write("notes.v", "not Verilog\n"));
    driver.find<QAction>("actionVerifyDesign")->trigger();
    const QStringList refused = driver.boxes();
    ASSERT_EQ(refused.size(), 1);
    EXPECT_TRUE(refused.first().startsWith("critical error: yosys failed: ")) << qPrintable(refused.first());
    EXPECT_TRUE(refused.first().contains("notes.v:1: ERROR: syntax error")) << qPrintable(refused.first());
}

TEST(Ownership, ExportsTheOwnerRecordOfTheTypedRun) {
    ScratchDir scratch;
    WindowDriver driver;
    const RunInputs in{"characterization/gen_30.txt", "2", "1", "3", "9 2 4", "001001", "72 75 37 43 14 77", "64", "2", "1"};
    driver.drive_to(8, in);
    ASSERT_EQ(driver.stage(), 8);
    driver.take_asked();
    const std::string path = scratch.path() + "/gen_30.record.json";
    driver.dialogs->files << QString::fromStdString(path);
    driver.find<QAction>("actionExportOwnerRecord")->trigger();
    EXPECT_EQ(driver.take_asked(),
              QStringList{"file_dialog export owner record: " + QDir::homePath() +
                          "/gen_30.record.json Owner record (*.json);;All files (*)"});
    EXPECT_TRUE(driver.console().contains(QString::fromStdString("owner record written to " + path)));

    const OwnerRecord record = read_owner_record(path);
    EXPECT_EQ(record.dfg.path, data_path("characterization/gen_30.txt"));
    EXPECT_EQ(record.dfg.sha512, sha512_of_file(data_path("characterization/gen_30.txt")).sha512);
    EXPECT_EQ(record.library.path, data_path("lib/library_a.txt"));
    EXPECT_EQ(record.adders, 2);
    EXPECT_EQ(record.multipliers, 1);
    EXPECT_EQ(record.subtractors, 2);
    EXPECT_EQ(record.comparators, 1);
    EXPECT_EQ(record.count, 3);
    EXPECT_EQ(record.encodings, (std::vector<int>{9, 2, 4}));
    EXPECT_EQ(record.order, "001001");
    EXPECT_EQ(record.rounds, (std::vector<int>{72, 75, 37, 43, 14, 77}));
    EXPECT_EQ(record.size, 64);
    EXPECT_EQ(record.embedding, EmbeddingMode::Specified);

    // The batch tool given the same values writes the same record.
    const std::string cli_record = scratch.path() + "/cli.record.json";
    ASSERT_TRUE(run_batch_tool(in, {"--record", QString::fromStdString(cli_record)}));
    EXPECT_EQ(read_file(cli_record), read_file(path));
}

TEST(Ownership, AnOwnerRecordThatCannotBeWrittenIsAnError) {
    ScratchDir scratch;
    WindowDriver driver;
    driver.drive_to(8);
    driver.take_asked();
    const std::string path = scratch.path() + "/no/such/folder/fir.record.json";
    driver.dialogs->files << QString::fromStdString(path);
    driver.find<QAction>("actionExportOwnerRecord")->trigger();
    EXPECT_EQ(driver.boxes(), QStringList{QString::fromStdString("critical error: cannot write " + path)});
    EXPECT_FALSE(driver.console().contains("owner record written"));
}

}  // namespace
}  // namespace velnor::test
