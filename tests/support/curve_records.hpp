// Fixture data sets of heating curves and exchanger detail, on top of
// FlowsheetWriter.
//
//  BLOCK model id section   one data set per curve; its loading sequence
//                           loops the rows of a point (qualifiers PROPERTIES
//                           SUBSTREAM PHASE COMPONENTS BASIS) over the points
//                           (NPOINT) and the one-member set HCURV_NO whose
//                           member is the curve number ("PA1 2" for the
//                           refinery stripper and pumparound sections)
//  BLOCK model id ICH_HCUI  one value per intermediate-stream curve number
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/flowsheet_records.hpp"

namespace flowsum::testing {

// A further property of a curve: its qualifiers, unit and one value per point.
struct CurveProperty {
  int64_t property = 0;
  std::string substream, phase, component, basis;  // "" is written blank
  int64_t unit_type = 0;
  int64_t unit_code = 1;
  std::vector<double> values;
};

struct Curve {
  std::string section;        // "HCURVE", "HOT_HCUR", ..., "PA_HCURV"
  std::string type;           // the curve type the routines report
  std::string location;       // refinery: "MAIN" or the id; "" otherwise
  int64_t number = 1;
  // Standard values per point: status 131, temperature 7001 (K), pressure
  // 7002 (Pa), vapour fraction 7003, duty 62 (W); all the same length.
  std::vector<double> status, temp, pres, vfrac, duty;
  std::vector<CurveProperty> further;
  size_t npoints() const { return temp.size(); }
};

// A name of at most 8 characters for a set written for key: the prefix (at
// most 3 characters) and five characters from the key's hash, or the next
// free one when write(name), which writes the set, answers that the name
// was taken. The same file content always gives the same names.
std::string set_name(const std::string& prefix, const std::string& key,
                     const std::function<bool(const std::string&)>& write);

// Curves of one layout share their identifier sets and loading sequence.
class CurveWriter {
 public:
  explicit CurveWriter(FlowsheetWriter& w) : w_(w) {}
  void curve(const std::string& model, const std::string& block, const Curve& c);
  // ICH_HCUI: integers (LINKEDCOL) or texts, by curve number.
  void intermediate_ids(const std::string& model, const std::string& block, const std::vector<std::string>& ids,
                        bool integers);

 private:
  // The name of the set written for this content, writing it (write) the
  // first time.
  std::string shared(const std::string& prefix, const std::string& content,
                     const std::function<bool(const std::string&)>& write);
  FlowsheetWriter& w_;
  std::map<std::string, std::string> names_;  // content -> set name
};

// A curve of np points and nfurther further properties with values drawn
// from seed (reals of few digits, exact through the file).
Curve sample_curve(const std::string& section, const std::string& type, int64_t number, size_t np,
                   size_t nfurther, uint64_t seed);

}  // namespace flowsum::testing

namespace flowsum::testing {

// A block with heating curves, as the random flowsheets write it.
struct CurveBlock {
  std::string model;  // as written in the path
  std::string id;
  std::vector<Curve> curves;  // in listing order
  bool refinery = false;      // a crude unit: curves carry locations
};

// Blocks with curves drawn from seed: every curve model and crude units
// with several curves a block (numbers 1 to 12, pumparounds that share a
// number), further properties of every qualifier. Identifiers are new to
// used_ids, which receives them.
std::vector<CurveBlock> random_curve_blocks(FlowsheetWriter& w, uint64_t seed, std::set<std::string>& used_ids);

}  // namespace flowsum::testing
