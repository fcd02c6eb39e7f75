#pragma once
// The program's own executable file, read at offsets with ReadFile. Reading the payload this
// way, rather than from the mapped image, turns a medium that fails (a network share that
// drops, a drive pulled out, a scratched disc) or a file cut short into an error code instead
// of a fault in memory, and takes no page fault on the image.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/chunk_digest.h"
#include "platform/win32/owners.h"
#include "platform/win32/windows_api.h"

namespace win32 {

class TOwnImageFile {
 public:
  // The file that the process's image was mapped from, opened for reading; null when it cannot
  // be opened, its headers cannot be read, or it cannot be proven to be that very file. The
  // setup runs elevated from a folder that the unelevated user can write: that user may put
  // another file under the program's name while it runs, and the payload must come from the
  // file the system started. Where the system cannot tell one file from another (the 9x
  // family, an NT whose ntdll lacks NtAreMappedFilesTheSame) the file under the program's name
  // is taken: nothing there runs elevated above the user's other programs.
  static std::unique_ptr<TOwnImageFile> Open();

  // Any file, read at offsets (NT) or through its file pointer (9x); no section table.
  TOwnImageFile(UniqueFile file, bool readsAtOffsets);
  ~TOwnImageFile();
  TOwnImageFile(const TOwnImageFile&) = delete;
  TOwnImageFile& operator=(const TOwnImageFile&) = delete;

  // The offset in the file of the `size` image bytes at `rva`; false unless all of them lie in
  // the file's bytes of one section.
  bool FileOffsetOf(std::uint64_t rva, std::uint64_t size, std::uint64_t& offset) const;
  // Reads exactly `size` bytes at `offset`; false on an error or when the file ends first.
  // Safe from several threads at once.
  bool Read(std::uint64_t offset, char* to, std::size_t size) const;

 private:
  struct TSection {
    std::uint64_t Rva, RawSize, RawOffset;
  };
  bool ReadSections();

  UniqueFile File;
  std::vector<TSection> Sections;
  // The 9x family's ReadFile takes no offset: there a read sets the file pointer first, and
  // the two go together under this lock.
  bool ReadsAtOffsets;
  mutable CRITICAL_SECTION PointerLock;
};

// Whether `file` is the file that `image` (a module's base) was mapped from; true where the
// system cannot tell (see Open).
bool IsFileOfImage(HANDLE file, HMODULE image);

// `size` bytes of a file from `offset` on, as a source of System::FillBuffer.
struct TFileRange {
  const TOwnImageFile* File;
  std::uint64_t Offset;
  std::uint64_t Size;
};
platform::FillSource FileSource(const TFileRange& range);

}  // namespace win32
