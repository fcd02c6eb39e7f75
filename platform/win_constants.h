#pragma once
// The few Win32 numbers that the portable logic passes through the seam. Kept here so the
// logic above the seam never needs <windows.h>; the real backend checks them against it.
#include <cstdint>

namespace win {

// Registry value types.
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;

// Win32 error codes the logic and the simulated machine speak.
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorAlreadyExists = 183;
constexpr long kErrorSharingViolation = 32;

// Message boxes.
constexpr std::uint32_t kMbOk = 0x0;
constexpr std::uint32_t kMbOkCancel = 0x1;
constexpr std::uint32_t kMbAbortRetryIgnore = 0x2;
constexpr std::uint32_t kMbYesNoCancel = 0x3;
constexpr std::uint32_t kMbYesNo = 0x4;
constexpr std::uint32_t kMbRetryCancel = 0x5;
constexpr std::uint32_t kMbCancelTryContinue = 0x6;
constexpr std::uint32_t kMbTypeMask = 0xF;
constexpr std::uint32_t kMbIconHand = 0x10;
constexpr std::uint32_t kMbIconQuestion = 0x20;
constexpr std::uint32_t kMbDefButton2 = 0x100;
constexpr std::uint32_t kMbDefButton3 = 0x200;
constexpr std::uint32_t kMbDefButton4 = 0x300;
constexpr std::uint32_t kMbDefMask = 0xF00;
constexpr std::uint32_t kMbTaskModal = 0x2000;
constexpr std::uint32_t kMbTopmost = 0x40000;
constexpr std::uint32_t kMbServiceNotification = 0x200000;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdAbort = 3;
constexpr int kIdRetry = 4;
constexpr int kIdIgnore = 5;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;
constexpr int kIdTryAgain = 10;
constexpr int kIdContinue = 11;

// Platform family (OSVERSIONINFO.dwPlatformId).
constexpr std::uint32_t kPlatformWin32Windows = 1;
constexpr std::uint32_t kPlatformWin32Nt = 2;

// Shell.
constexpr std::uint32_t kFoDelete = 3;
constexpr std::uint16_t kFofSilent = 0x4;
constexpr std::uint16_t kFofNoConfirmation = 0x10;
constexpr int kSwShowNormal = 1;
constexpr int kSwShow = 5;

// Primary language identifier of Russian with the neutral sub-language.
constexpr std::uint16_t kLangRussianNeutral = 0x19;

}  // namespace win
