// Whether the running uninstaller is the copy that the product's uninstall entry names. A copy
// in any other folder (a backup, a download folder) removes nothing: neither the installation
// that the entry describes, nor the product files that happen to lie beside the copy.
// No Windows header here: the native tests call this directly.
#pragma once

#include <string>

#include "setup/uninstall_string.h"  // the setup's own rule for the entry's folder

// What the uninstaller found of the uninstall entry under HKEY_LOCAL_MACHINE.
struct TUninstallEntry {
  bool KeyPresent = false;    // the product's key exists
  bool ValuePresent = false;  // the key has an "UninstallString" value
  bool IsText = false;        // REG_SZ or REG_EXPAND_SZ, its text taken raw as the setup takes it
  std::string Text;
};

enum class TRegistration {
  Registered,      // the entry names this uninstaller's folder: the whole product goes
  Unregistered,    // no entry at all: the product files of its own folder and itself go
  OtherFolder,     // the entry names another folder: nothing goes
  EntryDamaged,    // the entry has no "UninstallString" that names an absolute folder: nothing goes
  OwnPathUnknown,  // its own path is not absolute (not read, or cut short): nothing goes
};

// Decides from the uninstaller's own full path and the entry. The folders are compared
// without case for ASCII letters; other bytes must match exactly, so that a doubt refuses.
TRegistration CheckRegistration(const std::string& ownPath, const TUninstallEntry& entry);

// The folder of a full path, with its final backslash; empty when the path has no backslash.
std::string FolderOfPath(const std::string& path);

// Equal texts, ASCII letters compared without case (as Windows compares file names); every
// other byte compared exactly.
bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b);
