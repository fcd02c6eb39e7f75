#pragma once
// Executable type and version resources (shell32, version.dll).
#include <cstdint>
#include <string>

namespace platform {

class VersionInfo {
 public:
  virtual ~VersionInfo() = default;
  // SHGetFileInfoA(path, 0, &info, sizeof(SHFILEINFOA), SHGFI_EXETYPE); 0 when the file is
  // no executable or does not exist.
  virtual std::uintptr_t ExeType(const std::string& path) = 0;
  // GetFileVersionInfoSizeA; 0 when there is no version resource.
  virtual std::uint32_t InfoSize(const std::string& path) = 0;
  // GetFileVersionInfoA into `block`, which is resized (zero-filled) to `size` first.
  virtual bool LoadInfo(const std::string& path, std::uint32_t size, std::string& block) = 0;
  // VerQueryValueA(block, "\\VarFileInfo\\Translation"): the table's 32-bit entries.
  virtual bool QueryTranslations(const std::string& block, std::string& table) = 0;
  // VerQueryValueA(block, subBlock) for a string: the text up to its terminating NUL.
  virtual bool QueryString(const std::string& block, const std::string& subBlock,
                           std::string& text) = 0;
};

}  // namespace platform
