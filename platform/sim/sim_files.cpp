#include "platform/sim/sim_files.h"

#include <algorithm>
#include <cctype>

#include "platform/sim/sim_case.h"

namespace sim {
namespace {

constexpr int kErrorFileNotFound = 2;
constexpr int kErrorSharingViolation = 32;

bool ValidName(const std::string& name) {
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 32) return false;
    if (std::string("<>:\"|?*").find(c) != std::string::npos) return false;
  }
  return true;
}

// A trailing backslash names a folder; Windows refuses it for a file ("C:\\a.txt\\").
bool EndsWithSeparator(const std::string& path) {
  return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

std::string LastName(const std::string& fullPath) {
  return fullPath.substr(fullPath.find_last_of('\\') + 1);
}

}  // namespace

class SimFiles::Writer : public platform::WritableFile {
 public:
  Writer(SimFiles& files, std::string key) : files_(files), key_(std::move(key)) {
    ++files_.nodes_.at(key_).Writers;
  }
  ~Writer() override { files_.WriterClosed(key_); }
  bool Write(const char* data, std::size_t size) override {
    return files_.WriteAt(key_, position_, data, size);
  }
  bool Flush() override { return files_.FlushAt(key_); }

 private:
  SimFiles& files_;
  std::string key_;
  std::uint64_t position_ = 0;
};

class SimFiles::Hold : public FileHold {
 public:
  Hold(SimFiles& files, std::string key, HoldKind kind)
      : files_(files), key_(std::move(key)), kind_(kind) {
    Count(+1);
  }
  ~Hold() override {
    Count(-1);
    files_.EraseIfReleased(key_);
  }

 private:
  void Count(int delta) {
    const auto node = files_.nodes_.find(key_);
    if (node == files_.nodes_.end()) return;
    Node& held = node->second;
    (kind_ == HoldKind::NoShare     ? held.HeldNoShare
     : kind_ == HoldKind::ReadShare ? held.HeldReadShare
                                    : held.HeldDeleteShare) += delta;
  }
  SimFiles& files_;
  std::string key_;
  HoldKind kind_;
};

// A folder we opened as itself. Its entries are looked up below its own full path, with no
// link followed on the way: only an object link, which no open can refuse, is followed.
class SimFiles::Opened : public platform::OpenedFolder {
 public:
  Opened(SimFiles& files, std::string path) : files_(files), path_(std::move(path)) {
    if (Node* node = Self()) ++node->OpenedAsFolder;
  }
  ~Opened() override {
    if (Node* node = Self()) --node->OpenedAsFolder;
  }

  std::vector<std::string> Names() override {
    std::vector<std::string> names;
    const std::string prefix = Key(path_) + "\\";
    for (const auto& entry : files_.nodes_)
      if (entry.first.rfind(prefix, 0) == 0 && entry.first.find('\\', prefix.size()) == std::string::npos)
        names.push_back(LastName(entry.second.Path));
    return names;
  }
  platform::EntryKind KindOf(const std::string& name) override {
    const Node* node = Entry(name);
    if (!node) return platform::EntryKind::Missing;
    if (node->Link == LinkKind::Reparse) return platform::EntryKind::Link;
    return node->Folder ? platform::EntryKind::Folder : platform::EntryKind::File;
  }
  std::unique_ptr<platform::OpenedFolder> OpenFolder(const std::string& name) override {
    const Node* node = Entry(name);
    if (!node || !node->Folder || node->Link == LinkKind::Reparse) return nullptr;
    return std::make_unique<Opened>(files_, node->Path);
  }
  bool Remove(const std::string& name) override {
    if (!files_.log_.Enter("RemoveEntry", path_ + "\\" + name)) return false;
    Node* node = Entry(name);
    const bool removable =
        node && (node->Link == LinkKind::Reparse ||
                 (node->Folder ? !node->OpenedAsFolder && files_.ListFolder(node->Path).empty()
                               : !node->HeldNoShare && !node->HeldReadShare && !node->Writers &&
                                     !node->DeletePending));
    if (!removable) {
      files_.log_.MarkLastFailed();
      return false;
    }
    if (node->HeldDeleteShare && node->Link == LinkKind::None) {
      node->DeletePending = true;
      return true;
    }
    files_.nodes_.erase(Key(node->Path));
    return true;
  }

 private:
  Node* Self() {
    const auto node = files_.nodes_.find(Key(path_));
    return node == files_.nodes_.end() ? nullptr : &node->second;
  }
  Node* Entry(const std::string& name) {
    if (name.empty() || name == "." || name == ".." || name.find('\\') != std::string::npos)
      return nullptr;
    auto node = files_.nodes_.find(Key(path_ + "\\" + name));
    if (node == files_.nodes_.end()) return nullptr;
    if (node->second.Link != LinkKind::Object) return &node->second;
    return files_.Find(node->second.LinkTarget);
  }

  SimFiles& files_;
  std::string path_;
};

SimFiles::SimFiles(CallLog& log) : log_(log) {
  for (const char* drive : {"C:\\", "D:\\"}) {
    Node root;
    root.Folder = true;
    root.Path = drive;
    nodes_[Key(drive)] = root;
  }
}

std::string SimFiles::Key(const std::string& fullPath) {
  std::string key = FoldCase(fullPath);
  if (!key.empty() && key.back() == '\\') key.pop_back();
  return key;
}

std::string SimFiles::Parent(const std::string& fullPath) {
  std::string path = fullPath;
  if (!path.empty() && path.back() == '\\') return "";  // a drive root has no parent
  const std::size_t slash = path.find_last_of('\\');
  if (slash == std::string::npos) return "";
  return slash == 2 ? path.substr(0, 3) : path.substr(0, slash);
}

std::optional<std::string> SimFiles::FullPath(const std::string& path) const {
  std::string text = path;
  std::replace(text.begin(), text.end(), '/', '\\');
  if (text.empty() || text.rfind("\\\\", 0) == 0) return std::nullopt;
  std::string combined;
  if (text.size() >= 2 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':') {
    const std::string drive(1, static_cast<char>(std::toupper(static_cast<unsigned char>(text[0]))));
    const std::string rest = text.substr(2);
    if (!rest.empty() && rest[0] == '\\') {
      combined = drive + ":" + rest;
    } else {
      const bool sameDrive = SameText(currentDirectory_.substr(0, 1), drive);
      combined = (sameDrive ? currentDirectory_ : drive + ":\\") + "\\" + rest;
    }
  } else if (text[0] == '\\') {
    combined = currentDirectory_.substr(0, 2) + text;
  } else {
    combined = currentDirectory_ + "\\" + text;
  }
  std::vector<std::string> parts;
  std::size_t start = 3;
  while (start <= combined.size()) {
    std::size_t end = combined.find('\\', start);
    if (end == std::string::npos) end = combined.size();
    const std::string part = combined.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    if (!ValidName(part)) return std::nullopt;
    parts.push_back(part);
  }
  std::string full = combined.substr(0, 2);
  if (parts.empty()) return full + "\\";
  for (const std::string& part : parts) full += "\\" + part;
  return FollowLinks(full);
}

std::string SimFiles::FollowLinks(std::string fullPath) const {
  for (int hop = 0; hop < 32; ++hop) {  // Windows, too, gives up on a chain of links
    bool followed = false;
    for (std::size_t end = fullPath.find('\\', 3);; end = fullPath.find('\\', end + 1)) {
      const bool last = end == std::string::npos;
      const auto node = nodes_.find(Key(last ? fullPath : fullPath.substr(0, end)));
      if (node != nodes_.end() && (node->second.Link == LinkKind::Object ||
                                   (node->second.Link == LinkKind::Reparse && !last))) {
        fullPath = node->second.LinkTarget + (last ? std::string() : fullPath.substr(end));
        followed = true;
        break;
      }
      if (last) break;
    }
    if (!followed) break;
  }
  return fullPath;
}

SimFiles::Node* SimFiles::Find(const std::string& path) {
  const std::optional<std::string> full = FullPath(path);
  if (!full) return nullptr;
  const auto node = nodes_.find(Key(*full));
  return node == nodes_.end() ? nullptr : &node->second;
}

const SimFiles::Node* SimFiles::Find(const std::string& path) const {
  return const_cast<SimFiles*>(this)->Find(path);
}

bool SimFiles::ParentIsFolder(const std::string& fullPath) const {
  const std::string parent = Parent(fullPath);
  if (parent.empty()) return false;
  const auto node = nodes_.find(Key(parent));
  return node != nodes_.end() && node->second.Folder;
}

bool SimFiles::Faulted(FileOp op, const std::string& fullPath) const {
  return faults_.count({op, ""}) > 0 || faults_.count({op, Key(fullPath)}) > 0;
}

bool SimFiles::FileExists(const std::string& path) {
  const Node* node = Find(path);
  return node && !node->Folder && !EndsWithSeparator(path);
}

bool SimFiles::DirectoryExists(const std::string& path) {
  const Node* node = Find(path);
  return node && node->Folder;
}

bool SimFiles::CreateDirectory(const std::string& path) {
  const std::optional<std::string> full = FullPath(path);
  if (!log_.Enter("CreateDirectory", full.value_or(path))) return false;
  if (!full || Faulted(FileOp::CreateDirectory, *full) || nodes_.count(Key(*full)) ||
      !ParentIsFolder(*full)) {
    log_.MarkLastFailed();
    return false;
  }
  Node folder;
  folder.Folder = true;
  folder.Path = *full;
  nodes_[Key(*full)] = folder;
  return true;
}

bool SimFiles::DeleteFile(const std::string& path) {
  const std::optional<std::string> full = FullPath(path);
  if (!log_.Enter("DeleteFile", full.value_or(path))) return false;
  Node* node = full ? Find(*full) : nullptr;
  if (!node || node->Folder || EndsWithSeparator(path) || node->ReadOnly || node->HeldNoShare ||
      node->HeldReadShare || node->Writers || node->DeletePending ||
      Faulted(FileOp::DeleteFile, *full)) {
    log_.MarkLastFailed();
    return false;
  }
  if (node->HeldDeleteShare) {
    node->DeletePending = true;  // the name goes with the last handle on it
    return true;
  }
  nodes_.erase(Key(*full));
  return true;
}

std::optional<SimFiles::MovePaths> SimFiles::BeginMove(const char* call, FileOp op,
                                                       const std::string& from,
                                                       const std::string& to) {
  const std::optional<std::string> source = FullPath(from);
  const std::optional<std::string> target = FullPath(to);
  if (!log_.Enter(call, source.value_or(from) + " -> " + target.value_or(to))) return {};
  if (!source || !target || Faulted(op, *source)) {
    log_.MarkLastFailed();
    return {};
  }
  return MovePaths{*source, *target};
}

bool SimFiles::MoveFile(const std::string& from, const std::string& to) {
  const std::optional<MovePaths> paths = BeginMove("MoveFile", FileOp::MoveFile, from, to);
  if (!paths) return false;
  const std::string& source = paths->Source;
  const std::string& target = paths->Target;
  auto refuse = [&] {
    log_.MarkLastFailed();
    return false;
  };
  const std::string fromKey = Key(source);
  const std::string toKey = Key(target);
  if (!nodes_.count(fromKey) || Parent(source).empty()) return refuse();
  const bool caseOnly = fromKey == toKey;
  if ((!caseOnly && nodes_.count(toKey)) || !ParentIsFolder(target) ||
      toKey.rfind(fromKey + "\\", 0) == 0 || TreeIsBusy(source))
    return refuse();
  // The simulation refuses to rename a held file at all, also one held with delete sharing.
  MoveTree(source, target);
  return true;
}

bool SimFiles::MoveFileReplacing(const std::string& from, const std::string& to) {
  const std::optional<MovePaths> paths =
      BeginMove("MoveFileReplacing", FileOp::MoveFileReplacing, from, to);
  if (!paths) return false;
  const std::string& source = paths->Source;
  const std::string& target = paths->Target;
  auto refuse = [&] {
    log_.MarkLastFailed();
    return false;
  };
  const std::string fromKey = Key(source);
  const std::string toKey = Key(target);
  const auto moving = nodes_.find(fromKey);
  if (moving == nodes_.end() || moving->second.Folder || !ParentIsFolder(target)) return refuse();
  if (TreeIsBusy(source)) return refuse();
  if (fromKey == toKey) return true;
  const auto replaced = nodes_.find(toKey);
  if (replaced != nodes_.end()) {
    // Windows replaces only a closed, writable file: a read-only target, a running
    // program or any other open, even one that allows deletion, refuses the whole move.
    const Node& old = replaced->second;
    if (old.Folder || old.ReadOnly || old.Held() || old.Writers || old.DeletePending)
      return refuse();
    nodes_.erase(replaced);
  }
  MoveTree(source, target);
  return true;
}

bool SimFiles::TreeIsBusy(const std::string& fullPath) const {
  const std::string key = Key(fullPath);
  for (const auto& entry : nodes_)
    if (entry.first == key || entry.first.rfind(key + "\\", 0) == 0) {
      const Node& node = entry.second;
      if (node.Held() || node.Writers || node.DeletePending || node.OpenedAsFolder) return true;
    }
  return false;
}

void SimFiles::MoveTree(const std::string& source, const std::string& target) {
  const std::string fromKey = Key(source);
  // Keys of one tree are not contiguous in the map ("A B" sorts between "A" and "A\x"), so
  // gather by prefix instead of by range.
  std::vector<std::string> moving;
  for (const auto& entry : nodes_)
    if (entry.first == fromKey || entry.first.rfind(fromKey + "\\", 0) == 0)
      moving.push_back(entry.first);
  std::vector<Node> moved;
  for (const std::string& key : moving) {
    Node node = nodes_.at(key);
    node.Path = target + node.Path.substr(source.size());
    nodes_.erase(key);
    moved.push_back(node);
  }
  for (const Node& node : moved) nodes_[Key(node.Path)] = node;
}

std::unique_ptr<platform::WritableFile> SimFiles::CreateForWrite(const std::string& path) {
  const std::optional<std::string> full = FullPath(path);
  if (!log_.Enter("CreateForWrite", full.value_or(path))) return nullptr;
  auto refuse = [&]() -> std::unique_ptr<platform::WritableFile> {
    log_.MarkLastFailed();
    return nullptr;
  };
  if (!full || EndsWithSeparator(path) || Faulted(FileOp::CreateForWrite, *full) ||
      !ParentIsFolder(*full))
    return refuse();
  const std::string key = Key(*full);
  const auto existing = nodes_.find(key);
  if (existing != nodes_.end()) {
    Node& node = existing->second;
    if (node.Folder || node.ReadOnly || node.Held() || node.DeletePending) return refuse();
    node.Bytes.clear();
  } else {
    Node node;
    node.Path = *full;
    nodes_[key] = node;
  }
  return std::make_unique<Writer>(*this, key);
}

bool SimFiles::WriteAt(const std::string& key, std::uint64_t& position, const char* data,
                       std::size_t size) {
  writeSizes_.push_back(size);
  const auto found = nodes_.find(key);
  const std::string path = found == nodes_.end() ? key : found->second.Path;
  if (!log_.Enter("Write", path)) return false;
  if (found == nodes_.end() || Faulted(FileOp::Write, path)) {
    log_.MarkLastFailed();
    return false;
  }
  std::size_t count = size;
  if (freeSpace_ && *freeSpace_ < count) count = static_cast<std::size_t>(*freeSpace_);
  std::string& bytes = found->second.Bytes;
  if (bytes.size() < position) bytes.resize(position, '\0');
  bytes.replace(position, std::min<std::size_t>(count, bytes.size() - position), data, count);
  position += count;
  if (freeSpace_) *freeSpace_ -= count;
  if (count < size) log_.MarkLastFailed();
  return count == size;
}

bool SimFiles::FlushAt(const std::string& key) {
  const auto found = nodes_.find(key);
  const std::string path = found == nodes_.end() ? key : found->second.Path;
  if (!log_.Enter("FlushFile", path)) return false;
  if (found == nodes_.end() || Faulted(FileOp::Flush, path)) {
    log_.MarkLastFailed();
    return false;
  }
  return true;
}

void SimFiles::WriterClosed(const std::string& key) {
  const auto node = nodes_.find(key);
  if (node == nodes_.end()) return;
  --node->second.Writers;
  const std::string path = node->second.Path;
  EraseIfReleased(key);
  if (onWriterClosed_) onWriterClosed_(path);
}

bool SimFiles::ReadBytes(const std::string& path, std::uint64_t offset, std::size_t maxBytes,
                         platform::ShareMode share, std::string& out) {
  out.clear();
  const Node* node = Find(path);
  if (!node || node->Folder || node->HeldNoShare || node->DeletePending ||
      EndsWithSeparator(path))
    return false;
  // Our open shares reading only, so any writer conflicts; without sharing, so does a reader.
  if (node->Writers) return false;
  if (share == platform::ShareMode::None && (node->HeldReadShare || node->HeldDeleteShare))
    return false;
  if (offset < node->Bytes.size())
    out = node->Bytes.substr(static_cast<std::size_t>(offset), maxBytes);
  return true;
}

std::unique_ptr<platform::OpenedFolder> SimFiles::OpenFolder(const std::string& path) {
  const Node* node = Find(path);
  if (!node || !node->Folder || node->Link == LinkKind::Reparse) return nullptr;
  return std::make_unique<Opened>(*this, node->Path);
}

void SimFiles::MakeLink(const std::string& path, const std::string& target, bool folder) {
  const std::optional<std::string> full = FullPath(path);
  const std::optional<std::string> to = FullPath(target);
  if (!full || !to) return;
  Remove(*full);
  MakeFolders(Parent(*full));
  Node& node = nodes_[Key(*full)];
  node = Node();
  node.Path = *full;
  node.Folder = folder;
  node.Link = LinkKind::Reparse;
  node.LinkTarget = *to;
}

void SimFiles::MakeObjectLink(const std::string& path, const std::string& target) {
  const std::optional<std::string> full = FullPath(path);
  MakeLink(path, target, false);
  const auto node = full ? nodes_.find(Key(*full)) : nodes_.end();
  if (node != nodes_.end()) node->second.Link = LinkKind::Object;
}

bool SimFiles::IsLink(const std::string& path) const {
  const Node* node = Find(path);
  return node && node->Link == LinkKind::Reparse;
}

void SimFiles::PutFile(const std::string& path, const std::string& bytes) {
  const std::optional<std::string> full = FullPath(path);
  if (!full) return;
  MakeFolders(Parent(*full));
  Node& node = nodes_[Key(*full)];
  if (node.Path.empty()) node.Path = *full;
  node.Folder = false;
  node.Bytes = bytes;
}

std::optional<std::string> SimFiles::ReadFile(const std::string& path) const {
  const Node* node = Find(path);
  if (!node || node->Folder) return std::nullopt;
  return node->Bytes;
}

void SimFiles::MakeFolders(const std::string& path) {
  const std::optional<std::string> full = FullPath(path);
  if (!full) return;
  const std::string parent = Parent(*full);
  if (!parent.empty() && !nodes_.count(Key(parent))) MakeFolders(parent);
  Node& node = nodes_[Key(*full)];
  if (node.Path.empty()) node.Path = *full;
  node.Folder = true;
}

void SimFiles::Remove(const std::string& path) {
  const std::optional<std::string> full = FullPath(path);
  if (!full) return;
  const std::string key = Key(*full);
  for (auto it = nodes_.begin(); it != nodes_.end();) {
    if (it->first == key || it->first.rfind(key + "\\", 0) == 0)
      it = nodes_.erase(it);
    else
      ++it;
  }
}

bool SimFiles::IsFile(const std::string& path) const {
  const Node* node = Find(path);
  return node && !node->Folder;
}

bool SimFiles::IsFolder(const std::string& path) const {
  const Node* node = Find(path);
  return node && node->Folder;
}

std::vector<std::string> SimFiles::ListFolder(const std::string& path) const {
  std::vector<std::string> names;
  const std::optional<std::string> full = FullPath(path);
  if (!full) return names;
  const std::string prefix = Key(*full) + "\\";
  for (const auto& entry : nodes_) {
    if (entry.first.rfind(prefix, 0) != 0) continue;
    if (entry.first.find('\\', prefix.size()) != std::string::npos) continue;
    names.push_back(LastName(entry.second.Path) + (entry.second.Folder ? "\\" : ""));
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return FoldCase(a) < FoldCase(b); });
  return names;
}

std::vector<std::string> SimFiles::FilesBelow(const std::string& path) const {
  std::vector<std::string> files;
  const std::optional<std::string> full = FullPath(path);
  if (!full) return files;
  const std::string prefix = Key(*full) + "\\";
  for (const auto& entry : nodes_)
    if (!entry.second.Folder && entry.first.rfind(prefix, 0) == 0)
      files.push_back(entry.second.Path);
  return files;
}

void SimFiles::SetReadOnly(const std::string& path, bool readOnly) {
  if (Node* node = Find(path)) node->ReadOnly = readOnly;
}

std::unique_ptr<FileHold> SimFiles::HoldOpen(const std::string& path, platform::ShareMode share) {
  const std::optional<std::string> full = FullPath(path);
  return std::make_unique<Hold>(
      *this, full ? Key(*full) : std::string(),
      share == platform::ShareMode::None ? HoldKind::NoShare : HoldKind::ReadShare);
}

std::unique_ptr<FileHold> SimFiles::HoldOpenSharingDelete(const std::string& path) {
  const std::optional<std::string> full = FullPath(path);
  return std::make_unique<Hold>(*this, full ? Key(*full) : std::string(),
                                HoldKind::ReadDeleteShare);
}

void SimFiles::EraseIfReleased(const std::string& key) {
  const auto node = nodes_.find(key);
  if (node != nodes_.end() && node->second.DeletePending && !node->second.Held() &&
      !node->second.Writers)
    nodes_.erase(node);
}

void SimFiles::FailOperation(FileOp op, const std::string& path) {
  if (path.empty()) {
    faults_.insert({op, ""});
    return;
  }
  const std::optional<std::string> full = FullPath(path);
  if (full) faults_.insert({op, Key(*full)});
}

int SimFiles::OpenWriterCount() const {
  int count = 0;
  for (const auto& entry : nodes_) count += entry.second.Writers;
  return count;
}

bool SimFiles::SetCurrentDirectory(const std::string& path) {
  const std::optional<std::string> full = FullPath(path);
  if (!full || !IsFolder(*full)) return false;
  currentDirectory_ = *full;
  return true;
}

int SimFiles::DeleteTree(const std::string& path) {
  const std::optional<std::string> full = FullPath(path);
  if (!full || Parent(*full).empty()) return kErrorFileNotFound;
  const std::string key = Key(*full);
  if (!nodes_.count(key)) return kErrorFileNotFound;
  auto inTree = [](const std::string& candidate, const std::string& root) {
    return candidate == root || candidate.rfind(root + "\\", 0) == 0;
  };
  std::vector<std::string> tree;
  for (const auto& entry : nodes_)
    if (inTree(entry.first, key)) tree.push_back(entry.first);
  // Deepest first, so a folder is looked at after everything inside it.
  std::sort(tree.begin(), tree.end(), [](const std::string& a, const std::string& b) {
    return std::count(a.begin(), a.end(), '\\') > std::count(b.begin(), b.end(), '\\');
  });
  bool stuck = false;
  for (const std::string& entry : tree) {
    Node& node = nodes_.at(entry);
    if (!node.Folder) {
      if (node.HeldNoShare || node.HeldReadShare || node.Writers || node.DeletePending) {
        stuck = true;
        continue;
      }
      if (node.HeldDeleteShare) {
        node.DeletePending = true;  // deleted, but its folder cannot go while the name stays
        stuck = true;
        continue;
      }
      nodes_.erase(entry);
      continue;
    }
    const bool empty = std::none_of(nodes_.begin(), nodes_.end(), [&](const auto& other) {
      return other.first != entry && inTree(other.first, entry);
    });
    if (empty) nodes_.erase(entry);
  }
  return stuck ? kErrorSharingViolation : 0;
}

bool SimFiles::StoreFile(const std::string& path, const std::string& bytes) {
  const std::optional<std::string> full = FullPath(path);
  if (!full || !ParentIsFolder(*full)) return false;
  const std::string key = Key(*full);
  const auto existing = nodes_.find(key);
  if (existing != nodes_.end()) {
    Node& node = existing->second;
    if (node.Folder || node.ReadOnly || node.Held() || node.Writers || node.DeletePending)
      return false;
    node.Bytes = bytes;
    return true;
  }
  Node node;
  node.Path = *full;
  node.Bytes = bytes;
  nodes_[key] = node;
  return true;
}

bool SimFiles::IsHeld(const std::string& path) const {
  const Node* node = Find(path);
  return node && node->Held();
}

bool SimFiles::IsDeletePending(const std::string& path) const {
  const Node* node = Find(path);
  return node && node->DeletePending;
}

}  // namespace sim
