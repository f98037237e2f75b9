#include "store/sequence_elements.hpp"

#include <cstdlib>

#include "loading/scanner.hpp"
#include "store/loading_sequences.hpp"
#include "store/packed_words.hpp"
#include "store/text_field.hpp"

namespace flowsum {

std::vector<SequenceElement> sequence_elements(std::string_view lsetid, int64_t& status) {
  std::vector<SequenceElement> out;
  const CompiledSequence& seq = compiled_sequence(lsetid);
  status = seq.status;
  if (status != 0) return out;
  for (int64_t s = 0; s < seq.nids; ++s) {
    SequenceElement e;
    e.set = seq.set_name(s);
    const int64_t line = std::llabs(idset_directory_line(e.set));
    if (line == 0) continue;
    position_scanner_at_line(line);
    // "IDSET", the name, "(", then the qualifier names up to ")".
    scan::Token tok;
    for (int i = 0; i < 3; ++i) scan::next(tok);
    int64_t read = 3;
    for (scan::next(tok), ++read; tok.type != scan::kClose && tok.type != scan::kNone && read < kMaxSequenceTokens;
         scan::next(tok), ++read) {
      if (e.nqualifiers++ == 0) e.keyword = std::string(TextField::trim_right(tok.text));
    }
    // "(" and the members up to the closing ")".
    scan::next(tok);
    ++read;
    if (tok.type == scan::kOpen) {
      for (scan::next(tok), ++read; tok.type != scan::kClose && tok.type != scan::kNone && read < kMaxSequenceTokens;
           scan::next(tok), ++read)
        e.members.push_back({tok.type, std::string(tok.text)});
    }
    out.push_back(std::move(e));
  }
  return out;
}

const SequenceElement* find_element(const std::vector<SequenceElement>& elements, std::string_view keyword) {
  for (const SequenceElement& e : elements)
    if (padded_equal(e.keyword, keyword)) return &e;
  return nullptr;
}

}  // namespace flowsum
