#include "platform/win32/win32_resources.h"

#include "platform/win32/windows_api.h"

namespace win32 {
namespace {

// Whether `size` bytes at `data` lie inside the program's own image. A damaged resource entry
// can claim more bytes than the image holds; reading them would fault beyond its end.
bool InsideOwnImage(const char* data, std::size_t size) {
  const auto* base = reinterpret_cast<const char*>(::GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const std::size_t imageSize = nt->OptionalHeader.SizeOfImage;
  return data >= base && static_cast<std::size_t>(data - base) <= imageSize &&
         size <= imageSize - static_cast<std::size_t>(data - base);
}

}  // namespace

bool Win32Resources::Find(const std::string& type, const std::string& name,
                          platform::ResourceView& view) {
  HRSRC found = ::FindResourceA(nullptr, name.c_str(), type.c_str());
  if (!found) return false;
  HGLOBAL loaded = ::LoadResource(nullptr, found);
  if (!loaded) return false;
  const void* data = ::LockResource(loaded);
  const DWORD size = ::SizeofResource(nullptr, found);
  if (!data || !InsideOwnImage(static_cast<const char*>(data), size)) {
    ::FreeResource(loaded);
    return false;
  }
  view.Data = static_cast<const char*>(data);
  view.Size = size;
  Loaded[view.Data] = loaded;
  return true;
}

void Win32Resources::Release(const platform::ResourceView& view) {
  Ranges.erase(view.Data);
  const auto it = Loaded.find(view.Data);
  if (it == Loaded.end()) return;
  ::FreeResource(static_cast<HGLOBAL>(it->second));
  Loaded.erase(it);
}

platform::FillSource Win32Resources::Source(const platform::ResourceView& view) {
  if (!OwnFileTried) {
    OwnFileTried = true;
    OwnFile = TOwnImageFile::Open();
  }
  const auto* base = reinterpret_cast<const char*>(::GetModuleHandleA(nullptr));
  if (!OwnFile) return platform::MemorySource(view.Data);
  std::uint64_t offset = 0;
  // Bytes that the file does not hold at all come from a damaged entry: none of them is had.
  TFileRange& range = Ranges[view.Data];
  range = TFileRange{OwnFile.get(), 0, 0};
  if (OwnFile->FileOffsetOf(static_cast<std::uint64_t>(view.Data - base), view.Size, offset))
    range = TFileRange{OwnFile.get(), offset, view.Size};
  return FileSource(range);
}

}  // namespace win32
