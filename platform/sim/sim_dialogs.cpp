#include "platform/sim/sim_dialogs.h"

#include "platform/win_constants.h"

namespace sim {

int SimDialogs::MessageBox(const std::string& text, const std::string& caption,
                           std::uint32_t flags) {
  return Show({text, caption, flags, 0, false});
}

int SimDialogs::MessageBoxEx(const std::string& text, const std::string& caption,
                             std::uint32_t flags, std::uint16_t languageId) {
  return Show({text, caption, flags, languageId, true});
}

int SimDialogs::Show(ShownBox box) {
  log_.Note(box.Ex ? "MessageBoxEx" : "MessageBox", box.Caption + ": " + box.Text);
  const std::uint32_t buttons = box.Flags & 0xF;
  boxes_.push_back(std::move(box));
  if (failing_ > 0) {
    --failing_;
    log_.MarkLastFailed();
    return 0;
  }
  if (!answers_.empty()) {
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  if (defaultAnswer_) return *defaultAnswer_;
  return buttons == win::kMbYesNo ? win::kIdYes : win::kIdOk;
}

}  // namespace sim
