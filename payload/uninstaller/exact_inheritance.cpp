#include "payload/uninstaller/exact_inheritance.h"

#include <vector>

#include "platform/win32/system_library.h"

namespace {

// SetHandleInformation is looked up: the 9x family does not implement it.
void StopInheritingStandardHandles() {
  using SetInfoFn = BOOL(WINAPI*)(HANDLE, DWORD, DWORD);
  const auto setInfo = win32::LookUpFunction<SetInfoFn>("kernel32.dll", "SetHandleInformation");
  if (!setInfo) return;
  for (DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
    const HANDLE handle = GetStdHandle(which);
    if (handle && handle != INVALID_HANDLE_VALUE) setInfo(handle, HANDLE_FLAG_INHERIT, 0);
  }
}

}  // namespace

THandleListCalls SystemHandleListCalls() {
  THandleListCalls calls;
  calls.Initialize = win32::LookUpFunction<decltype(calls.Initialize)>("kernel32.dll",
                                                                        "InitializeProcThreadAttributeList");
  calls.Update = win32::LookUpFunction<decltype(calls.Update)>("kernel32.dll", "UpdateProcThreadAttribute");
  calls.Delete = win32::LookUpFunction<decltype(calls.Delete)>("kernel32.dll", "DeleteProcThreadAttributeList");
  return calls;
}

BOOL StartInheritingOnly(TCreateProcessFn start, const THandleListCalls& list, const char* application,
                         char* command, const char* folder, std::vector<HANDLE> handles,
                         PROCESS_INFORMATION& process) {
  STARTUPINFOEXA startup = {};
  startup.StartupInfo.cb = sizeof(startup.StartupInfo);
  std::vector<unsigned char> attributes;
  bool listed = false;
  if (list.Initialize && list.Update && list.Delete && !handles.empty()) {
    SIZE_T size = 0;
    list.Initialize(nullptr, 1, 0, &size);  // fails, telling the size
    if (size > 0) {
      attributes.resize(size);
      listed = list.Initialize(reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data()), 1, 0, &size);
    }
  }
  const auto attributeList = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
  if (listed && list.Update(attributeList, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles.data(),
                            handles.size() * sizeof(HANDLE), nullptr, nullptr)) {
    startup.StartupInfo.cb = sizeof(startup);
    startup.lpAttributeList = attributeList;
  }
  // Also with the list: Wine 8 hands the standard handles down whatever the list says.
  StopInheritingStandardHandles();
  const BOOL started = start(application, command, nullptr, nullptr, TRUE,
                             startup.lpAttributeList ? EXTENDED_STARTUPINFO_PRESENT : 0, nullptr, folder,
                             &startup.StartupInfo, &process);
  const DWORD error = GetLastError();
  if (listed) list.Delete(attributeList);
  SetLastError(error);
  return started;
}
