#pragma once

// The installation once the user agreed: uninstall entry, Start-menu group, installation
// folder, payload files, shortcuts. True when every step was reached; false after the
// no-rights box, or silently when the copy loop failed.
bool InstallProgram(bool DesktopShortcut);
