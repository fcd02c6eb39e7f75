; The peer installer of the benchmark: NSIS, carrying the setup's four payload files
; uncompressed and doing the setup's whole job in the setup's order, with no window of its own
; but the setup's English Yes/No question: the uninstall key with the setup's ten values, the
; old Start-menu groups removed (the user's two and the all-users group of either language,
; under NSIS names), the group made again, the files, the program's and the uninstaller's
; links in the group, the program's on the Desktop, the website shortcut, and the program
; started without waiting for it.
;   makensis -DPAYLOAD=DIR -DOUTFILE=FILE -DTARGET=x86-unicode|amd64-unicode [-DCRCCHECK=off]
;     nsis_reference.nsi
; CRCCHECK=off builds it without the CRC-32 of its whole file that NSIS reads before the
; question by default, to measure what that check costs at start.
Target ${TARGET}
Unicode true
Name "Tarvelon"
Caption "Sound question"
OutFile "${OUTFILE}"
SetCompress off
!ifndef CRCCHECK
  !define CRCCHECK on
!endif
CRCCheck ${CRCCHECK}
RequestExecutionLevel admin
SilentInstall silent
; The 64-bit stub installs where 64-bit programs go, as the x86-64 setup does.
!if "${TARGET}" == "amd64-unicode"
  InstallDir "$PROGRAMFILES64\TarvelonNsis"
!else
  InstallDir "$PROGRAMFILES\TarvelonNsis"
!endif

!include FileFunc.nsh

!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TarvelonNsis"
!define WEBSITE "https://www.tarvelon.example"

Function .onInit
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Would you like to setup the program?" IDYES answered
  Abort
answered:
FunctionEnd

Section
  ; The setup's values, names and kinds of data (English UI; no version numbers).
  WriteRegStr HKLM "${KEY}" "DisplayName" "Tarvelon"
  WriteRegStr HKLM "${KEY}" "UninstallString" "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${KEY}" "InstallLocation" "$INSTDIR"
  ${GetTime} "" "L" $0 $1 $2 $3 $4 $5 $6
  WriteRegStr HKLM "${KEY}" "InstallDate" "$2$1$0"
  WriteRegStr HKLM "${KEY}" "Publisher" "Tarvelon Software Ltd."
  WriteRegStr HKLM "${KEY}" "URLInfoAbout" "${WEBSITE}"
  WriteRegStr HKLM "${KEY}" "HelpLink" "${WEBSITE}/Tarvelon.htm"
  WriteRegStr HKLM "${KEY}" "URLUpdateInfo" "${WEBSITE}/Tarvelon.htm"
  WriteRegDWORD HKLM "${KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${KEY}" "NoRepair" 1

  SetShellVarContext current
  RMDir /r "$SMPROGRAMS\TarvelonNsis"
  RMDir /r "$SMPROGRAMS\ТарвелонNsis"
  SetShellVarContext all
  RMDir /r "$SMPROGRAMS\ТарвелонNsis"
  RMDir /r "$SMPROGRAMS\TarvelonNsis"
  CreateDirectory "$SMPROGRAMS\TarvelonNsis"

  SetOutPath "$INSTDIR"
  File "${PAYLOAD}/Tarvelon.exe"
  File "${PAYLOAD}/Tarvelon.bar"
  File "${PAYLOAD}/Tarvelon.car"
  File "${PAYLOAD}/Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\TarvelonNsis\Tarvelon.lnk" "$INSTDIR\Tarvelon.exe"
  CreateShortcut "$DESKTOP\TarvelonNsis.lnk" "$INSTDIR\Tarvelon.exe"
  CreateShortcut "$SMPROGRAMS\TarvelonNsis\Uninstall the program.lnk" "$INSTDIR\Uninstall.exe"
  WriteINIStr "$SMPROGRAMS\TarvelonNsis\Program's website.url" "InternetShortcut" "URL" "${WEBSITE}"
  Exec '"$INSTDIR\Tarvelon.exe"'
SectionEnd
