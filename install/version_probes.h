#pragma once
// Versions carried by installed files, and the comparison of dotted version texts.
// No function here raises; only ReadLngVersion shows a box.
#include <cstdint>
#include <string>

std::int32_t ReadPakVersion(const std::string& Path);  // u16 LE at offset 6
std::int32_t ReadCokVersion(const std::string& Path);  // u16 LE at offset 5
std::int32_t Read3bsVersion(const std::string& Path);  // u8 at offset 6
// The number after the "[langver]" header (or on the last line); 0 and an error box when
// the file cannot be read or the number not converted; 0 silently when it does not exist.
std::int32_t ReadLngVersion(const std::string& Path);
// The FileVersion of the executable's first translation entry; empty when there is none.
std::string GetFileVersionString(const std::string& Path);
// True when the version text First is lower than Second.
bool IsOlderVersion(const std::string& First, const std::string& Second);
// Text to signed 32-bit integer: optional leading spaces, sign, decimal digits, or a
// hexadecimal number after "$", "x"/"X" or "0x"/"0X". False on anything else.
bool TryStrToInt(const std::string& Text, std::int32_t& Value);
