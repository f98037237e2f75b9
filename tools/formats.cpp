#include "tools/formats.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace flowsum_tool {

namespace {

// Shortest text that reads back as the same double; empty when missing.
std::string number(double v) {
  if (!std::isfinite(v)) return {};
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::string csv_field(const std::string& s) {
  if (s.find_first_of(",\"\n\r") == std::string::npos && (s.empty() || (s.front() != ' ' && s.back() != ' ')))
    return s;
  std::string q = "\"";
  for (char c : s) q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

std::string json_string(const std::string& s) {
  std::string q = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      q += '\\';
      q += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      q += buf;
    } else {
      q += static_cast<char>(c);
    }
  }
  return q + "\"";
}

}  // namespace

void add_block_summary(const std::string& block, const flowsum::Table& results, size_t rows,
                       flowsum::Table& summaries) {
  if (summaries.columns.empty()) {
    summaries.columns.reserve(6);
    summaries.add_texts("block");
    summaries.add_texts("property");
    summaries.add_texts("description");
    summaries.add_numbers("value");
    summaries.add_texts("text");
    summaries.add_texts("unit");
  }
  auto& cols = summaries.columns;
  const size_t n = std::min(rows, results.rows());
  for (size_t j = 0; j < n; ++j) {
    std::string description;
    for (const flowsum::Column& c : results.columns)
      if (c.name.rfind("qualifier ", 0) == 0 && !c.texts[j].empty())
        description += (description.empty() ? "" : " ") + c.texts[j];
    cols[0].texts.push_back(block);
    cols[1].texts.push_back(results.column("property").texts[j]);
    cols[2].texts.push_back(description);
    cols[3].values.push_back(results.column("value").values[j]);
    cols[4].texts.push_back(results.column("text").texts[j]);
    cols[5].texts.push_back(results.column("unit").texts[j]);
  }
}

void write_csv(const std::vector<Section>& sections, std::FILE* out) {
  const bool titled = sections.size() > 1;
  for (size_t k = 0; k < sections.size(); ++k) {
    const Section& s = sections[k];
    if (k > 0) std::fputs("\n", out);
    if (titled)
      std::fprintf(out, "# %s%s%s%s%s\n", s.kind.c_str(), s.id.empty() ? "" : " ", s.id.c_str(),
                   s.name.empty() ? "" : ": ", s.name.c_str());
    const auto& cols = s.table.columns;
    for (size_t c = 0; c < cols.size(); ++c) {
      const std::string name = cols[c].unit.empty() ? cols[c].name : cols[c].name + " [" + cols[c].unit + "]";
      std::fprintf(out, "%s%s", c ? "," : "", csv_field(name).c_str());
    }
    std::fputs("\n", out);
    for (size_t r = 0; r < s.table.rows(); ++r) {
      for (size_t c = 0; c < cols.size(); ++c) {
        const std::string v = cols[c].is_text ? csv_field(cols[c].texts[r]) : number(cols[c].values[r]);
        std::fprintf(out, "%s%s", c ? "," : "", v.c_str());
      }
      std::fputs("\n", out);
    }
  }
}

void write_json(const std::string& file, const std::string& units,
                const std::vector<Section>& sections, std::FILE* out) {
  std::fprintf(out, "{\n  \"schema\": \"flowsum-tool\",\n  \"schema_version\": %d,\n", kJsonSchemaVersion);
  std::fprintf(out, "  \"file\": %s,\n  \"units\": %s,\n  \"sections\": [", json_string(file).c_str(),
               json_string(units).c_str());
  for (size_t k = 0; k < sections.size(); ++k) {
    const Section& s = sections[k];
    std::fprintf(out, "%s\n    {\"kind\": %s, \"id\": %s, %s%s\"columns\": [", k ? "," : "",
                 json_string(s.kind).c_str(), s.id.empty() ? "null" : json_string(s.id).c_str(),
                 s.name.empty() ? "" : "\"table\": ", s.name.empty() ? "" : (json_string(s.name) + ", ").c_str());
    for (size_t c = 0; c < s.table.columns.size(); ++c) {
      const flowsum::Column& col = s.table.columns[c];
      std::fprintf(out, "%s\n      {\"name\": %s, \"unit\": %s, \"values\": [", c ? "," : "",
                   json_string(col.name).c_str(), col.unit.empty() ? "null" : json_string(col.unit).c_str());
      for (size_t r = 0; r < col.size(); ++r) {
        const std::string v = col.is_text ? json_string(col.texts[r]) : number(col.values[r]);
        std::fprintf(out, "%s%s", r ? ", " : "", v.empty() ? "null" : v.c_str());
      }
      std::fputs("]}", out);
    }
    std::fputs("\n    ]}", out);
  }
  std::fputs("\n  ]\n}\n", out);
}

}  // namespace flowsum_tool
