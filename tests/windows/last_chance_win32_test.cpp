// A failure that is no C++ exception, inside a step of the real setup's run (crash_in_step.exe
// beside this program): one "Application Error" box that names it, then exit code 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/windows_api.h"

namespace {

struct TFoundBoxes {
  DWORD Process = 0;
  std::vector<HWND> Boxes;
};

// A stdcall callback: on i686 a lambda does not convert to WNDENUMPROC.
BOOL CALLBACK CollectBoxesOf(HWND wnd, LPARAM param) {
  auto* found = reinterpret_cast<TFoundBoxes*>(param);
  DWORD process = 0;
  ::GetWindowThreadProcessId(wnd, &process);
  char className[64] = {};
  ::GetClassNameA(wnd, className, sizeof className);
  if (process == found->Process && std::string(className) == "#32770" && ::IsWindowVisible(wnd))
    found->Boxes.push_back(wnd);
  return TRUE;
}

std::vector<HWND> BoxesOf(DWORD process) {
  TFoundBoxes found;
  found.Process = process;
  ::EnumWindows(CollectBoxesOf, reinterpret_cast<LPARAM>(&found));
  return found.Boxes;
}

std::string WindowText(HWND wnd) {
  char text[1024] = {};
  ::GetWindowTextA(wnd, text, sizeof text);
  return text;
}

// The box's message: its one Static child with text (the icon is a Static without).
std::string BoxMessage(HWND box) {
  for (HWND child = ::FindWindowExA(box, nullptr, "Static", nullptr); child;
       child = ::FindWindowExA(box, child, "Static", nullptr)) {
    const std::string text = WindowText(child);
    if (!text.empty()) return text;
  }
  return {};
}

std::string CrashProgram() {
  char module[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, module, MAX_PATH);
  const std::string path = module;
  return path.substr(0, path.find_last_of("\\/") + 1) + "crash_in_step.exe";
}

struct TRun {
  std::vector<std::string> Messages;  // of every box seen, in order
  std::string Caption;
  DWORD ExitCode = 0;
  bool Ended = false;
};

// Starts crash_in_step.exe with `mode`, answers each box it shows with OK and waits for its
// end. The bounds guard against a hang; they measure nothing.
TRun RunCrash(const std::string& mode) {
  TRun run;
  std::string command = "\"" + CrashProgram() + "\" " + mode;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child = {};
  if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &child)) {
    ADD_FAILURE() << "cannot start " << command;
    return run;
  }
  std::vector<HWND> answered;
  for (int round = 0; round < 600; ++round) {
    if (::WaitForSingleObject(child.hProcess, 50) == WAIT_OBJECT_0) break;
    for (HWND box : BoxesOf(child.dwProcessId)) {
      if (std::find(answered.begin(), answered.end(), box) != answered.end()) continue;
      const std::string message = BoxMessage(box);
      if (message.empty()) continue;  // still being built
      answered.push_back(box);
      run.Messages.push_back(message);
      run.Caption = WindowText(box);
      ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
  }
  run.Ended = ::WaitForSingleObject(child.hProcess, 0) == WAIT_OBJECT_0;
  if (!run.Ended) ::TerminateProcess(child.hProcess, 99);
  ::GetExitCodeProcess(child.hProcess, &run.ExitCode);
  ::CloseHandle(child.hThread);
  ::CloseHandle(child.hProcess);
  return run;
}

TEST(LastChanceReport, FailureInsideAStepEndsInOneBoxAndExitCodeOne) {
  const std::string lead = "An unexpected error stopped the setup:\r\n";
  struct Row {
    const char* Mode;
    const char* Names;  // the start of the second line
  };
  const Row rows[] = {
      {"access-violation", "Access violation (0xC0000005) at 0x"},
      {"stack-overflow", "Stack overflow (0xC00000FD) at 0x"},
      {"other-thread", "Access violation (0xC0000005) at 0x"},
      {"twice", "Access violation (0xC0000005) at 0x"},
      {"terminate", "An error that nothing handled ended the program."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Mode);
    const TRun run = RunCrash(row.Mode);
    ASSERT_TRUE(run.Ended);
    EXPECT_EQ(run.ExitCode, 1u);
    ASSERT_EQ(run.Messages.size(), 1u) << "one box, and only the report";
    EXPECT_EQ(run.Caption, "Application Error");
    EXPECT_EQ(run.Messages[0].rfind(lead + row.Names, 0), 0u) << run.Messages[0];
  }
}

// The same program without a failure: the run declines at the question, with exit code 0.
TEST(LastChanceReport, RunWithoutAFailureEndsNormally) {
  const TRun run = RunCrash("none");
  ASSERT_TRUE(run.Ended);
  EXPECT_EQ(run.ExitCode, 0u);
  EXPECT_TRUE(run.Messages.empty());
}

}  // namespace
