// Writes the testbench and its vector file; the expected outputs come from the
// evaluator, never from the hardware under test.
#include "rtl/verilog_testbench.h"

#include <sstream>

#include "rtl/datapath_evaluator.h"
#include "rtl/verilog_writer.h"

namespace velnor {

std::string testbench_vectors(const Datapath &datapath, const std::vector<InputVector> &vectors, int width) {
    const std::vector<int32_t> inputs = input_port_ids(datapath);
    const std::vector<int32_t> outputs = output_port_ids(datapath);
    const uint64_t mask = width >= 64 ? ~uint64_t{0} : (uint64_t{1} << width) - 1;
    std::ostringstream out;
    out << std::hex;
    for (const InputVector &vector : vectors) {
        for (int32_t id : inputs) {
            const auto value = vector.find(id);
            out << (value == vector.end() ? 0 : value->second & mask) << "\n";
        }
        const std::map<int32_t, uint64_t> results = evaluate_datapath(datapath, vector, width);
        for (int32_t id : outputs)
            out << results.at(id) << "\n";
    }
    return out.str();
}

std::string verilog_testbench(const Datapath &datapath, int width, const std::string &vector_file,
                              int vector_count) {
    const std::vector<int32_t> inputs = input_port_ids(datapath);
    const std::vector<int32_t> outputs = output_port_ids(datapath);
    const std::size_t per_vector = inputs.size() + outputs.size();
    std::ostringstream out;
    out << "// Checks " << verilog_module_name(datapath) << " against the values of vector file " << vector_file
        << ".\n"
        << "module testbench;\n"
        << "    localparam WIDTH = " << width << ";\n"
        << "    localparam VECTORS = " << vector_count << ";\n"
        << "    localparam PER_VECTOR = " << per_vector << ";\n"
        << "    localparam STEPS = " << datapath.control_steps << ";\n"
        << "    reg clk = 1'b0;\n"
        << "    reg rst = 1'b1;\n"
        << "    reg start = 1'b0;\n"
        << "    wire done;\n"
        << "    reg [WIDTH-1:0] memory [0:VECTORS*PER_VECTOR-1];\n";
    for (int32_t id : inputs)
        out << "    reg [WIDTH-1:0] in_" << id << " = {WIDTH{1'b0}};\n";
    for (int32_t id : outputs)
        out << "    wire [WIDTH-1:0] out_" << id << ";\n";
    out << "    " << verilog_module_name(datapath) << " #(.WIDTH(WIDTH)) core (.clk(clk), .rst(rst), .start(start), "
        << ".done(done)";
    for (int32_t id : inputs)
        out << ", .in_" << id << "(in_" << id << ")";
    for (int32_t id : outputs)
        out << ", .out_" << id << "(out_" << id << ")";
    out << ");\n"
        << "    always #5 clk = ~clk;\n"
        << "    integer v;\n"
        << "    integer cycles;\n"
        << "    integer errors;\n"
        << "    task check;\n"
        << "        input [WIDTH-1:0] got;\n"
        << "        input [WIDTH-1:0] want;\n"
        << "        input integer id;\n"
        << "        begin\n"
        << "            if (got !== want) begin\n"
        << "                errors = errors + 1;\n"
        << "                if (errors <= 10)\n"
        << "                    $display(\"MISMATCH vector %0d out_%0d: got %h, want %h\", v, id, got, want);\n"
        << "            end\n"
        << "        end\n"
        << "    endtask\n"
        << "    initial begin\n"
        << "        $readmemh(\"" << vector_file << "\", memory);\n"
        << "        errors = 0;\n"
        << "        @(posedge clk);\n"
        << "        #1 rst = 1'b0;\n"
        << "        for (v = 0; v < VECTORS; v = v + 1) begin\n";
    for (std::size_t k = 0; k < inputs.size(); ++k)
        out << "            in_" << inputs[k] << " = memory[v*PER_VECTOR+" << k << "];\n";
    out << "            start = 1'b1;\n"
        << "            @(posedge clk);\n"
        << "            #1 start = 1'b0;\n"
        << "            cycles = 0;\n"
        << "            while (done !== 1'b1 && cycles <= STEPS) begin\n"
        << "                @(posedge clk);\n"
        << "                #1 cycles = cycles + 1;\n"
        << "            end\n"
        << "            if (cycles != STEPS) begin\n"
        << "                errors = errors + 1;\n"
        << "                $display(\"TIMING vector %0d: done after %0d cycles, want %0d\", v, cycles, STEPS);\n"
        << "            end\n";
    // The inputs change after the run; the outputs must not.
    for (int32_t id : inputs)
        out << "            in_" << id << " = ~in_" << id << ";\n";
    out << "            @(posedge clk);\n"
        << "            @(posedge clk);\n"
        << "            #1;\n";
    for (std::size_t k = 0; k < outputs.size(); ++k)
        out << "            check(out_" << outputs[k] << ", memory[v*PER_VECTOR+" << inputs.size() + k << "], "
            << outputs[k] << ");\n";
    out << "        end\n"
        << "        $display(\"RESULT vectors=%0d errors=%0d\", VECTORS, errors);\n"
        << "        $finish;\n"
        << "    end\n"
        << "endmodule\n";
    return out.str();
}

}  // namespace velnor
