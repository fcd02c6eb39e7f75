#include "platform/win32/win32_shell.h"

#include "platform/win32/windows_api.h"
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "platform/win32/owners.h"

namespace win32 {
namespace {

// The link path in UTF-16 for IPersistFile::Save, converted from the ANSI code page.
// Empty when the conversion fails.
std::wstring WidePath(const std::string& path) {
  const int length = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  if (length <= 0) return {};
  std::vector<wchar_t> wide(static_cast<std::size_t>(length));
  if (::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), length) != length)
    return {};
  return std::wstring(wide.data());
}

}  // namespace

int Win32Shell::FileOperation(std::uint32_t function, const std::string& fromList,
                              std::uint16_t flags) {
  // std::string keeps one more NUL after its data, so a list that ends with its own NUL
  // stays double-terminated.
  SHFILEOPSTRUCTA request{};
  request.hwnd = nullptr;
  request.wFunc = function;
  request.pFrom = fromList.c_str();
  request.pTo = nullptr;
  request.fFlags = flags;
  return ::SHFileOperationA(&request);
}

platform::LinkResult Win32Shell::SaveShellLink(const platform::ShellLinkFields& link) {
  ComPtr<IUnknown> object;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr,
                                CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                object.put_void())) ||
      !object)
    return platform::LinkResult::ObjectNotCreated;

  ComPtr<IShellLinkA> shellLink;
  ComPtr<IPersistFile> persistFile;
  if (FAILED(object->QueryInterface(IID_IShellLinkA, shellLink.put_void())) || !shellLink ||
      FAILED(object->QueryInterface(IID_IPersistFile, persistFile.put_void())) || !persistFile)
    return platform::LinkResult::InterfaceRefused;

  // The setters' results are not looked at: a link with a missing property is still saved.
  shellLink->SetPath(link.Target.c_str());
  shellLink->SetWorkingDirectory(link.WorkingDirectory.c_str());
  shellLink->SetDescription(link.Description.c_str());
  shellLink->SetArguments(link.Arguments.c_str());
  shellLink->SetShowCmd(link.ShowCommand);
  shellLink->SetIconLocation(link.IconPath.c_str(), link.IconIndex);

  const std::wstring path = WidePath(link.LinkPath);
  if (path.empty() || FAILED(persistFile->Save(path.c_str(), TRUE)))
    return platform::LinkResult::SaveFailed;
  return platform::LinkResult::Saved;
}

void Win32Shell::Execute(const std::string& verb, const std::string& file,
                         const std::string& directory, int showCommand) {
  ::ShellExecuteA(nullptr, verb.c_str(), file.c_str(), nullptr, directory.c_str(), showCommand);
}

}  // namespace win32
