// The flowsum tool's CSV and JSON output: the views as tables of the C++
// API, written one section per table.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "flowsum/table.hpp"

namespace flowsum_tool {

// One table of the output: what it is ("run", "streams", "block", ...), the
// object it belongs to (empty for the file's own tables), the table, and
// its name within a view of several tables (empty for a one-table view).
struct Section {
  std::string kind, id;
  flowsum::Table table;
  std::string name;
};

// Appends the first `rows` rows of a block's result table (as
// Summary::block_results gives it) to the table of block summaries: columns
// "block", "property", "description" (the descriptive qualifiers joined by
// blanks), "value", "text" and "unit".
void add_block_summary(const std::string& block, const flowsum::Table& results, size_t rows,
                       flowsum::Table& summaries);

// CSV: a header row of column names (with the unit in brackets when the
// column has one), then the rows; missing numbers are empty fields. With
// more than one section each starts with a line "# KIND ID" ("# KIND ID:
// NAME" for a named table) and sections are separated by an empty line.
void write_csv(const std::vector<Section>& sections, std::FILE* out);

// JSON of schema version kJsonSchemaVersion (docs/tool-json.md): an object
// with "schema", "schema_version", "file", "units" and "sections", each
// section {"kind", "id", ["table",] "columns": [{"name", "unit", "values"}]}
// ("table" only for a named table); missing numbers are null.
constexpr int kJsonSchemaVersion = 1;
void write_json(const std::string& file, const std::string& units,
                const std::vector<Section>& sections, std::FILE* out);

}  // namespace flowsum_tool
