#pragma once
// Files and folders through kernel32's ANSI functions.
#include "platform/files.h"

namespace win32 {

class Win32Files final : public platform::Files {
 public:
  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool CreateDirectory(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  bool MoveFile(const std::string& from, const std::string& to) override;
  bool MoveFileReplacing(const std::string& from, const std::string& to) override;
  // Opened without sharing (CREATE_ALWAYS), so nobody reads a half-written file.
  std::unique_ptr<platform::WritableFile> CreateForWrite(const std::string& path) override;
  bool ReadBytes(const std::string& path, std::uint64_t offset, std::size_t maxBytes,
                 platform::ShareMode share, std::string& out) override;
  std::unique_ptr<platform::OpenedFolder> OpenFolder(const std::string& path) override;
};

}  // namespace win32
