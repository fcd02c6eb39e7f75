// Versions read from the files themselves: the numeric header fields, the "langver" entry
// of a language file and the FileVersion of an executable.
#include "install/version_probes.h"

#include <cstdio>

#include "platform/machine.h"
#include "ui/language_file_format.h"
#include "ui/message_boxes.h"

namespace {

// The unsigned little-endian field of `width` bytes at `offset`; 0 when the file does not
// exist, cannot be opened without sharing, or is too short.
std::int32_t ReadHeaderVersion(const std::string& path, std::uint64_t offset,
                               std::size_t width) {
  auto& fs = platform::Os().Fs;
  if (!fs.FileExists(path)) return 0;
  std::string bytes;
  if (!fs.ReadBytes(path, offset, width, platform::ShareMode::None, bytes)) return 0;
  if (bytes.size() < width) return 0;
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < width; ++i)
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
  return static_cast<std::int32_t>(value);
}

const char kLangVersionKey[] = "langver";

void ReportLanguageFile(const std::string& path) {
  ShowErrorBox("Can't handle the language support file " + path,
               "Не удаётся работать с файлом языковой поддержки " + path);
}

const char kTranslationFormat[] = "\\StringFileInfo\\%04x%04x\\FileVersion";

}  // namespace

std::int32_t ReadPakVersion(const std::string& Path) { return ReadHeaderVersion(Path, 6, 2); }
std::int32_t ReadCokVersion(const std::string& Path) { return ReadHeaderVersion(Path, 5, 2); }
std::int32_t Read3bsVersion(const std::string& Path) { return ReadHeaderVersion(Path, 6, 1); }

std::int32_t ReadLngVersion(const std::string& Path) {
  if (!platform::Os().Fs.FileExists(Path)) return 0;

  TLangTextFile file;
  std::string candidate;
  std::int32_t version = 0;
  bool read = file.Open(Path);
  if (read) {
    // At least one line; after the header one more line, else the last line of the file.
    std::string line;
    do {
      read = file.ReadLine(line);
      if (read && IsLangHeader(line, kLangVersionKey)) {
        read = file.ReadLine(line);
        break;
      }
    } while (read && !file.AtEnd());
    candidate = line;
  }
  file.Close();
  if (read && TryStrToInt(candidate, version)) return version;
  ReportLanguageFile(Path);
  return 0;
}

std::string GetFileVersionString(const std::string& Path) {
  auto& versions = platform::Os().Versions;
  if (versions.ExeType(Path) == 0) return std::string();

  const std::uint32_t size = versions.InfoSize(Path);
  // The size is taken as a signed number: zero or "negative" means no version resource.
  if (size == 0 || size > 0x7FFFFFFFu) return std::string();

  std::string block;  // released on every path by its destructor
  if (!versions.LoadInfo(Path, size, block)) return std::string();

  std::string table;
  if (!versions.QueryTranslations(block, table) || table.size() < 4) return std::string();
  // Only the first entry counts: language in the low word, code page in the high word.
  const auto byte = [&](int i) { return static_cast<unsigned>(static_cast<unsigned char>(table[i])); };
  const unsigned language = byte(0) | (byte(1) << 8);
  const unsigned codePage = byte(2) | (byte(3) << 8);

  char subBlock[64];
  std::snprintf(subBlock, sizeof subBlock, kTranslationFormat, language, codePage);
  std::string text;
  if (!versions.QueryString(block, subBlock, text)) return std::string();
  return text;
}
