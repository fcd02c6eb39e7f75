#pragma once
// Files and folders (kernel32). Paths are 8-bit text in the ANSI code page.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// A file opened for writing; destroying it closes the handle.
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  // Writes all `size` bytes at the current position; false when fewer were written
  // (what was written stays).
  virtual bool Write(const char* data, std::size_t size) = 0;
  // FlushFileBuffers: true once what was written is on the disk, not only in the cache.
  virtual bool Flush() = 0;
};

enum class ShareMode {
  None,  // no other open succeeds while ours lasts; ours fails while another is open
  Read,  // other readers allowed
};

class Files {
 public:
  virtual ~Files() = default;
  // True when `path` names an existing file; a folder does not count.
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool DirectoryExists(const std::string& path) = 0;
  // CreateDirectoryA: one level; false when it exists already or the parent is missing.
  virtual bool CreateDirectory(const std::string& path) = 0;
  virtual bool DeleteFile(const std::string& path) = 0;
  // MoveFileA: fails when `to` exists.
  virtual bool MoveFile(const std::string& from, const std::string& to) = 0;
  // MoveFileExA with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH (NT family only): `to`
  // is replaced by `from` in one step, and the call returns once the move is on the disk.
  // On failure both files stay as they were; it fails when `to` is read-only, a folder or
  // open in any program.
  virtual bool MoveFileReplacing(const std::string& from, const std::string& to) = 0;
  // Creates the file or truncates an existing one; null when the system refuses.
  virtual std::unique_ptr<WritableFile> CreateForWrite(const std::string& path) = 0;
  // Opens `path` for reading with `share`, moves to `offset` and reads up to `maxBytes`
  // into `out`. False when the file cannot be opened, the move fails or a read fails;
  // reading past the end is no failure (fewer bytes arrive).
  virtual bool ReadBytes(const std::string& path, std::uint64_t offset, std::size_t maxBytes,
                         ShareMode share, std::string& out) = 0;
};

}  // namespace platform
