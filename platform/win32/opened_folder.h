#pragma once
// Folders opened as themselves, never through a link: Files::OpenFolder of the seam (see
// platform/files.h), also for the uninstaller, which does without the rest of the seam.
#include <memory>
#include <string>

#include "platform/files.h"

namespace win32 {

// On the NT family the folder is opened with FILE_FLAG_OPEN_REPARSE_POINT and its attributes
// are read through that handle; the handle refuses others deletion (and so renaming), and
// every entry is opened relative to it (NtOpenFile with FILE_OPEN_REPARSE_POINT, looked up in
// ntdll at run time), checked and deleted through its own handle. The 9x family has no links
// and cannot open folders: there the entries are reached by their paths.
std::unique_ptr<platform::OpenedFolder> OpenFolderItself(const std::string& path);

}  // namespace win32
