// The Verilog modules of the functional units. Every unit has inputs a and b
// and output y, all WIDTH bits, and is combinational: the datapath gives each
// unit one clock cycle. Signals named unused_* collect bits an architecture
// computes but a sum modulo 2^WIDTH does not need (carry out, the last
// propagate terms); lint tools leave such names alone.
#include "rtl/functional_units.h"

namespace velnor {

std::string unit_module_name(UnitKind kind) {
    switch (kind) {
    case UnitKind::FastAdder: return "velnor_adder_prefix";
    case UnitKind::SmallAdder: return "velnor_adder_ripple";
    case UnitKind::FastMultiplier: return "velnor_multiplier_tree";
    case UnitKind::SmallMultiplier: return "velnor_multiplier_array";
    case UnitKind::Subtractor: return "velnor_subtractor";
    case UnitKind::Comparator: return "velnor_comparator";
    case UnitKind::Divider: return "velnor_divider";
    }
    return {};
}

std::string unit_instance_stem(UnitKind kind) {
    switch (kind) {
    case UnitKind::FastAdder: return "adder_v1";
    case UnitKind::SmallAdder: return "adder_v2";
    case UnitKind::FastMultiplier: return "multiplier_v1";
    case UnitKind::SmallMultiplier: return "multiplier_v2";
    case UnitKind::Subtractor: return "subtractor";
    case UnitKind::Comparator: return "comparator";
    case UnitKind::Divider: return "divider";
    }
    return {};
}

std::string unit_description(UnitKind kind) {
    switch (kind) {
    case UnitKind::FastAdder: return "adder, variant 1 (fast, large): Kogge-Stone parallel-prefix carries";
    case UnitKind::SmallAdder: return "adder, variant 2 (small, slow): ripple carry";
    case UnitKind::FastMultiplier:
        return "multiplier, variant 1 (fast, large): partial products summed by a tree of parallel-prefix adders";
    case UnitKind::SmallMultiplier:
        return "multiplier, variant 2 (small, slow): carry-save array of full-adder rows, then a ripple-carry row";
    case UnitKind::Subtractor: return "subtractor: a - b";
    case UnitKind::Comparator: return "comparator: 1 when a < b, else 0";
    case UnitKind::Divider: return "divider: a / b, all ones when b is 0";
    }
    return {};
}

namespace {

const char *const prefix_adder = R"(// Kogge-Stone adder: every bit combines its generate and propagate pair with
// the pair 1, 2, 4, ... bits below, so every carry is ready after
// ceil(log2(WIDTH)) levels of the prefix operator.
module velnor_adder_prefix #(parameter WIDTH = 16) (
    input  wire [WIDTH-1:0] a,
    input  wire [WIDTH-1:0] b,
    output wire [WIDTH-1:0] y
);
    // Levels of the prefix network: at least one, enough that 2^LEVELS >= WIDTH.
    function integer prefix_levels;
        input integer width;
        integer span;
        begin
            prefix_levels = 1;
            for (span = 2; span < width; span = span * 2)
                prefix_levels = prefix_levels + 1;
        end
    endfunction
    localparam LEVELS = prefix_levels(WIDTH);

    // One level is one row of prefix operators, written for all bits at once.
    function [WIDTH-1:0] prefix_sum;
        input [WIDTH-1:0] x;
        input [WIDTH-1:0] z;
        // After level l, bit i of g and p: generate and propagate of the bits
        // i-2^l+1 .. i. No carry enters bit 0, so below bit 0 both are 0.
        reg [WIDTH-1:0] g, p, half_sum;
        integer l;
        begin
            g = x & z;
            half_sum = x ^ z;
            p = half_sum;
            for (l = 0; l < LEVELS; l = l + 1) begin
                g = g | (p & (g << (1 << l)));
                p = p & (p << (1 << l));
            end
            // The carry into bit i is the generate of the bits 0 .. i-1.
            prefix_sum = half_sum ^ (g << 1);
        end
    endfunction
    assign y = prefix_sum(a, b);
endmodule
)";

const char *const ripple_adder = R"(// Ripple-carry adder: one full adder per bit, each waiting for the carry of the bit below.
module velnor_adder_ripple #(parameter WIDTH = 16) (
    input  wire [WIDTH-1:0] a,
    input  wire [WIDTH-1:0] b,
    output wire [WIDTH-1:0] y
);
    // The chain as one function, so that a simulator evaluates it once per change of a or b.
    function [WIDTH-1:0] ripple_sum;
        input [WIDTH-1:0] x;
        input [WIDTH-1:0] z;
        reg carry;
        integer i;
        begin
            carry = 1'b0;
            for (i = 0; i < WIDTH; i = i + 1) begin
                ripple_sum[i] = x[i] ^ z[i] ^ carry;
                carry = (x[i] & z[i]) | (carry & (x[i] ^ z[i]));
            end
        end
    endfunction
    assign y = ripple_sum(a, b);
endmodule
)";

const char *const tree_multiplier = R"(// Tree multiplier: the WIDTH partial products (a shifted by i where bit i of b
// is 1) are the leaves of a balanced binary tree of parallel-prefix adders, so
// the product is ready after ceil(log2(WIDTH)) adders in a row.
module velnor_multiplier_tree #(parameter WIDTH = 16) (
    input  wire [WIDTH-1:0] a,
    input  wire [WIDTH-1:0] b,
    output wire [WIDTH-1:0] y
);
    // Leaves of the tree: the smallest power of two that is at least WIDTH.
    function integer tree_leaves;
        input integer width;
        begin
            tree_leaves = 1;
            while (tree_leaves < width)
                tree_leaves = tree_leaves * 2;
        end
    endfunction
    localparam LEAVES = tree_leaves(WIDTH);

    // Node k adds nodes 2k and 2k+1; node LEAVES+i is partial product i (zero
    // past WIDTH); node 1 is the product.
    genvar k;
    generate
        for (k = 1; k < 2 * LEAVES; k = k + 1) begin : node
            wire [WIDTH-1:0] value;
            if (k >= LEAVES + WIDTH) begin : padding
                assign value = {WIDTH{1'b0}};
            end else if (k >= LEAVES) begin : partial_product
                assign value = (a << (k - LEAVES)) & {WIDTH{b[k-LEAVES]}};
            end else begin : sum
                velnor_adder_prefix #(.WIDTH(WIDTH)) add (
                    .a(node[2*k].value),
                    .b(node[2*k+1].value),
                    .y(value)
                );
            end
        end
    endgenerate
    assign y = node[1].value;
endmodule
)";

const char *const array_multiplier = R"(// Array multiplier: row r of full adders adds the partial product of bit r of
// b to the sums and carries of the row above (carry save), and a ripple-carry
// row adds the last sums and carries; taken modulo 2^WIDTH.
module velnor_multiplier_array #(parameter WIDTH = 16) (
    input  wire [WIDTH-1:0] a,
    input  wire [WIDTH-1:0] b,
    output wire [WIDTH-1:0] y
);
    // One row of full adders is written for all bits at once.
    function [WIDTH-1:0] array_product;
        input [WIDTH-1:0] x;
        input [WIDTH-1:0] z;
        reg [WIDTH-1:0] sum, carries, partial, row_sum;
        reg carry;
        integer r, i;
        begin
            sum = x & {WIDTH{z[0]}};
            carries = {WIDTH{1'b0}};
            for (r = 1; r < WIDTH; r = r + 1) begin
                partial = (x << r) & {WIDTH{z[r]}};
                row_sum = sum ^ partial ^ carries;
                carries = ((sum & partial) | (sum & carries) | (partial & carries)) << 1;
                sum = row_sum;
            end
            carry = 1'b0;
            for (i = 0; i < WIDTH; i = i + 1) begin
                array_product[i] = sum[i] ^ carries[i] ^ carry;
                carry = (sum[i] & carries[i]) | (carry & (sum[i] ^ carries[i]));
            end
        end
    endfunction
    assign y = array_product(a, b);
endmodule
)";

const char *const subtractor = R"(// Subtractor: a - b modulo 2^WIDTH.
module velnor_subtractor #(parameter WIDTH = 16) (
    input  wire [WIDTH-1:0] a,
    input  wire [WIDTH-1:0] b,
    output wire [WIDTH-1:0] y
);
    assign y = a - b;
endmodule
)";

const char *const comparator = R"(// Comparator: 1 when a < b as unsigned numbers, else 0.
module velnor_comparator #(parameter WIDTH = 16) (
    input  wire [WIDTH-1:0] a,
    input  wire [WIDTH-1:0] b,
    output wire [WIDTH-1:0] y
);
    assign y[0] = a < b;
    generate
        if (WIDTH > 1) begin : high_bits
            assign y[WIDTH-1:1] = {(WIDTH-1){1'b0}};
        end
    endgenerate
endmodule
)";

const char *const divider = R"(// Divider: a / b rounded down; all ones when b is 0.
module velnor_divider #(parameter WIDTH = 16) (
    input  wire [WIDTH-1:0] a,
    input  wire [WIDTH-1:0] b,
    output wire [WIDTH-1:0] y
);
    assign y = b == {WIDTH{1'b0}} ? {WIDTH{1'b1}} : a / b;
endmodule
)";

}  // namespace

std::string unit_module_text(UnitKind kind) {
    switch (kind) {
    case UnitKind::FastAdder: return prefix_adder;
    case UnitKind::SmallAdder: return ripple_adder;
    case UnitKind::FastMultiplier: return tree_multiplier;
    case UnitKind::SmallMultiplier: return array_multiplier;
    case UnitKind::Subtractor: return subtractor;
    case UnitKind::Comparator: return comparator;
    case UnitKind::Divider: return divider;
    }
    return {};
}

}  // namespace velnor
