// Recovery of the register allocation from a suspect netlist's behaviour.
// The netlist is simulated on random input vectors; every variable of the
// owner's design has known values in each vector (the datapath's arithmetic),
// so a flip-flop whose values at a control step equal one bit of a live
// variable carries that bit. Names are never trusted, only values: a netlist
// whose registers were renamed, hidden or split into bits gives the same
// answer. The recovered datapath is the owner's design with each variable
// found placed in the register recovered for it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/datapath.h"
#include "rtl/netlist.h"
#include "rtl/port_map.h"

namespace velnor {

// How the suspect is stimulated: vectors random input vectors drawn from
// SplitMix64 seeded with seed, each input the low bits of one draw, drawn
// vector by vector and, within a vector, input by input in ascending id.
struct RecoveryOptions {
    int64_t vectors = 64;
    uint64_t seed = 1;
    PortMap ports;
};

constexpr int64_t default_recovery_vectors = 64;
constexpr int64_t max_recovery_vectors = 4096;  // enough to tell any two variables apart

// Why a variable of the owner's design was not found in the suspect.
enum class VariableEvidence {
    Found,       // held by flip-flops at some step of its life
    Constant,    // the same value in every vector, so no bit can be told apart
    Ambiguous,   // another variable has the same value in every vector
    NotHeld,     // no flip-flop held it alone at any step of its life
};

struct RecoveredDatapath {
    // The owner's operations and steps, the variables found with their
    // recovered registers (1..registers), every module variant unbound.
    Datapath datapath;
    std::vector<VariableEvidence> evidence;  // per variable of the owner's datapath, in its order
    int64_t variables_found = 0;
    int64_t variables_total = 0;
    int32_t word_width = 0;      // the width of the suspect's input ports
    int64_t cells = 0;           // gates and flip-flops of the netlist
    int32_t flip_flops = 0;
    int32_t clock_edges = 0;     // edges after the start edge until done rose
};

// Recovers owner's register allocation from netlist. Refused (SuspectNetlist),
// one line each: a port the suspect lacks (named by the suspect's name and
// velnor's), input ports of different widths or wider than 64 bits, and what
// the simulation refuses (done never rose within 2 L + 16 edges, L the owner's
// control steps).
RecoveredDatapath recover_datapath(const Datapath &owner, const Netlist &netlist, const RecoveryOptions &options);

}  // namespace velnor
