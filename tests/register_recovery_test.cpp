// Register recovery on velnor's own Verilog read back by Yosys: which
// variables can be found and which cannot, and why; renumbered registers; and
// the suspect's ports checked before anything is simulated.
#include "rtl/register_recovery.h"

#include <map>

#include <gtest/gtest.h>

#include "core/refusal.h"
#include "rtl/verilog_writer.h"
#include "tests/flow_fixtures.h"
#include "tools/yosys_netlist.h"

namespace velnor {
namespace {

struct Owner {
    Datapath datapath;
    Netlist netlist;
};

// A tiny core whose variables cover every kind of evidence:
//   op:1 = in:1 * in:1   (its lowest bit is in:1's lowest bit)
//   op:2 = in:2 - in:2   (always 0: constant)
//   op:3 = op:1 + in:3, op:4 = op:3 + in:4, op:5 = op:4 * in:5
Owner tiny_owner(const test::ScratchDir &dir) {
    const std::string dfg = dir.write("tiny.txt", "* 0 0 1\n- 0 0 2\n+ 1 0 3\n+ 3 0 4\n* 4 0 5\n< 2 5 6\n");
    FlowRun run = test::hashed_run(dfg, 1, 1, 1, 1, {1}, "", {80, 80});
    std::ostringstream log;
    accept_constraint_size(run, 4, log);
    Owner owner{datapath_of(run.design), {}};
    const std::string verilog = dir.path() + "/tiny.v";
    EXPECT_TRUE(write_verilog_file(owner.datapath, DesignStage::Signed, verilog));
    owner.netlist = read_verilog_netlist(verilog, std::nullopt, 60);
    return owner;
}

TEST(RegisterRecovery, FindsEveryVariableThatValuesCanTellApart) {
    test::ScratchDir dir;
    const Owner owner = tiny_owner(dir);
    const RecoveredDatapath recovered = recover_datapath(owner.datapath, owner.netlist, {});
    std::map<std::string, VariableEvidence> evidence;
    for (std::size_t v = 0; v < owner.datapath.variables.size(); ++v)
        evidence[owner.datapath.variables[v].name] = recovered.evidence[v];
    EXPECT_EQ(evidence.at("op:2"), VariableEvidence::Constant);
    for (const char *name : {"in:1", "op:1", "op:3", "op:4", "op:5"})
        EXPECT_EQ(evidence.at(name), VariableEvidence::Found) << name;
    EXPECT_EQ(recovered.word_width, 16);
    EXPECT_EQ(recovered.clock_edges, owner.datapath.control_steps);
    EXPECT_EQ(recovered.variables_total, static_cast<int64_t>(owner.datapath.variables.size()));

    // Found variables share a register exactly when they do in the owner's design.
    std::map<std::string, int32_t> mine;
    for (const DatapathVariable &v : owner.datapath.variables)
        mine[v.name] = v.register_number;
    for (const DatapathVariable &a : recovered.datapath.variables)
        for (const DatapathVariable &b : recovered.datapath.variables)
            EXPECT_EQ(a.register_number == b.register_number, mine.at(a.name) == mine.at(b.name))
                << a.name << " " << b.name;
    for (const DatapathOperation &op : recovered.datapath.operations)
        EXPECT_EQ(op.variant, unbound_variant);

    // More vectors, another seed: the same registers.
    RecoveryOptions more;
    more.vectors = 200;
    more.seed = 99;
    const RecoveredDatapath again = recover_datapath(owner.datapath, owner.netlist, more);
    ASSERT_EQ(again.datapath.variables.size(), recovered.datapath.variables.size());
    for (std::size_t v = 0; v < again.datapath.variables.size(); ++v)
        EXPECT_EQ(again.datapath.variables[v].register_number, recovered.datapath.variables[v].register_number);
}

TEST(RegisterRecovery, OneVectorTellsTooLittle) {
    // With one vector no bit changes from vector to vector: nothing is found.
    test::ScratchDir dir;
    const Owner owner = tiny_owner(dir);
    RecoveryOptions one;
    one.vectors = 1;
    const RecoveredDatapath recovered = recover_datapath(owner.datapath, owner.netlist, one);
    EXPECT_EQ(recovered.variables_found, 0);
    EXPECT_EQ(recovered.datapath.registers, 0);
}

TEST(RegisterRecovery, RefusesMissingAndMismatchedPorts) {
    test::ScratchDir dir;
    Owner owner = tiny_owner(dir);
    const auto refusal_of = [&owner](const RecoveryOptions &options) {
        try {
            recover_datapath(owner.datapath, owner.netlist, options);
        } catch (const Refusal &refusal) {
            EXPECT_EQ(refusal.reason(), Refusal::Reason::SuspectNetlist);
            return std::string(refusal.what());
        }
        return std::string("accepted");
    };
    RecoveryOptions renamed;
    renamed.ports = parse_port_map("start begin\n");
    EXPECT_EQ(refusal_of(renamed), "the suspect has no port begin (velnor's start)");
    renamed.ports = parse_port_map("done clk\n");
    EXPECT_EQ(refusal_of(renamed), "the suspect's port clk (velnor's done) is an input, expected an output");
    for (NetlistPort &port : owner.netlist.ports)
        if (port.name == "in_3")
            port.bits.resize(8);
    EXPECT_EQ(refusal_of({}).rfind("the suspect's input ports differ in width: in_1 has 16 bits, in_3 8", 0), 0u)
        << refusal_of({});
}

}  // namespace
}  // namespace velnor
