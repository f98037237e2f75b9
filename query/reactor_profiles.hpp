// Reactor profiles: the plug-flow reactor ("TUBERX") reports its profiles
// along the length and the batch reactor ("BATCHRX") over time, each per
// substream; the batch vessel also reports two further stream profiles
// (the accumulated product "RBAC" and the vent "RBVT"). Reactors add
// reaction, selectivity and heat profiles, catalyst attributes and feed
// profiles.
//
// A profile is a run of sibling data sets, one property each, under
// "BLOCK" model id section: per-point properties (one value per point,
// counted by the "NPOINT" element) and composition properties (one value
// per component and point, placed by the "COMPONENTS" and "NPOINT"
// qualifiers). The profile readers shared with the column family do the
// reading.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "query/column_profiles.hpp"
#include "query/profile_readers.hpp"

namespace flowsum {

inline constexpr int64_t kMaxReactorSubstreams = 9;

// A reactor block (plug-flow or batch) found in the block table; an empty
// one for any other block.
ProfileBlock reactor_block(std::string_view id);

// Number of consecutive substream profile sections ("PLPR_k" or "RBVLM_k").
int64_t reactor_substream_count(const ProfileBlock& b);

// One property of a reactor profile: its name and kind, and the data set
// (section and tree node) that holds it.
struct ReactorProperty {
  ProfileProperty property;
  std::string section;
  int64_t node = 0;
};

// Profile number `profile` of a reactor block: its substream, points,
// components and properties (per-point ones first, then compositions).
struct ReactorProfile {
  bool found = false;
  std::string substream;
  int64_t points = 0;
  int64_t components = 0;
  std::vector<ReactorProperty> properties;
};
ReactorProfile reactor_profile(const ProfileBlock& b, int64_t profile);

// A two-section profile of the batch vessel: the per-point section and the
// composition section.
struct VesselSections {
  std::string_view points;
  std::string_view composition;
};
inline constexpr VesselSections kAccumulatorSections{"RBACPRF", "RBACZ"};
inline constexpr VesselSections kVentSections{"RBVTPRF", "RBVTZ"};

struct VesselProfile {
  bool found = false;
  int64_t points = 0;
  int64_t components = 0;
  std::vector<ProfileProperty> properties;
};
// Sizes and names of a two-section profile. A composition data set whose
// property name begins with "TIME" is the time axis, not a property: it is
// neither counted nor listed.
VesselProfile vessel_profile(const ProfileBlock& b, VesselSections s);

}  // namespace flowsum
