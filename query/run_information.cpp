// Run information: TKTITL, TKACCT, TKALIS, TKCASN, TKINFO and the two
// counting routines TKNALS and TKNCSN.
#include "query/run_information.hpp"

#include <algorithm>
#include <initializer_list>
#include <span>
#include <string_view>

#include "flowsum.h"
#include "loading/globals.hpp"
#include "store/dataset_lookup.hpp"
#include "store/text_field.hpp"

namespace flowsum {

namespace {

constexpr size_t kLongTextChars = 80;

DatasetAnswer lookup(std::initializer_list<std::string_view> path, std::string_view qualifier = {}) {
  return lookup_dataset(std::span<const std::string_view>(path.begin(), path.size()), qualifier);
}

bool has_values(const DatasetAnswer& a) { return a.nqual > 0 && a.ndata > 0; }

// The first path that gives values, else the second.
DatasetAnswer lookup_with_fallback(std::initializer_list<std::string_view> first,
                                   std::initializer_list<std::string_view> second) {
  DatasetAnswer a = lookup(first);
  if (has_values(a)) return a;
  return lookup(second);
}

bool is_text_type(int64_t t) {
  return t == value_type::kText || t == value_type::kText8 || t == value_type::kLongText;
}

std::string cut(std::string s, size_t n) {
  s.resize(n, ' ');
  return s;
}

std::vector<NamedText> named_texts(const DatasetAnswer& a) {
  std::vector<NamedText> out;
  if (!has_values(a)) return out;
  out.reserve(static_cast<size_t>(a.ndata));
  for (int64_t j = 1; j <= a.ndata; ++j) {
    const int64_t t = a.type(j);
    out.push_back({a.qualifier_text(1, j), is_text_type(t) ? a.text_value(j) : std::string()});
  }
  return out;
}

DatasetAnswer alias_dataset() { return lookup({"ALIAS"}); }
DatasetAnswer case_dataset() { return lookup({"CASN", "CASN"}, "CASN"); }

}  // namespace

std::string run_title() {
  FreePointerGuard guard;
  const DatasetAnswer a = lookup_with_fallback({"RUN-STATUS", "TITLE"}, {"TITLE", "TITLE"});
  if (!has_values(a)) return std::string(kLongTextChars, ' ');
  return cut(a.text_value(1), kLongTextChars);
}

AccountFields account_fields() {
  FreePointerGuard guard;
  AccountFields f;
  const DatasetAnswer a = lookup({"RUN-STATUS", "ACCOUNT"});
  if (!has_values(a)) return f;
  f.found = true;
  for (int64_t j = 1; j <= a.ndata; ++j) {
    std::string text = a.text_value(j);
    switch (a.qualifier_int(1, j)) {
      case run_item::kAccount222: f.item222 = std::move(text); break;
      case run_item::kAccount347: f.item347 = std::move(text); break;
      case run_item::kAccount355: f.item355 = std::move(text); break;
      case run_item::kAccount348: f.item348 = std::move(text); break;
      default: break;
    }
  }
  return f;
}

std::vector<NamedText> aliases() {
  FreePointerGuard guard;
  return named_texts(alias_dataset());
}

std::vector<NamedText> case_names() {
  FreePointerGuard guard;
  return named_texts(case_dataset());
}

int64_t alias_count() {
  FreePointerGuard guard;
  const DatasetAnswer a = alias_dataset();
  return has_values(a) ? a.ndata : 0;
}

int64_t case_name_count() {
  FreePointerGuard guard;
  const DatasetAnswer a = case_dataset();
  return has_values(a) ? a.ndata : 0;
}

RunSummary run_summary() {
  FreePointerGuard guard;
  RunSummary s;

  DatasetAnswer a = lookup({"RUN-STATUS", "VERS"});
  if (a.ndata > 0) s.version = a.text_value(1);

  a = lookup_with_fallback({"RUN-STATUS", "RUNID"}, {"RUNID"});
  if (a.ndata > 0) s.run_id = cut(a.text_value(1), 8);

  a = lookup({"RUN-STATUS", "IT"});
  for (int64_t j = 1; j <= a.ndata; ++j) {
    const int64_t code = a.nqual > 0 ? a.qualifier_int(1, j) : 0;
    if (code == run_item::kCompletion) {
      s.completion = -a.int_value(j);
    } else if (code == run_item::kStatusText1 || code == run_item::kStatusText2) {
      std::string text = is_text_type(a.type(j)) ? a.text_value(j) : std::string();
      (code == run_item::kStatusText1 ? s.status_text1 : s.status_text2) = std::move(text);
    }
  }
  // A run that ended this badly has no status flags or counts worth giving.
  if (s.completion < -4) return s;

  a = lookup({"RUN-STATUS", "OLDSTAT"});
  if (a.ndata < 1) a = lookup({"RUN-STATUS", "STATUS"});
  for (int64_t j = 1; j <= std::min<int64_t>(a.ndata, 6); ++j) {
    const int64_t v = a.int_value(j);
    s.flags[static_cast<size_t>(j - 1)] = v < 2 ? v : 2;
  }

  s.blocks = glob(g::kNblk);
  s.streams = glob(g::kNstr);
  s.property_tables = glob(g::kNppt);
  s.info = glob(g::kInfo);
  return s;
}

namespace {

// TKALIS and TKCASN: one name and one text per value; the arrays are left as
// they were when the data set is missing or empty.
void write_named_texts(const std::vector<NamedText>& list, char* names, char* texts,
                       int64_t* ierr, size_t names_len, size_t texts_len) {
  *ierr = 1;
  if (list.empty()) return;
  for (size_t j = 0; j < list.size(); ++j) {
    text_element(names, names_len, j).assign(list[j].name);
    text_element(texts, texts_len, j).assign(list[j].text);
  }
  *ierr = 0;
}

}  // namespace

}  // namespace flowsum

extern "C" {

void tktitl_(char* title, size_t title_len) {
  flowsum::TextField(title, title_len).assign(flowsum::run_title());
}

void tkacct_(char* f222, char* f347, char* f355, char* f348, int64_t* ierr, size_t f222_len,
             size_t f347_len, size_t f355_len, size_t f348_len) {
  using flowsum::TextField;
  const TextField t222(f222, f222_len), t347(f347, f347_len), t355(f355, f355_len), t348(f348, f348_len);
  for (const TextField* f : {&t222, &t347, &t355, &t348}) f->fill_blank();
  *ierr = 1;
  const flowsum::AccountFields a = flowsum::account_fields();
  if (!a.found) return;
  t222.assign(a.item222);
  t347.assign(a.item347);
  t355.assign(a.item355);
  t348.assign(a.item348);
  *ierr = 0;
}

void tkalis_(int64_t* /*unused*/, char* names, char* aliases, int64_t* ierr, size_t names_len,
             size_t aliases_len) {
  flowsum::write_named_texts(flowsum::aliases(), names, aliases, ierr, names_len, aliases_len);
}

void tkcasn_(int64_t* /*unused*/, char* names, char* cases, int64_t* ierr, size_t names_len,
             size_t cases_len) {
  flowsum::write_named_texts(flowsum::case_names(), names, cases, ierr, names_len, cases_len);
}

void tknals_(int64_t* count) { *count = flowsum::alias_count(); }

void tkncsn_(int64_t* count) { *count = flowsum::case_name_count(); }

void tkinfo_(char* version, char* runid, char* status1, char* status2, int64_t* completion,
             int64_t* flags, int64_t* nblocks, int64_t* nstreams, int64_t* ntables, int64_t* ninfo,
             size_t version_len, size_t runid_len, size_t status1_len, size_t status2_len) {
  const flowsum::RunSummary s = flowsum::run_summary();
  flowsum::TextField(version, version_len).assign(s.version);
  flowsum::TextField(runid, runid_len).assign(s.run_id);
  flowsum::TextField(status1, status1_len).assign(s.status_text1);
  flowsum::TextField(status2, status2_len).assign(s.status_text2);
  *completion = s.completion;
  std::copy(s.flags.begin(), s.flags.end(), flags);
  *nblocks = s.blocks;
  *nstreams = s.streams;
  *ntables = s.property_tables;
  *ninfo = s.info;
}

}  // extern "C"
