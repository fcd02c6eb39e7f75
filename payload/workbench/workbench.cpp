// Tarvelon Workbench: the product's program. A window with the program's name, its version and
// the folders it runs in. On start it writes %TEMP%\tarvelon-started.txt with its current
// folder and its own path (two ANSI lines) so that an installation test can prove it ran,
// which copy of it ran, and from where.
#include <windows.h>

#include <string>

#include "payload/common/ui_locale.h"
#include "payload_info.h"
#include "setup/product.h"

namespace {

const char kWindowClass[] = "TarvelonWorkbenchWindow";
const int kIconSize = 48;
const int kMargin = 16;

struct TWorkbenchTexts {
  const char* Name;
  const char* Version;
  const char* CurrentFolder;
  const char* ProgramFolder;
};
const TWorkbenchTexts kEnglish = {product::kLongNameEn, "Version ", "Current folder: ", "Program folder: "};
const TWorkbenchTexts kRussian = {product::kLongNameRu, "Версия ", "Текущая папка: ", "Папка программы: "};

std::string CurrentFolder() {
  char buffer[MAX_PATH * 2] = {};
  DWORD length = GetCurrentDirectoryA(sizeof(buffer), buffer);
  return length > 0 && length < sizeof(buffer) ? std::string(buffer, length) : std::string();
}

std::string ModulePath() {
  char buffer[MAX_PATH * 2] = {};
  DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof(buffer));
  return std::string(buffer, length < sizeof(buffer) ? length : 0);
}

std::string ModuleFolder() {
  const std::string path = ModulePath();
  std::string::size_type slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(0, slash);
}

// The start marker for tests; a failure to write it is ignored.
void WriteStartMarker(const std::string& currentFolder, const std::string& modulePath) {
  char temp[MAX_PATH + 1] = {};
  DWORD length = GetTempPathA(sizeof(temp), temp);
  if (length == 0 || length >= sizeof(temp)) return;
  std::string path = std::string(temp, length) + "tarvelon-started.txt";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  std::string line = currentFolder + "\r\n" + modulePath + "\r\n";
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

struct TWorkbench {
  const TWorkbenchTexts* Texts = &kEnglish;
  std::string Lines;  // the body text, one item a line
  HICON LargeIcon = nullptr;
  HFONT TitleFont = nullptr;
};
TWorkbench Workbench;

void Paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  if (Workbench.LargeIcon)
    DrawIconEx(dc, kMargin, kMargin, Workbench.LargeIcon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ oldFont = SelectObject(dc, Workbench.TitleFont ? Workbench.TitleFont : GetStockObject(DEFAULT_GUI_FONT));
  RECT title = {kMargin * 2 + kIconSize, kMargin, client.right - kMargin, kMargin + kIconSize};
  DrawTextA(dc, Workbench.Texts->Name, -1, &title, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  RECT body = {kMargin, kMargin * 2 + kIconSize, client.right - kMargin, client.bottom - kMargin};
  DrawTextA(dc, Workbench.Lines.c_str(), -1, &body, DT_LEFT | DT_NOPREFIX | DT_PATH_ELLIPSIS);
  SelectObject(dc, oldFont);
  EndPaint(window, &ps);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_DESTROY:  // WM_CLOSE's default handling destroys the window
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  const std::string current = CurrentFolder();
  WriteStartMarker(current, ModulePath());

  Workbench.Texts = IsRussianUiLocale(GetUserDefaultLCID()) ? &kRussian : &kEnglish;
  Workbench.Lines = std::string(Workbench.Texts->Version) + TVL_PAYLOAD_FILE_VERSION + "\r\n" +
                    Workbench.Texts->CurrentFolder + current + "\r\n" + Workbench.Texts->ProgramFolder +
                    ModuleFolder();
  Workbench.LargeIcon = static_cast<HICON>(
      LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON, kIconSize, kIconSize, LR_DEFAULTCOLOR));
  Workbench.TitleFont = CreateFontA(-20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma");

  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  windowClass.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassExA(&windowClass)) return 1;

  HWND window = CreateWindowExA(0, kWindowClass, Workbench.Texts->Name, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 560, 240, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, showCommand);
  UpdateWindow(window);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (Workbench.TitleFont) DeleteObject(Workbench.TitleFont);
  return static_cast<int>(message.wParam);
}
