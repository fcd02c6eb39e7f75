#include "platform/sim/sim_version_info.h"

#include <algorithm>

#include "platform/sim/sim_case.h"

namespace sim {
namespace {

const char kDosStub[] = "MZ\x90\0\x03\0\0\0This program cannot be run in DOS mode.\r\n";
const std::string kResourceMarker = std::string("\0SIMVERSIONRESOURCE\0", 20);
const std::string kBlockTag = std::string("VS_VERSION_INFO\0", 16);
// HIWORD: the subsystem version (4.0); LOWORD: "PE", as SHGetFileInfoA gives a GUI program.
constexpr std::uintptr_t kWindowsExeType = 0x04004550;

void PutU32(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

bool GetU32(const std::string& in, std::size_t& at, std::uint32_t& value) {
  if (at + 4 > in.size()) return false;
  value = 0;
  for (int i = 0; i < 4; ++i)
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
  at += 4;
  return true;
}

bool GetBytes(const std::string& in, std::size_t& at, std::string& bytes) {
  std::uint32_t size = 0;
  if (!GetU32(in, at, size) || at + size > in.size()) return false;
  bytes = in.substr(at, size);
  at += size;
  return true;
}

struct ParsedBlock {
  std::string Table;
  bool HasTable = false;
  std::map<std::string, std::string> Strings;  // by folded name
};

// A block cut short (LoadInfo with a smaller size) parses as far as it is whole.
bool Parse(const std::string& block, ParsedBlock& parsed) {
  if (block.compare(0, kBlockTag.size(), kBlockTag) != 0) return false;
  std::size_t at = kBlockTag.size();
  std::uint32_t hasTable = 0;
  std::uint32_t count = 0;
  if (!GetU32(block, at, hasTable) || !GetBytes(block, at, parsed.Table)) return false;
  parsed.HasTable = hasTable != 0;
  if (!GetU32(block, at, count)) return true;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::string name;
    std::string text;
    if (!GetBytes(block, at, name) || !GetBytes(block, at, text)) break;
    parsed.Strings[FoldCase(name)] = text;
  }
  return true;
}

}  // namespace

std::string MakeExecutable(const std::vector<Translation>& translations,
                           const std::map<std::string, std::string>& strings) {
  std::string table;
  for (const Translation& t : translations)
    PutU32(table, static_cast<std::uint32_t>(t.Language) |
                      (static_cast<std::uint32_t>(t.CodePage) << 16));
  std::string block = kBlockTag;
  PutU32(block, translations.empty() ? 0 : 1);
  PutU32(block, static_cast<std::uint32_t>(table.size()));
  block += table;
  PutU32(block, static_cast<std::uint32_t>(strings.size()));
  for (const auto& entry : strings) {
    PutU32(block, static_cast<std::uint32_t>(entry.first.size()));
    block += entry.first;
    const std::string text = entry.second + '\0';
    PutU32(block, static_cast<std::uint32_t>(text.size()));
    block += text;
  }
  std::string bytes = MakeExecutableWithoutVersion() + kResourceMarker;
  PutU32(bytes, static_cast<std::uint32_t>(block.size()));
  return bytes + block;
}

std::string MakeExecutableWithFileVersion(const std::string& version) {
  return MakeExecutable({{0x0419, 1251}}, {{"\\StringFileInfo\\041904e3\\FileVersion", version}});
}

std::string MakeExecutableWithoutVersion() {
  return std::string(kDosStub, sizeof(kDosStub) - 1) + std::string(64, '\0');
}

std::string SimVersionInfo::BlockOf(const std::string& path) const {
  // Held without sharing, the file cannot be opened to read its resources.
  if (files_.IsHeld(path)) return {};
  const std::optional<std::string> bytes = files_.ReadFile(path);
  if (!bytes || bytes->compare(0, 2, "MZ") != 0) return {};
  const std::size_t marker = bytes->find(kResourceMarker);
  if (marker == std::string::npos) return {};
  std::size_t at = marker + kResourceMarker.size();
  std::string block;
  if (!GetBytes(*bytes, at, block)) return {};
  return block;
}

std::uintptr_t SimVersionInfo::ExeType(const std::string& path) {
  calls_.push_back({"ExeType", path});
  const std::optional<std::string> bytes = files_.ReadFile(path);
  if (!bytes || files_.IsHeld(path) || bytes->compare(0, 2, "MZ") != 0) return 0;
  return kWindowsExeType;
}

std::uint32_t SimVersionInfo::InfoSize(const std::string& path) {
  calls_.push_back({"InfoSize", path});
  return static_cast<std::uint32_t>(BlockOf(path).size());
}

bool SimVersionInfo::LoadInfo(const std::string& path, std::uint32_t size, std::string& block) {
  calls_.push_back({"LoadInfo", path});
  block.assign(size, '\0');
  const std::string found = BlockOf(path);
  if (found.empty()) return false;
  block.replace(0, std::min<std::size_t>(size, found.size()), found, 0,
                std::min<std::size_t>(size, found.size()));
  return true;
}

bool SimVersionInfo::QueryTranslations(const std::string& block, std::string& table) {
  calls_.push_back({"QueryTranslations", "\\VarFileInfo\\Translation"});
  ParsedBlock parsed;
  if (!Parse(block, parsed) || !parsed.HasTable) return false;
  table = parsed.Table;
  return true;
}

bool SimVersionInfo::QueryString(const std::string& block, const std::string& subBlock,
                                 std::string& text) {
  calls_.push_back({"QueryString", subBlock});
  ParsedBlock parsed;
  if (!Parse(block, parsed)) return false;
  // VerQueryValueA matches the names of the blocks without regard to case.
  const auto found = parsed.Strings.find(FoldCase(subBlock));
  if (found == parsed.Strings.end()) return false;
  text = found->second.substr(0, found->second.find('\0'));
  return true;
}

int SimVersionInfo::VersionResourceCalls() const {
  int count = 0;
  for (const VersionCall& call : calls_)
    if (call.Function != "ExeType") ++count;
  return count;
}

}  // namespace sim
