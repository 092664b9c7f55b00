// The functional units of the hardware datapath, each a Verilog module generic
// in WIDTH: the two adder and two multiplier architectures behind the
// library's variants (variant 1 fast and large, variant 2 small and slow), and
// the subtractor, comparator and divider.
#pragma once

#include <string>

namespace velnor {

enum class UnitKind { FastAdder, SmallAdder, FastMultiplier, SmallMultiplier, Subtractor, Comparator, Divider };

// The module that implements a unit kind, e.g. "velnor_adder_prefix".
std::string unit_module_name(UnitKind kind);

// The instance name stem, e.g. "adder_v1" (instances append "_0", "_1", ...).
std::string unit_instance_stem(UnitKind kind);

// One line saying what the unit computes and how, for comments.
std::string unit_description(UnitKind kind);

// The Verilog text of the module of kind, with the modules it instantiates
// written by their own kinds.
std::string unit_module_text(UnitKind kind);

}  // namespace velnor
