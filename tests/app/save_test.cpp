// Save: the directory dialog, the two files under one time stamp, the key
// file's permissions, failures, and the same bytes as the batch tool writes
// for the same inputs, also in a second run after Reset.
#include <QAction>
#include <filesystem>
#include <sys/stat.h>

#include "tests/app/batch_tool.h"

namespace velnor::test {
namespace {

namespace fs = std::filesystem;

// The names Save gives fir.txt's files at the driver's fixed time.
const std::string report_name = "report_fir_FriDec41856522026.txt";
const std::string key_name = "key_fir_FriDec41856522026.txt";

void save(WindowDriver &driver, const std::string &directory) {
    driver.dialogs->directories << QString::fromStdString(directory);
    driver.find<QAction>("actionSave")->trigger();
}

TEST(Save, WritesReportAndOwnerOnlyKeyFileUnderOneStampOrNamesWhatFailed) {
    ScratchDir scratch;
    WindowDriver driver;
    driver.drive_to(8);
    driver.take_asked();
    driver.find<QAction>("actionSave")->trigger();  // no directory queued: cancelled
    EXPECT_EQ(driver.take_asked(), QStringList{"file_dialog open directory: /home"});
    EXPECT_FALSE(fs::exists("/" + report_name) || fs::exists("/" + key_name) || fs::exists(key_name));

    const mode_t previous = umask(022);
    save(driver, scratch.path());
    umask(previous);
    EXPECT_EQ(driver.take_asked().size(), 1);  // the dialog, no box
    const std::string key_file = scratch.path() + "/" + key_name, report_file = scratch.path() + "/" + report_name;
    EXPECT_EQ(fs::status(key_file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_NE(fs::status(report_file).permissions() & fs::perms::others_read, fs::perms::none);

    EXPECT_TRUE(driver.console().endsWith(QString::fromStdString("-> report file: " + report_file +
                                                                 "\n-> key file: " + key_file)))
        << qPrintable(driver.console().right(300));

    const std::string key = read_file(key_file), report = read_file(report_file);
    ASSERT_FALSE(key.empty() || report.empty());
    // A second save in the same second appends to both files.
    save(driver, scratch.path());
    EXPECT_EQ(read_file(key_file), key + key);
    EXPECT_EQ(read_file(report_file), report + report);

    // Files that cannot be written are named in one box.
    save(driver, "/nonexistent-velnor-folder");
    const std::string folder = "/nonexistent-velnor-folder/";
    EXPECT_EQ(driver.boxes(), QStringList{QString::fromStdString(
                                  "critical error: could not write the report file " + folder + report_name +
                                  "\ncould not write the key file " + folder + key_name)});
}

// The window's report and key file of arf in each folder equal the batch tool's for in and extra.
void expect_batch_files(const RunInputs &in, const QStringList &extra, const std::vector<std::string> &folders) {
    ScratchDir batch_out;
    ASSERT_TRUE(run_batch_tool(in, extra + QStringList{"--out", QString::fromStdString(batch_out.path()), "--stamp",
                                                       "FriDec41856522026"}));
    for (const std::string name : {"report_arf_FriDec41856522026.txt", "key_arf_FriDec41856522026.txt"}) {
        const std::string expected = read_file(batch_out.path() + "/" + name);
        ASSERT_FALSE(expected.empty()) << name;
        for (const std::string &folder : folders)
            EXPECT_EQ(read_file(folder + "/" + name), expected) << name;
    }
}

const RunInputs arf_inputs{"dfg/arf.txt", "3", "2", "3", "2 7 9 4", "100100", "80 1 17 64 33 80", "57"};

// Both saves of the window, the second after Reset and the whole flow again,
// write what the batch tool writes for the same inputs.
TEST(Save, RunsBeforeAndAfterResetWriteWhatTheBatchToolWrites) {
    ScratchDir first, second;
    WindowDriver driver;
    driver.drive_to(8, arf_inputs);
    ASSERT_EQ(driver.stage(), 8);
    save(driver, first.path());
    driver.ctrl(Qt::Key_R);
    ASSERT_EQ(driver.stage(), 0);
    driver.drive_to(8, arf_inputs);
    driver.dialogs->directories << QString::fromStdString(second.path());
    driver.ctrl(Qt::Key_S);
    expect_batch_files(arf_inputs, {}, {first.path(), second.path()});
}

// The menu's strong embedding: off at first, read as the size is accepted and
// closed from then until Reset; the files are those of the batch tool's strong run.
TEST(Save, StrongEmbeddingFromTheMenuWritesWhatTheBatchToolWrites) {
    ScratchDir window_out;
    RunInputs in = arf_inputs;
    in.size = "300";
    WindowDriver driver;
    QAction *strong = driver.find<QAction>("actionStrong_embedding");
    ASSERT_TRUE(strong && strong->isCheckable());
    EXPECT_FALSE(strong->isChecked());
    strong->trigger();
    driver.drive_to(6, in);
    EXPECT_TRUE(strong->isEnabled());
    driver.type("lineEdit_10", in.size);
    ASSERT_EQ(driver.stage(), 8);
    EXPECT_FALSE(strong->isEnabled());
    save(driver, window_out.path());
    driver.ctrl(Qt::Key_R);
    EXPECT_TRUE(strong->isEnabled());
    expect_batch_files(in, {"--embedding", "strong"}, {window_out.path()});
    EXPECT_NE(read_file(window_out.path() + "/key_arf_FriDec41856522026.txt").find("\nembedding : strong\n"),
              std::string::npos);
}

}  // namespace
}  // namespace velnor::test
