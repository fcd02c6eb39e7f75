#pragma once
// How an uninstall entry's "UninstallString" names the installation folder. The setup reads it
// to install again where an earlier installation lies; the uninstaller reads it to know whether
// it is the registered copy. Both must come to the same folder, so the rule lives here alone.
#include <string>

// The folder part of an "UninstallString", with its backslash; empty when the value names no
// folder. A value in quotation marks is taken as the quoted path. The last character is never
// examined, so "D:\Apps\Tarvelon\" gives "D:\Apps\".
std::string FolderOfUninstallString(const std::string& value);

// True for "X:\..." and "\\server\..." paths. A path composed from a folder the registry
// did not name has no folder part and would land relative to the current directory.
bool IsAbsolutePath(const std::string& Path);
