// The self-removal helper's private folder: new, of a name nobody can guess, and on the NT
// family writable by administrators alone, so that nothing can be put beside the helper for it
// to load (a DLL, a ".local" redirection folder) before it starts.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

struct TLocalFreeDeleter {
  void operator()(void* memory) const { LocalFree(memory); }
};
// A security descriptor from the SDDL conversion, released with LocalFree.
using TUniqueDescriptor = std::unique_ptr<void, TLocalFreeDeleter>;

// The helper folder's descriptor on the NT family: owned by Administrators, with a protected
// DACL (nothing inherited from the parent) that gives SYSTEM and Administrators full control,
// inherited by every file and folder made in it, and nobody else anything. Null where the
// system cannot build it (before Windows 2000): then no helper folder is made.
TUniqueDescriptor HelperFolderDescriptor();

// Hex digits of 8 random bytes from the system's random source; false where there is none.
bool RandomHex(std::string& text);

using TCreateDirectoryFn = BOOL(WINAPI*)(LPCSTR, LPSECURITY_ATTRIBUTES);

// Makes the helper's folder, "tvl-" and 16 random hex digits, under HelperFolderParent (see
// cleanup_helper.h): with `create`, given HelperFolderDescriptor on the NT family. A name that
// exists already is never used; another is tried, a few times. Returns the folder with its
// final backslash, or the empty text when none was made: no parent or descriptor, no random
// source, or `create` failed otherwise (the parent missing, read-only or full).
std::string NewHelperFolder(TCreateDirectoryFn create = ::CreateDirectoryA);
