// Lists the loaded file's objects through the exported listing routines, as
// a caller of the library would read them.
#include "tools/report_objects.hpp"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "flowsum.h"
#include "loading/globals.hpp"
#include "store/text_field.hpp"
#include "tools/report_equipment.hpp"

namespace flowsum_tool {

namespace {

constexpr size_t kIdChars = 128;
constexpr size_t kTypeChars = 12;

struct Object {
  std::string id;
  std::string type;
};

std::string trimmed(const char* text, size_t len) {
  return std::string(flowsum::TextField::trim_right(std::string_view(text, len)));
}

using ListRoutine = void (*)(int64_t*, char*, char*, int64_t*, size_t, size_t);

// The first n objects of a kind, read with its whole-list routine.
std::vector<Object> list_objects(ListRoutine list, int64_t n) {
  std::vector<Object> objects;
  if (n < 1) return objects;
  std::string ids(static_cast<size_t>(n) * kIdChars, ' ');
  std::string types(static_cast<size_t>(n) * kTypeChars, ' ');
  int64_t ierr = 1;
  list(&n, ids.data(), types.data(), &ierr, kIdChars, kTypeChars);
  if (ierr != 0) return objects;
  for (size_t k = 0; k < static_cast<size_t>(n); ++k)
    objects.push_back({trimmed(ids.data() + k * kIdChars, kIdChars),
                       trimmed(types.data() + k * kTypeChars, kTypeChars)});
  return objects;
}

// Property tables have no whole-list routine: read them by position until
// the identifier comes back blank.
std::vector<Object> property_tables() {
  std::vector<Object> objects;
  for (int64_t k = 1;; ++k) {
    char id[kIdChars], type[kTypeChars];
    int64_t pos = k, ierr = 1;
    tknppt_(&pos, id, type, &ierr, sizeof id, sizeof type);
    Object o{trimmed(id, sizeof id), trimmed(type, sizeof type)};
    if (ierr != 0 || o.id.empty()) break;
    objects.push_back(std::move(o));
  }
  return objects;
}

std::vector<Object> relief_objects() {
  std::vector<Object> objects;
  int64_t n = 0;
  tknprs_(&n);
  for (int64_t k = 1; k <= n; ++k) {
    char id[kIdChars];
    int64_t pos = k, ierr = 1;
    tknxpr_(&pos, id, &ierr, sizeof id);
    if (ierr == 0) objects.push_back({trimmed(id, sizeof id), ""});
  }
  return objects;
}

void print(std::FILE* out, const char* title, const char* type_title,
           const std::vector<Object>& objects) {
  std::fprintf(out, "%s: %zu\n", title, objects.size());
  if (objects.empty()) return;
  size_t width = 2;
  for (const Object& o : objects) width = std::max(width, o.id.size());
  if (type_title != nullptr)
    std::fprintf(out, "  %-*s  %s\n", static_cast<int>(width), "ID", type_title);
  for (const Object& o : objects) {
    if (type_title != nullptr)
      std::fprintf(out, "  %-*s  %s\n", static_cast<int>(width), o.id.c_str(), o.type.c_str());
    else
      std::fprintf(out, "  %s\n", o.id.c_str());
  }
}

}  // namespace

void report_objects(std::FILE* out) {
  int64_t neqp = 0;
  tkneq_(&neqp);
  std::fprintf(out, "\n");
  print(out, "blocks", "MODEL", list_objects(tkbids_, flowsum::glob(flowsum::g::kNblk)));
  print(out, "streams", "TYPE", list_objects(tksids_, flowsum::glob(flowsum::g::kNstr)));
  print(out, "property tables", "TYPE", property_tables());
  print(out, "equipment items", "TYPE", list_objects(tkeids_, neqp));
  report_equipment_costs(out);
  print(out, "pressure-relief objects", nullptr, relief_objects());
}

}  // namespace flowsum_tool
