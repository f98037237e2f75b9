// Pipeline results: the segment data, segment descriptions, fluid
// properties, inlet and outlet conditions and compositions of a pipeline
// block (model "DUCTLINE"), its profile along the length and its plug-flow
// property profile. Every section holds one data set per property, chosen
// among its siblings by "PROPERTIES" = name; values come back converted
// into the caller's units.
#pragma once

#include <cstdint>
#include <string_view>

#include "query/profile_readers.hpp"

namespace flowsum {

// The block when it is a pipeline; the model keyword is compared whole, so
// a model that merely begins with "DUCTLINE" (or is a prefix of it) is not
// one.
ProfileBlock pipeline_block(std::string_view id);

// The qualifier the pipeline profiles count their points by.
inline constexpr std::string_view kPipelinePointQualifier = "NPOINTS";

}  // namespace flowsum
