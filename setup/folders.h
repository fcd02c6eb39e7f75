#pragma once
// Where on this machine the product goes: read once from the registry into SetupState.
#include <string>

// Appends "\" to a non-empty text that does not end with one.
void AddBackslash(std::string& Path);
// A copy without one final "\" (only one is removed).
std::string StripBackslash(const std::string& Path);
// True for "X:\..." and "\\server\..." paths. A path composed from a folder the registry
// did not name has no folder part and would land relative to the current directory.
bool IsAbsolutePath(const std::string& Path);

// Fills the folder fields of SetupState. False after the "No access to system registry" box
// when a system folder could not be read. On true no key is open on the shared registry
// object and its root is HKEY_LOCAL_MACHINE. An "UninstallString" of a non-text type raises
// ERegistryError to the caller (after its key has been closed).
bool DetectFolders();

// The folder part of an earlier installation's "UninstallString", with its backslash;
// empty when the value names no folder. A value in quotation marks is taken as the quoted
// path.
std::string FolderOfUninstallString(const std::string& value);
