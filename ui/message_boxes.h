#pragma once
// The bilingual message boxes and the choice of the UI language.
#include <cstdint>
#include <string>

namespace flags {
// MB_OK | MB_ICONHAND | MB_SERVICE_NOTIFICATION: every error box.
constexpr std::uint32_t kErrorBox = 0x200010;
// MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL: Yes is the default button.
constexpr std::uint32_t kQuestionYesDefault = 0x2024;
// ... | MB_DEFBUTTON2: No is the default button.
constexpr std::uint32_t kQuestionNoDefault = 0x2124;
// MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL | MB_TOPMOST.
constexpr std::uint32_t kQuestionTopmost = 0x42024;
// MB_ICONHAND | MB_TASKMODAL: the last-chance report.
constexpr std::uint32_t kApplicationError = 0x2010;
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
