// The elements of a loading sequence as their definition lines write them:
//   IDSET name ( KEYWORD ... ) ( member member ... )
// Readers of heating curves and exchanger sections learn curve numbers,
// zone and point lists and intermediate-stream counts from these lines
// without evaluating the sequence's values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace flowsum {

struct DefinitionToken {
  int64_t type = 0;  // scanner token type
  std::string text;
};

struct SequenceElement {
  std::string set;            // the identifier set's name, 8 characters
  std::string keyword;        // its first qualifier name, trailing blanks cut
  int64_t nqualifiers = 0;    // qualifier names before the first ")"
  // The member tokens from the seventh token of the definition up to the
  // closing ")", which is never one of them.
  std::vector<DefinitionToken> members;
};

// The elements of the loading sequence lsetid in the order the sequence
// names its sets. status receives the sequence's compile status (0
// compiled); no elements unless it compiled. Sets missing from the IDSET
// directory are left out. At most kMaxSequenceTokens tokens of a
// definition are read.
std::vector<SequenceElement> sequence_elements(std::string_view lsetid, int64_t& status);

// The first element of the sequence with this keyword; nullptr when none.
const SequenceElement* find_element(const std::vector<SequenceElement>& elements,
                                    std::string_view keyword);

}  // namespace flowsum
