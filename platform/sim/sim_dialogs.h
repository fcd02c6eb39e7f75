#pragma once
// Message boxes on the simulated machine: every box is recorded, and the user's answers come
// from a script the test sets up.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/sim/sim_call_log.h"

namespace sim {

struct ShownBox {
  std::string Text;
  std::string Caption;
  std::uint32_t Flags = 0;
  std::uint16_t LanguageId = 0;  // 0 for MessageBoxA
  bool Ex = false;               // shown with MessageBoxExA
};

// The answer of the box's default button: MB_DEFBUTTON1..MB_DEFBUTTON4 name the first to the
// fourth button of its button set.
int DefaultButtonAnswer(std::uint32_t flags);

class SimDialogs : public platform::Dialogs {
 public:
  explicit SimDialogs(CallLog& log) : log_(log) {}

  int MessageBox(const std::string& text, const std::string& caption,
                 std::uint32_t flags) override;
  int MessageBoxEx(const std::string& text, const std::string& caption, std::uint32_t flags,
                   std::uint16_t languageId) override;

  // --- Test-facing.
  const std::vector<ShownBox>& Boxes() const { return boxes_; }
  // The next box gets this answer (IDYES, IDNO, ...); answers are used in order.
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  // The answer once the queue is empty. Unset: the box's default button (DefaultButtonAnswer),
  // as a user pressing Enter would choose.
  void SetDefaultAnswer(std::optional<int> answer) { defaultAnswer_ = answer; }
  // The next `count` boxes cannot be shown: they are recorded and return 0.
  void FailNextBoxes(int count = 1) { failing_ += count; }

 private:
  int Show(ShownBox box);

  CallLog& log_;
  std::vector<ShownBox> boxes_;
  std::deque<int> answers_;
  std::optional<int> defaultAnswer_;
  int failing_ = 0;
};

}  // namespace sim
