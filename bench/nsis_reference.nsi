; The peer installer of the benchmark: NSIS, carrying the setup's four payload files
; uncompressed. It asks one Yes/No question (the setup's English one), then writes the files,
; the uninstall key and the setup's links: the program's and the uninstaller's in a Start-menu
; folder, the program's on the Desktop and the website shortcut, with no window of its own.
;   makensis -DPAYLOAD=DIR -DOUTFILE=FILE -DTARGET=x86-unicode|amd64-unicode nsis_reference.nsi
; With -DTWO_LINKS it makes only the program's links (Start menu and Desktop), into folders of
; its own, as in the first comparison with NSIS.
!ifdef TWO_LINKS
  !define FOLDER "TarvelonNsis2"
!else
  !define FOLDER "TarvelonNsis"
!endif
Target ${TARGET}
Unicode true
Name "Tarvelon"
Caption "Sound question"
OutFile "${OUTFILE}"
SetCompress off
RequestExecutionLevel admin
SilentInstall silent
InstallDir "$PROGRAMFILES\${FOLDER}"

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
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\${FOLDER}" "DisplayName" "Tarvelon"
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\${FOLDER}" "UninstallString" "$INSTDIR\Uninstall.exe"
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\${FOLDER}"
  CreateShortcut "$SMPROGRAMS\${FOLDER}\Tarvelon.lnk" "$INSTDIR\Tarvelon.exe"
  CreateShortcut "$DESKTOP\${FOLDER}.lnk" "$INSTDIR\Tarvelon.exe"
!ifndef TWO_LINKS
  CreateShortcut "$SMPROGRAMS\${FOLDER}\Uninstall the program.lnk" "$INSTDIR\Uninstall.exe"
  WriteINIStr "$SMPROGRAMS\${FOLDER}\Program's website.url" "InternetShortcut" "URL" "https://www.tarvelon.example"
!endif
SectionEnd
