// A block's data-set paths: "BLOCK", the block's model keyword from the
// block table, its identifier and a section. Shared by the query families
// that read a block's sections.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "store/identifier_access.hpp"
#include "store/text_field.hpp"

namespace flowsum {

struct BlockPath {
  ItemMatch block;    // index 0 for a block that is not in the table
  std::string model;  // the stored model keyword, trailing blanks cut
  std::string id;     // the identifier's first 128 characters, trailing blanks cut
  std::array<std::string_view, 4> path(std::string_view section) const {
    return {"BLOCK", model, id, section};
  }
};

inline BlockPath block_path(std::string_view id) {
  BlockPath b;
  b.id = std::string(TextField::trim_right(id.substr(0, std::min<size_t>(id.size(), kIdentifierChars))));
  b.block = find_block(b.id);
  b.model = std::string(TextField::trim_right(b.block.type.view()));
  return b;
}

// A caller's input text of its hidden length (empty for a null pointer).
inline std::string_view caller_text(const char* p, size_t n) { return p ? std::string_view(p, n) : std::string_view(); }

}  // namespace flowsum
