#pragma once
// The record of setup-wide values that every part of the run reads: the product
// definition, the UI language, the shared registry object and the machine's folders.
// Texts are 8-bit ANSI; Russian texts are Windows-1251.
#include <cstdint>
#include <memory>
#include <string>

#include "setup/product.h"
#include "setup/shared_registry.h"

struct TSetupState {
  // Product definition, copied in by the setup sequence once the single-instance guard passed.
  std::string ProductId;
  std::string ShortNameRu;
  std::string ShortNameEn;
  std::string LongNameRu;
  std::string LongNameEn;
  std::string VersionText;
  std::int32_t VersionMajor = -1;
  std::int32_t VersionMinor = -1;
  // Entries each followed by ";"; the copy loop consumes it from the front.
  std::string FileList;
  bool RewriteInstallValues = product::kRewriteInstallValues;
  std::string PublisherNameRu = product::kPublisherNameRu;
  std::string PublisherNameEn = product::kPublisherNameEn;
  std::string WebsiteUrl = product::kWebsiteUrl;

  bool UiRussian = false;
  std::unique_ptr<TRegistry> Registry;

  // Folders found on the machine; each ends with a backslash unless it is empty.
  bool ProgramFilesKnown = true;
  std::string InstallDir;
  std::string CommonProgramsDir;
  std::string UserProgramsDir;
  std::string GroupDir;
  std::string UserGroupDirEn;
  std::string UserGroupDirRu;
  std::string OtherGroupDir;
  std::string CommonDesktopDir;
  std::string UninstallRoot;

  // The short display name in the UI language.
  const std::string& ShortName() const { return UiRussian ? ShortNameRu : ShortNameEn; }
  const std::string& LongName() const { return UiRussian ? LongNameRu : LongNameEn; }
};

extern TSetupState SetupState;

// Fixes the UI language, sets both version numbers to -1 and creates the shared registry
// object (root HKEY_CURRENT_USER, no key open). Runs before COM and the setup sequence.
void InitSetupState();
// Frees the registry object, which closes a key still open on it, and clears the texts.
void DoneSetupState();
// Copies the product definition into the state, in the order the run fixes.
void FillProductDefinition();
