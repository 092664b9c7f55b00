// The demo's filter: ten coefficient products of input samples, summed in a
// tree, with a cross product of partial sums and three subtractions that form
// the output difference; 24 operations, each operand written before its reader.
#include "flow/demo_inputs.h"

namespace velnor {

const DemoInputs &demo_inputs() {
    static const DemoInputs inputs{
        "demo_filter.txt",
        "* 0 0 1\n"
        "* 0 0 2\n"
        "* 0 0 3\n"
        "* 0 0 4\n"
        "* 0 0 5\n"
        "* 0 0 6\n"
        "* 0 0 7\n"
        "* 0 0 8\n"
        "+ 1 2 9\n"
        "+ 3 4 10\n"
        "+ 5 6 11\n"
        "+ 7 8 12\n"
        "+ 9 10 13\n"
        "- 11 12 14\n"
        "* 13 14 15\n"
        "* 0 0 16\n"
        "* 0 0 17\n"
        "+ 16 17 18\n"
        "* 18 13 19\n"
        "- 15 19 20\n"
        "+ 20 14 21\n"
        "* 21 18 22\n"
        "+ 22 11 23\n"
        "- 23 12 24\n",
        "demo_library.txt",
        // Positions 2..6 and 14..18 are the variants and the largest counts,
        // 25 and 26 the register; the type codes and zeros fill the rest.
        "adder       0 2   380 2   200 5   3   0 0 0 0 0\n"
        "multiplier  2 2  1500 4   850 8   3   0 0 0 0 0\n"
        "register    5    25 1\n",
        "2",
        "2",
        "1",
        "3 7 1",
        "100001",
        "80 64 32 16 48 80",
        "48",
    };
    return inputs;
}

}  // namespace velnor
