#include "platform/win32/win32_files.h"

#include "platform/win32/windows_api.h"

#include <algorithm>

#include "platform/win32/opened_folder.h"
#include "platform/win32/owners.h"

namespace win32 {
namespace {

// One WriteFile or ReadFile moves at most this much; our payloads need a single call.
constexpr std::size_t kMaxChunk = 0x40000000;

class Win32WritableFile final : public platform::WritableFile {
 public:
  explicit Win32WritableFile(UniqueFile file) : File(std::move(file)) {}

  bool Write(const char* data, std::size_t size) override {
    while (size > 0) {
      const DWORD chunk = static_cast<DWORD>(std::min(size, kMaxChunk));
      DWORD written = 0;
      if (!::WriteFile(File.get(), data, chunk, &written, nullptr) || written != chunk)
        return false;
      data += written;
      size -= written;
    }
    return true;
  }

  bool Flush() override { return ::FlushFileBuffers(File.get()) != FALSE; }

 private:
  UniqueFile File;
};

DWORD Attributes(const std::string& path) { return ::GetFileAttributesA(path.c_str()); }

}  // namespace

bool Win32Files::FileExists(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Files::DirectoryExists(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Files::CreateDirectory(const std::string& path) {
  return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool Win32Files::DeleteFile(const std::string& path) {
  return ::DeleteFileA(path.c_str()) != FALSE;
}

bool Win32Files::MoveFile(const std::string& from, const std::string& to) {
  return ::MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

bool Win32Files::MoveFileReplacing(const std::string& from, const std::string& to) {
  return ::MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

std::unique_ptr<platform::WritableFile> Win32Files::CreateForWrite(const std::string& path) {
  UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  return std::make_unique<Win32WritableFile>(std::move(file));
}

bool Win32Files::ReadBytes(const std::string& path, std::uint64_t offset, std::size_t maxBytes,
                           platform::ShareMode share, std::string& out) {
  out.clear();
  const DWORD shareMode = share == platform::ShareMode::Read ? FILE_SHARE_READ : 0;
  UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, shareMode, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;

  LONG high = static_cast<LONG>(offset >> 32);
  ::SetLastError(NO_ERROR);
  const DWORD low = ::SetFilePointer(file.get(), static_cast<LONG>(offset & 0xFFFFFFFFu), &high,
                                     FILE_BEGIN);
  if (low == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR) return false;

  out.resize(maxBytes);
  std::size_t total = 0;
  while (total < maxBytes) {
    const DWORD chunk = static_cast<DWORD>(std::min(maxBytes - total, kMaxChunk));
    DWORD got = 0;
    if (!::ReadFile(file.get(), &out[total], chunk, &got, nullptr)) {
      out.resize(total);
      return false;
    }
    total += got;
    if (got < chunk) break;  // end of file
  }
  out.resize(total);
  return true;
}

std::unique_ptr<platform::OpenedFolder> Win32Files::OpenFolder(const std::string& path) {
  return OpenFolderItself(path);
}

}  // namespace win32
