#pragma once
// Where on this machine the product goes: read once from the registry into SetupState.
#include <string>

#include "setup/uninstall_string.h"

// Appends "\" to a non-empty text that does not end with one.
void AddBackslash(std::string& Path);
// A copy without one final "\" (only one is removed).
std::string StripBackslash(const std::string& Path);

// Fills the folder fields of SetupState. False after the "No access to system registry" box
// when a system folder could not be read. On true no key is open on the shared registry
// object and its root is HKEY_LOCAL_MACHINE. An "UninstallString" of a non-text type raises
// ERegistryError to the caller (after its key has been closed).
bool DetectFolders();
