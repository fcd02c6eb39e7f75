// The numbers that the portable logic keeps in platform/win_constants.h, checked against
// the Windows headers at compile time.
#include "platform/win32/windows_api.h"
#include <shellapi.h>

#include "platform/win_constants.h"

static_assert(win::kRegSz == REG_SZ);
static_assert(win::kRegExpandSz == REG_EXPAND_SZ);
static_assert(win::kRegBinary == REG_BINARY);
static_assert(win::kRegDword == REG_DWORD);

static_assert(win::kErrorSuccess == ERROR_SUCCESS);
static_assert(win::kErrorFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(win::kErrorAccessDenied == ERROR_ACCESS_DENIED);
static_assert(win::kErrorAlreadyExists == ERROR_ALREADY_EXISTS);
static_assert(win::kErrorSharingViolation == ERROR_SHARING_VIOLATION);

static_assert(win::kMbOk == MB_OK);
static_assert(win::kMbOkCancel == MB_OKCANCEL);
static_assert(win::kMbAbortRetryIgnore == MB_ABORTRETRYIGNORE);
static_assert(win::kMbYesNoCancel == MB_YESNOCANCEL);
static_assert(win::kMbYesNo == MB_YESNO);
static_assert(win::kMbRetryCancel == MB_RETRYCANCEL);
static_assert(win::kMbCancelTryContinue == MB_CANCELTRYCONTINUE);
static_assert(win::kMbTypeMask == MB_TYPEMASK);
static_assert(win::kMbIconHand == MB_ICONHAND);
static_assert(win::kMbIconQuestion == MB_ICONQUESTION);
static_assert(win::kMbDefButton2 == MB_DEFBUTTON2);
static_assert(win::kMbDefButton3 == MB_DEFBUTTON3);
static_assert(win::kMbDefButton4 == MB_DEFBUTTON4);
static_assert(win::kMbDefMask == MB_DEFMASK);
static_assert(win::kMbTaskModal == MB_TASKMODAL);
static_assert(win::kMbTopmost == MB_TOPMOST);
static_assert(win::kMbServiceNotification == MB_SERVICE_NOTIFICATION);
static_assert(win::kIdOk == IDOK);
static_assert(win::kIdCancel == IDCANCEL);
static_assert(win::kIdAbort == IDABORT);
static_assert(win::kIdRetry == IDRETRY);
static_assert(win::kIdIgnore == IDIGNORE);
static_assert(win::kIdYes == IDYES);
static_assert(win::kIdNo == IDNO);
static_assert(win::kIdTryAgain == IDTRYAGAIN);
static_assert(win::kIdContinue == IDCONTINUE);

static_assert(win::kPlatformWin32Windows == VER_PLATFORM_WIN32_WINDOWS);
static_assert(win::kPlatformWin32Nt == VER_PLATFORM_WIN32_NT);

static_assert(win::kFoDelete == FO_DELETE);
static_assert(win::kFofSilent == FOF_SILENT);
static_assert(win::kFofNoConfirmation == FOF_NOCONFIRMATION);
static_assert(win::kSwShowNormal == SW_SHOWNORMAL);
static_assert(win::kSwShow == SW_SHOW);

static_assert(win::kLangRussianNeutral == MAKELANGID(LANG_RUSSIAN, SUBLANG_NEUTRAL));
