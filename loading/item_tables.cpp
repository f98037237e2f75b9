// Item tables built at load time. Placeholder step until the item search
// exists: the tables stay empty.
#include "loading/load_steps.hpp"

namespace flowsum {

void build_item_tables(LoadContext&) {}

}  // namespace flowsum
