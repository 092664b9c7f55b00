// Proving ownership through the real binary: run writes the datapath files,
// they follow the published schema, and verify gives the verdict's exit status
// or refuses a bad design file with one line and status 2.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <algorithm>

#include "tests/cli/process_outcome.h"
#include "tests/test_support.h"

namespace {

using velnor::test::data_path;
using velnor::test::read_file;
using velnor::test::ScratchDir;

using velnor::test::Outcome;
using velnor::test::run_program;

Outcome cli(const QStringList &arguments) { return run_program(VELNOR_CLI, arguments); }

// The owner's key for a DSP core under tests/data.
QStringList key_of(const std::string &dfg, const QString &size, const QString &adders = "2") {
    return {"--dfg", QString::fromStdString(data_path(dfg)), "--library",
            QString::fromStdString(data_path("lib/library_a.txt")), "--adders", adders, "--multipliers", "2",
            "--subtractors", "2", "--comparators", "2", "--encodings", "4", "--rounds", "80 80", "--size", size};
}

struct Owner {
    QStringList key;
    std::string signed_file, unsigned_file;
};

Owner signed_run(const ScratchDir &dir, const std::string &dfg, const QString &size) {
    Owner owner{key_of(dfg, size), dir.path() + "/signed.json", dir.path() + "/unsigned.json"};
    const Outcome run = cli(QStringList{"run"} + owner.key +
                            QStringList{"--datapath", QString::fromStdString(owner.signed_file), "--datapath-before",
                                        QString::fromStdString(owner.unsigned_file)});
    EXPECT_EQ(run.status, 0) << run.err;
    return owner;
}

Outcome verify(const Owner &owner, const std::string &design, const QStringList &extra = {}) {
    return cli(QStringList{"verify", "--design", QString::fromStdString(design)} + owner.key + extra);
}

TEST(CliVerify, SignedDesignIsPresentAndTheUnsignedAbsent) {
    ScratchDir dir;
    const Owner owner = signed_run(dir, "characterization/gen_247.txt", "512");
    const Outcome present = verify(owner, owner.signed_file, {"--json"});
    ASSERT_EQ(present.status, 0) << present.err;
    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(present.out)).object();
    EXPECT_EQ(json["verdict"].toString(), "present");
    EXPECT_EQ(json["distinguishing"].toObject()["held"], json["distinguishing"].toObject()["total"]);
    EXPECT_EQ(json["alpha"].toDouble(), 1e-6);
    EXPECT_GT(json["constraints"].toArray().size(), 300);

    const Outcome absent = verify(owner, owner.unsigned_file);
    EXPECT_EQ(absent.status, 3) << absent.err;
    EXPECT_NE(absent.out.find("verdict : absent\n"), std::string::npos) << absent.out;
}

TEST(CliVerify, FewDistinguishingConstraintsAreInconclusive) {
    ScratchDir dir;
    const Owner owner = signed_run(dir, "dfg/fir.txt", "40");
    const Outcome v = verify(owner, owner.signed_file);
    EXPECT_EQ(v.status, 4) << v.err;
    EXPECT_NE(v.out.find("verdict : inconclusive\n"), std::string::npos) << v.out;
    // A weaker alpha is met by the same design.
    EXPECT_EQ(verify(owner, owner.signed_file, {"--alpha", "0.5"}).status, 0);
}

TEST(CliVerify, WrittenFilesFollowThePublishedSchema) {
    ScratchDir dir;
    const Owner owner = signed_run(dir, "dfg/arf.txt", "128");
    for (const std::string &file : {owner.signed_file, owner.unsigned_file}) {
        const Outcome check = run_program("/usr/bin/python3", {"-m", "jsonschema", "-i", QString::fromStdString(file),
                                                               VELNOR_SOURCE "/docs/datapath.schema.json"});
        EXPECT_EQ(check.status, 0) << check.out << check.err;
    }
}

struct BadDesign {
    const char *name;
    const char *from;  // text of the signed file to replace
    const char *to;
    const char *says;  // a part of the one-line message
};

class CliVerifyRefuses : public ::testing::TestWithParam<BadDesign> {};

TEST_P(CliVerifyRefuses, WithOneLineAndStatus2) {
    ScratchDir dir;
    const Owner owner = signed_run(dir, "dfg/fir.txt", "40");
    std::string text = read_file(owner.signed_file);
    const BadDesign &row = GetParam();
    const auto at = text.find(row.from);
    ASSERT_NE(at, std::string::npos) << row.from;
    text.replace(at, std::string(row.from).size(), row.to);
    const Outcome v = verify(owner, dir.write("suspect.json", text));
    EXPECT_EQ(v.status, 2);
    EXPECT_EQ(v.out, "");
    EXPECT_EQ(std::count(v.err.begin(), v.err.end(), '\n'), 1) << v.err;
    EXPECT_EQ(v.err.rfind("--design: ", 0), 0u) << v.err;
    EXPECT_NE(v.err.find(row.says), std::string::npos) << v.err;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CliVerifyRefuses,
    ::testing::Values(BadDesign{"Truncated", "\"variables\"", "", "not a JSON document"},
                      BadDesign{"UnknownVariable", "\"name\":\"op:21\"", "\"name\":\"op:77\"",
                                "variable op:77 does not exist"},
                      BadDesign{"OtherOperation", "\"type\":\"*\"", "\"type\":\"+\"", "operation 1 differs"}),
    [](const ::testing::TestParamInfo<BadDesign> &info) { return std::string(info.param.name); });

TEST(CliVerifyRefusesFile, OfAnotherDspCoreMissingOrADirectory) {
    ScratchDir dir;
    const Owner fir = signed_run(dir, "dfg/fir.txt", "40");
    ScratchDir other;
    const Owner arf = signed_run(other, "dfg/arf.txt", "40");
    for (const std::string &design : {arf.signed_file, dir.path() + "/absent.json", dir.path()}) {
        const Outcome v = verify(fir, design);
        EXPECT_EQ(v.status, 2) << design;
        EXPECT_EQ(std::count(v.err.begin(), v.err.end(), '\n'), 1) << v.err;
    }
    EXPECT_EQ(cli(QStringList{"verify"} + fir.key).status, 2);  // no --design
    EXPECT_EQ(verify(fir, fir.signed_file, {"--alpha", "2"}).status, 2);
    EXPECT_EQ(verify(fir, fir.signed_file, {"--out", dir.path().c_str()}).status, 2);
}

}  // namespace
