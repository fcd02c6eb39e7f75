#pragma once
// Texts of the setup sequence. Russian texts become Windows-1251 at build time.
#include <string>

namespace setup_texts {

inline std::string SingleInstanceRu(const std::string& shortNameRu) {
  return "Установщик программы " + shortNameRu + " уже работает!";
}
inline std::string SingleInstanceEn(const std::string& shortNameEn) {
  return "The " + shortNameEn + " installer is already running!";
}

constexpr const char* kQuestionEn = "Would you like to setup the program?";
constexpr const char* kQuestionCaptionEn = "Sound question";
constexpr const char* kQuestionCaptionRu = "Резонный вопрос";
inline std::string QuestionRu(const std::string& shortNameRu, const std::string& version,
                              const std::string& longNameRu) {
  return std::string("Вы действительно хотите установить программу") + "\r\n" + "\"" +
         shortNameRu + " " + version + "\"" + " - " + longNameRu + "?";
}

constexpr const char* kApplicationErrorCaption = "Application Error";
// The last-chance report's first line; what the error was follows it.
constexpr const char* kUnexpectedError = "An unexpected error stopped the setup";
constexpr const char* kMarkerName = "tvl_memfile";

}  // namespace setup_texts
