// The uninstaller's texts, English and Russian (Windows-1251 bytes once compiled).
#pragma once

namespace uninstall_texts {

struct TText {
  const char* En;
  const char* Ru;
};

constexpr TText kQuestion = {
    "Do you want to remove Tarvelon Workbench and all of its components from this computer?",
    "Вы действительно хотите удалить программу «Рабочее место Тарвелон» и все её компоненты с этого компьютера?"};
constexpr TText kRemoved = {
    "Tarvelon Workbench has been removed from this computer.",
    "Программа «Рабочее место Тарвелон» удалена с этого компьютера."};
constexpr TText kNotRemoved = {
    "Tarvelon Workbench could not be removed completely. These are still there:",
    "Не удалось полностью удалить программу «Рабочее место Тарвелон». Остались:"};
constexpr TText kRetryHint = {
    "Close Tarvelon Workbench if it is running and run the uninstaller again. "
    "Removing the program needs administrator rights.",
    "Закройте программу «Рабочее место Тарвелон», если она запущена, и запустите удаление ещё раз. "
    "Для удаления программы нужны права администратора."};

}  // namespace uninstall_texts
