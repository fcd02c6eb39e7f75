#include "payload/supplied/pe_file_version.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

// Little-endian reads that give 0 outside the data, so a truncated file reads as "nothing".
std::uint32_t Read16(const std::string& data, std::size_t at) {
  if (at > data.size() || data.size() - at < 2) return 0;
  return static_cast<unsigned char>(data[at]) | static_cast<unsigned char>(data[at + 1]) << 8;
}
std::uint32_t Read32(const std::string& data, std::size_t at) {
  return Read16(data, at) | Read16(data, at + 2) << 16;
}

constexpr std::uint32_t kResourceDirectory = 2;
constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kSubdirectoryBit = 0x80000000u;

struct TSection {
  std::uint32_t Rva = 0;
  std::uint32_t Size = 0;
  std::uint32_t FileOffset = 0;
};

// File offset of an RVA; false when no section holds it.
bool FileOffsetOf(const std::string& image, std::size_t sections, std::uint32_t count,
                  std::uint32_t rva, std::size_t& offset) {
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t at = sections + i * 40u;
    TSection s;
    s.Size = std::max(Read32(image, at + 8), Read32(image, at + 16));
    s.Rva = Read32(image, at + 12);
    s.FileOffset = Read32(image, at + 20);
    if (rva >= s.Rva && rva - s.Rva < s.Size) {
      offset = std::size_t{s.FileOffset} + (rva - s.Rva);
      return offset < image.size();
    }
  }
  return false;
}

// The entry of a resource directory with that id (any entry when id is 0): its OffsetToData.
bool DirectoryEntry(const std::string& image, std::size_t directory, std::uint32_t id,
                    std::uint32_t& target) {
  const std::uint32_t named = Read16(image, directory + 12);
  const std::uint32_t total = named + Read16(image, directory + 14);
  for (std::uint32_t i = id ? named : 0; i < total; ++i) {
    const std::size_t entry = directory + 16 + i * 8u;
    if (entry + 8 > image.size()) return false;
    if (id == 0 || Read32(image, entry) == id) {
      target = Read32(image, entry + 4);
      return true;
    }
  }
  return false;
}

// One node of a version block: key, value and the range of its children.
struct TNode {
  std::u16string Key;
  std::size_t Value = 0;        // offset of the value
  std::size_t ValueBytes = 0;   // its length in bytes, as far as the node reaches
  std::size_t Children = 0;     // offset of the first child
  std::size_t End = 0;          // offset after the node
};

std::size_t Align4(std::size_t at) { return (at + 3) & ~std::size_t{3}; }

bool ReadNode(const std::string& block, std::size_t at, std::size_t limit, TNode& node) {
  const std::size_t length = Read16(block, at);
  if (length < 6 || at + length > limit) return false;
  const std::size_t valueLength = Read16(block, at + 2);
  const bool text = Read16(block, at + 4) == 1;
  node.End = at + length;
  node.Key.clear();
  std::size_t p = at + 6;
  for (; p + 2 <= node.End && Read16(block, p) != 0; p += 2)
    node.Key.push_back(static_cast<char16_t>(Read16(block, p)));
  node.Value = Align4(p + 2);
  node.ValueBytes = text ? valueLength * 2 : valueLength;
  if (node.Value > node.End) node.Value = node.End;
  if (node.ValueBytes > node.End - node.Value) node.ValueBytes = node.End - node.Value;
  node.Children = Align4(node.Value + node.ValueBytes);
  return true;
}

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool SameKey(const std::u16string& key, const char* wanted) {
  std::size_t i = 0;
  for (; wanted[i]; ++i)
    if (i >= key.size() || Lower(key[i]) != Lower(static_cast<char16_t>(wanted[i]))) return false;
  return i == key.size();
}

// The child of `parent` with that key (letter case ignored, as VerQueryValue does).
bool FindChild(const std::string& block, const TNode& parent, const char* key, TNode& child) {
  for (std::size_t at = parent.Children; at < parent.End; at = Align4(child.End)) {
    if (!ReadNode(block, at, parent.End, child)) return false;
    if (SameKey(child.Key, key)) return true;
  }
  return false;
}

}  // namespace

std::string VersionBlockOfImage(const std::string& image) {
  if (image.size() < 0x40 || image.compare(0, 2, "MZ") != 0) return {};
  const std::size_t pe = Read32(image, 0x3C);
  if (pe + 24 > image.size() || image.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return {};
  const std::uint32_t sectionCount = Read16(image, pe + 6);
  const std::size_t optional = pe + 24;
  const std::size_t sections = optional + Read16(image, pe + 20);
  const std::uint32_t magic = Read16(image, optional);
  const std::size_t directories = optional + (magic == 0x20b ? 112 : 96);
  const std::uint32_t directoryCount = Read32(image, directories - 4);
  if ((magic != 0x10b && magic != 0x20b) || directoryCount <= kResourceDirectory) return {};
  const std::uint32_t resourceRva = Read32(image, directories + kResourceDirectory * 8);
  std::size_t root = 0;
  if (resourceRva == 0 || !FileOffsetOf(image, sections, sectionCount, resourceRva, root))
    return {};

  // Type, then name, then language: the first of each below RT_VERSION.
  std::uint32_t next = 0;
  if (!DirectoryEntry(image, root, kRtVersion, next) || !(next & kSubdirectoryBit)) return {};
  if (!DirectoryEntry(image, root + (next & ~kSubdirectoryBit), 0, next) ||
      !(next & kSubdirectoryBit))
    return {};
  if (!DirectoryEntry(image, root + (next & ~kSubdirectoryBit), 0, next) ||
      (next & kSubdirectoryBit))
    return {};
  const std::size_t dataEntry = root + next;
  std::size_t data = 0;
  if (!FileOffsetOf(image, sections, sectionCount, Read32(image, dataEntry), data)) return {};
  const std::size_t size = Read32(image, dataEntry + 4);
  if (size > image.size() - data) return {};
  return image.substr(data, size);
}

std::string FileVersionOfBlock(const std::string& block) {
  TNode root, varInfo, translation, stringInfo, table, fileVersion;
  if (!ReadNode(block, 0, block.size(), root) || !SameKey(root.Key, "VS_VERSION_INFO")) return {};
  if (!FindChild(block, root, "VarFileInfo", varInfo) ||
      !FindChild(block, varInfo, "Translation", translation) || translation.ValueBytes < 4)
    return {};
  char tableKey[16];
  std::snprintf(tableKey, sizeof tableKey, "%04x%04x",
                static_cast<unsigned>(Read16(block, translation.Value)),
                static_cast<unsigned>(Read16(block, translation.Value + 2)));
  if (!FindChild(block, root, "StringFileInfo", stringInfo) ||
      !FindChild(block, stringInfo, tableKey, table) ||
      !FindChild(block, table, "FileVersion", fileVersion))
    return {};
  std::string text;
  for (std::size_t p = fileVersion.Value; p + 2 <= fileVersion.Value + fileVersion.ValueBytes;
       p += 2) {
    const std::uint32_t c = Read16(block, p);
    if (c == 0) break;
    text.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  }
  return text;
}

bool FileVersionBeginsWith(const std::string& version, const std::string& versionText) {
  if (versionText.empty() || version.compare(0, versionText.size(), versionText) != 0)
    return false;
  if (version.size() == versionText.size()) return true;
  const char next = version[versionText.size()];
  return next < '0' || next > '9';
}
