// The progress window: class "PlainWindow" with a status line and a bar, created and served
// by a thread of its own. The main thread drives it through cross-thread messages, each of
// which blocks until the progress thread has handled it.
#include "platform/win32/progress_window.h"

#include <atomic>
#include <chrono>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "platform/win32/windows_api.h"

#include <commctrl.h>

namespace win32 {
namespace {

constexpr int WindowWidth = 408;
constexpr int WindowHeight = 76;
constexpr char ClassName[] = "PlainWindow";
// The program's one icon group.
constexpr WORD ProgramIconId = 1;

// How long SetRange waits for the bar. Left unbounded, a window that never comes into being
// (class registration or creation failed) would stop the copy loop for good; after this
// long SetRange gives up and the copy goes on without a progress display.
constexpr std::chrono::seconds RangeWaitLimit{5};

// Module-wide state, each item written once by the progress thread and read by the main
// thread, hence atomic. Publication order: StatusLabel, ProgressBar, then ProgressWnd and
// WindowCreated.
std::atomic<HWND> ProgressWnd{nullptr};
std::atomic<HWND> StatusLabel{nullptr};
std::atomic<HWND> ProgressBar{nullptr};
std::atomic<bool> WindowCreated{false};
std::atomic<int> WindowLeft{0};
std::atomic<int> WindowTop{0};
// Progress threads that are starting or in their message loop. None means no window can come,
// so SetRange has nothing to wait for.
std::atomic<int> LiveThreads{0};

// The status text for the label that WM_CREATE makes, set by RunWindow on its own thread
// just before the creation call (which sends WM_CREATE on that thread).
thread_local const std::string* CreationStatus = nullptr;

LRESULT CALLBACK ProgressWndProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      const HINSTANCE instance = GetModuleHandleA(nullptr);
      StatusLabel = CreateWindowExA(0, "STATIC", CreationStatus ? CreationStatus->c_str() : "",
                                    WS_CHILD | WS_VISIBLE | SS_LEFT, 2, 2, 399, 20, wnd,
                                    nullptr, instance, nullptr);
      ProgressBar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | WS_THICKFRAME,
                                    2, 24, 400, 20, wnd, nullptr, instance, nullptr);
      // Published here rather than after the creation call returns: SetRange returns as
      // soon as the bar answers, and a ShowProgress or HideWindow right after it must find
      // the window (and must not start a second thread).
      ProgressWnd = wnd;
      WindowCreated = true;
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(wnd, message, wParam, lParam);
  }
}

// The progress thread's body. The texts are the thread's own copies, so a second thread
// started before the first window exists cannot race the first one for them.
void RunWindow(std::string caption, std::string status, HICON icon, HICON smallIcon) {
  // Halved as unsigned 32-bit numbers: a screen narrower than the window gives a far-off,
  // positive place rather than a negative one.
  WindowLeft = static_cast<int>(static_cast<std::uint32_t>(GetSystemMetrics(SM_CXSCREEN) - WindowWidth) / 2);
  WindowTop = static_cast<int>(static_cast<std::uint32_t>(GetSystemMetrics(SM_CYSCREEN) - WindowHeight) / 2);
  InitCommonControls();

  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_NOCLOSE;
  windowClass.lpfnWndProc = ProgressWndProc;
  windowClass.cbClsExtra = 4;
  windowClass.cbWndExtra = 4;
  windowClass.hInstance = instance;
  windowClass.hIcon = icon;
  windowClass.hIconSm = smallIcon;
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  windowClass.lpszMenuName = nullptr;
  windowClass.lpszClassName = ClassName;
  if (RegisterClassExA(&windowClass) == 0) return;

  CreationStatus = &status;
  const HWND wnd = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_STATICEDGE,
                                   ClassName, caption.c_str(), WS_DLGFRAME, WindowLeft,
                                   WindowTop, WindowWidth, WindowHeight, nullptr, nullptr,
                                   instance, nullptr);
  CreationStatus = nullptr;
  ProgressWnd = wnd;
  WindowCreated = true;
  ShowWindow(wnd, SW_SHOWNORMAL);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

DWORD WINAPI RunDetachedBody(void* body) {
  const std::unique_ptr<std::function<void()>> owned(static_cast<std::function<void()>*>(body));
  (*owned)();
  return 0;
}

void StartDetachedThread(std::function<void()> body) {
  auto owned = std::make_unique<std::function<void()>>(std::move(body));
  // Windows 95, 98 and ME refuse a thread whose id nobody asks for.
  DWORD id = 0;
  // Never joined: the thread waits in its message loop until the process ends.
  const HANDLE thread = ::CreateThread(nullptr, 0, RunDetachedBody, owned.get(), 0, &id);
  if (!thread) throw std::runtime_error("no progress thread");
  owned.release();
  ::CloseHandle(thread);
}

class TProgressWindow final : public platform::Progress {
 public:
  // The program's own icon in both sizes (null, the platform's default, when the module has
  // none) is loaded here, when the machine is set up before the question. It lies at the end
  // of the image, after the payload: loaded only when the window comes, after Yes, it would
  // fault in the system's icon loader if the setup's file was cut short meanwhile (a share
  // that dropped). The small one is loaded too: left null, the system would read the group
  // again at the window's creation to make it.
  explicit TProgressWindow(ThreadStart start)
      : Start(std::move(start)),
        Icon(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(ProgramIconId))),
        SmallIcon(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr),
                                                MAKEINTRESOURCEA(ProgramIconId), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON),
                                                GetSystemMetrics(SM_CYSMICON), 0))) {}

  void ShowProgress(const std::string& caption, const std::string& status) override {
    if (!WindowCreated) {
      ++LiveThreads;
      try {
        Start([caption, status, icon = Icon, smallIcon = SmallIcon] {
          RunWindow(caption, status, icon, smallIcon);
          --LiveThreads;
        });
      } catch (const std::exception&) {
        // No thread (std::runtime_error) or no memory for its texts: no window, and the copy
        // goes on without one. A later ShowProgress tries again.
        --LiveThreads;
      }
      return;
    }
    SetCaption(caption);
    SetStatus(status);
    SetWindowPos(ProgressWnd, HWND_TOPMOST, WindowLeft, WindowTop, WindowWidth, WindowHeight,
                 SWP_SHOWWINDOW);
  }

  void SetStatus(const std::string& status) override {
    SetWindowTextA(StatusLabel, status.c_str());
  }

  // Sets the range and repeats until the bar reports it; a missing bar answers 0, so a Max
  // of 0 returns at once. Yielding between tries is no pause, it only spares the processor.
  void SetRange(int max) override {
    const auto deadline = std::chrono::steady_clock::now() + RangeWaitLimit;
    for (;;) {
      SendMessageA(ProgressBar, PBM_SETRANGE32, 0, static_cast<LPARAM>(max));
      const LRESULT upper = SendMessageA(ProgressBar, PBM_GETRANGE, FALSE, 0);
      if (static_cast<int>(upper) == max) return;
      if (LiveThreads == 0) return;  // no thread is left that could make the bar
      if (std::chrono::steady_clock::now() >= deadline) return;
      ::Sleep(0);
    }
  }

  void SetPosition(int position) override {
    SendMessageA(ProgressBar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  }

  void HideWindow() override {
    SetWindowPos(ProgressWnd, HWND_TOPMOST, WindowLeft, WindowTop, WindowWidth, WindowHeight,
                 SWP_HIDEWINDOW);
  }

 private:
  void SetCaption(const std::string& caption) { SetWindowTextA(ProgressWnd, caption.c_str()); }

  ThreadStart Start;
  HICON Icon;
  HICON SmallIcon;
};

}  // namespace

platform::Progress& TheProgressWindow() {
  static TProgressWindow window(StartDetachedThread);
  return window;
}

std::unique_ptr<platform::Progress> MakeProgressWindow(ThreadStart start) {
  return std::make_unique<TProgressWindow>(std::move(start));
}

}  // namespace win32
