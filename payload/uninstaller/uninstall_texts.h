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

constexpr TText kProgramRunning = {
    "Tarvelon Workbench is running. Close Tarvelon Workbench and run the uninstaller again. "
    "Nothing has been removed.",
    "Программа «Рабочее место Тарвелон» запущена. Закройте программу «Рабочее место Тарвелон» и запустите "
    "удаление ещё раз. Ничего не удалено."};
constexpr TText kOtherCopy = {
    "This copy of the uninstaller does not belong to the installed Tarvelon Workbench, so it has removed "
    "nothing. Tarvelon Workbench is installed in this folder:",
    "Эта копия программы удаления не относится к установленной программе «Рабочее место Тарвелон», поэтому "
    "ничего не удалено. Программа «Рабочее место Тарвелон» установлена в папку:"};
constexpr TText kEntryDamaged = {
    "The uninstall entry of Tarvelon Workbench names no uninstaller, so nothing has been removed. "
    "Install Tarvelon Workbench again, then remove it.",
    "Запись об установке программы «Рабочее место Тарвелон» не указывает программу удаления, поэтому ничего "
    "не удалено. Установите программу «Рабочее место Тарвелон» ещё раз, а затем удалите её."};
constexpr TText kOwnPathUnknown = {
    "The uninstaller cannot tell the folder it was started from, so it has removed nothing.",
    "Программа удаления не может определить папку, из которой она запущена, поэтому ничего не удалено."};
constexpr TText kAlreadyRunning = {
    "The uninstaller of Tarvelon Workbench is already running.",
    "Программа удаления «Рабочее место Тарвелон» уже запущена."};
constexpr TText kCleanupRefused = {
    "This clean-up step runs only for the uninstaller of Tarvelon Workbench that starts it. "
    "Nothing has been removed.",
    "Этот шаг очистки выполняется только для программы удаления «Рабочее место Тарвелон», которая его "
    "запустила. Ничего не удалено."};

}  // namespace uninstall_texts
