// Times one installation by the setup under Wine. It starts the setup, answers its
// confirmation question with Yes, watches the progress window while the payload files are
// copied, waits for the setup to end and then ends the product program that the setup starts.
//
//   bench_driver SETUP.EXE [--timeout SECONDS] [--question-only] [--answer yes|no] [--end-product]
//     --timeout        for the whole run (default 120 s)
//     --question-only  after the answer only wait for the process to end: for programs without
//                      the progress window (the reference programs), or to measure the setup
//                      up to its question (with --answer no)
//     --answer         the button to click (default yes)
//     --end-product    with --question-only: after the end, end the product program that the
//                      installer started (as after every run without --question-only)
//
// Output: "key: lo hi" lines, milliseconds since just before CreateProcess, read from
// QueryPerformanceCounter. A change is seen by polling (about every millisecond), so each
// moment is an interval: it happened after the start of the last look that did not see it
// (lo) and before the end of the look that did (hi). A probe of the progress window that has
// not answered yet counts from the last look that did not find the window. Moments:
//   question       the question box (class "#32770", caption "Sound question") exists
//   yes            the answer is clicked (BM_CLICK posted to its button; lo = hi)
//   box_closed     the question box is gone
//   found          the progress window (top-level, class "PlainWindow") exists
//   visible        it became visible
//   status1..4     the status line first names payload file k (in the copy order)
//   pos1..4        the bar first reached k
//   hidden         the window is hidden again
//   exit           the setup process has ended
// With --question-only only question, yes and exit.
// The copy loop sets the status, extracts the file, moves the bar, then pauses: pos_k -
// status_k is the extraction of file k, status_{k+1} - pos_k (hidden - pos_4 for the last)
// the pause after it. The status line is read with GetWindowTextA (for another process's
// window the window server answers it, not the setup's threads), the bar with PBM_GETPOS.
// Also printed: longest_look (the slowest look at the window, ms), exit_code and
// product_ended (how many Tarvelon.exe processes were ended after the setup).
//
// Exit code 0 when the whole run was seen, 1 otherwise ("error: ..." says what was missing).
#include <windows.h>

#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* const kFiles[] = {"Tarvelon.exe", "Tarvelon.bar", "Tarvelon.car", "Uninstall.exe"};
constexpr int kFileCount = 4;
constexpr char kQuestionCaption[] = "Sound question";
constexpr char kProgressClass[] = "PlainWindow";
constexpr char kProductProcess[] = "Tarvelon.exe";

LARGE_INTEGER Frequency;
LARGE_INTEGER Origin;

double NowMs() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart - Origin.QuadPart) * 1000.0 /
         static_cast<double>(Frequency.QuadPart);
}

// A moment seen by polling: after Lo, before Hi; Lo < 0 while not seen.
struct TMoment {
  double Lo = -1;
  double Hi = -1;
  bool Seen() const { return Lo >= 0; }
  void Set(double lo, double hi) {
    if (!Seen()) {
      Lo = lo;
      Hi = hi;
    }
  }
};

void Print(const char* key, const TMoment& moment) {
  std::printf("%s: %.3f %.3f\n", key, moment.Lo, moment.Hi);
}

// Owns a kernel handle; an empty one is null or INVALID_HANDLE_VALUE.
class THandle {
 public:
  explicit THandle(HANDLE handle = nullptr) : handle_(handle) {}
  ~THandle() {
    if (handle_ && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

// The top-level window of that class and caption (either may be null) that the process
// owns; null when there is none.
HWND FindProcessWindow(const char* className, const char* caption, DWORD processId) {
  HWND wnd = nullptr;
  while ((wnd = FindWindowExA(nullptr, wnd, className, caption)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    if (owner == processId) return wnd;
  }
  return nullptr;
}

struct TChildren {
  HWND Label = nullptr;
  HWND Bar = nullptr;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
  auto* children = reinterpret_cast<TChildren*>(param);
  char name[128] = {};
  GetClassNameA(child, name, sizeof name);
  // Versioned common-control class names may carry a prefix; look for the plain name.
  for (char* c = name; *c; ++c) {
    if (*c >= 'A' && *c <= 'Z') *c = static_cast<char>(*c - 'A' + 'a');
  }
  if (!children->Label && std::strstr(name, "static")) children->Label = child;
  if (!children->Bar && std::strstr(name, "progress")) children->Bar = child;
  return TRUE;
}

// Index (0-based) of the payload file that a status text ends with; -1 for none.
int FileOfStatus(const char* status) {
  const size_t length = std::strlen(status);
  for (int k = 0; k < kFileCount; ++k) {
    const size_t nameLength = std::strlen(kFiles[k]);
    if (length >= nameLength && lstrcmpiA(status + length - nameLength, kFiles[k]) == 0) return k;
  }
  return -1;
}

// Ends every process of the product's program, waiting up to waitMs for one to appear;
// returns how many were ended.
int EndProductProcesses(double waitMs) {
  const double deadline = NowMs() + waitMs;
  int ended = 0;
  do {
    THandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    if (snapshot.Get() != INVALID_HANDLE_VALUE && Process32First(snapshot.Get(), &entry)) {
      do {
        if (lstrcmpiA(entry.szExeFile, kProductProcess) != 0) continue;
        THandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
        if (process.Get() && TerminateProcess(process.Get(), 0)) {
          WaitForSingleObject(process.Get(), 5000);
          ++ended;
        }
      } while (Process32Next(snapshot.Get(), &entry));
    }
    if (ended > 0) return ended;
    Sleep(20);
  } while (NowMs() < deadline);
  return ended;
}

int Fail(const char* what) {
  std::printf("error: %s\n", what);
  std::fflush(stdout);
  return 1;
}

}  // namespace

int Usage() {
  std::fprintf(stderr,
               "usage: bench_driver SETUP.EXE [--timeout SECONDS] [--question-only] [--answer yes|no]"
               " [--end-product]\n");
  return 2;
}

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  double timeoutMs = 120000;
  bool questionOnly = false;
  bool endProduct = false;
  int answer = IDYES;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) {
      timeoutMs = std::atof(argv[++i]) * 1000;
    } else if (std::strcmp(argv[i], "--question-only") == 0) {
      questionOnly = true;
    } else if (std::strcmp(argv[i], "--end-product") == 0) {
      endProduct = true;
    } else if (std::strcmp(argv[i], "--answer") == 0 && i + 1 < argc) {
      ++i;
      if (std::strcmp(argv[i], "yes") == 0) answer = IDYES;
      else if (std::strcmp(argv[i], "no") == 0) answer = IDNO;
      else return Usage();
    } else {
      return Usage();
    }
  }
  QueryPerformanceFrequency(&Frequency);

  std::string commandLine = std::string("\"") + argv[1] + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  QueryPerformanceCounter(&Origin);
  if (!CreateProcessA(argv[1], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return Fail("CreateProcess failed");
  }
  THandle process(info.hProcess);
  THandle thread(info.hThread);
  const DWORD pid = info.dwProcessId;
  auto exited = [&] { return WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0; };

  // The question.
  TMoment question;
  HWND box = nullptr;
  for (double previous = 0, lookStart = 0;; previous = lookStart) {
    lookStart = NowMs();
    box = FindProcessWindow("#32770", kQuestionCaption, pid);
    if (box) {
      question.Set(previous, NowMs());
      break;
    }
    if (exited()) return Fail("the setup ended before its question");
    if (lookStart > timeoutMs) return Fail("no question");
    Sleep(1);
  }
  Print("question", question);
  const HWND yes = GetDlgItem(box, answer);
  if (!yes) return Fail("the question has no such button");
  // Showing the box is no part of the copy: let it settle first, as a user would.
  Sleep(200);
  // Posted, not sent: a sent click would hold this program until the box's thread is done
  // with it, and the watch below would start late.
  TMoment yesClicked;
  yesClicked.Set(NowMs(), NowMs());
  if (!PostMessageA(yes, BM_CLICK, 0, 0)) return Fail("the answer could not be clicked");
  Print("yes", yesClicked);
  std::fflush(stdout);
  if (questionOnly) {
    const double left = timeoutMs - NowMs();
    if (WaitForSingleObject(process.Get(), left > 0 ? static_cast<DWORD>(left) : 0) != WAIT_OBJECT_0)
      return Fail("the program did not end");
    TMoment ended;
    ended.Set(NowMs(), NowMs());
    Print("exit", ended);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.Get(), &exitCode);
    std::printf("exit_code: %lu\n", static_cast<unsigned long>(exitCode));
    if (endProduct) std::printf("product_ended: %d\n", EndProductProcesses(15000));
    return 0;
  }

  // The box going away, the progress window, its status line and bar. Each probe brackets
  // its change between the start of its own previous read and the end of the read that saw
  // it, so a slow read of one probe does not blur the others.
  TMoment boxClosed, found, visible, hidden, status[kFileCount], position[kFileCount];
  double boxRead = yesClicked.Hi, findRead = yesClicked.Hi, statusRead = 0, barRead = 0,
         visibleRead = 0;
  HWND progress = nullptr;
  TChildren children;
  char text[MAX_PATH * 2];
  double longestLook = 0;
  while (!hidden.Seen()) {
    const double lookStart = NowMs();
    if (lookStart > timeoutMs) return Fail("the progress window was not hidden in time");
    if (!boxClosed.Seen()) {
      const double readStart = NowMs();
      if (!IsWindow(box)) boxClosed.Set(boxRead, NowMs());
      boxRead = readStart;
    }
    if (!progress) {
      const double readStart = NowMs();
      progress = FindProcessWindow(kProgressClass, nullptr, pid);
      if (progress) {
        found.Set(findRead, NowMs());
        // Nothing of the window changed before it existed: the first bound of every probe.
        statusRead = barRead = visibleRead = found.Lo;
      }
      findRead = readStart;
    }
    if (progress) {
      if (!children.Label || !children.Bar) {
        EnumChildWindows(progress, CollectChild, reinterpret_cast<LPARAM>(&children));
      }
      if (children.Label) {
        const double readStart = NowMs();
        text[0] = '\0';
        GetWindowTextA(children.Label, text, sizeof text);
        const int k = FileOfStatus(text);
        if (k >= 0) status[k].Set(statusRead, NowMs());
        statusRead = readStart;
      }
      if (children.Bar) {
        // Answered by the setup's progress thread; a short limit keeps a busy thread (Wine
        // hiding or showing the window) from holding up the other probes.
        const double readStart = NowMs();
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutA(children.Bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 20, &answer)) {
          for (int k = 0; k < kFileCount && k < static_cast<int>(answer); ++k) {
            position[k].Set(barRead, NowMs());
          }
          barRead = readStart;
        }
      }
      const double readStart = NowMs();
      const bool isVisible = IsWindowVisible(progress) != FALSE;
      if (isVisible) visible.Set(visibleRead, NowMs());
      if (!isVisible && visible.Seen()) hidden.Set(visibleRead, NowMs());
      visibleRead = readStart;
    } else if (exited()) {
      return Fail("the setup ended without a progress window");
    }
    if (NowMs() - lookStart > longestLook) longestLook = NowMs() - lookStart;
    Sleep(1);
  }
  Print("box_closed", boxClosed);
  Print("found", found);
  Print("visible", visible);
  for (int k = 0; k < kFileCount; ++k) {
    Print(("status" + std::to_string(k + 1)).c_str(), status[k]);
    Print(("pos" + std::to_string(k + 1)).c_str(), position[k]);
  }
  Print("hidden", hidden);
  std::printf("longest_look: %.3f\n", longestLook);
  std::fflush(stdout);

  TMoment ended;
  const double left = timeoutMs - NowMs();
  if (WaitForSingleObject(process.Get(), left > 0 ? static_cast<DWORD>(left) : 0) != WAIT_OBJECT_0) {
    return Fail("the setup did not end");
  }
  ended.Set(NowMs(), NowMs());
  Print("exit", ended);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.Get(), &exitCode);
  std::printf("exit_code: %lu\n", static_cast<unsigned long>(exitCode));
  std::printf("product_ended: %d\n", EndProductProcesses(15000));
  std::fflush(stdout);
  return 0;
}
