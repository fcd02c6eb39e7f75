#pragma once
// Executable type (shell32) and version resources (version.dll, loaded from the system
// folder at first use rather than imported).
#include "platform/version_info.h"

namespace win32 {

class Win32VersionInfo final : public platform::VersionInfo {
 public:
  std::uintptr_t ExeType(const std::string& path) override;
  // 0, false or empty as well when version.dll cannot be loaded.
  std::uint32_t InfoSize(const std::string& path) override;
  bool LoadInfo(const std::string& path, std::uint32_t size, std::string& block) override;
  bool QueryTranslations(const std::string& block, std::string& table) override;
  bool QueryString(const std::string& block, const std::string& subBlock,
                   std::string& text) override;
};

}  // namespace win32
