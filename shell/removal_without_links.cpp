#include "shell/removal_without_links.h"

#include <memory>
#include <vector>

#include "platform/files.h"

namespace {

using platform::EntryKind;
using platform::OpenedFolder;

bool StartsWithFolder(const std::string& path, const std::string& folder) {
  if (path.size() <= folder.size()) return false;
  for (std::size_t i = 0; i < folder.size(); ++i) {
    const char a = path[i], b = folder[i];
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a) != lower(b)) return false;
  }
  return true;
}

// The names from `base` down to the entry; empty when `path` is not below `base`. A name
// such as ".." is no entry of a folder: the backends find nothing by it.
std::vector<std::string> NamesBelow(std::string base, const std::string& path) {
  std::vector<std::string> names;
  if (base.empty()) return names;
  if (base.back() != '\\') base += '\\';
  if (!StartsWithFolder(path, base)) return names;
  std::size_t start = base.size();
  while (start < path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    const std::string name = path.substr(start, end - start);
    if (!name.empty()) names.push_back(name);
    start = end + 1;
  }
  return names;
}

// Every folder from the base down to the one that holds the entry, each held open while the
// entry is dealt with; null when a level is missing or a link.
struct TOpenedLevels {
  std::vector<std::unique_ptr<OpenedFolder>> Levels;
  OpenedFolder* Holder() const { return Levels.empty() ? nullptr : Levels.back().get(); }
};

TOpenedLevels OpenLevels(platform::Files& files, const std::string& base,
                         const std::vector<std::string>& names) {
  TOpenedLevels opened;
  std::string folder = base;
  if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();  // "C:\" keeps its own
  auto level = files.OpenFolder(folder);
  for (std::size_t i = 0; level; ++i) {
    opened.Levels.push_back(std::move(level));
    if (i + 1 >= names.size()) return opened;
    level = opened.Levels.back()->OpenFolder(names[i]);
  }
  return {};
}

// Deletes everything in the folder; links are removed themselves, never entered.
bool EmptyFolder(OpenedFolder& folder) {
  bool all = true;
  for (const std::string& name : folder.Names()) {
    if (folder.KindOf(name) == EntryKind::Folder) {
      // Closed before the folder itself is removed: it is held against deletion while open.
      const std::unique_ptr<OpenedFolder> inner = folder.OpenFolder(name);
      if (!inner || !EmptyFolder(*inner)) all = false;
    }
    if (!folder.Remove(name)) all = false;
  }
  return all;
}

}  // namespace

bool RemoveWithoutLinks(platform::Files& files, const std::string& base, const std::string& path,
                        TRemoveWhat what) {
  const std::vector<std::string> names = NamesBelow(base, path);
  if (names.empty()) return false;
  const TOpenedLevels levels = OpenLevels(files, base, names);
  OpenedFolder* holder = levels.Holder();
  if (!holder) return false;
  const std::string& name = names.back();
  switch (holder->KindOf(name)) {
    case EntryKind::Missing:
      return false;
    case EntryKind::Link:
      return holder->Remove(name);
    case EntryKind::File:
      return what == TRemoveWhat::File && holder->Remove(name);
    case EntryKind::Folder:
      break;
  }
  if (what == TRemoveWhat::File) return false;
  bool emptied = true;
  if (what == TRemoveWhat::Tree) {
    const std::unique_ptr<OpenedFolder> folder = holder->OpenFolder(name);
    emptied = folder && EmptyFolder(*folder);
  }
  return holder->Remove(name) && emptied;
}

bool FileOrLinkWithoutLinks(platform::Files& files, const std::string& base,
                            const std::string& path) {
  const std::vector<std::string> names = NamesBelow(base, path);
  if (names.empty()) return false;
  const TOpenedLevels levels = OpenLevels(files, base, names);
  if (!levels.Holder()) return false;
  const EntryKind kind = levels.Holder()->KindOf(names.back());
  return kind == EntryKind::File || kind == EntryKind::Link;
}
