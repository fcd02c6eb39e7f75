#pragma once
// The progress window's operations, as the copy loop and the extraction call them. The
// window itself belongs to the platform (its own thread in the real backend).
#include <string>

void ShowProgress(const std::string& Caption, const std::string& Status);
void SetStatus(const std::string& Status);
void SetRange(int Max);
void SetPosition(int Position);
void HideWindow();
