#pragma once
// The progress window: a topmost window on a thread of its own, driven by the main thread.
// No operation reports or raises an error.
#include <string>

namespace platform {

class Progress {
 public:
  virtual ~Progress() = default;
  // First call starts the window's thread with these texts and returns without waiting;
  // later calls replace both texts and show the window centred on top.
  virtual void ShowProgress(const std::string& caption, const std::string& status) = 0;
  virtual void SetStatus(const std::string& status) = 0;
  // Sets the bar's range to 0..max and waits, bounded, until the bar reports it.
  virtual void SetRange(int max) = 0;
  virtual void SetPosition(int position) = 0;
  virtual void HideWindow() = 0;
};

}  // namespace platform
