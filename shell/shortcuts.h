#pragma once
// Shell links, the website shortcut and the removal of old Start-menu groups.
#include <string>

// Saves a shell link at `LinkPath` (replacing a file of that name). False on any failure;
// never shows a message. A link path without a folder part is not written (false).
bool CreateShortcut(const std::string& Target, const std::string& LinkPath,
                    const std::string& Arguments, const std::string& Description,
                    int IconIndex);

// Writes "[InternetShortcut]\r\nURL=<Url>\r\n" at `Path`. Failures are ignored.
void CreateWebsiteShortcut(const std::string& Path, const std::string& Url);

// Removes `Folder` (ending with a backslash) with everything in it, for good, without going
// through any link (see removal_without_links.h): a group that is itself a link is removed as
// the link, and what it points to stays. False when it does not exist, when anything in it
// stays, when it has no folder part, or when the folder that holds it is a link.
bool DeleteFolderTree(const std::string& Folder);
