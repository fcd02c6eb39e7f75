#pragma once
// Reads the FileVersion text of a Windows executable on the build machine, the way the setup
// reads it from an installed file: the string table of the first language and code page that
// the version resource's translation list names. Portable C++, no Windows header.
#include <string>

// The version resource of a PE image (its bytes): the data of the first RT_VERSION resource.
// Empty when the image is not a PE file or has no version resource.
std::string VersionBlockOfImage(const std::string& image);

// The FileVersion text of a VS_VERSIONINFO block; non-ASCII characters become '?'. Empty when
// the block has no translation list, no string table for its first translation, or no
// FileVersion in that table.
std::string FileVersionOfBlock(const std::string& block);

// True when `version` begins with `versionText` and no digit follows it there: "1.0.1",
// "1.0.1.0" or "1.0.1 beta" for "1.0.1", never "1.0.10" or "1.0".
bool FileVersionBeginsWith(const std::string& version, const std::string& versionText);
