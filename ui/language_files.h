#pragma once
// Texts from language support files, looked up by key, with fallback to the default file of
// the UI language. This product supplies no language table, so ActiveLanguage stays -1 and
// every caller keeps its built-in texts.
#include <cstdint>
#include <string>
#include <vector>

// Which language support files a product has and which of them speaks. Indices count from
// 0 into Files; below 0 means none. The files live in InstallDir + "language\".
struct TLanguageTable {
  std::vector<std::string> Files;  // names without folder
  std::int32_t Active = -1;
  std::int32_t DefaultRu = -1;  // fallback while the UI is Russian
  std::int32_t DefaultEn = -1;  // fallback while the UI is English
  std::uint16_t MessageLanguage = 0xFFFF;
};

extern std::vector<std::string> LanguageFiles;
extern std::int32_t ActiveLanguage;
extern std::int32_t DefaultLanguageRu;
extern std::int32_t DefaultLanguageEn;
// Language identifier for question boxes whose texts come from the active file.
extern std::uint16_t MessageLanguageId;

// Installs a product's table; must run after InstallDir is known and before the payload
// copy loop. Associates the active file with InstallDir + "language\" + its name.
void SetLanguageTable(const TLanguageTable& Table);
// Closes the active file and empties the table (program end; also lets tests start anew).
void DoneLanguageFiles();

// One line: the value of the entry Key in the active file, else in the default file. Empty
// when neither has it. A file that cannot be read is reported with one error box.
std::string LangString(const std::string& Key);
// The value line and the lines after it up to the first blank line, joined with CR LF.
// With SkipFirstLine the value line is left out when the active file supplies the text.
std::string LangText(const std::string& Key, bool SkipFirstLine);
// LangText with "%1".."%4" replaced by Args in turn; a placeholder is looked at only when
// the one before it was present and replaced.
std::string LangFormat(const std::string& Key, const std::vector<std::string>& Args,
                       bool SkipFirstLine);
