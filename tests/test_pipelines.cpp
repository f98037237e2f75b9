// Pipeline results: every routine against the pipelines of the random
// flowsheets (look-alike models among them), with caller arrays one entry
// longer than asked for, whose last entry must stay untouched.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "flowsum.h"
#include "support/random_flowsheet.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {
namespace {

constexpr double kMissing = 1.0e35;
using Ints = std::vector<int64_t>;

std::string name_of(int64_t property) {
  static const std::map<int64_t, std::string> names{{22, "TEMP"},  {23, "PRES"},     {24, "VFRAC"},
                                                    {56, "DIAM"},  {57, "FLOOD"},    {59, "LENGTH"},
                                                    {60, "VELOCITY"}, {66, "HOLDUP"}, {874, "DEVICE-TYPE"}};
  return names.at(property);
}

// Caller arrays of n entries and a guard entry ('#', -1) after them.
struct Out {
  std::string names, texts, qnames, labels;
  std::vector<double> values;
  Ints kinds;
  int64_t ierr = -7;
  explicit Out(int64_t n)
      : names(12 * static_cast<size_t>(n + 1), '#'), texts(names), qnames(names),
        labels(16 * static_cast<size_t>(n + 1), '#'), values(static_cast<size_t>(n + 1), -1.0),
        kinds(static_cast<size_t>(n + 1), -1) {}
  auto key() const { return std::tie(ierr, names, texts, qnames, labels, values, kinds); }
  // Entry j as value k of series s reads back.
  void put(size_t j, const PipeSeries& s, size_t k, bool entry) {
    const int64_t kind = s.type == 1 ? 1 : s.type == 2 ? 2 : 3;
    const bool unit = kind == 2 && s.unit_type != 0;
    values[j] = kind == 3 ? 0.0 : s.reals[k];
    texts.replace(12 * j, 12, pad(kind == 3 ? s.texts[k].substr(0, 12) : "", 12));
    if (!entry) return;
    names.replace(12 * j, 12, pad(name_of(s.property), 12));
    kinds[j] = kind;
    qnames.replace(12 * j, 12, pad(unit ? known_type_name(s.unit_type) : "", 12));
    labels.replace(16 * j, 16, pad(unit ? si_label(s.unit_type) : "", 16));
  }
  // A one-property read (quantity name and label in the first entries).
  void units(const PipeSeries& s, size_t n) {
    qnames.replace(0, 12, pad(s.unit_type ? known_type_name(s.unit_type) : "", 12));
    labels.replace(0, 16, pad(s.unit_type && s.type == 2 && n > 0 ? si_label(s.unit_type) : "", 16));
  }
};

const std::string& id_of(const PipelineRecord& p) {
  static std::string id;
  return id = pad(p.id, 24);
}

using Section = void (*)(const char*, int64_t*, const char*, int64_t*, double*, char*, char*, char*, int64_t*,
                         size_t, size_t, size_t, size_t, size_t);
Out section_read(Section fn, const PipelineRecord& p, int64_t property, int64_t n) {
  Out o(n);
  const std::string pname = pad(name_of(property), 12);
  if (fn) fn(id_of(p).data(), &n, pname.data(), o.kinds.data(), o.values.data(), o.texts.data(), o.qnames.data(),
             o.labels.data(), &o.ierr, 24, 12, 12, 12, 16);
  else tkplpr_(id_of(p).data(), &n, pname.data(), o.values.data(), o.qnames.data(), o.labels.data(), &o.ierr, 24, 12,
               12, 16);
  return o;
}

using Names = void (*)(const char*, int64_t*, char*, int64_t*, size_t, size_t);
Out names_read(Names fn, const PipelineRecord& p, int64_t n) {
  Out o(n);
  fn(id_of(p).data(), &n, o.names.data(), &o.ierr, 24, 12);
  return o;
}

// TKPLSZ's ten outputs, then TKPISP's and TKSPIR's two each.
Ints sizes_of(const PipelineRecord& p) {
  Ints n(14, -1);
  tkplsz_(id_of(p).data(), &n[0], &n[1], &n[2], &n[3], &n[4], &n[5], &n[6], &n[7], &n[8], &n[9], 24);
  tkpisp_(id_of(p).data(), &n[10], &n[11], 24);
  tkspir_(id_of(p).data(), &n[12], &n[13], 24);
  return n;
}

Ints sizes_truth(const PipelineRecord& p, size_t ncc) {
  const bool comp = !p.comp_in.empty();
  Ints n{static_cast<int64_t>(p.inlet.size()),
         comp ? static_cast<int64_t>(p.components.empty() ? ncc : p.components.size()) : 0,
         static_cast<int64_t>(p.comp_in.size())};
  for (const auto* s : {&p.segments, &p.descriptions, &p.fluid, &p.profile, &p.tube}) {
    if (s == &p.profile)
      n.push_back(p.inlet.empty() && p.segments.empty() && p.descriptions.empty() && p.fluid.empty() ? 1 : 0);
    n.push_back(s->empty() ? 0 : static_cast<int64_t>((*s)[0].size()));
    n.push_back(static_cast<int64_t>(s->size()));
  }
  return n;
}

void check_pipeline(const PipelineRecord& p, const std::vector<std::string>& ncc) {
  SCOPED_TRACE(p.model + " " + p.id);
  const bool pipe = p.model == "DUCTLINE";
  if (!pipe) {
    // Another model: flag 1 and nothing written, counts 0.
    Out none(2);
    none.ierr = 1;
    Ints zeros(14, 0);
    zeros[9] = 1;
    EXPECT_EQ(sizes_of(p), zeros);
    for (Section fn : {Section(tkplnd_), Section(tkplsg_), Section(nullptr)})
      EXPECT_EQ(section_read(fn, p, 22, 2).key(), none.key());
    for (Names fn : {tkplnp_, tkplsp_, tkplpp_, tkplcp_, Names(tkpinp_)})
      EXPECT_EQ(names_read(fn, p, 2).key(), none.key());
    return;
  }
  EXPECT_EQ(sizes_of(p), sizes_truth(p, ncc.size()));

  // Section values, asked for no more, one less and two more than held.
  using Part = std::tuple<Section, const std::vector<PipeSeries>*, Names>;
  for (auto [fn, list, names] : {Part{tkplsg_, &p.segments, tkplsp_}, Part{tkplnd_, &p.descriptions, tkplnp_},
                                 Part{nullptr, &p.fluid, tkplpp_}}) {
    Out listed(static_cast<int64_t>(list->size()));
    listed.ierr = list->empty() ? 3 : 0;
    for (size_t k = 0; k < list->size(); ++k) listed.names.replace(12 * k, 12, pad(name_of((*list)[k].property), 12));
    EXPECT_EQ(names_read(names, p, static_cast<int64_t>(list->size())).key(), listed.key());
    for (const PipeSeries& s : *list) {
      SCOPED_TRACE(s.property);
      const int64_t size = static_cast<int64_t>(s.size());
      for (int64_t n : {size, size - 1, size + 2}) {
        Out o(n);
        o.ierr = 0;
        if (fn) o.kinds[0] = s.type == 1 ? 1 : s.type == 2 ? 2 : 3;
        for (size_t j = 0; j < static_cast<size_t>(std::min(n, size)); ++j) o.put(j, s, j, false);
        if (!fn) o.texts = Out(n).texts;
        o.units(s, static_cast<size_t>(std::min(n, size)));
        EXPECT_EQ(section_read(fn, p, s.property, n).key(), o.key()) << n;
      }
    }
    if (!list->empty()) EXPECT_EQ(section_read(fn, p, 59, 1).ierr, 3);
  }

  // Inlet then outlet conditions, the outlet's cut to the inlet's count.
  const size_t nio = p.inlet.size();
  Out io(static_cast<int64_t>(2 * nio)), want_io(static_cast<int64_t>(2 * nio));
  tkplio_(id_of(p).data(), io.names.data(), io.kinds.data(), io.values.data(), io.texts.data(), io.qnames.data(),
          io.labels.data(), &io.ierr, 24, 12, 12, 12, 16);
  want_io.ierr = nio ? 0 : 3;
  for (size_t j = 0; j < nio; ++j) want_io.put(j, p.inlet[j], 0, true);
  for (size_t j = 0; j < std::min(nio, p.outlet.size()); ++j) want_io.put(nio + j, p.outlet[j], 0, true);
  EXPECT_EQ(io.key(), want_io.key());

  // Compositions: component ids, then the inlet's and the outlet's values.
  const std::vector<std::string>& comps = p.components.empty() ? ncc : p.components;
  Out cnames(static_cast<int64_t>(p.comp_in.size()));
  cnames.ierr = p.comp_in.empty() ? 3 : 0;
  for (size_t k = 0; k < p.comp_in.size(); ++k) cnames.names.replace(12 * k, 12, pad(name_of(p.comp_in[k].property), 12));
  EXPECT_EQ(names_read(tkplcp_, p, static_cast<int64_t>(p.comp_in.size())).key(), cnames.key());
  for (size_t k = 0; k < p.comp_in.size(); ++k) {
    for (int64_t n : {static_cast<int64_t>(comps.size()), static_cast<int64_t>(comps.size()) - 1}) {
      if (n < 0) continue;
      Out o(2 * n);
      std::string ids(8 * static_cast<size_t>(n + 1), '#');
      const std::string pname = pad(name_of(p.comp_in[k].property), 12);
      tkplco_(id_of(p).data(), &n, pname.data(), ids.data(), o.values.data(), o.qnames.data(), o.labels.data(),
              &o.ierr, 24, 12, 8, 12, 16);
      Out w(2 * n);
      w.ierr = 0;
      std::string want_ids = ids;
      for (size_t j = 0; j < static_cast<size_t>(n); ++j) {
        want_ids.replace(8 * j, 8, pad(comps[j], 8));
        w.values[j] = p.comp_in[k].reals[j];
        w.values[static_cast<size_t>(n) + j] = p.comp_out[k].reals[j];
      }
      w.units(p.comp_in[k], static_cast<size_t>(n));
      EXPECT_EQ(o.key(), w.key());
      EXPECT_EQ(ids, want_ids);
    }
  }

  // The profile along the line, its length positions, the plug-flow profile.
  Out pnames(static_cast<int64_t>(p.profile.size()));
  int64_t idum = 0;
  tkpinp_(id_of(p).data(), &idum, pnames.names.data(), &pnames.ierr, 24, 12);
  Out want_names(static_cast<int64_t>(p.profile.size()));
  want_names.ierr = pnames.ierr;
  for (size_t k = 0; k < p.profile.size(); ++k) want_names.names.replace(12 * k, 12, pad(name_of(p.profile[k].property), 12));
  EXPECT_EQ(pnames.key(), want_names.key());
  std::vector<const PipeSeries*> along;
  for (const PipeSeries& s : p.profile) along.push_back(&s);
  if (!p.length.reals.empty()) along.push_back(&p.length);
  for (const PipeSeries* s : along) {
    int64_t n = static_cast<int64_t>(s->size());
    Out o(n), w(n);
    const std::string pname = pad(name_of(s->property), 12);
    tkpipr_(id_of(p).data(), &n, pname.data(), o.values.data(), o.qnames.data(), o.labels.data(), &o.ierr, 24, 12, 12,
            16);
    w.ierr = 0;
    for (size_t j = 0; j < s->size(); ++j) w.put(j, *s, j, false);
    w.texts = o.texts;
    w.units(*s, s->size());
    EXPECT_EQ(o.key(), w.key()) << s->property;
  }
  for (size_t k = 0; k < p.tube.size(); ++k) {
    const PipeSeries& s = p.tube[k];
    int64_t n = static_cast<int64_t>(s.size()), pos = static_cast<int64_t>(k + 1);
    Out o(n), w(n);
    w.ierr = 0;
    for (size_t j = 0; j < s.size(); ++j) w.put(j, s, j, false);
    w.texts = o.texts;
    w.units(s, s.size());
    const std::string pname = pad(name_of(s.property), 12), ss = pad(s.qualifiers[0], 8), ph = pad(s.qualifiers[1], 8),
                      cp = pad(s.qualifiers[2], 8), ba = pad(s.qualifiers[3], 4), un(4, ' ');
    tkrpip_(id_of(p).data(), &n, pname.data(), ss.data(), ph.data(), cp.data(), ba.data(), un.data(), o.values.data(),
            o.qnames.data(), o.labels.data(), &o.ierr, 24, 12, 8, 8, 8, 4, 4, 12, 16);
    EXPECT_EQ(o.key(), w.key()) << s.property;
    // By position, with its descriptors.
    Out q(n);
    std::string d(12 + 8 + 8 + 8 + 4 + 4, '#');
    char* c = d.data();
    tknpip_(id_of(p).data(), &n, &pos, c, c + 12, c + 20, c + 28, c + 36, c + 40, q.values.data(), q.qnames.data(),
            q.labels.data(), &q.ierr, 24, 12, 8, 8, 8, 4, 4, 12, 16);
    EXPECT_EQ(d, pname + ss + ph + cp + ba + "    ");
    EXPECT_EQ(std::tie(q.values, q.qnames, q.labels), std::tie(w.values, w.qnames, w.labels));
  }
}

TEST(Pipelines, RandomFlowsheetsReadBack) {
  int64_t pipes = 0, others = 0;
  for (uint64_t seed = 1; seed <= 120 && !::testing::Test::HasFailure(); ++seed) {
    const RandomFlowsheet f = random_flowsheet(seed);
    if (f.pipelines.empty()) continue;
    SCOPED_TRACE("seed " + std::to_string(seed));
    TempSummaryFile file(f.text);
    LoadedSummary load(file.string(), "SI", 0, kMissing);
    ASSERT_EQ(load.ierr(), 0);
    for (const PipelineRecord& p : f.pipelines) {
      check_pipeline(p, f.ncc);
      ++(p.model == "DUCTLINE" ? pipes : others);
    }
    PipelineRecord unknown;
    unknown.model = "none";
    unknown.id = "NO-SUCH-PIPE";
    check_pipeline(unknown, f.ncc);
  }
  EXPECT_GT(pipes, 60);
  EXPECT_GT(others, 5);
}

TEST(PipelineTool, PrintsTheExamplesPipeline) {
  const std::string cmd = std::string(FLOWSUM_TOOL) + " --units SI --pipeline L1 --ref-dir " + FLOWSUM_SOURCE_DIR +
                          "/data " + FLOWSUM_SOURCE_DIR + "/examples/flowsheet.sum 2>&1";
  std::string out;
  FILE* f = popen(cmd.c_str(), "r");
  ASSERT_NE(f, nullptr);
  char buf[512];
  while (size_t n = fread(buf, 1, sizeof buf, f)) out.append(buf, n);
  ASSERT_EQ(pclose(f), 0) << out;
  for (const char* line : {"pipeline L1 (DUCTLINE): 3 segments\n", "    DEVICE-TYPE  []               PIPE ELBOW PIPE\n",
                           "    PRES         [PA]             2600000\n", "    LENGTH       []               0 50 100 150\n",
                           "    TEMP         VAPOR [K]              320 318 316.2 314.5\n"})
    EXPECT_NE(out.find(line), std::string::npos) << line << out;
}

}  // namespace
}  // namespace flowsum::testing
