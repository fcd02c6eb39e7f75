#include "platform/win32/own_image_file.h"

#include <cstring>
#include <string>

#include "platform/win32/system_library.h"

namespace win32 {
namespace {

// Large enough that the calls cost little against the copy, small enough that a block read is
// still in the processor's cache when it is digested.
constexpr std::size_t kReadBlock = 256u << 10;
// The headers with the section table lie within the first page of an image file.
constexpr std::size_t kHeaderBytes = 4096;

std::uint32_t Little(const unsigned char* at, int bytes) {
  std::uint32_t value = 0;
  for (int k = bytes - 1; k >= 0; --k) value = value << 8 | at[k];
  return value;
}

UniqueFile OpenOwnFile() {
  const bool nt = PlatformFamily() == VER_PLATFORM_WIN32_NT;
  if (nt) {
    // The wide name: an ANSI one cannot spell every folder a download may sit in.
    wchar_t path[32768];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, 32768);
    if (length == 0 || length >= 32768) return UniqueFile();
    return UniqueFile(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  char path[MAX_PATH + 1] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return UniqueFile();
  return UniqueFile(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool LandFromFile(const void* context, std::uint64_t offset, char* to, std::size_t size) {
  const auto& range = *static_cast<const TFileRange*>(context);
  return offset <= range.Size && size <= range.Size - offset &&
         range.File->Read(range.Offset + offset, to, size);
}

}  // namespace

// The system compares the files of two mappings, so a file put under the same name is told
// apart from the one the image came from.
bool IsFileOfImage(HANDLE file, HMODULE image) {
  using SameFilesFn = LONG(NTAPI*)(PVOID, PVOID);
  const auto sameFiles = LookUpFunction<SameFilesFn>("ntdll.dll", "NtAreMappedFilesTheSame");
  if (!sameFiles) return true;  // a system that cannot tell (see Open)
  UniqueHandle mapping(::CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping) return false;
  void* view = ::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 1);
  if (!view) return false;
  const bool same = sameFiles(image, view) == 0;
  ::UnmapViewOfFile(view);
  return same;
}

TOwnImageFile::TOwnImageFile(UniqueFile file, bool readsAtOffsets)
    : File(std::move(file)), ReadsAtOffsets(readsAtOffsets) {
  ::InitializeCriticalSection(&PointerLock);
}

TOwnImageFile::~TOwnImageFile() { ::DeleteCriticalSection(&PointerLock); }

std::unique_ptr<TOwnImageFile> TOwnImageFile::Open() {
  UniqueFile file = OpenOwnFile();
  if (!file || !IsFileOfImage(file.get(), ::GetModuleHandleA(nullptr))) return nullptr;
  auto own = std::make_unique<TOwnImageFile>(std::move(file),
                                             PlatformFamily() == VER_PLATFORM_WIN32_NT);
  if (!own->ReadSections()) return nullptr;
  return own;
}

bool TOwnImageFile::ReadSections() {
  unsigned char head[kHeaderBytes];
  const std::uint32_t have = kHeaderBytes;
  if (!Read(0, reinterpret_cast<char*>(head), have) || head[0] != 'M' || head[1] != 'Z')
    return false;
  const std::uint32_t pe = Little(head + 0x3C, 4);
  if (pe > have - 24 || std::memcmp(head + pe, "PE\0\0", 4) != 0) return false;
  const std::uint32_t count = Little(head + pe + 6, 2);
  const std::uint32_t table = pe + 24 + Little(head + pe + 20, 2);
  if (table > have || count > (have - table) / 40) return false;
  for (std::uint32_t k = 0; k < count; ++k) {
    const unsigned char* section = head + table + 40 * k;
    Sections.push_back({Little(section + 12, 4), Little(section + 16, 4), Little(section + 20, 4)});
  }
  return true;
}

bool TOwnImageFile::FileOffsetOf(std::uint64_t rva, std::uint64_t size,
                                 std::uint64_t& offset) const {
  for (const TSection& section : Sections) {
    if (rva < section.Rva || rva - section.Rva > section.RawSize ||
        size > section.RawSize - (rva - section.Rva))
      continue;
    offset = section.RawOffset + (rva - section.Rva);
    return true;
  }
  return false;
}

bool TOwnImageFile::Read(std::uint64_t offset, char* to, std::size_t size) const {
  DWORD got = 0;
  if (ReadsAtOffsets) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return ::ReadFile(File.get(), to, static_cast<DWORD>(size), &got, &at) && got == size;
  }
  ::EnterCriticalSection(&PointerLock);
  LONG high = static_cast<LONG>(offset >> 32);
  ::SetLastError(NO_ERROR);
  const bool placed = ::SetFilePointer(File.get(), static_cast<LONG>(offset), &high, FILE_BEGIN) !=
                          INVALID_SET_FILE_POINTER ||
                      ::GetLastError() == NO_ERROR;
  const bool read = placed && ::ReadFile(File.get(), to, static_cast<DWORD>(size), &got, nullptr);
  ::LeaveCriticalSection(&PointerLock);
  return read && got == size;
}

platform::FillSource FileSource(const TFileRange& range) {
  return {LandFromFile, &range, kReadBlock};
}

}  // namespace win32
