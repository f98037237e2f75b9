// Message capture on an in-memory sequential scratch unit.
#include "support/message_capture.hpp"

#include <string_view>

#include "io/numbered_units.hpp"
#include "loading/globals.hpp"

namespace flowsum::testing {

MessageCapture::MessageCapture(int64_t unit) : unit_(unit), previous_(glob(g::kMsgUnit)) {
  io::open_unit(unit_, "", "SEQUENTIAL", "FORMATTED", 0, "SCRATCH", "WRITE");
  attach();
}

MessageCapture::~MessageCapture() {
  glob(g::kMsgUnit) = previous_;
  io::close_unit(unit_);
}

void MessageCapture::attach() const { glob(g::kMsgUnit) = unit_; }

std::string MessageCapture::take() {
  std::string text;
  io::rewind_unit(unit_);
  std::string_view line;
  while (io::read_line(unit_, line, 1 << 16) == 0) text.append(line) += '\n';
  io::open_unit(unit_, "", "SEQUENTIAL", "FORMATTED", 0, "SCRATCH", "WRITE");
  return text;
}

}  // namespace flowsum::testing
