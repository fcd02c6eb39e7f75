// The setup's entry as setup/main.cpp has it, on the real machine, except that asking the
// confirmation question (any box of the run) fails in the way the first argument names:
//   access-violation   a write through a null pointer on the main thread
//   stack-overflow     endless recursion on the main thread
//   other-thread       an access violation on a thread the step started, the main one waiting
//   twice              the same, and the main thread faults too while the first is reported
//   terminate          std::terminate, as an exception escaping a thread's body calls it
// Anything else asks nothing and declines. The program is no part of the setup.
#include "platform/win32/windows_api.h"

#include <cstdint>
#include <cstring>
#include <exception>
#include <string>

#include "platform/machine.h"
#include "platform/win32/last_chance_report.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_machine.h"
#include "setup/setup_sequence.h"
#include "setup/setup_texts.h"

namespace {

std::string Mode;

// Through a volatile address, so that the compiler cannot turn the fault into a trap.
volatile std::uintptr_t NoAddress = 0;

void WriteThroughNull() { *reinterpret_cast<volatile int*>(NoAddress) = 1; }

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winfinite-recursion"
__attribute__((noinline)) int Recurse(int depth) {
  volatile char frame[4096];
  frame[0] = static_cast<char>(depth);
  return Recurse(depth + 1) + frame[0];
}
#pragma GCC diagnostic pop

DWORD WINAPI FaultingThread(void*) {
  WriteThroughNull();
  return 0;
}

bool LastChanceBoxIsUp() {
  const HWND box = ::FindWindowA("#32770", setup_texts::kApplicationErrorCaption);
  DWORD process = 0;
  if (box) ::GetWindowThreadProcessId(box, &process);
  return box && process == ::GetCurrentProcessId();
}

void Fail() {
  if (Mode == "access-violation") WriteThroughNull();
  if (Mode == "stack-overflow") Recurse(0);
  if (Mode == "terminate") std::terminate();
  if (Mode == "other-thread" || Mode == "twice") {
    HANDLE thread = ::CreateThread(nullptr, 0, FaultingThread, nullptr, 0, nullptr);
    if (Mode == "other-thread") ::WaitForSingleObject(thread, INFINITE);
    while (!LastChanceBoxIsUp()) ::Sleep(10);
    WriteThroughNull();
  }
}

// Every box of the run fails; the first one is the confirmation question.
class TFailingBoxes final : public platform::Dialogs {
 public:
  int MessageBox(const std::string&, const std::string&, std::uint32_t) override {
    Fail();
    return 7;  // IDNO
  }
  int MessageBoxEx(const std::string&, const std::string&, std::uint32_t,
                   std::uint16_t) override {
    Fail();
    return 7;
  }
};

}  // namespace

int main(int argc, char** argv) {
  Mode = argc > 1 ? argv[1] : "";
  win32::RestrictDllSearchToSystemFolder();
  win32::InstallLastChanceReport(setup_texts::kApplicationErrorCaption,
                                 setup_texts::kUnexpectedError);
  platform::Machine& real = win32::TheMachine();
  TFailingBoxes boxes;
  platform::Machine machine{real.Reg, real.Fs,  boxes,         real.Sys,
                            real.Sh,  real.Res, real.Versions, real.Window};
  platform::SetOs(&machine);
  return RunProgram();
}
