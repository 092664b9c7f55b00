// Verifying suspect hardware through the real binary: velnor's own signed
// Verilog, and the same Verilog synthesized to gates by Yosys with every
// internal name hidden and nets split to bits, verified with the owner's key.
// The recovered registers must be the run's own; the unsigned design must not
// pass as signed; every refusal is one line with status 2.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <algorithm>
#include <fstream>
#include <map>
#include <vector>

#include "tests/cli/process_outcome.h"
#include "tests/test_support.h"

namespace {

using velnor::test::data_path;
using velnor::test::read_file;
using velnor::test::ScratchDir;

using velnor::test::Outcome;
using velnor::test::run_program;

Outcome cli(const QStringList &arguments, velnor::test::RunOptions options = {}) {
    return run_program(VELNOR_CLI, arguments, std::move(options));
}

QString q(const std::string &text) { return QString::fromStdString(text); }

QJsonObject json_of(const std::string &text) { return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object(); }

// The owner's run of a DSP core under tests/data.
QStringList key_of(const std::string &dfg, const QString &embedding) {
    return {"--dfg", q(data_path(dfg)), "--library", q(data_path("lib/library_a.txt")), "--adders", "2",
            "--multipliers", "2", "--subtractors", "2", "--comparators", "2", "--encodings", "1 5", "--order", "10",
            "--rounds", "80 64 32 16", "--size", "256", "--embedding", embedding};
}

// Synthesizes verilog to a gate netlist that hides every internal name, as
// someone hiding a stolen core would; the top module is named top.
void hide_names(const std::string &verilog, const std::string &top, const std::string &gates) {
    QProcess yosys;
    yosys.start("yosys", {"-q", "-p",
                          q("read_verilog " + verilog + "; synth -flatten -top " + top +
                            "; opt_clean -purge; rename -hide w:*; splitnets -driver; write_verilog -noattr " + gates)});
    ASSERT_TRUE(yosys.waitForFinished(300000));
    ASSERT_EQ(yosys.exitCode(), 0) << yosys.readAllStandardError().toStdString();
}

// variable name -> register, from a datapath file.
std::map<QString, int> registers_of(const QJsonObject &datapath) {
    std::map<QString, int> registers;
    for (const QJsonValue &variable : datapath["variables"].toArray())
        registers[variable.toObject()["name"].toString()] = variable.toObject()["register"].toInt();
    return registers;
}

struct Case {
    const char *name;
    const char *dfg;
    const char *embedding;
};

class HardwareVerification : public ::testing::TestWithParam<Case> {};

// One owner's run per case; its signed design verified as RTL and as a hidden-name
// gate netlist, its unsigned design as RTL.
TEST_P(HardwareVerification, RecoversTheRunsRegistersFromRtlAndGates) {
    const Case c = GetParam();
    ScratchDir dir;
    const QStringList key = key_of(c.dfg, c.embedding);
    const std::string signed_rtl = dir.path() + "/signed.v", unsigned_rtl = dir.path() + "/unsigned.v";
    const std::string datapath = dir.path() + "/signed.json", gates = dir.path() + "/gates.v";
    const Outcome run = cli(QStringList{"run"} + key +
                            QStringList{"--verilog", q(signed_rtl), "--verilog-before", q(unsigned_rtl), "--datapath",
                                        q(datapath)});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string core = std::string(c.dfg).substr(std::string(c.dfg).rfind('/') + 1);
    hide_names(signed_rtl, core.substr(0, core.find('.')), gates);
    const std::map<QString, int> owner = registers_of(json_of(read_file(datapath)));

    for (const std::string &suspect : {signed_rtl, gates}) {
        SCOPED_TRACE(suspect);
        const std::string recovered_file = dir.path() + "/recovered.json";
        const Outcome v = cli(QStringList{"verify", "--verilog", q(suspect), "--json", "--recovered",
                                          q(recovered_file)} + key);
        ASSERT_TRUE(v.status == 0 || v.status == 3 || v.status == 4) << v.err;
        const QJsonObject result = json_of(v.out);
        const int found = result["found"].toObject()["variables"].toInt();
        const int of = result["found"].toObject()["of"].toInt();
        EXPECT_EQ(of, static_cast<int>(owner.size()));
        EXPECT_GE(found * 5, of * 4) << found << " of " << of;

        // The same pairs share a register in the recovered datapath and in the run's.
        const QJsonObject recovered = json_of(read_file(recovered_file));
        EXPECT_EQ(recovered["source"].toString(), "verilog");
        const std::map<QString, int> registers = registers_of(recovered);
        EXPECT_EQ(static_cast<int>(registers.size()), found);
        for (const auto &[a, ra] : registers)
            for (const auto &[b, rb] : registers)
                ASSERT_EQ(ra == rb, owner.at(a) == owner.at(b)) << a.toStdString() << " " << b.toStdString();

        // Every constraint that both variables of show is checked and held.
        int unchecked = 0;
        for (const QJsonValue &constraint : result["constraints"].toArray()) {
            const QJsonObject k = constraint.toObject();
            if (!k["checked"].toBool())
                ++unchecked;
            else
                EXPECT_TRUE(k["held"].toBool()) << k["a"].toString().toStdString();
        }
        EXPECT_EQ(result["unchecked"].toInt(), unchecked);
        if (std::string(c.embedding) == "strong" && std::string(c.dfg).find("gen_100") != std::string::npos) {
            EXPECT_EQ(result["verdict"].toString(), "present");
            EXPECT_LE(result["log10_pc_distinguishing"].toDouble(), -6);
        }
    }
    const Outcome unsigned_verdict = cli(QStringList{"verify", "--verilog", q(unsigned_rtl)} + key);
    EXPECT_NE(unsigned_verdict.status, 0) << unsigned_verdict.out;
    EXPECT_EQ(unsigned_verdict.out.find("verdict : present"), std::string::npos) << unsigned_verdict.out;
}

INSTANTIATE_TEST_SUITE_P(Cores, HardwareVerification,
                         ::testing::Values(Case{"fir_specified", "dfg/fir.txt", "specified"},
                                           Case{"fir_strong", "dfg/fir.txt", "strong"},
                                           Case{"arf_specified", "dfg/arf.txt", "specified"},
                                           Case{"arf_strong", "dfg/arf.txt", "strong"},
                                           Case{"gen100_specified", "characterization/gen_100.txt", "specified"},
                                           Case{"gen100_strong", "characterization/gen_100.txt", "strong"}),
                         [](const ::testing::TestParamInfo<Case> &info) { return std::string(info.param.name); });

// The signed fir core inside a larger chip whose ports follow other names,
// beside logic of its own; and a copy of the core's ports whose done never rises.
struct Chip {
    ScratchDir dir;
    QStringList key = key_of("dfg/fir.txt", "strong");
    std::string verilog = dir.path() + "/chip with 'quotes'.v";
    std::string ports = dir.path() + "/ports.txt";
    std::string stuck = dir.path() + "/stuck.v";

    Chip() {
        const std::string core = dir.path() + "/fir.v";
        const Outcome run = cli(QStringList{"run"} + key + QStringList{"--verilog", q(core)});
        EXPECT_EQ(run.status, 0) << run.err;
        const std::string text = read_file(core);
        std::vector<std::string> ids;
        const std::string declaration = "input  wire [WIDTH-1:0] in_";
        for (std::size_t at = text.find(declaration); at != std::string::npos; at = text.find(declaration, at + 1))
            ids.push_back(text.substr(at + declaration.size(), text.find(',', at) - at - declaration.size()));
        // The core's outputs leave the chip, or synthesis would remove the core as unused.
        std::vector<std::string> outputs;
        const std::string output = "output wire [WIDTH-1:0] out_";
        for (std::size_t at = text.find(output); at != std::string::npos && at < text.find("endmodule");
             at = text.find(output, at + 1))
            outputs.push_back(text.substr(at + output.size(), text.find_first_of(",\n", at) - at - output.size()));
        std::string chip_inputs, chip_connections, map = "# velnor's port, the chip's\nclk ck\nrst reset  # sync\n"
                                                         "start go\ndone ready\n";
        std::string stuck_inputs, stuck_connections;
        for (const std::string &id : ids) {
            chip_inputs += "  input wire [15:0] d" + id + ",\n";
            chip_connections += ", .in_" + id + "(d" + id + ")";
            stuck_inputs += ", input wire [15:0] in_" + id;
            stuck_connections += ", .in_" + id + "(in_" + id + ")";
            map += "in_" + id + " d" + id + "\n";
        }
        for (const std::string &id : outputs) {
            chip_inputs += "  output wire [15:0] q" + id + ",\n";
            chip_connections += ", .out_" + id + "(q" + id + ")";
            stuck_inputs += ", output wire [15:0] out_" + id;
            stuck_connections += ", .out_" + id + "(out_" + id + ")";
        }
        std::ofstream(verilog) << text << "\nmodule chip (\n  input wire ck,\n  input wire reset,\n  input wire go,\n"
                               << "  input wire [3:0] mode,\n" << chip_inputs
                               << "  output wire ready,\n  output reg [3:0] count\n);\n"
                               << "  always @(posedge ck) count <= count + mode;\n"
                               << "  fir core (.clk(ck), .rst(reset), .start(go), .done(ready)" << chip_connections
                               << ");\nendmodule\n";
        std::ofstream(ports) << map;
        std::ofstream(stuck) << text << "\nmodule stuck(input wire clk, input wire rst, input wire start"
                             << stuck_inputs << ", output wire done);\n  wire finished;\n"
                             << "  fir core (.clk(clk), .rst(rst), .start(start), .done(finished)" << stuck_connections
                             << ");\n  assign done = 1'b0;\nendmodule\n";
    }
};

TEST(HardwareVerificationOf, ACoreInsideALargerChip) {
    Chip chip;
    const Outcome through_ports = cli(QStringList{"verify", "--verilog", q(chip.verilog), "--ports", q(chip.ports)} + chip.key);
    EXPECT_EQ(through_ports.status, 0) << through_ports.err << through_ports.out;
    const Outcome as_top = cli(QStringList{"verify", "--verilog", q(chip.verilog), "--top", "fir"} + chip.key);
    EXPECT_EQ(as_top.status, 0) << as_top.err << as_top.out;
    EXPECT_NE(as_top.out.find("variables found : "), std::string::npos);
    EXPECT_EQ(through_ports.out, as_top.out);
}

// Each refusal: exactly one line on standard error naming what is wrong, status 2.
void expect_refused(const Outcome &outcome, const std::string &words) {
    EXPECT_EQ(outcome.status, 2) << outcome.out;
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    EXPECT_NE(outcome.err.find(words), std::string::npos) << outcome.err;
}

TEST(HardwareVerificationRefuses, WhatItCannotReadOrSimulate) {
    Chip chip;
    const auto verify = [&chip](const std::string &verilog, const QStringList &extra = {}) {
        return cli(QStringList{"verify", "--verilog", q(verilog)} + chip.key + extra);
    };
    expect_refused(verify(chip.dir.write("notes.v", "this is not Verilog at all\n")), "ERROR");
    expect_refused(verify(chip.verilog), "--verilog: the suspect has no port clk");
    expect_refused(verify(chip.verilog, {"--top", "fir", "--ports", q(chip.dir.write("p.txt", "done finished\n"))}),
                   "no port finished (velnor's done)");
    expect_refused(verify(chip.dir.write("latch.v", "module l(input wire clk, input wire d, output reg q);\n"
                                                    "  always @* if (clk) q = d;\nendmodule\n")),
                   "$_DLATCH_P_");
    expect_refused(verify(chip.stuck, {"--top", "stuck"}), "done never rose");
    expect_refused(verify(chip.verilog, {"--vectors", "0"}), "--vectors:");
    expect_refused(cli(QStringList{"verify", "--verilog", q(chip.verilog), "--design", "x.json"} + chip.key),
                   "--verilog: not taken with --design");

    velnor::test::RunOptions no_yosys;
    no_yosys.environment.insert("PATH", q(chip.dir.path()));
    expect_refused(cli(QStringList{"verify", "--verilog", q(chip.verilog), "--top", "fir"} + chip.key, no_yosys),
                   "yosys is not installed; install Debian's package yosys");
}

}  // namespace
