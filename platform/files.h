#pragma once
// Files and folders (kernel32). Paths are 8-bit text in the ANSI code page.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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

// What a name in a folder is itself. A link is any reparse point (junction, symbolic link,
// mount point), whatever it points to and whether that exists.
enum class EntryKind { Missing, File, Folder, Link };

// A real folder (never a link) held open. Its operations take the name of an entry in it and
// act relative to the open folder, never on a path looked up again, and never through a link:
// nothing done through it can be sent elsewhere, whatever becomes of the names above it or of
// its entries in the meantime. Closing it closes the handle.
class OpenedFolder {
 public:
  virtual ~OpenedFolder() = default;
  // The names of its entries, without "." and ".."; empty when it cannot be read.
  virtual std::vector<std::string> Names() = 0;
  // The entry itself: a link is Link, never what it points to. Missing also when the entry
  // cannot be looked at.
  virtual EntryKind KindOf(const std::string& name) = 0;
  // The entry when it is a real folder; null when it is missing, a file or a link.
  virtual std::unique_ptr<OpenedFolder> OpenFolder(const std::string& name) = 0;
  // Deletes the entry itself: a file (read-only too), an empty folder, or a link of any kind,
  // whose target stays as it is. False when it is missing, a folder with anything in it, open
  // in another program, or refused.
  virtual bool Remove(const std::string& name) = 0;
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
  // Opens the folder at `path` itself (FILE_FLAG_OPEN_REPARSE_POINT): null when it is
  // missing, a file or a link. While it is open nobody can rename or delete it.
  virtual std::unique_ptr<OpenedFolder> OpenFolder(const std::string& path) = 0;
};

}  // namespace platform
