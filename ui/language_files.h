#pragma once
// Texts from language support files, looked up by key, with fallback to the default file of
// the UI language. This product supplies no language table, so ActiveLanguage stays -1 and
// every caller keeps its built-in texts.
#include <cstdint>
#include <string>
#include <vector>

extern std::int32_t ActiveLanguage;
extern std::uint16_t MessageLanguageId;

std::string LangString(const std::string& Key);
std::string LangText(const std::string& Key, bool SkipFirstLine);
std::string LangFormat(const std::string& Key, const std::vector<std::string>& Args,
                       bool SkipFirstLine);
