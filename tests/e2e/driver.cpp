// boxdriver: answers system message boxes of other programs like a person would.
//
//   boxdriver box  [--caption TEXT | --caption-hex HEX] [--hwnd HWND] [--not-hwnd HWND]
//                  [--not-pid PID] [--timeout SEC] [--press yes|no|ok|cancel|none|enter]
//   boxdriver gone [--pid PID] [--timeout SEC]
//
// "box" waits for a top-level message box (window class "#32770") that matches every filter
// given, prints what a person would see in it, one "key: value" line each, and presses the
// button asked for: "none" leaves the box up; "enter" brings it to the front so that a real
// key typed afterwards (xdotool key Return) reaches it. --caption-hex gives the caption as hex
// bytes of the ANSI code page, for captions that a command line would not carry unchanged.
// PIDs and HWNDs are the values that an earlier "box" printed.
// "gone" waits until the process PID has exited or, without --pid, until no message box is
// left on the desktop.
//
// Exit code: 0 done, 2 timed out, 3 usage or press failed.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct TOptions {
  std::wstring Mode;
  std::wstring Caption;
  bool HasCaption = false;
  std::string CaptionHex;
  DWORD NotPid = 0;
  HWND Hwnd = nullptr;
  HWND NotHwnd = nullptr;
  DWORD Pid = 0;
  DWORD TimeoutMs = 30000;
  std::wstring Press = L"none";
};

struct TButton {
  int Id;
  const char* Name;
};
constexpr TButton kButtons[] = {{IDOK, "ok"},     {IDCANCEL, "cancel"}, {IDABORT, "abort"},
                                {IDRETRY, "retry"}, {IDIGNORE, "ignore"}, {IDYES, "yes"},
                                {IDNO, "no"}};

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0,
                                 nullptr, nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), &out[0], size, nullptr,
                      nullptr);
  return out;
}

// Control characters are written as C escapes so that every field stays on one line.
std::string Escaped(const std::string& utf8) {
  std::string out;
  for (unsigned char c : utf8) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (c == '\\') out += "\\\\";
    else out += (char)c;
  }
  return out;
}

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::wstring WideText(HWND window) {
  std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
  text.resize(GetWindowTextW(window, &text[0], (int)text.size()));
  return text;
}

// The text as bytes of this process's ANSI code page, which is the box owner's too when both
// run under the same locale: the bytes a program handed to MessageBoxA.
std::string AnsiText(HWND window) {
  std::string text(GetWindowTextLengthA(window) * 2 + 1, '\0');
  text.resize(GetWindowTextA(window, &text[0], (int)text.size()));
  return text;
}

void PrintField(const char* key, const std::string& value) {
  std::printf("%s: %s\n", key, value.c_str());
}

void PrintText(const char* key, HWND window) {
  PrintField(key, Escaped(ToUtf8(WideText(window))));
  PrintField((std::string(key) + "-hex").c_str(), Hex(AnsiText(window)));
}

bool IsMessageBox(HWND window) {
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  return lstrcmpW(className, L"#32770") == 0 && IsWindowVisible(window);
}

bool Matches(HWND window, const TOptions& options) {
  if (!IsMessageBox(window)) return false;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (options.NotPid && pid == options.NotPid) return false;
  if (options.Hwnd && window != options.Hwnd) return false;
  if (options.NotHwnd && window == options.NotHwnd) return false;
  if (options.HasCaption && WideText(window) != options.Caption) return false;
  if (!options.CaptionHex.empty() && Hex(AnsiText(window)) != options.CaptionHex) return false;
  return true;
}

// A stdcall callback: on i686 a lambda does not convert to WNDENUMPROC.
BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

HWND FindBox(const TOptions& options) {
  for (HWND window : TopLevelWindows())
    if (Matches(window, options)) return window;
  return nullptr;
}

struct TStatics {
  HWND Text = nullptr;
  HWND Icon = nullptr;
  HICON IconHandle = nullptr;
};

TStatics FindStatics(HWND box) {
  TStatics found;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    if (lstrcmpiW(className, L"Static") != 0) continue;
    HICON icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    if (icon && !found.Icon) {
      found.Icon = child;
      found.IconHandle = icon;
    } else if (!icon && !found.Text) {
      found.Text = child;
    }
  }
  return found;
}

// Draws `icon` over `background` and counts the pixels that equal `shown`.
int SamePixels(HDC shown, int width, int height, HICON icon, COLORREF background) {
  HDC screen = GetDC(nullptr);
  HDC drawn = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(drawn, bitmap);
  RECT all = {0, 0, width, height};
  HBRUSH brush = CreateSolidBrush(background);
  FillRect(drawn, &all, brush);
  DrawIconEx(drawn, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
  int same = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) same += GetPixel(drawn, x, y) == GetPixel(shown, x, y);
  DeleteObject(brush);
  SelectObject(drawn, old);
  DeleteObject(bitmap);
  DeleteDC(drawn);
  ReleaseDC(nullptr, screen);
  return same;
}

// Names the standard icon the box shows. Icon handles belong to the process that loaded the
// icon, so the driver compares pictures: the icon as it is on the screen against each
// standard icon drawn by the driver. An icon like none of them is "present".
std::string IconName(const TStatics& statics) {
  if (!statics.Icon) return "none";
  RECT rect;
  GetWindowRect(statics.Icon, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC shown = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(shown, bitmap);
  BitBlt(shown, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  const COLORREF background = GetPixel(shown, 0, 0);  // icons leave their corners clear

  struct TIcon {
    LPCWSTR Resource;
    const char* Name;
  };
  const TIcon icons[] = {{IDI_QUESTION, "question"}, {IDI_HAND, "hand"},
                         {IDI_EXCLAMATION, "exclamation"}, {IDI_ASTERISK, "asterisk"}};
  std::string name = "present";
  for (const TIcon& icon : icons)
    if (SamePixels(shown, width, height, LoadIconW(nullptr, icon.Resource), background) ==
        width * height)
      name = icon.Name;
  SelectObject(shown, old);
  DeleteObject(bitmap);
  DeleteDC(shown);
  ReleaseDC(nullptr, screen);
  return name;
}

void Describe(HWND box) {
  DWORD pid = 0;
  GetWindowThreadProcessId(box, &pid);
  char number[32];
  std::snprintf(number, sizeof number, "%lu", (unsigned long)pid);
  PrintField("pid", number);
  std::snprintf(number, sizeof number, "0x%llx", (unsigned long long)(UINT_PTR)box);
  PrintField("hwnd", number);
  PrintText("caption", box);
  TStatics statics = FindStatics(box);
  if (statics.Text) PrintText("text", statics.Text);
  else PrintField("text", "<missing>");
  std::string buttons, defaults;
  for (const TButton& button : kButtons) {
    HWND control = GetDlgItem(box, button.Id);
    if (!control) continue;
    buttons += (buttons.empty() ? "" : " ") + std::string(button.Name);
    // DM_GETDEFID is not trustworthy under Wine; the button's own style is.
    if ((GetWindowLongW(control, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
      defaults += (defaults.empty() ? "" : " ") + std::string(button.Name);
  }
  PrintField("buttons", buttons);
  PrintField("default", defaults.empty() ? "none" : defaults);
  PrintField("icon", IconName(statics));
  PrintField("topmost", (GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) ? "yes" : "no");
  std::fflush(stdout);
}

int ButtonId(const std::wstring& name) {
  for (const TButton& button : kButtons)
    if (ToUtf8(name) == button.Name) return button.Id;
  return 0;
}

bool Press(HWND box, const std::wstring& press) {
  if (press == L"none") return true;
  if (press == L"enter") {
    SetForegroundWindow(box);
    return true;
  }
  HWND button = GetDlgItem(box, ButtonId(press));
  if (!button) return false;
  DWORD_PTR ignored = 0;
  // The owner's thread handles the click; a timeout means it does not pump messages.
  return SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
}

int WaitForBox(const TOptions& options) {
  const DWORD start = GetTickCount();
  HWND box = nullptr;
  while (!(box = FindBox(options))) {
    if (GetTickCount() - start > options.TimeoutMs) {
      std::printf("timeout: no matching message box\n");
      return 2;
    }
    Sleep(100);
  }
  Sleep(200);  // let the box finish its WM_INITDIALOG before its controls are read
  Describe(box);
  if (!Press(box, options.Press)) {
    std::printf("pressed: failed %s\n", ToUtf8(options.Press).c_str());
    return 3;
  }
  std::printf("pressed: %s\n", ToUtf8(options.Press).c_str());
  return 0;
}

int WaitUntilGone(const TOptions& options) {
  if (options.Pid) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, options.Pid);
    if (!process) return 0;  // already gone
    DWORD result = WaitForSingleObject(process, options.TimeoutMs);
    CloseHandle(process);
    if (result == WAIT_OBJECT_0) return 0;
    std::printf("timeout: process %lu still runs\n", (unsigned long)options.Pid);
    return 2;
  }
  const DWORD start = GetTickCount();
  TOptions any;
  while (HWND box = FindBox(any)) {
    if (GetTickCount() - start > options.TimeoutMs) {
      std::printf("timeout: a message box is still up\n");
      Describe(box);
      return 2;
    }
    Sleep(100);
  }
  return 0;
}

bool ParseOptions(int argc, wchar_t** argv, TOptions& options) {
  if (argc < 2) return false;
  options.Mode = argv[1];
  for (int i = 2; i < argc; i += 2) {
    if (i + 1 >= argc) return false;
    std::wstring key = argv[i], value = argv[i + 1];
    if (key == L"--caption") {
      options.Caption = value;
      options.HasCaption = true;
    } else if (key == L"--caption-hex") {
      options.CaptionHex = ToUtf8(value);
    } else if (key == L"--not-pid") {
      options.NotPid = wcstoul(value.c_str(), nullptr, 0);
    } else if (key == L"--hwnd") {
      options.Hwnd = reinterpret_cast<HWND>((UINT_PTR)wcstoull(value.c_str(), nullptr, 0));
    } else if (key == L"--not-hwnd") {
      options.NotHwnd = reinterpret_cast<HWND>((UINT_PTR)wcstoull(value.c_str(), nullptr, 0));
    } else if (key == L"--pid") {
      options.Pid = wcstoul(value.c_str(), nullptr, 0);
    } else if (key == L"--timeout") {
      options.TimeoutMs = wcstoul(value.c_str(), nullptr, 0) * 1000;
    } else if (key == L"--press") {
      options.Press = value;
      if (value != L"none" && value != L"enter" && !ButtonId(value)) return false;
    } else {
      return false;
    }
  }
  return options.Mode == L"box" || options.Mode == L"gone";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);  // "\n" alone ends a line, as scripts expect
  TOptions options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: boxdriver box [--caption TEXT | --caption-hex HEX] [--hwnd HWND]\n"
                 "                     [--not-hwnd HWND] [--not-pid PID] [--timeout SEC]\n"
                 "                     [--press yes|no|ok|cancel|none|enter]\n"
                 "       boxdriver gone [--pid PID] [--timeout SEC]\n");
    return 3;
  }
  return options.Mode == L"box" ? WaitForBox(options) : WaitUntilGone(options);
}
