#include "platform/win32/win32_shell.h"

#include "platform/win32/windows_api.h"
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/win32/owners.h"
#include "platform/win32/wide_text.h"

namespace win32 {

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

  const std::wstring path = WideFromAnsi(link.LinkPath);
  if (path.empty() || FAILED(persistFile->Save(path.c_str(), TRUE)))
    return platform::LinkResult::SaveFailed;
  return platform::LinkResult::Saved;
}

void Win32Shell::Execute(const std::string& verb, const std::string& file,
                         const std::string& directory, int showCommand) {
  ::ShellExecuteA(nullptr, verb.c_str(), file.c_str(), nullptr, directory.c_str(), showCommand);
}

}  // namespace win32
