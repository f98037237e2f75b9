// The flowsum tool's view of the flowsheet's streams: the connections of
// every block, the stream table (temperature, pressure, vapour fraction,
// total and component flows on a chosen basis; one column per stream) in the
// unit set the file was loaded with, and the flowsheet as a Graphviz graph.
#pragma once

#include <cstdio>
#include <string>

namespace flowsum_tool {

// Print the connections and the stream table of the loaded file. basis is
// one of the component bases of TKSUBS ("MASS-FLOW", "MOLE-FRAC", ...).
void report_streams(const std::string& basis, std::FILE* out = stdout);

// Write the flowsheet as a Graphviz digraph: blocks are nodes labelled with
// their identifier and model, streams labelled edges; a feed starts and a
// product ends at a small open point of its own.
void write_dot(std::FILE* out = stdout);

}  // namespace flowsum_tool
