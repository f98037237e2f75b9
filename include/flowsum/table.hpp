// flowsum/table.hpp -- the one table type the C++ API returns.
//
// A Table is a list of columns of equal length. A column has a name, a unit
// label (empty when the column has none or its rows carry units of their
// own) and either numbers or texts. Missing numbers are NaN: the file's
// missing-value marker and values the library could not form both become
// NaN, so no sentinel ever reaches a caller's arithmetic.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace flowsum {

struct Column {
  std::string name;
  std::string unit;
  std::vector<double> values;      // a numeric column (texts empty)
  std::vector<std::string> texts;  // a text column (values empty)
  bool is_text = false;

  size_t size() const { return is_text ? texts.size() : values.size(); }
};

class Table {
 public:
  std::vector<Column> columns;

  size_t rows() const { return columns.empty() ? 0 : columns.front().size(); }
  // The column called name; NotFoundError when there is none.
  const Column& column(std::string_view name) const;
  // Index of the column called name, or columns.size() when there is none.
  size_t find(std::string_view name) const;

  // Append an empty column; the reference stays valid until the next column
  // is added (reserve columns first to fill several at once).
  Column& add_numbers(std::string name, std::string unit = {});
  Column& add_texts(std::string name);
};

}  // namespace flowsum
