#pragma once
// Texts of the installation engine. Russian texts become Windows-1251 at build time.
#include <string>

namespace install_texts {

inline std::string CantInstallEn(const std::string& target) { return "Can't install " + target; }
inline std::string CantInstallRu(const std::string& target) {
  return "Не удается установить " + target;
}
inline std::string CantCreateEn(const std::string& folder) { return "Can't create " + folder + "."; }
inline std::string CantCreateRu(const std::string& folder) {
  return "Не удаётся создать папку " + folder + ".";
}

inline std::string CaptionRu(const std::string& shortNameRu, const std::string& version) {
  return "Установка файлов " + shortNameRu + " " + version;
}
inline std::string CaptionEn(const std::string& shortNameEn, const std::string& version) {
  return shortNameEn + " " + version + " files copying...";
}

constexpr const char* kQuestionCaptionEn = "Sound question";
constexpr const char* kQuestionCaptionRu = "Резонный вопрос";

inline std::string OlderFileQuestionRu(const std::string& target, const std::string& installed,
                                       const std::string& incoming) {
  return "Устанавливаемый файл " + target + "\r\n" +
         "более старой версии, чем уже установленный.\r\n\r\n" +
         "Действительно ли Вы хотите заменить уже имеющийся\r\n" + "файл версии " + installed +
         " на более старый версии " + incoming + "?";
}
inline std::string OlderFileQuestionEn(const std::string& target, const std::string& installed,
                                       const std::string& incoming) {
  return target + " file installing is of older version\r\n" +
         "than the same already installed.\r\n\r\n" + "Do you really want to replace existing\r\n" +
         "new file version " + installed + " with an older file version " + incoming + "?";
}

constexpr const char* kNoRightsEn =
    "You have no right to add/remove programs!\r\nPlease contact your system administrator.";
constexpr const char* kNoRightsRu =
    "У Вас нет права устанавливать программы!\r\nОбратитесь к системному администратору.";

constexpr const char* kUninstallLinkEn = "Uninstall the program";
constexpr const char* kUninstallLinkRu = "Удаление программы";
constexpr const char* kWebsiteLinkEn = "Program's website";
constexpr const char* kWebsiteLinkRu = "Интернет-сайт программы";

}  // namespace install_texts
