#include "platform/sim/sim_dialogs.h"

#include <vector>

#include "platform/win_constants.h"

namespace sim {
namespace {

// The buttons of each button set (the low four bits of the flags), left to right, as their
// answers.
std::vector<int> ButtonsOf(std::uint32_t flags) {
  switch (flags & win::kMbTypeMask) {
    case win::kMbOkCancel: return {win::kIdOk, win::kIdCancel};
    case win::kMbAbortRetryIgnore: return {win::kIdAbort, win::kIdRetry, win::kIdIgnore};
    case win::kMbYesNoCancel: return {win::kIdYes, win::kIdNo, win::kIdCancel};
    case win::kMbYesNo: return {win::kIdYes, win::kIdNo};
    case win::kMbRetryCancel: return {win::kIdRetry, win::kIdCancel};
    case win::kMbCancelTryContinue: return {win::kIdCancel, win::kIdTryAgain, win::kIdContinue};
    default: return {win::kIdOk};
  }
}

}  // namespace

int DefaultButtonAnswer(std::uint32_t flags) {
  const std::vector<int> buttons = ButtonsOf(flags);
  const std::size_t index = (flags & win::kMbDefMask) / win::kMbDefButton2;
  // A default button the box does not have leaves the first one as the default.
  return index < buttons.size() ? buttons[index] : buttons.front();
}

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
  const std::uint32_t flags = box.Flags;
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
  return DefaultButtonAnswer(flags);
}

}  // namespace sim
