// Pipeline results: every routine against the random flowsheets' pipelines
// (check_pipelines, called by the round trip; look-alike models and an
// unknown id among them); and the tool's views of the example's equipment.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "flowsum.h"
#include "loading/reference_tables.hpp"
#include "support/column_checks.hpp"
#include "support/random_flowsheet.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {
namespace {

using List = std::vector<PipeSeries>;

struct Out : Entries {
  using Entries::Entries;
  // The quantity name and label of s in entry u (the label once read).
  void unit(size_t u, const PipeSeries& s, bool read) {
    qnames.replace(12 * u, 12, pad(s.unit_type ? known_type_name(s.unit_type) : "", 12));
    labels.replace(16 * u, 16, pad(read && s.type == 2 && s.unit_type ? si_label(s.unit_type) : "", 16));
  }
  // Entry j holding value k of s; a one-property read keeps its unit in entry 0.
  void put(size_t j, const PipeSeries& s, size_t k, bool entry) {
    const int64_t kind = s.type == 1 ? 1 : s.type == 2 ? 2 : 3;
    values[j] = kind == 3 ? 0.0 : s.reals[k];
    texts.replace(12 * j, 12, pad(kind == 3 ? s.texts[k] : "", 12));
    if (entry) names.replace(12 * j, 12, name_of(s.property)), kinds[j] = kind;
    unit(entry ? j : 0, s, true);
  }
  void listing(const List& l) {
    ierr = l.empty() ? 3 : 0;
    for (size_t k = 0; k < l.size(); ++k) names.replace(12 * k, 12, name_of(l[k].property));
  }
};

std::string id;  // the block read, 24 characters

using Section = void (*)(const char*, int64_t*, const char*, int64_t*, double*, char*, char*, char*, int64_t*,
                         size_t, size_t, size_t, size_t, size_t);
Out section_read(Section fn, int64_t property, int64_t n) {
  Out o(n);
  const std::string pname = name_of(property);
  if (fn) fn(id.data(), &n, pname.data(), o.kinds.data(), o.values.data(), o.texts.data(), o.qnames.data(),
             o.labels.data(), &o.ierr, 24, 12, 12, 12, 16);
  else tkplpr_(id.data(), &n, pname.data(), o.values.data(), o.qnames.data(), o.labels.data(), &o.ierr, 24, 12, 12, 16);
  return o;
}

using Names = void (*)(const char*, int64_t*, char*, int64_t*, size_t, size_t);
Out names_read(Names fn, int64_t n) {
  Out o(n);
  fn(id.data(), &n, o.names.data(), &o.ierr, 24, 12);
  return o;
}

// TKPLSZ's ten outputs, then TKPISP's and TKSPIR's two each.
Ints sizes_read() {
  Ints n(14, -1);
  const Field f(id, 24);
  call(tkplsz_, f, n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8], n[9]);
  call(tkpisp_, f, n[10], n[11]);
  call(tkspir_, f, n[12], n[13]);
  return n;
}

Ints sizes_truth(const PipelineRecord& p, size_t ncc) {
  Ints n{I(p.inlet.size()), p.comp_in.empty() ? 0 : I(p.components.empty() ? ncc : p.components.size()),
         I(p.comp_in.size())};
  for (const List* s : {&p.segments, &p.descriptions, &p.fluid, &p.profile, &p.tube}) {
    if (s == &p.profile) n.push_back(p.inlet.empty() && p.segments.empty() && p.descriptions.empty() && p.fluid.empty());
    n.insert(n.end(), {s->empty() ? 0 : I((*s)[0].size()), I(s->size())});
  }
  return n;
}

void check_pipeline(const PipelineRecord& p, const std::vector<std::string>& ncc) {
  SCOPED_TRACE(p.model + " " + p.id);
  id = pad(p.id, 24);
  if (p.model != "DUCTLINE") {  // flag 1, counts 0, nothing else written
    Ints zeros(14, 0);
    zeros[9] = 1;
    EXPECT_EQ(sizes_read(), zeros);
    for (Section fn : {Section(tkplnd_), Section(tkplsg_), Section(nullptr)})
      EXPECT_EQ(section_read(fn, 22, 2).key(), Out(2, 1).key());
    for (Names fn : {tkplnp_, tkplsp_, tkplpp_, tkplcp_, Names(tkpinp_)}) EXPECT_EQ(names_read(fn, 2).key(), Out(2, 1).key());
    return;
  }
  EXPECT_EQ(sizes_read(), sizes_truth(p, ncc.size()));
  // Values asked for as many, one fewer and two more than the data set holds.
  using Part = std::tuple<Section, const List*, Names>;
  for (auto [fn, list, names] : {Part{tkplsg_, &p.segments, tkplsp_}, Part{tkplnd_, &p.descriptions, tkplnp_},
                                 Part{nullptr, &p.fluid, tkplpp_}, Part{nullptr, &p.comp_in, tkplcp_}}) {
    Out listed(I(list->size()));
    listed.listing(*list);
    EXPECT_EQ(names_read(names, I(list->size())).key(), listed.key());
    for (const PipeSeries& s : list == &p.comp_in ? List{} : *list) {
      for (int64_t n : {I(s.size()), I(s.size()) - 1, I(s.size()) + 2}) {
        Out o(n, 0);
        if (fn) o.kinds[0] = s.type == 1 ? 1 : s.type == 2 ? 2 : 3;
        o.unit(0, s, false);
        for (size_t j = 0; j < std::min(s.size(), static_cast<size_t>(n)); ++j) o.put(j, s, j, false);
        if (!fn) o.texts = Out(n).texts;
        EXPECT_EQ(section_read(fn, s.property, n).key(), o.key()) << s.property << " " << n;
      }
    }
  }
  // Inlet then outlet conditions, the outlet's cut to the inlet's count.
  const size_t nio = p.inlet.size();
  Out io(I(2 * nio)), want(I(2 * nio), nio ? 0 : 3);
  tkplio_(id.data(), io.names.data(), io.kinds.data(), io.values.data(), io.texts.data(), io.qnames.data(),
          io.labels.data(), &io.ierr, 24, 12, 12, 12, 16);
  for (size_t j = 0; j < nio; ++j) want.put(j, p.inlet[j], 0, true);
  for (size_t j = 0; j < std::min(nio, p.outlet.size()); ++j) want.put(nio + j, p.outlet[j], 0, true);
  EXPECT_EQ(io.key(), want.key());
  // Compositions: component ids, the inlet's values, the outlet's.
  const std::vector<std::string>& comps = p.components.empty() ? ncc : p.components;
  for (size_t k = 0; k < p.comp_in.size(); ++k) {
    for (int64_t n : {I(comps.size()), I(comps.size()) - 1}) {
      Out o(2 * n), w(2 * n, 0);
      w.unit(0, p.comp_in[k], false);
      std::string ids(8 * static_cast<size_t>(n + 1), '#'), want_ids = ids;
      const std::string pname = name_of(p.comp_in[k].property);
      tkplco_(id.data(), &n, pname.data(), ids.data(), o.values.data(), o.qnames.data(), o.labels.data(), &o.ierr, 24,
              12, 8, 12, 16);
      for (size_t j = 0; j < static_cast<size_t>(n); ++j) {
        want_ids.replace(8 * j, 8, pad(comps[j], 8));
        w.put(static_cast<size_t>(n) + j, p.comp_out[k], j, false);
        w.put(j, p.comp_in[k], j, false);
      }
      w.texts = o.texts;
      EXPECT_EQ(o.key(), w.key()) << n;
      EXPECT_EQ(ids, want_ids);
    }
  }
  // The profile along the line with its length positions, the plug-flow profile.
  Out pnames(I(p.profile.size()), 0), want_names(I(p.profile.size()), 0);
  int64_t idum = 0;
  tkpinp_(id.data(), &idum, pnames.names.data(), &pnames.ierr, 24, 12);
  want_names.listing(p.profile);
  EXPECT_EQ(pnames.names, want_names.names);
  List along = p.profile, tube = p.tube;
  if (!p.length.reals.empty()) along.push_back(p.length);
  for (const List* list : {&along, &tube}) {
    for (size_t k = 0; k < list->size(); ++k) {
      const PipeSeries& s = (*list)[k];
      int64_t n = I(s.size()), pos = I(k + 1);
      Out o(n), w(n, 0);
      for (size_t j = 0; j < s.size(); ++j) w.put(j, s, j, false);
      w.texts = o.texts;
      const std::string pname = name_of(s.property);
      if (list == &along) {
        tkpipr_(id.data(), &n, pname.data(), o.values.data(), o.qnames.data(), o.labels.data(), &o.ierr, 24, 12, 12, 16);
        EXPECT_EQ(o.key(), w.key()) << s.property;
        continue;
      }
      std::string q = pname + pad(s.qualifiers[0], 8) + pad(s.qualifiers[1], 8) + pad(s.qualifiers[2], 8) +
                      pad(s.qualifiers[3], 4) + "    ";
      const char* c = q.data();
      tkrpip_(id.data(), &n, c, c + 12, c + 20, c + 28, c + 36, c + 40, o.values.data(), o.qnames.data(),
              o.labels.data(), &o.ierr, 24, 12, 8, 8, 8, 4, 4, 12, 16);
      EXPECT_EQ(o.key(), w.key()) << s.property;
      // By position, with its descriptors.
      std::string d(44, '#');
      Out by(n);
      char* e = d.data();
      tknpip_(id.data(), &n, &pos, e, e + 12, e + 20, e + 28, e + 36, e + 40, by.values.data(), by.qnames.data(),
              by.labels.data(), &by.ierr, 24, 12, 8, 8, 8, 4, 4, 12, 16);
      EXPECT_EQ(std::tie(d, by.values, by.qnames, by.labels), std::tie(q, w.values, w.qnames, w.labels));
    }
  }
}

}  // namespace

void check_pipelines(const RandomFlowsheet& f) {
  for (const PipelineRecord& p : f.pipelines) check_pipeline(p, f.ncc);
  check_pipeline({"none", "NO-SUCH-PIPE"}, f.ncc);
}

namespace {

// The tool's views of the example's equipment as stored
// (FLOWSUM_UPDATE_EXPECTED=1 stores them anew).
TEST(EquipmentTool, ViewsOfTheExampleAsStored) {
  const ToolRun r = run_tool("--units SI --ref-dir " + kSourceDir + "/data --pipeline L1 --compressor K1 --column U1 " +
                             kSourceDir + "/examples/flowsheet.sum");
  ASSERT_EQ(r.status, 0) << r.out;
  const std::string views = r.out.substr(r.out.find('\n') + 1), stored = kSourceDir + "/tests/expected/equipment_views_si.txt";
  if (std::getenv("FLOWSUM_UPDATE_EXPECTED")) std::ofstream(stored) << views;
  std::stringstream want;
  want << std::ifstream(stored).rdbuf();
  EXPECT_EQ(views, want.str());
}

}  // namespace
}  // namespace flowsum::testing
