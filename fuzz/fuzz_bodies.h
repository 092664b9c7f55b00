// The bodies of velnor's fuzzing harnesses. Each takes one input as bytes,
// drives one part of the engine with it and aborts with a message when a
// promise breaks; a refused input is a normal end. The libFuzzer entry points
// and the regression test that replays fuzz/regressions/ call these same bodies.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velnor::fuzz {

// Bytes 0..3 choose adders, multipliers, the encoding rule, the round count and
// the constraint size; the rest is a DSP core file. The whole flow of
// `velnor-cli run` then runs on it, and the schedule, allocation and embedding
// checkers must all pass on the result.
void dsp_core_flow(const std::uint8_t *data, std::size_t size);

// A module library file: refused, or every area and delay in (0, 1e9] and the
// area of the largest unit counts finite.
void module_library(const std::uint8_t *data, std::size_t size);

// Four lines: number of encodings, encodings, order key, rounds, parsed as the
// key fields do; the rest is turned into encoded bit strings for the hash chain.
// The rounds key must decode to the rounds, the hash output be 512 bits.
void stego_key(const std::uint8_t *data, std::size_t size);

// velnor-cli's arguments separated by NUL bytes ("DFG" and "LIB" stand for an
// example DSP core and library on disk, "DFG=text" and "LIB=text" for files
// holding text), run in-process: status 0 with output, or 2
// with exactly one line on standard error. Inputs naming --out are skipped so
// that nothing is written outside the scratch folder.
void command_line(const std::uint8_t *data, std::size_t size);

// Yosys's JSON netlist: refused in one line, or a netlist whose every net lies
// within its count, which is then simulated for a few vectors through the
// handshake on its ports clk, rst, start and done (the constant nets where a
// port is missing), every other input port held at random values. A refusal
// of the netlist is a normal end; a trace must have the shape it promises.
void netlist_json(const std::uint8_t *data, std::size_t size);

// A Graphviz DOT file, imported as velnor-cli import --dot does, with and
// without --strict-compare: refused in one line, or a DFG text that the DSP
// core loader takes, holding the operations its counts and map lines say (the
// strict import never more than the other), the same again on a second import.
void dot_import(const std::uint8_t *data, std::size_t size);

}  // namespace velnor::fuzz
