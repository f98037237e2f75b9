// Captures the library's messages: an in-memory scratch unit becomes the
// message unit (TKGLOB word 12) for the object's lifetime. Pass unit() to a
// load as its message unit, or let the constructor set it for the routines
// called after a load.
#pragma once

#include <cstdint>
#include <string>

namespace flowsum::testing {

class MessageCapture {
 public:
  static constexpr int64_t kDefaultUnit = 71;

  explicit MessageCapture(int64_t unit = kDefaultUnit);
  ~MessageCapture();
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  int64_t unit() const { return unit_; }
  // Make this unit the message unit again (a load sets its own).
  void attach() const;
  // The lines written since the last take(), each followed by '\n'; the
  // capture starts empty again.
  std::string take();

 private:
  int64_t unit_;
  int64_t previous_;
};

}  // namespace flowsum::testing
