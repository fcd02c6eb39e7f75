#pragma once
#include <string>

// Writes every entry of SetupState.FileList into place with the progress window up,
// consuming the list. False when the list holds no entry or the language folder could not
// be created.
bool InstallFiles();

struct TPayloadTarget {
  std::string Name;    // resource name: the file-name part without its extension
  std::string Type;    // resource type: the extension without the dot
  std::string Target;  // full path to write
};

// How one file-list entry maps to its payload resource and target path.
TPayloadTarget ResolveEntry(const std::string& entry, const std::string& installDir);
