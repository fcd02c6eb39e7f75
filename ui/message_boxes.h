#pragma once
// The bilingual message boxes and the choice of the UI language.
#include <cstdint>
#include <string>

#include "platform/win_constants.h"

namespace flags {
// Every error box.
constexpr std::uint32_t kErrorBox = win::kMbOk | win::kMbIconHand | win::kMbServiceNotification;
// The Russian question: Yes is the default button.
constexpr std::uint32_t kQuestionYesDefault = win::kMbYesNo | win::kMbIconQuestion | win::kMbTaskModal;
// The English question: No is the default button.
constexpr std::uint32_t kQuestionNoDefault = kQuestionYesDefault | win::kMbDefButton2;
// The question before an older file replaces a newer one.
constexpr std::uint32_t kQuestionTopmost = kQuestionYesDefault | win::kMbTopmost;
// The last-chance report.
constexpr std::uint32_t kApplicationError = win::kMbIconHand | win::kMbTaskModal;
}  // namespace flags

// True when the user's default locale is one of the seven whose UI is Russian.
bool DetectUiLanguage();

// Shows `RussianText` (captioned ShortNameRu, MessageBoxExA with language 25) when the UI is
// Russian, else `EnglishText` (captioned ShortNameEn, MessageBoxA). Returns once it is closed.
void ShowErrorBox(const std::string& EnglishText, const std::string& RussianText);

// A Russian box goes through MessageBoxExA with the neutral Russian language identifier,
// an English one through MessageBoxA. Returns the system's answer.
int ShowBox(bool russian, const std::string& text, const std::string& caption,
            std::uint32_t flags);

// Only IDYES counts as consent; every other answer, a failure included, is no.
inline bool IsYes(int answer) { return answer == 6; }
