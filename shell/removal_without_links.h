#pragma once
// Removal, by a program that runs elevated, in folders that a user without administrator
// rights may change: his own Programs folder, which the setup and the uninstaller read from
// HKEY_CURRENT_USER. Such a user can turn any folder of his into a link (a junction to
// \RPC Control, say, holding an object link of the name about to be deleted that points at
// any file of the system), and an elevated delete through it removes that file. So nothing
// here goes through a link: the folder named as the base and every folder below it are opened
// as themselves, held open, and the entries are acted on relative to the open folder. The
// machine's common folders, which only administrators can change, take the same path.
#include <string>

namespace platform {
class Files;
}

enum class TRemoveWhat {
  File,         // a file
  EmptyFolder,  // a folder, only when nothing is left in it
  Tree,         // a folder with everything in it
};

// Removes the entry at `path`, which names an entry below the folder `base` (`base`, a
// backslash, then one name or more; `base` and `path` may end with a backslash). `base` and
// every folder between it and the entry must be real folders, not links; otherwise nothing is
// done. An entry that is itself a link (of any kind, to a file or a folder) is removed itself,
// whatever `what` asks, and what it points to stays: the product's name goes, nothing of
// anybody else's. (Left in place, a group that is a link would have the setup make the group
// again through it, and write the new links wherever it points.) Inside a tree, links are removed the same way and never entered; what
// cannot be deleted stays with the folders above it, and the rest goes.
// True when the entry was there and is gone; false when nothing was there, it was of another
// kind than `what` (then it stays), a level was a link, or anything stayed.
bool RemoveWithoutLinks(platform::Files& files, const std::string& base, const std::string& path,
                        TRemoveWhat what);

// True when `path` below `base` names a file or a link, found through real folders only.
bool FileOrLinkWithoutLinks(platform::Files& files, const std::string& base,
                            const std::string& path);
