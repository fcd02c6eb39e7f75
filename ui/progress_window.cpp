#include "ui/progress_window.h"

#include "platform/machine.h"

void ShowProgress(const std::string& Caption, const std::string& Status) {
  platform::Os().Window.ShowProgress(Caption, Status);
}
void SetStatus(const std::string& Status) { platform::Os().Window.SetStatus(Status); }
void SetRange(int Max) { platform::Os().Window.SetRange(Max); }
void SetPosition(int Position) { platform::Os().Window.SetPosition(Position); }
void HideWindow() { platform::Os().Window.HideWindow(); }
