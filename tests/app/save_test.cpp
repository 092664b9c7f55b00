// Save: the directory dialog, the two files under one time stamp, the key
// file's permissions, refusals and failures, a repeated run after Reset, and
// the same bytes as the batch tool writes for the same inputs.
#include <QAction>
#include <QProcess>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/app/window_driver.h"
#include "tests/test_support.h"

namespace velnor::test {
namespace {

namespace fs = std::filesystem;

// The names Save gives fir.txt's files at the driver's fixed time.
const std::string report_name = "report_fir_FriDec41856522026.txt";
const std::string key_name = "key_fir_FriDec41856522026.txt";

void save(WindowDriver &driver, const std::string &directory) {
    driver.dialogs().directories.push_back(QString::fromStdString(directory));
    driver.find<QAction>("actionSave")->trigger();
}

std::vector<Asked> boxes(WindowDriver &driver) {
    std::vector<Asked> found;
    for (const Asked &asked : driver.take_asked())
        if (asked.kind != "existing_directory")
            found.push_back(asked);
    return found;
}

TEST(Save, BeforeTheEmbeddingOnlyAsksToCompleteTheProcess) {
    WindowDriver driver;
    driver.drive_to(6);
    driver.take_asked();
    save(driver, "/tmp");
    const std::vector<Asked> asked = driver.take_asked();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].kind, "information");
    EXPECT_EQ(asked[0].title, "info");
    EXPECT_EQ(asked[0].text, "please complete the process first!");
}

TEST(Save, CancelledDirectoryDialogWritesNothing) {
    WindowDriver driver;
    driver.drive_to(8);
    driver.take_asked();
    driver.find<QAction>("actionSave")->trigger();
    const std::vector<Asked> asked = driver.take_asked();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].kind, "existing_directory");
    EXPECT_EQ(asked[0].title, "open directory");
    EXPECT_EQ(asked[0].text, "/home");
    EXPECT_EQ(asked[0].options, QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    EXPECT_FALSE(fs::exists("/" + report_name));
    EXPECT_FALSE(fs::exists("/" + key_name));
}

TEST(Save, WritesReportAndOwnerOnlyKeyFileUnderOneStamp) {
    ScratchDir scratch;
    WindowDriver driver;
    driver.drive_to(8);
    driver.take_asked();
    const mode_t previous = umask(022);
    save(driver, scratch.path() + "/");  // a trailing '/' is not doubled
    umask(previous);
    EXPECT_TRUE(boxes(driver).empty());

    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(scratch.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{key_name, report_name}));

    const fs::perms key_perms = fs::status(scratch.path() + "/" + key_name).permissions();
    EXPECT_EQ(key_perms, fs::perms::owner_read | fs::perms::owner_write);
    const fs::perms report_perms = fs::status(scratch.path() + "/" + report_name).permissions();
    EXPECT_NE(report_perms & fs::perms::others_read, fs::perms::none);

    // The lines that come straight from the typed key: 2 adders, 2
    // multipliers, rules 1 and 5, order "10", rounds 80 64 32 16 written as
    // 7-digit binary groups.
    const std::string key = read_file(scratch.path() + "/" + key_name);
    EXPECT_EQ(key.rfind("Adder : 2\nMultiplier : 2\n\nNumber of hash blocks : 2\n"
                        "selected encoding function  : encoded string  \n1 : ",
                        0),
              0u);
    EXPECT_NE(key.find("\n5 : "), std::string::npos);
    EXPECT_NE(key.find("\n\n\nkey for selecting encoding for hash block : 10\n\n"
                       "Key for number of rounds for each block :-\n"
                       "1010000100000001000000010000 ( 80 64 32 16 )\n\nInitial area : "),
              std::string::npos);
    EXPECT_NE(key.find("\nnumber of zeros : "), std::string::npos);
    EXPECT_EQ(key.back(), '\n');

    // A second save in the same second appends to both files.
    const std::string report = read_file(scratch.path() + "/" + report_name);
    save(driver, scratch.path());
    EXPECT_EQ(read_file(scratch.path() + "/" + key_name), key + key);
    EXPECT_EQ(read_file(scratch.path() + "/" + report_name), report + report);
}

TEST(Save, FilesThatCannotBeWrittenAreNamedInOneErrorBox) {
    WindowDriver driver;
    driver.drive_to(8);
    driver.take_asked();
    save(driver, "/nonexistent-velnor-folder");
    std::vector<Asked> asked = boxes(driver);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].kind, "critical");
    EXPECT_EQ(asked[0].title, "error");
    EXPECT_EQ(asked[0].text.toStdString(),
              "could not write the report file /nonexistent-velnor-folder/" + report_name +
                  "\ncould not write the key file /nonexistent-velnor-folder/" + key_name);

    // Only the key file blocked: a folder already sits under its name.
    ScratchDir scratch;
    fs::create_directory(scratch.path() + "/" + key_name);
    save(driver, scratch.path());
    asked = boxes(driver);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text.toStdString(), "could not write the key file " + scratch.path() + "/" + key_name);
    EXPECT_TRUE(fs::is_regular_file(scratch.path() + "/" + report_name));
}

TEST(Save, SecondRunAfterResetWritesTheSameFiles) {
    ScratchDir first, second;
    WindowDriver driver;
    QApplication::setActiveWindow(&driver.window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&driver.window()));
    driver.drive_to(8);
    save(driver, first.path());
    QTest::keyClick(&driver.window(), Qt::Key_R, Qt::ControlModifier);
    ASSERT_EQ(driver.window().current_stage(), 0);
    driver.drive_to(8);
    driver.dialogs().directories.push_back(QString::fromStdString(second.path()));
    QTest::keyClick(&driver.window(), Qt::Key_S, Qt::ControlModifier);
    for (const std::string &name : {report_name, key_name}) {
        ASSERT_TRUE(fs::exists(second.path() + "/" + name)) << name;
        EXPECT_EQ(read_file(first.path() + "/" + name), read_file(second.path() + "/" + name)) << name;
    }
}

TEST(Save, WritesWhatTheBatchToolWritesForTheSameInputs) {
#ifndef VELNOR_CLI
    GTEST_SKIP() << "velnor-cli is not built";
#else
    ScratchDir window_out, batch_out;
    RunInputs inputs;
    inputs.dfg = "dfg/arf.txt";
    inputs.adders = "3";
    inputs.multipliers = "2";
    inputs.count = "3";
    inputs.encodings = "2 7 9 4";
    inputs.order = "100100";
    inputs.rounds = "80 1 17 64 33 80";
    inputs.size = "57";
    WindowDriver driver;
    driver.drive_to(8, inputs);
    ASSERT_EQ(driver.window().current_stage(), 8);
    save(driver, window_out.path());

    QProcess batch;
    batch.start(VELNOR_CLI, {"run", "--dfg", QString::fromStdString(data_path("dfg/arf.txt")), "--library",
                             QString::fromStdString(data_path("lib/library_a.txt")), "--adders", "3",
                             "--multipliers", "2", "--count", "3", "--encodings", "2 7 9 4", "--order", "100100",
                             "--rounds", "80 1 17 64 33 80", "--size", "57", "--out",
                             QString::fromStdString(batch_out.path()), "--stamp", "FriDec41856522026"});
    ASSERT_TRUE(batch.waitForFinished(60000));
    ASSERT_EQ(batch.exitCode(), 0) << batch.readAllStandardError().toStdString();
    for (const std::string name : {"report_arf_FriDec41856522026.txt", "key_arf_FriDec41856522026.txt"}) {
        const std::string batch_file = batch_out.path() + "/" + name;
        ASSERT_TRUE(fs::exists(batch_file)) << name;
        EXPECT_EQ(read_file(window_out.path() + "/" + name), read_file(batch_file)) << name;
    }
#endif
}

}  // namespace
}  // namespace velnor::test
