#pragma once
// <windows.h> for the backend, without the A/W name macros that would rename the seam's
// own methods (Files::CreateDirectory, Dialogs::MessageBox, ...). Include this instead of
// <windows.h> everywhere in the backend and in the Windows-side tests.
#include <windows.h>

#undef CreateDirectory
#undef DeleteFile
#undef MoveFile
#undef MessageBox
#undef MessageBoxEx
#undef SetCurrentDirectory
