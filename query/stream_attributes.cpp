// Stream and substream attributes over "STR_CATT", "SUBSATT" and the
// substream column of "STR_MAIN".
#include "query/stream_attributes.hpp"

#include <string>

#include "flowsum.h"
#include "query/stream_results.hpp"
#include "store/dataset_lookup.hpp"

namespace flowsum {

namespace {

size_t idx(int64_t i) { return static_cast<size_t>(i); }

std::string text8(std::string_view s) { return padded(s, 8); }

// The attribute data set of a stream with the columns the walks read.
struct AttributeSet {
  DatasetAnswer a;
  int64_t sub = 0, comp = 0, name = 0, element = 0;
  bool stream_found = false;
  std::string q(int64_t col, int64_t j) const { return qualifier8(a, col, j); }
};

AttributeSet attribute_set(std::string_view stream, std::string_view section,
                           std::string_view name_column) {
  AttributeSet s;
  const StreamRef ref = find_stream_ref(stream);
  if (!ref) return s;
  s.stream_found = true;
  s.a = stream_dataset(ref, stream, section);
  s.sub = s.a.find_qualifier("SUBSTREAM");
  s.comp = s.a.find_qualifier("COMPONENTS");
  s.name = s.a.find_qualifier(name_column);
  s.element = s.a.find_qualifier("CATTR");
  return s;
}

// Number of changes of column `col` among the values of the substream (and
// of the component when one is given).
int64_t count_changes(const AttributeSet& s, const std::string& sub, int64_t col) {
  int64_t count = 0;
  std::string current(8, ' ');
  for (int64_t j = 1; j <= s.a.ndata; ++j) {
    if (s.q(s.sub, j) != sub) continue;
    const std::string v = s.q(col, j);
    if (v != current) {
      ++count;
      current = v;
    }
  }
  return count;
}

// The k-th name of column `col` among the considered values, and the number
// of its values (elements). The walk ends at the next change of name once
// elements were counted.
int64_t kth_run(const AttributeSet& s, const std::string& sub, const std::string* comp,
                int64_t col, int64_t k, TextField name) {
  int64_t count = 0, c = 0;
  std::string current(8, ' ');
  for (int64_t j = 1; j <= s.a.ndata; ++j) {
    if (s.q(s.sub, j) != sub) continue;
    if (comp && s.q(s.comp, j) != *comp) continue;
    const std::string v = s.q(col, j);
    if (v != current) {
      if (count > 0) break;
      current = v;
      ++c;
    }
    if (c == k) ++count;
  }
  if (count == 0) return 0;
  name.assign(current);
  // TKSCAT and TKSSAT return every value of the name, a later run of it
  // included, into arrays their callers size by this count: the count is
  // theirs, not the run's, or a name that comes back would be written past
  // the arrays.
  int64_t all = 0;
  for (int64_t j = 1; j <= s.a.ndata; ++j)
    if (s.q(s.sub, j) == sub && (!comp || s.q(s.comp, j) == *comp) && s.q(col, j) == current) ++all;
  return all;
}

}  // namespace

void stream_substreams(std::string_view stream, int64_t n, char* names, size_t names_len) {
  FreePointerGuard guard;
  const AttributeSet s = attribute_set(stream, "STR_MAIN", "SUBSTREAM");
  std::string last;
  int64_t used = 0;
  for (int64_t j = 1; j <= s.a.ndata; ++j) {
    const std::string v = s.q(s.sub, j);
    if (TextField::trim_right(v).empty()) continue;
    if (used > 0 && v == last) continue;
    if (used >= n) break;
    text_element(names, names_len, idx(used)).assign(v);
    last = v;
    ++used;
  }
}

int64_t attribute_component_count(std::string_view stream, std::string_view substream) {
  FreePointerGuard guard;
  const AttributeSet s = attribute_set(stream, "STR_CATT", "CATNAME");
  return count_changes(s, text8(substream), s.comp);
}

int64_t component_attribute_count(std::string_view stream, std::string_view substream,
                                  int64_t k, TextField component) {
  FreePointerGuard guard;
  component.fill_blank();
  const AttributeSet s = attribute_set(stream, "STR_CATT", "CATNAME");
  const std::string sub = text8(substream);
  std::string current(8, ' '), attribute(8, ' ');
  int64_t c = 0, count = 0;
  for (int64_t j = 1; j <= s.a.ndata; ++j) {
    if (s.q(s.sub, j) != sub) continue;
    const std::string comp = s.q(s.comp, j);
    if (comp != current) {
      if (count > 0) break;
      current = comp;
      ++c;
    }
    if (c == k) {
      const std::string name = s.q(s.name, j);
      if (name != attribute) {
        ++count;
        attribute = name;
      }
    }
  }
  component.assign(current);
  return count;
}

int64_t component_attribute_at(std::string_view stream, std::string_view substream,
                               std::string_view component, int64_t k, TextField name) {
  FreePointerGuard guard;
  name.fill_blank();
  const AttributeSet s = attribute_set(stream, "STR_CATT", "CATNAME");
  const std::string comp = text8(component);
  return kth_run(s, text8(substream), &comp, s.name, k, name);
}

int64_t component_attribute_values(std::string_view stream, std::string_view substream,
                                   std::string_view component, std::string_view attribute,
                                   char* elements, size_t elements_len, double* values) {
  FreePointerGuard guard;
  const AttributeSet s = attribute_set(stream, "STR_CATT", "CATNAME");
  if (!s.stream_found) return 1;
  const std::string sub = text8(substream), comp = text8(component), att = text8(attribute);
  size_t e = 0;
  for (int64_t j = 1; j <= s.a.ndata; ++j) {
    if (s.q(s.sub, j) != sub || s.q(s.comp, j) != comp || s.q(s.name, j) != att) continue;
    values[e] = s.a.real_value(j);
    text_element(elements, elements_len, e).assign(s.q(s.element, j));
    ++e;
  }
  return 0;
}

int64_t substream_attribute_count(std::string_view stream, std::string_view substream) {
  FreePointerGuard guard;
  const AttributeSet s = attribute_set(stream, "SUBSATT", "SATNAME");
  return count_changes(s, text8(substream), s.name);
}

int64_t substream_attribute_at(std::string_view stream, std::string_view substream, int64_t k,
                               TextField name) {
  FreePointerGuard guard;
  name.fill_blank();
  const AttributeSet s = attribute_set(stream, "SUBSATT", "SATNAME");
  return kth_run(s, text8(substream), nullptr, s.name, k, name);
}

int64_t substream_attribute_values(std::string_view stream, std::string_view substream,
                                   std::string_view attribute, double* values) {
  FreePointerGuard guard;
  const AttributeSet s = attribute_set(stream, "SUBSATT", "SATNAME");
  if (!s.stream_found) return 1;
  const std::string sub = text8(substream), att = text8(attribute);
  size_t e = 0;
  for (int64_t j = 1; j <= s.a.ndata; ++j) {
    if (s.q(s.sub, j) != sub || s.q(s.name, j) != att) continue;
    values[e++] = s.a.real_value(j);
  }
  return 0;
}

}  // namespace flowsum

extern "C" {

void tkssid_(const char* stream, int64_t* n, char* names, size_t stream_len, size_t names_len) {
  flowsum::stream_substreams(std::string_view(stream, stream_len), *n, names, names_len);
}

void tksnac_(const char* stream, const char* substream, int64_t* count, size_t stream_len,
             size_t substream_len) {
  *count = flowsum::attribute_component_count(std::string_view(stream, stream_len),
                                              std::string_view(substream, substream_len));
}

void tksnca_(const char* stream, const char* substream, int64_t* k, char* component, int64_t* count,
             size_t stream_len, size_t substream_len, size_t component_len) {
  using namespace flowsum;
  *count = 0;
  *count = component_attribute_count(std::string_view(stream, stream_len),
                                     std::string_view(substream, substream_len), *k,
                                     TextField(component, component_len));
}

void tkssca_(const char* stream, const char* substream, const char* component, int64_t* k, char* name,
             int64_t* count, size_t stream_len, size_t substream_len, size_t component_len,
             size_t name_len) {
  using namespace flowsum;
  *count = component_attribute_at(std::string_view(stream, stream_len),
                                  std::string_view(substream, substream_len),
                                  std::string_view(component, component_len), *k,
                                  TextField(name, name_len));
}

void tkscat_(const char* stream, const char* substream, const char* component, const char* attribute,
             int64_t* /*unused*/, char* elements, double* values, int64_t* ierr,
             size_t stream_len, size_t substream_len, size_t component_len,
             size_t attribute_len, size_t elements_len) {
  using namespace flowsum;
  *ierr = 1;
  *ierr = component_attribute_values(
      std::string_view(stream, stream_len), std::string_view(substream, substream_len),
      std::string_view(component, component_len), std::string_view(attribute, attribute_len),
      elements, elements_len, values);
}

void tksnsa_(const char* stream, const char* substream, int64_t* count, size_t stream_len,
             size_t substream_len) {
  *count = flowsum::substream_attribute_count(std::string_view(stream, stream_len),
                                              std::string_view(substream, substream_len));
}

void tksssa_(const char* stream, const char* substream, int64_t* k, char* name, int64_t* count,
             size_t stream_len, size_t substream_len, size_t name_len) {
  using namespace flowsum;
  *count = substream_attribute_at(std::string_view(stream, stream_len),
                                  std::string_view(substream, substream_len), *k,
                                  TextField(name, name_len));
}

void tkssat_(const char* stream, const char* substream, const char* attribute, int64_t* /*unused*/,
             double* values, int64_t* ierr, size_t stream_len, size_t substream_len,
             size_t attribute_len) {
  using namespace flowsum;
  *ierr = 1;
  *ierr = substream_attribute_values(std::string_view(stream, stream_len),
                                     std::string_view(substream, substream_len),
                                     std::string_view(attribute, attribute_len), values);
}

}  // extern "C"
