#pragma once
// The line-oriented format of language support files, and a text file read through the
// platform seam. The file's bytes are read whole when it is opened; the reading position of
// a text file is kept in memory.
#include <cstddef>
#include <string>

// True when `Line` is the header of the entry `Key`: "[" in the very first column, then the
// key and "]", letters A to Z in any case; anything may follow the "]". Only A-Z are folded.
bool IsLangHeader(const std::string& Line, const std::string& Key);

// True for an empty line or one of characters with codes 0x20 or below only.
bool IsBlankLine(const std::string& Line);

class TLangTextFile {
 public:
  // Reads the whole file (other readers allowed) and moves to its start; an open file is
  // closed first. False when the file cannot be read; the file is then not open.
  bool Open(const std::string& Path);
  void Close();
  bool IsOpen() const { return Opened; }

  // The next line, without its end (CR LF or LF); a CR not followed by LF is dropped. At the
  // end of the file the line is empty. False only when the file is not open.
  bool ReadLine(std::string& Line);
  // True when no character is left (a Ctrl-Z ends the file); also when the file is not open.
  bool AtEnd() const;

 private:
  bool Opened = false;
  std::string Data;
  std::size_t Position = 0;
};
