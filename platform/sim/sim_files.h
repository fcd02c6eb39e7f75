#pragma once
// The simulated file system: drives C:\ and D:\, folders and files held in memory, names
// matched without regard to case, and the ways Windows refuses file operations (read-only
// files, files another program holds open, a full disk), and links: a path that meets a
// reparse point (junction, symbolic link) on its way goes on at the link's target, as
// Windows goes; a reparse point at the end of a path is the link itself, for every operation;
// an object-manager link is followed wherever it stands, even by an open that asks not to.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/sim/sim_call_log.h"

namespace sim {

enum class FileOp {
  CreateDirectory,
  DeleteFile,
  MoveFile,
  MoveFileReplacing,
  CreateForWrite,
  Write,
  Flush,
};

// Another program's handle on a file; the file is released when this is destroyed.
class FileHold {
 public:
  virtual ~FileHold() = default;
};

class SimFiles : public platform::Files {
 public:
  explicit SimFiles(CallLog& log);

  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool CreateDirectory(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  bool MoveFile(const std::string& from, const std::string& to) override;
  bool MoveFileReplacing(const std::string& from, const std::string& to) override;
  std::unique_ptr<platform::WritableFile> CreateForWrite(const std::string& path) override;
  bool ReadBytes(const std::string& path, std::uint64_t offset, std::size_t maxBytes,
                 platform::ShareMode share, std::string& out) override;
  std::unique_ptr<platform::OpenedFolder> OpenFolder(const std::string& path) override;

  // --- Test-facing: contents. These act directly and are neither logged nor refused.
  // Writes the file, creating the folders above it.
  void PutFile(const std::string& path, const std::string& bytes);
  std::optional<std::string> ReadFile(const std::string& path) const;
  void MakeFolders(const std::string& path);
  // Removes a file or a folder with everything in it.
  void Remove(const std::string& path);
  // A reparse point at `path` (a junction or symbolic link; `folder`: one that stands for a
  // folder) pointing at `target`, which need not exist. Made as the user himself can.
  void MakeLink(const std::string& path, const std::string& target, bool folder = true);
  // An object-manager symbolic link, as a user can make one in \RPC Control; the simulation
  // keeps such an object folder as an ordinary folder of that name on drive C:.
  void MakeObjectLink(const std::string& path, const std::string& target);
  bool IsLink(const std::string& path) const;
  bool IsFile(const std::string& path) const;
  bool IsFolder(const std::string& path) const;
  // Names of the entries of a folder, folders ending with "\", sorted without regard to case.
  std::vector<std::string> ListFolder(const std::string& path) const;
  // Every file below a folder as a full path, sorted.
  std::vector<std::string> FilesBelow(const std::string& path) const;

  // --- Test-facing: how Windows refuses.
  void SetReadOnly(const std::string& path, bool readOnly);
  // Another program opens the file with `share` (None: no other open at all; Read: others
  // may read with read sharing) until the hold is destroyed. Writing, deleting and renaming
  // the file fail meanwhile.
  std::unique_ptr<FileHold> HoldOpen(const std::string& path,
                                     platform::ShareMode share = platform::ShareMode::None);
  // Another program reads the file and lets others read and delete it (FILE_SHARE_READ |
  // FILE_SHARE_DELETE), as scanners and indexers do. Deleting it then succeeds but only marks
  // it: the name stays, and nothing can open, delete or replace it, nor rename onto it, until
  // the last such hold is destroyed and the file goes. Writing and renaming it fail meanwhile.
  std::unique_ptr<FileHold> HoldOpenSharingDelete(const std::string& path);
  // Runs each time a file opened for writing through the seam is closed, with its full path
  // (a scanner that takes a fresh file away the moment it is closed).
  void OnWriterClosed(std::function<void(const std::string&)> hook) {
    onWriterClosed_ = std::move(hook);
  }
  // Deleted, but still there until the programs holding it let go.
  bool IsDeletePending(const std::string& path) const;
  // The disk holds `bytes` more bytes; a write beyond them stops part-way. nullopt: no limit.
  void SetFreeSpace(std::optional<std::uint64_t> bytes) { freeSpace_ = bytes; }
  // Every operation of this kind on this path fails (on every path when `path` is empty).
  void FailOperation(FileOp op, const std::string& path = "");
  // Sizes of every Write call through the seam, in order.
  const std::vector<std::size_t>& WriteSizes() const { return writeSizes_; }
  // Files opened for writing through the seam and not closed yet.
  int OpenWriterCount() const;

  // --- Shared with the other parts of the simulated machine.
  // The full path as Windows would resolve it (relative paths against the current folder),
  // without a trailing backslash except for a drive root; nullopt for a malformed path.
  std::optional<std::string> FullPath(const std::string& path) const;
  const std::string& CurrentDirectory() const { return currentDirectory_; }
  bool SetCurrentDirectory(const std::string& path);
  // Removes a folder tree or file as the shell does: what cannot be deleted (held open)
  // stays with its folders. 0 on success, else a Win32 error code.
  int DeleteTree(const std::string& path);
  // Creates or replaces a file's content in one step, as a component saving a file does;
  // false when Windows would refuse.
  bool StoreFile(const std::string& path, const std::string& bytes);
  bool IsHeld(const std::string& path) const;

 private:
  enum class LinkKind { None, Reparse, Object };
  struct Node {
    bool Folder = false;
    LinkKind Link = LinkKind::None;
    std::string LinkTarget;  // full path
    std::string Path;  // full path as first spelled
    std::string Bytes;
    bool ReadOnly = false;
    int HeldNoShare = 0;
    int HeldReadShare = 0;
    int HeldDeleteShare = 0;
    bool DeletePending = false;
    int Writers = 0;
    int OpenedAsFolder = 0;  // our own OpenedFolder handles, which refuse deletion and renaming
    // Another program's open that stands in the way of ours.
    bool Held() const { return HeldNoShare || HeldReadShare || HeldDeleteShare; }
  };
  enum class HoldKind { NoShare, ReadShare, ReadDeleteShare };
  class Writer;
  class Hold;
  class Opened;

  static std::string Key(const std::string& fullPath);
  // The full path with every link on the way replaced by its target.
  std::string FollowLinks(std::string fullPath) const;
  static std::string Parent(const std::string& fullPath);
  Node* Find(const std::string& path);
  const Node* Find(const std::string& path) const;
  bool ParentIsFolder(const std::string& fullPath) const;
  bool Faulted(FileOp op, const std::string& fullPath) const;
  struct MovePaths {
    std::string Source;
    std::string Target;
  };
  // The opening both moves share: the names made full, the call logged, an injected fault.
  // Empty when the move cannot begin; the call is then marked failed where it was logged.
  std::optional<MovePaths> BeginMove(const char* call, FileOp op, const std::string& from,
                                     const std::string& to);
  bool WriteAt(const std::string& key, std::uint64_t& position, const char* data,
               std::size_t size);
  bool FlushAt(const std::string& key);
  bool TreeIsBusy(const std::string& fullPath) const;
  void MoveTree(const std::string& source, const std::string& target);
  void WriterClosed(const std::string& key);
  // A marked file goes once nothing holds it any more.
  void EraseIfReleased(const std::string& key);

  CallLog& log_;
  std::map<std::string, Node> nodes_;  // by folded full path
  std::string currentDirectory_ = "C:\\";
  std::optional<std::uint64_t> freeSpace_;
  std::set<std::pair<FileOp, std::string>> faults_;
  std::vector<std::size_t> writeSizes_;
  std::function<void(const std::string&)> onWriterClosed_;
};

}  // namespace sim
