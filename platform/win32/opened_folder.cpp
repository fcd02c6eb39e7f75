#include "platform/win32/opened_folder.h"

#include "platform/win32/windows_api.h"
#include <winternl.h>

#include <vector>

#include "platform/win32/owners.h"
#include "platform/win32/system_library.h"
#include "platform/win32/wide_text.h"

namespace win32 {
namespace {

using platform::EntryKind;

// ntdll's calls, on every system of the NT family; not imported, so that nothing changes for
// the 9x family, whose ntdll lacks them.
using NtOpenFileFn = LONG(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK, ULONG, ULONG);
using NtSetInformationFileFn = LONG(NTAPI*)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, int);
constexpr int kFileBasicInformation = 4;
constexpr int kFileDispositionInformation = 13;
constexpr LONG kStatusCannotDelete = static_cast<LONG>(0xC0000121);  // a read-only file
constexpr ULONG kObjCaseInsensitive = 0x40;
constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Whoever opens a folder we hold may read and write in it, but not delete or rename it.
constexpr ULONG kShareHeldFolder = FILE_SHARE_READ | FILE_SHARE_WRITE;

struct TNtCalls {
  NtOpenFileFn Open = LookUpFunction<NtOpenFileFn>("ntdll.dll", "NtOpenFile");
  NtSetInformationFileFn SetInformation =
      LookUpFunction<NtSetInformationFileFn>("ntdll.dll", "NtSetInformationFile");
};
const TNtCalls& Nt() {
  static const TNtCalls calls;
  return calls;
}

EntryKind KindOfAttributes(DWORD attributes) {
  if (attributes == INVALID_FILE_ATTRIBUTES) return EntryKind::Missing;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return EntryKind::Link;
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? EntryKind::Folder : EntryKind::File;
}

// The attributes of what the handle has open: with FILE_OPEN_REPARSE_POINT, of the link itself.
DWORD AttributesOf(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  return ::GetFileInformationByHandle(handle, &info) ? info.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
}

// Whether the folder entry at `path` is listed as a reparse point: FindFirstFileA reads the
// entry in its folder without opening it. On Windows the handle's attributes say the same;
// Wine 8 sets the attribute here for a Unix symbolic link to a folder, but opens the folder
// it points to even with FILE_FLAG_OPEN_REPARSE_POINT. A link by either account is a link.
bool ListedAsLink(const std::string& path) {
  WIN32_FIND_DATAA entry;
  HANDLE search = ::FindFirstFileA(path.c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return false;
  ::FindClose(search);
  return (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The kind of what the handle has open, or a link when its entry is listed as one.
EntryKind KindOfOpened(HANDLE handle, const std::string& path) {
  const EntryKind kind = KindOfAttributes(AttributesOf(handle));
  return kind != EntryKind::Missing && ListedAsLink(path) ? EntryKind::Link : kind;
}

bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/") == std::string::npos;
}

std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = entry.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (::FindNextFileA(search, &entry));
  ::FindClose(search);
  return names;
}

// A folder of the NT family held by its handle. Its names are listed by its path, which may
// lead elsewhere by now; that does no harm, since every entry is then opened relative to the
// handle, in this very folder, and looked at and deleted through its own handle.
class TNtFolder final : public platform::OpenedFolder {
 public:
  TNtFolder(UniqueFile handle, std::string path) : Handle(std::move(handle)), Path(std::move(path)) {}

  std::vector<std::string> Names() override { return NamesIn(Path); }

  EntryKind KindOf(const std::string& name) override {
    const UniqueFile entry = OpenEntry(name, FILE_READ_ATTRIBUTES, kShareAll, 0);
    return entry ? KindOfOpened(entry.get(), Path + "\\" + name) : EntryKind::Missing;
  }

  std::unique_ptr<platform::OpenedFolder> OpenFolder(const std::string& name) override {
    UniqueFile entry = OpenEntry(name, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, kShareHeldFolder,
                                 FILE_DIRECTORY_FILE);
    if (!entry || KindOfOpened(entry.get(), Path + "\\" + name) != EntryKind::Folder) return nullptr;
    return std::make_unique<TNtFolder>(std::move(entry), Path + "\\" + name);
  }

  bool Remove(const std::string& name) override {
    UniqueFile entry = OpenEntry(name, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, kShareAll, 0);
    if (!entry) entry = OpenEntry(name, DELETE | FILE_READ_ATTRIBUTES, kShareAll, 0);
    if (!entry) return false;
    const DWORD attributes = AttributesOf(entry.get());
    // A link listed as one but opened as a plain folder or file: the system went to what it
    // points to (Wine 8 does), and a delete through this handle would remove that.
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT) && ListedAsLink(Path + "\\" + name)))
      return false;
    LONG status = Dispose(entry.get());
    if (status == kStatusCannotDelete && (attributes & FILE_ATTRIBUTE_READONLY)) {
      // The product's file all the same; the attribute goes with the file.
      struct {
        LARGE_INTEGER Times[4];  // zero: unchanged
        ULONG Attributes;
      } basic{};
      basic.Attributes = (attributes & ~FILE_ATTRIBUTE_READONLY) ? (attributes & ~FILE_ATTRIBUTE_READONLY)
                                                                : FILE_ATTRIBUTE_NORMAL;
      IO_STATUS_BLOCK io{};
      if (Nt().SetInformation(entry.get(), &io, &basic, sizeof(basic), kFileBasicInformation) >= 0)
        status = Dispose(entry.get());
    }
    return status >= 0;  // gone when our handle closes
  }

 private:
  // The entry itself (FILE_OPEN_REPARSE_POINT), looked up in the folder the handle holds.
  UniqueFile OpenEntry(const std::string& name, ACCESS_MASK access, ULONG share, ULONG options) const {
    if (!IsPlainName(name)) return {};
    std::wstring wide = WideFromAnsi(name);
    if (wide.empty()) return {};
    UNICODE_STRING text;
    text.Buffer = &wide[0];
    text.Length = static_cast<USHORT>(wide.size() * sizeof(wchar_t));
    text.MaximumLength = text.Length;
    OBJECT_ATTRIBUTES attributes{};
    attributes.Length = sizeof(attributes);
    attributes.RootDirectory = Handle.get();
    attributes.ObjectName = &text;
    attributes.Attributes = kObjCaseInsensitive;
    IO_STATUS_BLOCK io{};
    HANDLE entry = nullptr;
    if (Nt().Open(&entry, access | SYNCHRONIZE, &attributes, &io, share,
                  options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT) < 0)
      return {};
    return UniqueFile(entry);
  }

  static LONG Dispose(HANDLE entry) {
    BOOLEAN deleteFile = TRUE;  // FILE_DISPOSITION_INFORMATION
    IO_STATUS_BLOCK io{};
    return Nt().SetInformation(entry, &io, &deleteFile, sizeof(deleteFile), kFileDispositionInformation);
  }

  UniqueFile Handle;
  std::string Path;
};

// A folder of the 9x family, which has no links and cannot open a folder: reached by its path.
class TPathFolder final : public platform::OpenedFolder {
 public:
  explicit TPathFolder(std::string path) : Path(std::move(path)) {}

  std::vector<std::string> Names() override { return NamesIn(Path); }

  EntryKind KindOf(const std::string& name) override {
    return IsPlainName(name) ? KindOfAttributes(::GetFileAttributesA((Path + "\\" + name).c_str()))
                             : EntryKind::Missing;
  }

  std::unique_ptr<platform::OpenedFolder> OpenFolder(const std::string& name) override {
    if (KindOf(name) != EntryKind::Folder) return nullptr;
    return std::make_unique<TPathFolder>(Path + "\\" + name);
  }

  bool Remove(const std::string& name) override {
    const EntryKind kind = KindOf(name);
    const std::string path = Path + "\\" + name;
    if (kind == EntryKind::Folder) return ::RemoveDirectoryA(path.c_str()) != FALSE;
    if (kind == EntryKind::Missing) return false;
    if (::DeleteFileA(path.c_str())) return true;
    return ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL) && ::DeleteFileA(path.c_str());
  }

 private:
  std::string Path;
};

}  // namespace

std::unique_ptr<platform::OpenedFolder> OpenFolderItself(const std::string& path) {
  if (PlatformFamily() != VER_PLATFORM_WIN32_NT) {
    if (KindOfAttributes(::GetFileAttributesA(path.c_str())) != EntryKind::Folder) return nullptr;
    return std::make_unique<TPathFolder>(path);
  }
  if (!Nt().Open || !Nt().SetInformation) return nullptr;  // no way to act without following
  // FILE_FLAG_BACKUP_SEMANTICS: the NT family opens a folder only with it.
  UniqueFile folder(::CreateFileA(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, kShareHeldFolder,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                  nullptr));
  if (!folder || KindOfOpened(folder.get(), path) != EntryKind::Folder) return nullptr;
  return std::make_unique<TNtFolder>(std::move(folder), path);
}

}  // namespace win32
