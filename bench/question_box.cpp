// The floor of the setup's start to its question: a program that only shows the same Yes/No
// box, built with the setup's toolchain, link options and manifest.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  MessageBoxA(nullptr, "Would you like to setup the program?", "Sound question",
              MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL | MB_DEFBUTTON2);
  return 0;
}
