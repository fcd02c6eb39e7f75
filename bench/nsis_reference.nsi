; The peer installer of the benchmark: NSIS, carrying the setup's four payload files
; uncompressed. It asks one Yes/No question (the setup's English one), then writes the files,
; the uninstall key and the setup's links: the program's and the uninstaller's in a Start-menu
; folder, the program's on the Desktop and the website shortcut, with no window of its own.
;   makensis -DPAYLOAD=DIR -DOUTFILE=FILE -DTARGET=x86-unicode|amd64-unicode nsis_reference.nsi
Target ${TARGET}
Unicode true
Name "Tarvelon"
Caption "Sound question"
OutFile "${OUTFILE}"
SetCompress off
RequestExecutionLevel admin
SilentInstall silent
InstallDir "$PROGRAMFILES\TarvelonNsis"

Function .onInit
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Would you like to setup the program?" IDYES answered
  Abort
answered:
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  File "${PAYLOAD}/Tarvelon.exe"
  File "${PAYLOAD}/Tarvelon.bar"
  File "${PAYLOAD}/Tarvelon.car"
  File "${PAYLOAD}/Uninstall.exe"
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\TarvelonNsis" "DisplayName" "Tarvelon"
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\TarvelonNsis" "UninstallString" "$INSTDIR\Uninstall.exe"
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\TarvelonNsis"
  CreateShortcut "$SMPROGRAMS\TarvelonNsis\Tarvelon.lnk" "$INSTDIR\Tarvelon.exe"
  CreateShortcut "$DESKTOP\TarvelonNsis.lnk" "$INSTDIR\Tarvelon.exe"
  CreateShortcut "$SMPROGRAMS\TarvelonNsis\Uninstall the program.lnk" "$INSTDIR\Uninstall.exe"
  WriteINIStr "$SMPROGRAMS\TarvelonNsis\Program's website.url" "InternetShortcut" "URL" "https://www.tarvelon.example"
SectionEnd
