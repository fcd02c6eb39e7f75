#pragma once
// Process-level services (kernel32, ole32): locale, platform family, the single-instance
// marker, COM, current directory, clock, pauses and large buffers.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/chunk_digest.h"

namespace platform {

struct LocalDate {
  int Year = 0;
  int Month = 0;  // 1-12
  int Day = 0;    // 1-31
};

// A named object that exists while this handle lives; destroying it closes the handle.
class NamedMarker {
 public:
  virtual ~NamedMarker() = default;
};

// Memory from AllocateBuffer; its deleter gives it back the way it was had.
using BufferDeleter = void (*)(char*);
using UniqueBuffer = std::unique_ptr<char[], BufferDeleter>;

struct MarkerResult {
  std::unique_ptr<NamedMarker> Marker;  // null when creation failed
  long LastError = 0;                   // GetLastError read right after the creation
};

class System {
 public:
  virtual ~System() = default;
  virtual std::uint32_t UserDefaultLcid() = 0;
  // OSVERSIONINFO.dwPlatformId: 1 for the 9x family, 2 for NT.
  virtual std::uint32_t PlatformId() = 0;
  // CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 64, name).
  virtual MarkerResult CreateMarker(const std::string& name) = 0;
  // CoInitialize(NULL); true for S_OK and S_FALSE.
  virtual bool ComInitialize() = 0;
  virtual void ComUninitialize() = 0;
  virtual bool SetCurrentDirectory(const std::string& path) = 0;
  virtual LocalDate Today() = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // Uninitialised memory of `size` bytes whose pages nothing has touched yet, so that filling
  // it is the first and only touch; null when it cannot be had.
  virtual UniqueBuffer AllocateBuffer(std::size_t size) = 0;
  // Lands `size` bytes of `source` (from its offset 0 on) in `buffer`, whole, before it
  // returns. With `digests`, also writes there the digest of each chunk of the buffer
  // (DigestChunkCount(size) of them, platform/chunk_digest.h), taken of the bytes as they
  // landed in it. False when the source could not give every byte; the buffer and the digests
  // are then undefined. Filling fresh memory costs mostly its first touch, one page fault per
  // page, and faults of different pages can be taken side by side: the real machine may share
  // a large fill among the processors, chunk by chunk, each chunk digested by the thread that
  // landed it.
  virtual bool FillBuffer(char* buffer, const FillSource& source, std::size_t size,
                          std::uint64_t* digests) = 0;
  // A step of the process's own start or end (the setup state made or released), so that a
  // machine that records its calls can place it among them. The real machine records nothing.
  virtual void NoteProcessStep(const std::string& step) { (void)step; }
};

}  // namespace platform
