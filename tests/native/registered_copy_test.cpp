#include "payload/uninstaller/registered_copy.h"

#include <gtest/gtest.h>

#include "setup/uninstall_string.h"

namespace {

const char kRegistered[] = "C:\\Program Files\\Tarvelon\\Uninstall.exe";

TUninstallEntry Text(const std::string& text) { return {true, true, true, text}; }

const char* Name(TRegistration r) {
  switch (r) {
    case TRegistration::Registered: return "Registered";
    case TRegistration::Unregistered: return "Unregistered";
    case TRegistration::OtherFolder: return "OtherFolder";
    case TRegistration::EntryDamaged: return "EntryDamaged";
    case TRegistration::OwnPathUnknown: return "OwnPathUnknown";
  }
  return "?";
}

}  // namespace

TEST(RegisteredCopy, OnlyTheCopyInTheEntrysFolderActs) {
  struct Row {
    const char* label;
    std::string ownPath;
    TUninstallEntry entry;
    TRegistration expected;
  } rows[] = {
      {"the installed copy", kRegistered, Text(kRegistered), TRegistration::Registered},
      {"renamed, in other letter case", "c:\\PROGRAM FILES\\tarvelon\\Uninstall (1).exe", Text(kRegistered),
       TRegistration::Registered},
      {"quoted entry", kRegistered, Text(std::string("\"") + kRegistered + "\""), TRegistration::Registered},
      {"quoted entry with an argument", kRegistered, Text(std::string("\"") + kRegistered + "\" /quiet"),
       TRegistration::Registered},
      {"quotation mark never closed", kRegistered, Text(std::string("\"") + kRegistered), TRegistration::Registered},
      {"a backup copy", "D:\\Backup\\Tarvelon\\Uninstall.exe", Text(kRegistered), TRegistration::OtherFolder},
      {"a download folder", "C:\\users\\ann\\Downloads\\Uninstall.exe", Text(kRegistered),
       TRegistration::OtherFolder},
      {"the parent folder", "C:\\Program Files\\Uninstall.exe", Text(kRegistered), TRegistration::OtherFolder},
      {"a subfolder", "C:\\Program Files\\Tarvelon\\old\\Uninstall.exe", Text(kRegistered),
       TRegistration::OtherFolder},
      {"a name that only starts alike", "C:\\Program Files\\Tarvelon2\\Uninstall.exe", Text(kRegistered),
       TRegistration::OtherFolder},
      {"Cyrillic letters in other case: a doubt refuses", "C:\\ТАРВЕЛОН\\Uninstall.exe",
       Text("C:\\Тарвелон\\Uninstall.exe"), TRegistration::OtherFolder},
      {"no entry at all", kRegistered, {}, TRegistration::Unregistered},
      {"a key without UninstallString", kRegistered, {true, false, false, ""}, TRegistration::EntryDamaged},
      {"UninstallString of another type", kRegistered, {true, true, false, ""}, TRegistration::EntryDamaged},
      {"empty UninstallString", kRegistered, Text(""), TRegistration::EntryDamaged},
      {"a bare quotation mark pair", kRegistered, Text("\"\""), TRegistration::EntryDamaged},
      {"no folder part", kRegistered, Text("Uninstall.exe"), TRegistration::EntryDamaged},
      {"a relative folder", "C:\\Tarvelon\\Uninstall.exe", Text("Tarvelon\\Uninstall.exe"),
       TRegistration::EntryDamaged},
      {"own path not read (an overflow gives none)", "", Text(kRegistered), TRegistration::OwnPathUnknown},
      {"own path not read and no entry", "", {}, TRegistration::OwnPathUnknown},
      {"own path without a folder", "Uninstall.exe", {}, TRegistration::OwnPathUnknown},
      {"own path on the current drive", "\\Program Files\\Tarvelon\\Uninstall.exe", Text(kRegistered),
       TRegistration::OwnPathUnknown},
      {"own path relative to a drive's current folder", "C:Uninstall.exe", {}, TRegistration::OwnPathUnknown},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_STREQ(Name(CheckRegistration(row.ownPath, row.entry)), Name(row.expected));
  }
}
