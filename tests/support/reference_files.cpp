// Reference-file lines and loads with chosen reference files.
#include "support/reference_files.hpp"

#include <cstdio>
#include <memory>

#include "flowsum.h"
#include "io/numbered_units.hpp"
#include "loading/loader.hpp"
#include "support/message_capture.hpp"
#include "support/summary_builder.hpp"
#include "support/summary_loader.hpp"

namespace flowsum::testing {

namespace {

// s placed from column `first` (1-based), the line growing as needed.
void put(std::string& line, size_t first, std::string_view s) {
  if (line.size() < first - 1 + s.size()) line.resize(first - 1 + s.size(), ' ');
  line.replace(first - 1, s.size(), s);
}

std::unique_ptr<TempSummaryFile>& current_file() {
  static std::unique_ptr<TempSummaryFile> file;
  return file;
}

}  // namespace

std::string unit_type_line(int64_t number, int64_t units, std::string_view name) {
  char head[16];
  std::snprintf(head, sizeof head, "   %4lld     %3lld", static_cast<long long>(number), static_cast<long long>(units));
  std::string line = head;
  put(line, 25, name);
  return line;
}

std::string unit_line(std::string_view label, std::string_view factor, std::string_view offset) {
  std::string line;
  put(line, 5, label);
  put(line, 25, factor);
  if (!offset.empty()) put(line, 53, offset);
  return line;
}

ReferenceLoad load_with_references(const std::string& summary_text, const std::string& property_path,
                                   const std::string& unit_path, const std::string& unitset,
                                   int64_t property_unit, int64_t unit_table_unit, double rmiss) {
  io::close_unit(kRefSummaryUnit);
  current_file() = std::make_unique<TempSummaryFile>(summary_text);
  ReferenceLoad out;
  if (io::open_unit(kRefSummaryUnit, current_file()->string(), "SEQUENTIAL", "FORMATTED", 0, "OLD", "READ") != 0)
    return out;
  MessageCapture capture;
  out.ierr = load_summary_file(unitset, kRefScratchUnit, kRefSummaryUnit, property_unit, property_path,
                               unit_table_unit, unit_path, rmiss, capture.unit());
  out.messages = capture.take();
  return out;
}

ReferenceLoad load_with_bundled_references(const std::string& summary_text, const std::string& unitset,
                                           double rmiss) {
  return load_with_references(summary_text, reference_file("RCPROPNU.DAT"), reference_file("RCUNITS.DAT"), unitset,
                              kRefPropertyUnit, kRefUnitTableUnit, rmiss);
}

void close_reference_load() {
  int64_t sum = kRefSummaryUnit, scr = kRefScratchUnit, prp = kRefPropertyUnit, unt = kRefUnitTableUnit;
  tkclos_(&sum, &scr, &prp, &unt);
  io::close_unit(kRefSummaryUnit);
  current_file().reset();
}

}  // namespace flowsum::testing
