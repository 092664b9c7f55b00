#!/usr/bin/env bash
# Writes the seeds of the netlist_json fuzzer: tiny Verilog designs written
# here, each synthesized by Yosys exactly as velnor reads a suspect design
# (flattened to generic single-bit cells, written as JSON), into
# fuzz/seeds/netlist_json/. Run it again after changing a design.
# Usage: scripts/netlist-seeds.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/fuzz/seeds/netlist_json
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

design() {  # design NAME: the Verilog on standard input becomes NAME.json
  cat > "$work/$1.v"
  (cd "$work" && yosys -q -f "verilog -sv" "$1.v" \
    -p "hierarchy -check -auto-top; synth -flatten -auto-top; write_json $1.json")
  cp "$work/$1.json" "$out/$1.json"
}

mkdir -p "$out"

# Counts while en is high from start on; done once count reaches limit.
design counter <<'V'
module counter (input clk, input rst, input start, input en, input [1:0] limit,
                output reg done, output reg [1:0] count);
  always @(posedge clk)
    if (rst) begin count <= 0; done <= 0; end
    else if (start) begin count <= 0; done <= 0; end
    else if (en && !done) begin count <= count + 1; if (count + 1 == limit) done <= 1; end
endmodule
V

# A register whose reset acts only while it is enabled, and done one edge after start.
design enabled_reset <<'V'
module enabled_reset (input clk, input rst, input start, input ce, input [1:0] d,
                      output reg [1:0] q, output reg done);
  always @(posedge clk) begin
    if (ce) begin if (rst) q <= 2'b01; else q <= d; end
    done <= start;
  end
endmodule
V

# Multiplexers and and-or-invert logic in front of plain flip-flops.
design gates <<'V'
module gates (input clk, input start, input s, input [3:0] a, output reg [1:0] y, output reg done);
  always @(posedge clk) begin
    y[0] <= s ? (a[0] & a[1]) | a[2] : ~(a[0] | a[3]);
    y[1] <= ~((a[0] & a[1]) | (a[2] & a[3])) ^ s;
    done <= start;
  end
endmodule
V
