// A child process that inherits exactly the handles meant for it. CreateProcess with
// bInheritHandles=TRUE hands over every inheritable handle of the parent, among them whatever
// the parent inherited itself: a deployment tool's redirected standard pipes, say, whose
// reader then waits for the end of the pipe until the child ends too.
#pragma once

#include <windows.h>

#include <vector>

using TCreateProcessFn = BOOL(WINAPI*)(LPCSTR, LPSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD,
                                       LPVOID, LPCSTR, LPSTARTUPINFOA, LPPROCESS_INFORMATION);

// The attribute-list calls of Vista and later; all null where the system lacks them.
struct THandleListCalls {
  BOOL(WINAPI* Initialize)(LPPROC_THREAD_ATTRIBUTE_LIST, DWORD, DWORD, PSIZE_T) = nullptr;
  BOOL(WINAPI* Update)(LPPROC_THREAD_ATTRIBUTE_LIST, DWORD, DWORD_PTR, PVOID, SIZE_T, PVOID, PSIZE_T) = nullptr;
  void(WINAPI* Delete)(LPPROC_THREAD_ATTRIBUTE_LIST) = nullptr;
};

// The running system's, looked up in kernel32.
THandleListCalls SystemHandleListCalls();

// Calls `start` (CreateProcessA's shape) for application and command in folder, so that the
// child inherits the inheritable `handles` and, where the system allows, nothing else: with
// PROC_THREAD_ATTRIBUTE_HANDLE_LIST where `list` is complete. The standard handles of this
// process are made non-inheritable first in any case, since those are what a caller passes
// down to be read; so before Vista only other inheritable handles of this process go along,
// and on the 9x family, which can do neither, everything.
// Returns start's result, with its last error.
BOOL StartInheritingOnly(TCreateProcessFn start, const THandleListCalls& list, const char* application,
                         char* command, const char* folder, std::vector<HANDLE> handles,
                         PROCESS_INFORMATION& process);
