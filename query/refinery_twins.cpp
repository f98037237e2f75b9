// The refinery twins of the general column routines. Empty until the
// refinery-column family is built: its routines are entered here.
#include "query/refinery_twins.hpp"

namespace flowsum {

const RefineryTwins& refinery_twins() {
  static const RefineryTwins twins{};
  return twins;
}

}  // namespace flowsum
