// Why the box is not shown from the filter itself: the filter runs on the failing thread,
// inside the system's exception dispatch, on whatever stack is left (after a stack overflow,
// a few KiB), possibly while that thread holds the heap lock or the loader lock. So the filter
// only records the failure in static storage and wakes a reporting thread that was started
// at start-up, while everything was still sound; that thread shows the box on a stack of its
// own. The failing thread never returns from the filter: nothing of its state runs again.
// After the box, the reporter ends the process at once (TerminateProcess, not ExitProcess):
// no end step, DLL detach or static destructor runs over the broken state; the system closes
// every handle, the single-instance marker among them.
#include "platform/win32/last_chance_report.h"

#include "platform/win32/windows_api.h"

#include <atomic>
#include <cstdint>
#include <exception>

namespace win32 {
namespace {

// Our own code for std::terminate (bit 29 marks codes that applications define).
constexpr DWORD kTerminateCode = 0xE0000001;

char Caption[128];
char Lead[256];
// The whole text of the box, composed by the reporter from the record below.
char Message[512];

HANDLE FailureEvent = nullptr;
DWORD ReporterThreadId = 0;
std::atomic<bool> Reported{false};
DWORD FailureCode = 0;
std::uintptr_t FailureAddress = 0;

void CopyText(char* out, std::size_t capacity, const std::string& text) {
  std::size_t length = text.size() < capacity - 1 ? text.size() : capacity - 1;
  for (std::size_t i = 0; i < length; ++i) out[i] = text[i];
  out[length] = '\0';
}

// Appends to Message without the C run-time, whose locks the failing thread may hold.
class TMessageWriter {
 public:
  TMessageWriter() { Message[0] = '\0'; }
  TMessageWriter& Text(const char* text) {
    while (*text && Used + 1 < sizeof Message) Message[Used++] = *text++;
    Message[Used] = '\0';
    return *this;
  }
  TMessageWriter& Hex(std::uintptr_t value, int digits) {
    char digitsText[2 + 2 * sizeof value + 1] = "0x";
    for (int i = 0; i < digits; ++i)
      digitsText[2 + i] = "0123456789ABCDEF"[(value >> (4 * (digits - 1 - i))) & 0xF];
    digitsText[2 + digits] = '\0';
    return Text(digitsText);
  }

 private:
  std::size_t Used = 0;
};

const char* FailureName(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION: return "Access violation";
    case EXCEPTION_STACK_OVERFLOW: return "Stack overflow";
    case EXCEPTION_IN_PAGE_ERROR: return "The program's file could not be read (in-page error)";
    case EXCEPTION_ILLEGAL_INSTRUCTION: return "Illegal instruction";
    case EXCEPTION_INT_DIVIDE_BY_ZERO: return "Integer division by zero";
    case EXCEPTION_PRIV_INSTRUCTION: return "Privileged instruction";
    case EXCEPTION_DATATYPE_MISALIGNMENT: return "Misaligned data";
    default: return "Exception";
  }
}

void ComposeMessage() {
  TMessageWriter writer;
  writer.Text(Lead).Text(":\r\n");
  if (FailureCode == kTerminateCode) {
    writer.Text("An error that nothing handled ended the program.");
    return;
  }
  writer.Text(FailureName(FailureCode)).Text(" (").Hex(FailureCode, 8).Text(") at ");
  writer.Hex(FailureAddress, 2 * sizeof FailureAddress).Text(".");
}

DWORD WINAPI Reporter(void*) {
  ::WaitForSingleObject(FailureEvent, INFINITE);
  ComposeMessage();
  ::MessageBoxA(nullptr, Message, Caption, MB_OK | MB_ICONHAND | MB_TASKMODAL);
  ::TerminateProcess(::GetCurrentProcess(), 1);
  return 0;
}

// Called on the failing thread; never returns.
[[noreturn]] void HandOver(DWORD code, std::uintptr_t address) {
  // The reporter itself failed: the box cannot come, only the exit code can.
  if (::GetCurrentThreadId() == ReporterThreadId) ::TerminateProcess(::GetCurrentProcess(), 1);
  // One report only: a failure on another thread while the first is reported waits for the
  // end of the process with it.
  if (!Reported.exchange(true)) {
    FailureCode = code;
    FailureAddress = address;
    ::SetEvent(FailureEvent);
  }
  for (;;) ::Sleep(INFINITE);
}

LONG WINAPI RecordAndHandOver(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info ? info->ExceptionRecord : nullptr;
  HandOver(record ? record->ExceptionCode : 0,
           record ? reinterpret_cast<std::uintptr_t>(record->ExceptionAddress) : 0);
}

[[noreturn]] void TerminateHandler() { HandOver(kTerminateCode, 0); }

}  // namespace

bool InstallLastChanceReport(const std::string& caption, const std::string& text) {
  CopyText(Caption, sizeof Caption, caption);
  CopyText(Lead, sizeof Lead, text);
  FailureEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!FailureEvent) return false;
  // A stack of its own, committed now: the box must not depend on memory that may be short
  // when the failure comes.
  HANDLE reporter =
      ::CreateThread(nullptr, 256 * 1024, Reporter, nullptr, 0, &ReporterThreadId);
  if (!reporter) {
    ::CloseHandle(FailureEvent);
    FailureEvent = nullptr;
    return false;
  }
  ::CloseHandle(reporter);
  ::SetUnhandledExceptionFilter(RecordAndHandOver);
  std::set_terminate(TerminateHandler);
  return true;
}

}  // namespace win32
