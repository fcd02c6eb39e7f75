#include "ui/language_files.h"

#include "setup/setup_state.h"
#include "ui/language_file_format.h"
#include "ui/message_boxes.h"

std::vector<std::string> LanguageFiles;
std::int32_t ActiveLanguage = -1;
std::int32_t DefaultLanguageRu = -1;
std::int32_t DefaultLanguageEn = -1;
std::uint16_t MessageLanguageId = 0xFFFF;

namespace {

const char kCrLf[] = "\r\n";

// A text file with the entry of LanguageFiles that it belongs to (for the error box).
struct TLanguageFile {
  TLangTextFile Text;
  std::string Path;  // empty while associated with no file
  std::string Name;
};

TLanguageFile ActiveLangFile;
TLanguageFile DefaultLangFile;

// Set while a text of several lines waits for its first line. Our choice: it starts clear,
// and every multi-line lookup clears it when it ends, as does every failure. So a lookup can
// never leave it set for the next one: a LangString called alone always takes the path of
// one line, and after a failure LangText reads no continuation lines from the active file.
bool MultiLineRead = false;

bool InTable(std::int32_t index) {
  return index >= 0 && static_cast<std::size_t>(index) < LanguageFiles.size();
}

void Associate(TLanguageFile& file, std::int32_t index) {
  file.Text.Close();
  file.Name = LanguageFiles[static_cast<std::size_t>(index)];
  file.Path = SetupState.InstallDir + "language\\" + file.Name;
}

void LangFileError(const std::string& name) {
  ShowErrorBox("Can't handle the language support file " + name,
               "Не удаётся работать с файлом языковой поддержки " + name);
  MultiLineRead = false;
}

// Opens the file anew at its start and reads up to the value line of Key. False when the
// file cannot be opened or read; the value is then what was read of it (empty).
bool ScanForKey(TLanguageFile& file, const std::string& key, std::string& value) {
  value.clear();
  if (!file.Text.Open(file.Path)) return false;
  std::string line;
  for (;;) {
    if (!file.Text.ReadLine(line)) return false;
    if (IsLangHeader(line, key)) return file.Text.ReadLine(value);
    if (file.Text.AtEnd()) return true;
  }
}

// Appends the lines after the value line, each with CR LF, up to a blank line or the end.
bool ReadContinuation(TLanguageFile& file, std::string& text) {
  std::string line;
  for (;;) {
    if (!file.Text.ReadLine(line)) return false;
    if (IsBlankLine(line)) return true;
    text += line + kCrLf;
    if (file.Text.AtEnd()) return true;
  }
}

void DropFinalCrLf(std::string& text) {
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, kCrLf) == 0)
    text.erase(text.size() - 2);
}

std::int32_t DefaultIndex() {
  return SetupState.UiRussian ? DefaultLanguageRu : DefaultLanguageEn;
}

std::string DefaultLangString(const std::string& key) {
  const std::int32_t index = DefaultIndex();
  if (!InTable(index)) return std::string();  // no file access
  Associate(DefaultLangFile, index);
  std::string value;
  if (!ScanForKey(DefaultLangFile, key, value)) {
    LangFileError(DefaultLangFile.Name);
    return value;
  }
  if (MultiLineRead)
    MultiLineRead = false;  // stays open, after the value line, for the continuation
  else
    DefaultLangFile.Text.Close();
  return value;
}

// The whole text from the default file. SkipFirstLine is honoured here as well, though the
// program's only caller passes false.
std::string DefaultLangText(const std::string& key, bool skipFirstLine) {
  if (!InTable(DefaultIndex())) {
    MultiLineRead = false;
    return std::string();  // no file access
  }
  MultiLineRead = true;
  const std::string first = DefaultLangString(key);
  std::string text = skipFirstLine ? std::string() : first + kCrLf;
  // After a failed first line the file is not open, so this read fails too and reports
  // the file a second time; the text is then returned as gathered, ending in CR LF.
  if (!ReadContinuation(DefaultLangFile, text)) {
    LangFileError(DefaultLangFile.Name);
    return text;
  }
  DefaultLangFile.Text.Close();
  MultiLineRead = false;
  DropFinalCrLf(text);
  return text;
}

}  // namespace

void SetLanguageTable(const TLanguageTable& Table) {
  DoneLanguageFiles();
  LanguageFiles = Table.Files;
  ActiveLanguage = Table.Active;
  DefaultLanguageRu = Table.DefaultRu;
  DefaultLanguageEn = Table.DefaultEn;
  MessageLanguageId = Table.MessageLanguage;
  if (InTable(ActiveLanguage)) Associate(ActiveLangFile, ActiveLanguage);
}

void DoneLanguageFiles() {
  ActiveLangFile = TLanguageFile();
  DefaultLangFile = TLanguageFile();
  LanguageFiles.clear();
  ActiveLanguage = DefaultLanguageRu = DefaultLanguageEn = -1;
  MessageLanguageId = 0xFFFF;
  MultiLineRead = false;
}

// An active index outside the table gives the empty text without any file access.
std::string LangString(const std::string& Key) {
  if (!InTable(ActiveLanguage)) return std::string();
  std::string value;
  if (!ScanForKey(ActiveLangFile, Key, value)) {
    LangFileError(ActiveLangFile.Name);
    return value;  // no fallback after a failure
  }
  if (!value.empty()) return value;  // the active file stays open after the value line
  if (MultiLineRead) return DefaultLangText(Key, false);
  return DefaultLangString(Key);
}

std::string LangText(const std::string& Key, bool SkipFirstLine) {
  if (!InTable(ActiveLanguage)) return std::string();
  MultiLineRead = true;
  std::string text = LangString(Key) + kCrLf;
  if (MultiLineRead) {
    // The active file supplied the first line; the rest follows it there.
    if (SkipFirstLine) text.clear();
    if (!ReadContinuation(ActiveLangFile, text)) {
      LangFileError(ActiveLangFile.Name);
      return text;
    }
  }
  MultiLineRead = false;
  DropFinalCrLf(text);
  return text;
}

std::string LangFormat(const std::string& Key, const std::vector<std::string>& Args,
                       bool SkipFirstLine) {
  std::string text = LangText(Key, SkipFirstLine);
  for (std::size_t k = 1; k <= 4; ++k) {
    const std::string placeholder = "%" + std::to_string(k);
    if (k > Args.size() || text.find(placeholder) == std::string::npos) break;
    // Every occurrence, left to right; what an argument brings in is not searched again
    // for this placeholder, but is for the next ones.
    std::string replaced;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(placeholder, from)) != std::string::npos;
         from = at + placeholder.size())
      replaced += text.substr(from, at - from) + Args[k - 1];
    text = replaced + text.substr(from);
  }
  return text;
}
