// Stream data sets with every value described explicitly, on top of
// FlowsheetWriter: main tables (the one writer of STR_MAIN), component and
// substream attributes, and any data set of described reals.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/flowsheet_records.hpp"

namespace flowsum::testing {

// One real: its qualifier items (an empty one is written blank), value and
// unit type (with one, the value carries unit code 1).
struct DescribedValue {
  std::vector<std::string> items;
  double value = 0;
  int64_t unit_type = 0;
};

// One row of a main table ("" writes a blank item; a total row has no
// component).
struct MainRow {
  int64_t property = 0;
  std::string substream, component;
  double value = 0;
  int64_t unit_type = 0, unit_code = 1;
  bool missing = false;
};

// Source and destination "" for a feed or a product; without_substream
// leaves out the "SUBSTREAM" qualifier (every row then counts as MIXED).
struct ExplicitStream {
  std::string type = "MATERIAL", id, source, destination, stream_class = "CONVEN";
  std::vector<MainRow> rows;
  bool without_substream = false;
};

class StreamWriter {
 public:
  explicit StreamWriter(FlowsheetWriter& w) : w_(w) {}
  // A data set under path with its own sets, one real a member.
  void described(const std::vector<std::string>& path, const std::vector<std::string>& qualifiers,
                 const std::vector<DescribedValue>& values);

  // STREAM type id STR_MAIN: source, destination, class (texts of 8, "*"
  // where there is none), then one value per row. Streams of one row layout
  // share their sets, named set_name when new (else SMAINn).
  void main_table(const ExplicitStream& s, const std::string& set_name = "");
  // The totals (substream MIXED), then one row per component property and
  // component.
  struct Total {
    int64_t property = 0;
    double value = 0;
    int64_t unit_type = 0;
  };
  struct ComponentProperty {  // one value per component
    int64_t property = 0;
    std::vector<double> values;
    int64_t unit_type = 0;
  };
  static std::vector<MainRow> mixed_rows(const std::vector<Total>& totals,
                                         const std::vector<std::string>& components,
                                         const std::vector<ComponentProperty>& properties);
  // STR_CATT: (substream, component, attribute, element) -> value.
  struct ComponentAttribute {
    std::string substream, component, attribute, element;
    double value = 0;
  };
  void component_attributes(const std::string& type, const std::string& id,
                            const std::vector<ComponentAttribute>& values);
  // SUBSATT: (substream, attribute) -> value, one per element.
  struct SubstreamAttribute {
    std::string substream, attribute;
    double value = 0;
  };
  void substream_attributes(const std::string& type, const std::string& id,
                            const std::vector<SubstreamAttribute>& values);
 private:
  std::string next_name();
  FlowsheetWriter& w_;
  int sets_ = 0;
};

}  // namespace flowsum::testing
