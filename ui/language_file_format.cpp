#include "ui/language_file_format.h"

#include <cstdint>

#include "platform/machine.h"

namespace {

constexpr char kCtrlZ = 0x1A;
// The whole file is read in pieces of this size until a piece comes back short.
constexpr std::size_t kReadPiece = 64 * 1024;

bool IsSpaceOrControl(char c) { return static_cast<unsigned char>(c) <= 0x20; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

}  // namespace

bool IsLangHeader(const std::string& Line, const std::string& Key) {
  if (Line.empty() || Line[0] != '[') return false;
  std::size_t end = Line.size();
  while (end > 0 && IsSpaceOrControl(Line[end - 1])) --end;
  // "[" + key + "]" must fit into the line without its trailing blanks.
  if (end < Key.size() + 2) return false;
  for (std::size_t i = 0; i < Key.size(); ++i)
    if (LowerAscii(Line[1 + i]) != LowerAscii(Key[i])) return false;
  return Line[1 + Key.size()] == ']';
}

bool IsBlankLine(const std::string& Line) {
  for (char c : Line)
    if (!IsSpaceOrControl(c)) return false;
  return true;
}

bool TLangTextFile::Open(const std::string& Path) {
  Close();
  auto& fs = platform::Os().Fs;
  std::string all;
  for (;;) {
    std::string piece;
    if (!fs.ReadBytes(Path, all.size(), kReadPiece, platform::ShareMode::Read, piece))
      return false;
    all += piece;
    if (piece.size() < kReadPiece) break;
  }
  const std::size_t ctrlZ = all.find(kCtrlZ);
  if (ctrlZ != std::string::npos) all.erase(ctrlZ);
  Data = std::move(all);
  Position = 0;
  Opened = true;
  return true;
}

void TLangTextFile::Close() {
  Opened = false;
  Data.clear();
  Position = 0;
}

bool TLangTextFile::ReadLine(std::string& Line) {
  Line.clear();
  if (!Opened) return false;
  while (Position < Data.size()) {
    const char c = Data[Position++];
    if (c == '\n') break;
    if (c != '\r') Line += c;  // the CR of CR LF, and a lone CR, stay out of the line
  }
  return true;
}

bool TLangTextFile::AtEnd() const { return !Opened || Position >= Data.size(); }
