// Captures the library's messages: an in-memory scratch unit is the message
// unit (TKGLOB word 12) while the object lives. Pass unit() to a load as its
// message unit, or attach() again after a load that set its own.
#pragma once

#include <cstdint>
#include <string>

namespace flowsum::testing {

class MessageCapture {
 public:
  explicit MessageCapture(int64_t unit = 71);
  ~MessageCapture();
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  int64_t unit() const { return unit_; }
  void attach() const;
  // The lines written since the last take(), each followed by '\n'.
  std::string take();

 private:
  int64_t unit_;
  int64_t previous_;
};

}  // namespace flowsum::testing
