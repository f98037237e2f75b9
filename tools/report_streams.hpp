// The flowsum tool's view of the flowsheet's streams: the connections of
// every block, the stream table (temperature, pressure, vapour fraction,
// total and component flows on a chosen basis; one column per stream) in the
// unit set the file was loaded with, and the flowsheet as a Graphviz graph.
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace flowsum_tool {

// Print the connections and the stream table of the loaded file, on the
// basis, digits and layout of settings().
void report_streams(std::FILE* out = stdout);

// Print the ends and the stream table of the streams ids (the --stream
// view); an identifier the file lacks is reported with not_in_file.
void report_stream_view(const std::vector<std::string>& ids, std::FILE* out = stdout);

// The identifiers of the file's blocks, in the order of the block table.
std::vector<std::string> block_ids();

// The file's blocks with their models, in the same order.
std::vector<std::pair<std::string, std::string>> block_list();

// Write the flowsheet as a Graphviz digraph: blocks are nodes labelled with
// their identifier and model, streams labelled edges; a feed starts and a
// product ends at a small open point of its own.
void write_dot(std::FILE* out = stdout);

}  // namespace flowsum_tool
